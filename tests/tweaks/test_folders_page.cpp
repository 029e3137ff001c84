// The Folders handlers on the user's real Shell and ShellNoRoam keys.
#include "tweaks/folders_page.h"

#include <algorithm>

#include "fixed_keys.h"

namespace {

using B = std::vector<BYTE>;
using fixed::kShellKey;
using fixed::kShellNoRoamKey;

const B k4000 = {0xA0, 0x0F, 0x00, 0x00};
const std::string kBagMru = std::string(kShellNoRoamKey) + "\\BagMRU";
const std::string kBags = std::string(kShellNoRoamKey) + "\\Bags";

HKEY Create(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    EXPECT_EQ(0, RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    return key;
}
void Set(HKEY key, const std::string& name, DWORD type, const B& data) {
    EXPECT_EQ(0, RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())));
}

// Shell-like views below HKCU\parent: numbered Bags\N\Shell with values,
// names of 38+ characters under AllFolders\Shell, a BagMRU tree 3 deep.
void BuildViews(const std::string& parent, int bagCount) {
    HKEY root = Create(HKEY_CURRENT_USER, parent), bags = Create(root, "Bags");
    for (int i = 1; i <= bagCount; ++i) {
        HKEY bag = Create(bags, std::to_string(i) + "\\Shell");
        Set(bag, "Vid", REG_SZ, fixed::Sz("{137E7700-3573-11CF-AE69-08002B2E1262}"));
        Set(bag, "Col", REG_BINARY, B(24, static_cast<BYTE>(i)));
        RegCloseKey(bag);
    }
    for (const std::string name : {"{5C4F28B5-F869-4E84-8E60-F11DB97C5CC7}", "{5C4F28B5-F869-4E84-8E60-F11DB97C5CC7}x"})
        RegCloseKey(Create(bags, "AllFolders\\Shell\\" + name));
    RegCloseKey(bags);
    for (const char* node : {"", "\\0", "\\1", "\\2", "\\1\\0", "\\1\\1", "\\1\\2", "\\1\\2\\0"}) {
        HKEY k = Create(root, std::string("BagMRU") + node);
        Set(k, "MRUListEx", REG_BINARY, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
        RegCloseKey(k);
    }
    RegCloseKey(root);
}

class FoldersPageTest : public FixedKeysTest {
protected:
    void SetUp() override {
        FixedKeysTest::SetUp();
        MakeKeyAt(HKEY_CURRENT_USER, kShellKey);
        MakeKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey);
        for (RegistryRoutines* key : {&shell_, &noRoam_}) {
            key->hKey(HKEY_CURRENT_USER);
            key->KeyRoot(fixed::kWindowsKey);
        }
        shell_.Subkey("Shell");
        noRoam_.Subkey("ShellNoRoam");
    }
    std::vector<std::string> Windows() const { return Snapshot(HKEY_CURRENT_USER, fixed::kWindowsKey); }
    RegistryRoutines shell_, noRoam_;
};

TEST_F(FoldersPageTest, IncreaseAndDefaultOnlyTouchBagMruSizeOfPresentKeys) {
    const std::vector<std::vector<const char*>> missingSets = {{}, {kShellNoRoamKey}, {kShellKey, kShellNoRoamKey}};
    for (const auto& missing : missingSets) {
        SCOPED_TRACE(missing.size());
        for (const char* key : {kShellKey, kShellNoRoamKey}) {
            MakeKeyAt(HKEY_CURRENT_USER, key);
            SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", REG_SZ, fixed::Sz("400"));  // other type replaced
            SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Sizes", REG_DWORD, k4000);         // alike name stays
        }
        for (const char* key : missing) RemoveKeyAt(HKEY_CURRENT_USER, key);
        std::vector<std::string> expected;
        for (const auto& line : Windows())
            if (line.find("\"BagMRU Size\" type") == std::string::npos) expected.push_back(line);
        FoldersPage::Increase_Folders_Click(shell_, noRoam_);
        for (const char* key : {kShellKey, kShellNoRoamKey}) {
            bool present = false;
            DWORD type = 0;
            const B got = GetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", &type, &present);
            const bool missed = std::find(missing.begin(), missing.end(), key) != missing.end();
            EXPECT_EQ(!missed, present) << key;
            EXPECT_EQ(missed ? B{} : k4000, got) << key;
            EXPECT_EQ(missed ? DWORD(REG_NONE) : DWORD(REG_DWORD), type) << key;
        }
        for (int round = 0; round < 2; ++round) {  // the second finds nothing to remove
            FoldersPage::Default_Folders_Click(shell_, noRoam_);
            EXPECT_EQ(expected, Windows());
        }
    }
}

// 2,000 bags: a few seconds through Wine's registry.
TEST_F(FoldersPageTest, ResetRemovesBothTreesAndNothingElse) {
    constexpr int kBagCount = 2000;
    BuildViews(kShellNoRoamKey, kBagCount);
    BuildViews(kShellKey, 3);  // the roaming key's trees stay
    SetValueAt(HKEY_CURRENT_USER, kShellNoRoamKey, "BagMRU Size", REG_DWORD, k4000);
    for (const char* sibling : {"\\BagsX", "\\BagMRU2"})  // names starting alike
        MakeKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey + std::string(sibling) + "\\child");
    const auto before = Windows();
    std::vector<std::string> expected;
    bool dropping = false;
    for (const auto& line : before) {
        if (line[0] == '[') {
            dropping = false;
            for (const auto& tree : {kBagMru, kBags})
                dropping |= line.compare(0, tree.size() + 1, "[" + tree) == 0 &&
                            (line[tree.size() + 1] == ']' || line[tree.size() + 1] == '\\');
        }
        if (!dropping) expected.push_back(line);
    }
    ASSERT_GT(before.size(), expected.size() + 4 * kBagCount);
    FoldersPage::Reset_Folders_Click();
    EXPECT_EQ(expected, Windows());
    FoldersPage::Reset_Folders_Click();  // neither tree: nothing changes
    EXPECT_EQ(expected, Windows());
    RemoveKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey);
    const auto withoutNoRoam = Windows();
    FoldersPage::Reset_Folders_Click();
    EXPECT_EQ(withoutNoRoam, Windows());
    if (kStandIn) {
        EXPECT_TRUE(standin::MessageBoxes().empty());
    }
}

TEST_F(FoldersPageTest, RefusingKeyShowsAccessDeniedAndTheResetStillEnds) {
    STANDIN_ONLY();
    BuildViews(kShellNoRoamKey, 20);
    // Bags must still go; BagMRU keeps only the path down to the refusing key.
    const std::string locked = kBagMru + "\\1\\2";
    standin::RefuseDelete(HKEY_CURRENT_USER, locked);
    standin::RefuseOpen(HKEY_CURRENT_USER, locked, KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
    const auto lockedTree = Snapshot(HKEY_CURRENT_USER, locked);
    FoldersPage::Reset_Folders_Click();
    ASSERT_EQ(1u, standin::MessageBoxes().size());
    const auto& box = standin::MessageBoxes()[0];
    EXPECT_EQ("Access denied to delete registry key.", box.text);
    EXPECT_EQ("Access Denied", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONHAND), box.type);
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, kBags));
    EXPECT_EQ(lockedTree, Snapshot(HKEY_CURRENT_USER, locked));
    for (const char* gone : {"\\0", "\\2", "\\1\\0", "\\1\\1"})
        EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, kBagMru + gone)) << gone;
}

}  // namespace
