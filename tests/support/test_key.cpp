#include "test_key.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#ifdef _WIN32
// The stand-in's controls do not exist against the real platform; the tests
// that need them are skipped there before they call any.
namespace standin {
namespace {
[[noreturn]] void NotHere() {
    throw std::logic_error("stand-in control used against the real platform");
}
}  // namespace
#define QT_NOT_HERE(signature) \
    signature {                \
        NotHere();             \
    }
QT_NOT_HERE(void Reset())
QT_NOT_HERE(void RefuseOpen(HKEY, const std::string&, REGSAM))
QT_NOT_HERE(void RefuseDelete(HKEY, const std::string&))
QT_NOT_HERE(void RefuseWrite(HKEY, const std::string&))
QT_NOT_HERE(unsigned long CallCount(const std::string&))
QT_NOT_HERE(unsigned long RegistryCallCount())
QT_NOT_HERE(void ResetCallCounts())
QT_NOT_HERE(const std::vector<KeyPathRecord>& KeyPaths())
QT_NOT_HERE(std::size_t OpenHandles())
QT_NOT_HERE(const std::vector<MessageBoxRecord>& MessageBoxes())
QT_NOT_HERE(const std::vector<ShellExecuteRecord>& ShellExecutes())
QT_NOT_HERE(void SetShellExecuteResult(INT_PTR))
QT_NOT_HERE(void SetActiveWindow(HWND))
QT_NOT_HERE(void AddComputer(const std::string&, bool))
QT_NOT_HERE(const char* LocalComputerName())
QT_NOT_HERE(void SetCallHook(CallHook))
#undef QT_NOT_HERE
}  // namespace standin

// Key handles open in this process, or -1 where they cannot be counted. The
// system's list of handles (SystemHandleInformation) gives each handle's
// process and object type; keys are of the type of one opened to count. The
// predefined roots are opened first: the platform keeps their handles once
// used.
static long OpenRegistryHandles() {
    struct Entry {
        ULONG process;
        BYTE type, flags;
        USHORT handle;
        PVOID object;
        ULONG access;
    };
    struct List {
        ULONG count;
        Entry entries[1];
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    static const auto query = platform::SystemFunction<Query>("ntdll.dll", "NtQuerySystemInformation");
    HKEY key = nullptr;
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS})
        if (RegOpenKeyExA(root, "Software", 0, KEY_READ, &key) == ERROR_SUCCESS) RegCloseKey(key);
    if (!query || RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    const KeyPtr counted(key, &RegCloseKey);
    std::vector<std::uint64_t> buffer(1 << 13);  // 8-byte aligned, as the list's pointers are
    const auto bytes = [&] { return static_cast<ULONG>(buffer.size() * sizeof buffer[0]); };
    ULONG size = 0;
    LONG status;
    while ((status = query(16, buffer.data(), bytes(), &size)) == static_cast<LONG>(0xC0000004) && bytes() < (1u << 28))
        buffer.resize(buffer.size() * 2);  // STATUS_INFO_LENGTH_MISMATCH
    const auto* list = reinterpret_cast<const List*>(buffer.data());
    if (status != 0 || offsetof(List, entries) + list->count * sizeof(Entry) > bytes()) return -1;
    const DWORD self = GetCurrentProcessId();
    const auto mine = [&](const Entry& e) { return e.process == self; };
    int type = -1;
    for (ULONG i = 0; i < list->count; ++i)
        if (mine(list->entries[i]) &&
            list->entries[i].handle == static_cast<USHORT>(reinterpret_cast<std::uintptr_t>(key)))
            type = list->entries[i].type;
    long keys = -1;  // the one opened to count is not counted
    for (ULONG i = 0; i < list->count; ++i) keys += mine(list->entries[i]) && list->entries[i].type == type;
    return type < 0 ? -1 : keys;
}
#else
static long OpenRegistryHandles() {
    return static_cast<long>(standin::OpenHandles());
}
#endif

std::vector<BYTE> Bytes(const std::string& s) {
    return std::vector<BYTE>(s.begin(), s.end());
}

std::vector<BYTE> Sz(const std::string& text) {
    std::vector<BYTE> data = Bytes(text);
    data.push_back(0);
    return data;
}

namespace {

KeyPtr Open(HKEY root, const std::string& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) key = nullptr;
    return KeyPtr(key, &RegCloseKey);
}

KeyPtr Create(HKEY parent, const std::string& name, const char* klass = nullptr) {
    HKEY key = nullptr;
    // The class parameter is not const, but the platform only reads it.
    const LONG status =
        RegCreateKeyExA(parent, name.c_str(), 0, const_cast<char*>(klass), 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) throw SetupError("cannot create key " + name + ": " + std::to_string(status));
    return KeyPtr(key, &RegCloseKey);
}

void Write(HKEY key, const std::string& name, DWORD type, std::vector<BYTE> data, BYTE after) {
    const auto size = static_cast<DWORD>(data.size());
    data.push_back(after);
    const LONG status = RegSetValueExA(key, name.c_str(), 0, type, data.data(), size);
    if (status != ERROR_SUCCESS) throw SetupError("cannot write value \"" + name + "\": " + std::to_string(status));
}

std::optional<std::vector<BYTE>> Query(HKEY key, const std::string& name, DWORD* type) {
    DWORD size = 0, t = REG_NONE;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &t, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    std::vector<BYTE> data(size + 1, 0xBD);  // a sentinel past the end
    if (RegQueryValueExA(key, name.c_str(), nullptr, &t, data.data(), &size) != ERROR_SUCCESS) return std::nullopt;
    data.resize(size);
    if (type) *type = t;
    return data;
}

// Deletes parent\name with everything below it through handles.
bool RemoveTreeAt(HKEY parent, const std::string& name) {
    if (const KeyPtr key = Open(parent, name, KEY_ALL_ACCESS)) {
        for (;;) {
            char child[512];
            DWORD size = sizeof child;
            if (RegEnumKeyExA(key.get(), 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            if (!RemoveTreeAt(key.get(), child)) break;  // refused: stop, don't spin
        }
    }
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

KeyTree ReadKey(HKEY key, const std::string& name) {
    KeyTree tree{name, true, {}, {}};
    static char buffer[16384 + 1];  // the longest value name; copied out before any recursion
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof buffer, type = REG_NONE;
        if (RegEnumValueA(key, i, buffer, &size, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) break;
        StoredValue value{std::string(buffer, size), type, {}};
        value.data = Query(key, value.name, nullptr).value_or(std::vector<BYTE>{});
        tree.values.push_back(std::move(value));
    }
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof buffer;
        if (RegEnumKeyExA(key, i, buffer, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::string child(buffer, size);
        if (const KeyPtr sub = Open(key, child, KEY_READ))
            tree.subkeys.push_back(ReadKey(sub.get(), child));
        else
            tree.subkeys.push_back(KeyTree{child, false, {}, {}});
    }
    return tree;
}

// Values and subkeys by name, byte for byte: an order of the test's own, as
// Windows lists values in the order they were written and sorts subkeys
// otherwise than Wine does.
template <class T>
std::vector<const T*> ByName(const std::vector<T>& items) {
    std::vector<const T*> sorted;
    for (const T& item : items) sorted.push_back(&item);
    std::sort(sorted.begin(), sorted.end(), [](const T* a, const T* b) { return a->name < b->name; });
    return sorted;
}

void ListInto(const KeyTree& tree, const std::string& path, std::vector<std::string>& out) {
    out.push_back("[" + path + "]" + (tree.readable ? "" : " (unreadable)"));
    for (const StoredValue* value : ByName(tree.values)) {
        std::string line = "  \"" + value->name + "\" type " + std::to_string(value->type) + " =";
        char hex[4];
        for (const BYTE b : value->data) {
            std::snprintf(hex, sizeof hex, " %02X", b);
            line += hex;
        }
        out.push_back(line);
    }
    for (const KeyTree* sub : ByName(tree.subkeys)) ListInto(*sub, path + "\\" + sub->name, out);
}

}  // namespace

bool OnWine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

void MakeKeyAt(HKEY root, const std::string& path, const char* lastClass) {
    KeyPtr key(nullptr, &RegCloseKey);
    for (std::size_t start = 0, end; start <= path.size(); start = end + 1) {
        end = std::min(path.find('\\', start), path.size());
        if (end > start)
            key = Create(key ? key.get() : root, path.substr(start, end - start),
                         end == path.size() ? lastClass : nullptr);
    }
}

bool KeyPresentAt(HKEY root, const std::string& path) {
    return Open(root, path, KEY_READ) != nullptr;
}

void SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type, std::vector<BYTE> data,
                BYTE after) {
    const KeyPtr key = Open(root, path, KEY_ALL_ACCESS);
    if (!key) throw SetupError("cannot open key " + path + " to write \"" + name + "\"");
    Write(key.get(), name, type, std::move(data), after);
}

std::optional<std::vector<BYTE>> ValueAt(HKEY root, const std::string& path, const std::string& name, DWORD* type) {
    const KeyPtr key = Open(root, path, KEY_READ);
    return key ? Query(key.get(), name, type) : std::nullopt;
}

bool RemoveTree(HKEY root, const std::string& path) {
    return !path.empty() && RemoveTreeAt(root, path);
}

void RemoveKeyAt(HKEY root, const std::string& path) {
    RemoveTree(root, path);
    if (KeyPresentAt(root, path)) throw SetupError("cannot remove key " + path);
}

std::optional<KeyTree> ReadTree(HKEY root, const std::string& path) {
    const KeyPtr key = Open(root, path, KEY_READ);
    if (!key) return std::nullopt;
    return ReadKey(key.get(), path.substr(path.rfind('\\') + 1));
}

void WriteTree(HKEY parent, const KeyTree& tree) {
    const KeyPtr key = Create(parent, tree.name);
    for (const auto& value : tree.values) Write(key.get(), value.name, value.type, value.data, 0xFF);
    for (const auto& sub : tree.subkeys) WriteTree(key.get(), sub);
}

std::vector<std::string> RegistrySnapshot(HKEY root, const std::string& path) {
    std::vector<std::string> out;
    if (const auto tree = ReadTree(root, path)) ListInto(*tree, path, out);
    return out;
}

KeyPtr RegistryTest::Open(const std::string& relative, REGSAM access) const {
    return ::Open(HKEY_CURRENT_USER, Path(relative), access);
}

void RegistryTest::SetUp() {
#ifndef _WIN32
    standin::Reset();
#endif
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    base_ = std::string("Software\\QorvelTweakerTests\\") + info->test_suite_name() + "." + info->name() + "." +
            std::to_string(GetCurrentProcessId());
    RemoveTree(HKEY_CURRENT_USER, base_);
    MakeKeyAt(HKEY_CURRENT_USER, base_);
    handlesAtStart_ = OpenRegistryHandles();
    // Counts start with the test, not with its set-up.
    if (kStandIn) standin::ResetCallCounts();
}

void RegistryTest::TearDown() {
    // No handle may stay open beyond those at the start; where that cannot
    // be seen, a note says once that it is not checked.
    const long now = OpenRegistryHandles();
    if (kStandIn) {
        EXPECT_EQ(0L, now) << "registry handles left open";
    } else if (handlesAtStart_ >= 0 && now >= 0) {
        EXPECT_LE(now, handlesAtStart_) << "registry handles left open";
    } else {
        static bool told = false;
        if (!told) std::printf("note: open handles are not checked here: the platform lists no handles\n");
        told = true;
    }
    RemoveTree(HKEY_CURRENT_USER, base_);
    // Against the real registry nothing of a test may stay behind (the
    // stand-in starts afresh for every test, refusing keys included).
    if (!kStandIn) {
        EXPECT_FALSE(KeyPresent("")) << "test key left behind: " << base_;
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QorvelTweakerTests");  // when it is empty
}

std::string RegistryTest::Path(const std::string& relative) const {
    return relative.empty() ? base_ : base_ + "\\" + relative;
}

std::vector<BYTE> RegistryTest::GetRaw(const std::string& relative, const std::string& name, DWORD* type) const {
    auto data = ValueAt(Open("").get(), relative, name, type);
    if (!data) ADD_FAILURE() << "no value \"" << name << "\" in " << Path(relative);
    return data.value_or(std::vector<BYTE>{});
}
