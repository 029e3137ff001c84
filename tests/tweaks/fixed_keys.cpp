#include "fixed_keys.h"

namespace fixed {

std::vector<BYTE> Sz(const std::string& text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

}  // namespace fixed

namespace {

struct SavedValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};

struct SavedKey {
    std::string name;
    std::vector<SavedValue> values;
    std::vector<SavedKey> children;
};

std::vector<std::string> Levels(const std::string& path) {
    std::vector<std::string> levels;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) levels.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return levels;
}

void WriteExact(HKEY key, const std::string& name, DWORD type, std::vector<BYTE> data) {
    // A non-NUL byte after the data keeps the platform from counting a
    // terminator into string data that has none.
    const auto size = static_cast<DWORD>(data.size());
    data.push_back(0xFF);
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name.c_str(), 0, type, data.data(), size)) << name;
}

SavedKey Save(HKEY key, const std::string& name) {
    SavedKey saved{name, {}, {}};
    for (DWORD i = 0;; ++i) {
        std::vector<char> valueName(16384 + 1);
        DWORD nameSize = static_cast<DWORD>(valueName.size());
        DWORD type = 0, size = 0;
        if (RegEnumValueA(key, i, valueName.data(), &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        SavedValue value{std::string(valueName.data(), nameSize), type, std::vector<BYTE>(size + 1)};
        DWORD got = size;
        if (RegQueryValueExA(key, value.name.c_str(), nullptr, &value.type, value.data.data(), &got) != ERROR_SUCCESS)
            got = 0;
        value.data.resize(got);
        saved.values.push_back(std::move(value));
    }
    for (DWORD i = 0;; ++i) {
        char child[512];
        DWORD size = sizeof child;
        if (RegEnumKeyExA(key, i, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY opened = nullptr;
        if (RegOpenKeyExA(key, child, 0, KEY_READ, &opened) != ERROR_SUCCESS) continue;
        saved.children.push_back(Save(opened, std::string(child, size)));
        RegCloseKey(opened);
    }
    return saved;
}

// Deletes root\path with everything below it, level by level through
// handles (RemoveTree of the test support).
void DeleteTree(HKEY root, const std::string& path) {
    RemoveTree(root, path);
}

void Restore(HKEY parent, const SavedKey& saved) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(parent, saved.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << saved.name;
    for (const auto& value : saved.values) WriteExact(key, value.name, value.type, value.data);
    for (const auto& child : saved.children) Restore(key, child);
    RegCloseKey(key);
}

}  // namespace

// One fixed key: its saved tree when it existed, otherwise the first level of
// its path that was missing (everything the test makes there is removed).
struct FixedKeysTest::Guard {
    HKEY root;
    std::string path;
    bool existed = false;
    SavedKey saved;
    std::string firstMissing;

    Guard(HKEY r, const std::string& p) : root(r), path(p) {
        std::string prefix;
        for (const auto& level : Levels(path)) {
            prefix += (prefix.empty() ? "" : "\\") + level;
            if (!KeyPresentAt(root, prefix)) {
                firstMissing = prefix;
                return;
            }
        }
        existed = true;
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            saved = Save(key, Levels(path).back());
            RegCloseKey(key);
        }
    }

    void Put() const {
        if (!existed) {
            DeleteTree(root, firstMissing);
            return;
        }
        DeleteTree(root, path);
        const std::size_t cut = path.rfind('\\');
        HKEY parent = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, path.substr(0, cut).c_str(), 0, KEY_ALL_ACCESS, &parent));
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
    // Newest first: a missing Windows key is removed after the keys below it
    // have been put back as they were (that is, removed as well).
    for (auto it = guards_.rbegin(); it != guards_.rend(); ++it) (*it)->Put();
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
    DeleteTree(root, path);
    ASSERT_FALSE(KeyPresentAt(root, path)) << path;
}

void FixedKeysTest::SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type,
                               std::vector<BYTE> data) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key)) << path;
    WriteExact(key, name, type, std::move(data));
    RegCloseKey(key);
}

bool FixedKeysTest::ValuePresentAt(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const LONG status = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::vector<BYTE> FixedKeysTest::GetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD* type) {
    std::vector<BYTE> data;
    DWORD t = REG_NONE;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        ADD_FAILURE() << "no key " << path;
        return data;
    }
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &t, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        data.assign(size + 1, 0xBD);  // a sentinel past the end
        status = RegQueryValueExA(key, name.c_str(), nullptr, &t, data.data(), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) ADD_FAILURE() << "no value \"" << name << "\" in " << path << ": " << status;
    if (type) *type = t;
    return data;
}
