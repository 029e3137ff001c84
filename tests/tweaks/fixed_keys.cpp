#include "fixed_keys.h"

#include <algorithm>
#include <tuple>

std::vector<BYTE> fixed::Sz(const std::string& text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

namespace {

struct SavedKey {
    std::string name;
    std::vector<std::tuple<std::string, DWORD, std::vector<BYTE>>> values;
    std::vector<SavedKey> children;
};

std::vector<std::string> Levels(const std::string& path) {
    std::vector<std::string> levels;
    for (std::size_t start = 0, end; start <= path.size(); start = end + 1) {
        end = std::min(path.find('\\', start), path.size());
        if (end > start) levels.push_back(path.substr(start, end - start));
    }
    return levels;
}

void WriteExact(HKEY key, const std::string& name, DWORD type, std::vector<BYTE> data) {
    const auto size = static_cast<DWORD>(data.size());
    data.push_back(0xFF);  // keeps the platform from counting a terminator in
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name.c_str(), 0, type, data.data(), size)) << name;
}

SavedKey Save(HKEY key, const std::string& name) {
    SavedKey saved{name, {}, {}};
    std::vector<char> buf(16385);
    for (DWORD i = 0, n = 16385, type = 0, size = 0;
         RegEnumValueA(key, i, buf.data(), &n, nullptr, &type, nullptr, &size) == ERROR_SUCCESS; ++i, n = 16385) {
        std::vector<BYTE> data(size + 1);
        if (RegQueryValueExA(key, buf.data(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) size = 0;
        data.resize(size);
        saved.values.emplace_back(std::string(buf.data(), n), type, std::move(data));
    }
    for (DWORD i = 0, n = 512; RegEnumKeyExA(key, i, buf.data(), &n, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, n = 512) {
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, buf.data(), 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
        saved.children.push_back(Save(child, std::string(buf.data(), n)));
        RegCloseKey(child);
    }
    return saved;
}

void Restore(HKEY parent, const SavedKey& saved) {
    HKEY key = nullptr;
    ASSERT_EQ(0, RegCreateKeyExA(parent, saved.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    for (const auto& [name, type, data] : saved.values) WriteExact(key, name, type, data);
    for (const auto& child : saved.children) Restore(key, child);
    RegCloseKey(key);
}

}  // namespace

struct FixedKeysTest::Guard {
    HKEY root;
    std::string path, firstMissing;
    SavedKey saved;

    Guard(HKEY r, const std::string& p) : root(r), path(p) {
        std::string prefix;
        for (const auto& level : Levels(path)) {
            prefix += (prefix.empty() ? "" : "\\") + level;
            if (!KeyPresentAt(root, prefix)) {
                firstMissing = prefix;
                return;
            }
        }
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        saved = Save(key, Levels(path).back());
        RegCloseKey(key);
    }
    void Put() const {
        RemoveTree(root, firstMissing.empty() ? path : firstMissing);
        if (!firstMissing.empty()) return;
        HKEY parent = nullptr;
        ASSERT_EQ(0, RegOpenKeyExA(root, path.substr(0, path.rfind('\\')).c_str(), 0, KEY_ALL_ACCESS, &parent));
        Restore(parent, saved);
        RegCloseKey(parent);
    }
};

FixedKeysTest::FixedKeysTest() = default;
FixedKeysTest::~FixedKeysTest() = default;

void FixedKeysTest::SetUp() {
    RegistryTest::SetUp();
    guards_.push_back(std::make_unique<Guard>(HKEY_LOCAL_MACHINE, fixed::kClassKey));
    guards_.push_back(std::make_unique<Guard>(HKEY_CURRENT_USER, fixed::kShellKey));
    guards_.push_back(std::make_unique<Guard>(HKEY_CURRENT_USER, fixed::kShellNoRoamKey));
}

void FixedKeysTest::TearDown() {
    for (auto it = guards_.rbegin(); it != guards_.rend(); ++it) (*it)->Put();  // newest first
    guards_.clear();
    RegistryTest::TearDown();
}

void FixedKeysTest::MakeKeyAt(HKEY root, const std::string& path) {
    HKEY key = root;
    for (const auto& level : Levels(path)) {
        HKEY child = nullptr;
        const LONG status =
            RegCreateKeyExA(key, level.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr);
        if (key != root) RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, status) << path;
        key = child;
    }
    if (key != root) RegCloseKey(key);
}

bool FixedKeysTest::KeyPresentAt(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void FixedKeysTest::RemoveKeyAt(HKEY root, const std::string& path) {
    RemoveTree(root, path);
    ASSERT_FALSE(KeyPresentAt(root, path)) << path;
}

void FixedKeysTest::SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type,
                               std::vector<BYTE> data) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key)) << path;
    WriteExact(key, name, type, std::move(data));
    RegCloseKey(key);
}

std::vector<BYTE> FixedKeysTest::GetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD* type,
                                            bool* present) {
    HKEY key = nullptr;
    DWORD t = REG_NONE, size = 0;
    std::vector<BYTE> data;
    LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS && (status = RegQueryValueExA(key, name.c_str(), nullptr, &t, nullptr, &size)) == 0) {
        data.assign(size + 1, 0xBD);  // a sentinel past the end
        status = RegQueryValueExA(key, name.c_str(), nullptr, &t, data.data(), &size);
        data.resize(size);
    }
    if (key) RegCloseKey(key);
    if (present)
        *present = status == ERROR_SUCCESS;
    else if (status != ERROR_SUCCESS)
        ADD_FAILURE() << "no value \"" << name << "\" in " << path << ": " << status;
    if (type) *type = t;
    return data;
}
