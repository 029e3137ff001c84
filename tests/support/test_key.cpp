#include "test_key.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <stdexcept>

// The stand-in's controls do not exist against the real platform; the tests
// that need them are skipped there before they call any.
namespace standin {
namespace {
[[noreturn]] void NotHere() {
    throw std::logic_error("stand-in control used against the real platform");
}
}  // namespace
void Reset() {
    NotHere();
}
void RefuseOpen(HKEY, const std::string&, REGSAM) {
    NotHere();
}
void RefuseDelete(HKEY, const std::string&) {
    NotHere();
}
void RefuseWrite(HKEY, const std::string&) {
    NotHere();
}
unsigned long CallCount(const std::string&) {
    NotHere();
}
unsigned long RegistryCallCount() {
    NotHere();
}
void ResetCallCounts() {
    NotHere();
}
std::size_t OpenHandles() {
    NotHere();
}
const std::vector<MessageBoxRecord>& MessageBoxes() {
    NotHere();
}
const std::vector<ShellExecuteRecord>& ShellExecutes() {
    NotHere();
}
void SetShellExecuteResult(INT_PTR) {
    NotHere();
}
void SetActiveWindow(HWND) {
    NotHere();
}
void AddComputer(const std::string&, bool) {
    NotHere();
}
const char* LocalComputerName() {
    NotHere();
}
void SetCallHook(CallHook) {
    NotHere();
}
}  // namespace standin

long OpenRegistryHandles() {
    // Registry keys are kernel handles; the process's handle count moves with
    // them (where the platform reports it).
    DWORD count = 0;
    using Fn = BOOL(WINAPI*)(HANDLE, PDWORD);
    static const auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessHandleCount")));
    // Wine answers 0 for every process: no count there.
    if (!fn || !fn(GetCurrentProcess(), &count) || count == 0) return -1;
    return static_cast<long>(count);
}
#else
long OpenRegistryHandles() {
    return static_cast<long>(standin::OpenHandles());
}
#endif

std::vector<BYTE> Bytes(const std::string& s) {
    return std::vector<BYTE>(s.begin(), s.end());
}

namespace {
// Deletes parent\name with everything below it, one level at a time through
// handles: the ANSI functions refuse paths longer than 260 characters.
bool RemoveTreeAt(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (;;) {
            char child[512];
            DWORD size = sizeof child;
            if (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            if (!RemoveTreeAt(key, child)) break;  // refused: stop, don't spin
        }
        RegCloseKey(key);
    }
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}
}  // namespace

bool RemoveTree(HKEY root, const std::string& path) {
    return !path.empty() && RemoveTreeAt(root, path);
}

void RegistryTest::SetUp() {
#ifndef _WIN32
    standin::Reset();
#endif
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    base_ = std::string("Software\\QorvelTweakerTests\\") + info->test_suite_name() + "." + info->name() + "." +
            std::to_string(GetCurrentProcessId());
    RemoveTree(HKEY_CURRENT_USER, base_);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    handlesAtStart_ = OpenRegistryHandles();
    // Counts start with the test, not with its set-up.
    if (kStandIn) standin::ResetCallCounts();
}

void RegistryTest::TearDown() {
    ExpectNoOpenHandles();
    RemoveTree(HKEY_CURRENT_USER, base_);
    // Against the real registry nothing of a test may stay behind (the
    // stand-in starts afresh for every test, refusing keys included).
    if (!kStandIn) {
        EXPECT_FALSE(KeyPresent("")) << "test key left behind: " << base_;
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QorvelTweakerTests");  // when it is empty
}

void RegistryTest::ExpectNoOpenHandles() const {
    if (kStandIn) {
        EXPECT_EQ(0L, OpenRegistryHandles()) << "registry handles left open";
    } else if (handlesAtStart_ >= 0) {
        EXPECT_LE(OpenRegistryHandles(), handlesAtStart_) << "handles left open";
    }
}

std::string RegistryTest::Path(const std::string& relative) const {
    return relative.empty() ? base_ : base_ + "\\" + relative;
}

LONG RegistryTest::OpenRelative(const std::string& relative, REGSAM access, HKEY& key) const {
    // Relative to the test key's handle, so that the path stays short.
    HKEY base = nullptr;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_READ, &base);
    if (status != ERROR_SUCCESS) return status;
    status = RegOpenKeyExA(base, relative.c_str(), 0, access, &key);
    RegCloseKey(base);
    return status;
}

void RegistryTest::MakeKey(const std::string& relative) {
    // One level at a time, each relative to its parent's handle: the ANSI
    // registry functions refuse a path longer than 260 characters (234).
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_ALL_ACCESS, &key));
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('\\', start);
        if (end == std::string::npos) end = relative.size();
        const std::string level = relative.substr(start, end - start);
        start = end + 1;
        if (level.empty()) continue;
        HKEY child = nullptr;
        const LONG status =
            RegCreateKeyExA(key, level.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr);
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, status) << relative;
        key = child;
    }
    RegCloseKey(key);
}

bool RegistryTest::KeyPresent(const std::string& relative) const {
    HKEY key = nullptr;
    if (OpenRelative(relative, KEY_READ, key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void RegistryTest::WriteRaw(const std::string& relative, const std::string& name, DWORD type, std::vector<BYTE> data,
                            BYTE after) {
    // The byte after the data decides whether the platform counts a string
    // terminator into it: a NUL there is taken, any other byte is not.
    const auto size = static_cast<DWORD>(data.size());
    data.push_back(after);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenRelative(relative, KEY_ALL_ACCESS, key));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name.c_str(), 0, type, data.data(), size));
    RegCloseKey(key);
}

bool RegistryTest::ValuePresent(const std::string& relative, const std::string& name) const {
    HKEY key = nullptr;
    if (OpenRelative(relative, KEY_READ, key) != ERROR_SUCCESS) return false;
    const LONG status = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::vector<BYTE> RegistryTest::GetRaw(const std::string& relative, const std::string& name, DWORD* type) const {
    HKEY key = nullptr;
    std::vector<BYTE> data;
    if (OpenRelative(relative, KEY_READ, key) != ERROR_SUCCESS) {
        ADD_FAILURE() << "no key " << relative;
        return data;
    }
    DWORD size = 0, t = 0;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &t, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        data.assign(size + 1, 0xBD);  // sentinel past the end
        status = RegQueryValueExA(key, name.c_str(), nullptr, &t, data.data(), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) ADD_FAILURE() << "no value " << name << " in " << relative << ": " << status;
    if (type) *type = t;
    return data;
}

namespace {
void SnapshotInto(HKEY key, const std::string& prefix, std::vector<std::string>& out) {
    out.push_back("[" + prefix + "]");
    for (DWORD i = 0;; ++i) {
        static char name[16384 + 1];
        DWORD nameSize = sizeof name;
        DWORD type = 0, size = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size + 1);
        std::string valueName(name, nameSize);
        DWORD size2 = size;
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data.data(), &size2) != ERROR_SUCCESS)
            size2 = 0;  // changed under us: listed without data
        std::string line = "  \"" + valueName + "\" type " + std::to_string(type) + " =";
        char hex[4];
        for (DWORD b = 0; b < size2 && b < size; ++b) {
            std::snprintf(hex, sizeof hex, " %02X", data[b]);
            line += hex;
        }
        out.push_back(line);
    }
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            SnapshotInto(child, prefix + "\\" + name, out);
            RegCloseKey(child);
        } else {
            out.push_back("[" + prefix + "\\" + name + "] (unreadable)");
        }
    }
}
}  // namespace

std::vector<std::string> RegistrySnapshot(HKEY root, const std::string& path) {
    std::vector<std::string> out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    SnapshotInto(key, path, out);
    RegCloseKey(key);
    return out;
}

std::vector<std::string> RegistryTest::Snapshot(HKEY root, const std::string& path) const {
    return RegistrySnapshot(root, path);
}
