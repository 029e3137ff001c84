// The Folders page's handlers on the current user's real Shell and
// ShellNoRoam keys: "BagMRU Size" written and removed in both, and the reset
// of the remembered views, which removes the two trees and nothing else.
#include "tweaks/folders_page.h"

#include "fixed_keys.h"

namespace {

using B = std::vector<BYTE>;
using fixed::kShellKey;
using fixed::kShellNoRoamKey;
using fixed::Sz;

const B k4000 = {0xA0, 0x0F, 0x00, 0x00};
const std::string kBagMru = std::string(kShellNoRoamKey) + "\\BagMRU";
const std::string kBags = std::string(kShellNoRoamKey) + "\\Bags";

HKEY Create(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << name;
    return key;
}
void Set(HKEY key, const std::string& name, DWORD type, const B& data) {
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())));
}

// A remembered-views store below HKCU\`parent` shaped like the shell's own:
// numbered bags with a Shell subkey of view settings, names of 38 characters
// and more below AllFolders\Shell, and a BagMRU tree of numbered nodes.
void BuildViews(const std::string& parent, int bagCount) {
    HKEY root = Create(HKEY_CURRENT_USER, parent);
    HKEY bags = Create(root, "Bags");
    for (int i = 1; i <= bagCount; ++i) {
        HKEY bag = Create(bags, std::to_string(i) + "\\Shell");
        Set(bag, "Vid", REG_SZ, Sz("{137E7700-3573-11CF-AE69-08002B2E1262}"));
        Set(bag, "Mode", REG_DWORD, {4, 0, 0, 0});
        Set(bag, "Col", REG_BINARY, B(24, static_cast<BYTE>(i)));
        RegCloseKey(bag);
    }
    const std::string clsid = "{5C4F28B5-F869-4E84-8E60-F11DB97C5CC7}";
    for (const std::string& name : {clsid, clsid + "x", std::string(120, 'm')}) {
        HKEY k = Create(bags, "AllFolders\\Shell\\" + name);
        Set(k, "Mode", REG_DWORD, {1, 0, 0, 0});
        RegCloseKey(k);
    }
    RegCloseKey(bags);
    // BagMRU: three numbered children per node, three levels below the top.
    std::vector<HKEY> level = {Create(root, "BagMRU")};
    for (int depth = 0; depth <= 3; ++depth) {
        std::vector<HKEY> next;
        for (HKEY node : level) {
            Set(node, "NodeSlot", REG_DWORD, {static_cast<BYTE>(depth + 1), 0, 0, 0});
            Set(node, "MRUListEx", REG_BINARY, {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
            for (int i = 0; depth < 3 && i < 3; ++i) {
                Set(node, std::to_string(i), REG_BINARY, B(20, static_cast<BYTE>(i)));
                next.push_back(Create(node, std::to_string(i)));
            }
            RegCloseKey(node);
        }
        level = next;
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
    void TearDown() override {
        if (kStandIn) {
            EXPECT_TRUE(standin::MessageBoxes().empty() || refusing_);
        }
        FixedKeysTest::TearDown();
    }
    // The whole HKCU\Software\Microsoft\Windows subtree.
    std::vector<std::string> Windows() const { return Snapshot(HKEY_CURRENT_USER, fixed::kWindowsKey); }

    RegistryRoutines shell_, noRoam_;
    bool refusing_ = false;
};

TEST_F(FoldersPageTest, IncreaseWritesDword4000IntoBothKeys) {
    // An old value of another type is replaced; other values stay.
    SetValueAt(HKEY_CURRENT_USER, kShellNoRoamKey, "BagMRU Size", REG_SZ, Sz("400"));
    SetValueAt(HKEY_CURRENT_USER, kShellKey, "Other", REG_SZ, Sz("stays"));
    FoldersPage::Increase_Folders_Click(shell_, noRoam_);
    for (const char* key : {kShellKey, kShellNoRoamKey}) {
        DWORD type = 0;
        EXPECT_EQ(k4000, GetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", &type)) << key;
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type) << key;
    }
    EXPECT_EQ(Sz("stays"), GetValueAt(HKEY_CURRENT_USER, kShellKey, "Other"));
    const auto once = Windows();
    FoldersPage::Increase_Folders_Click(shell_, noRoam_);
    EXPECT_EQ(once, Windows());
}

TEST_F(FoldersPageTest, NeitherButtonCreatesAMissingKey) {
    const std::vector<std::vector<const char*>> missingSets = {
        {kShellNoRoamKey}, {kShellKey}, {kShellKey, kShellNoRoamKey}};
    for (const auto& missing : missingSets) {
        SCOPED_TRACE(missing.size() == 2 ? "both missing" : missing[0]);
        MakeKeyAt(HKEY_CURRENT_USER, kShellKey);
        MakeKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey);
        for (const char* key : missing) RemoveKeyAt(HKEY_CURRENT_USER, key);
        const char* present = missing.size() == 2 ? nullptr : missing[0] == kShellKey ? kShellNoRoamKey : kShellKey;
        FoldersPage::Increase_Folders_Click(shell_, noRoam_);
        for (const char* key : missing) EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, key)) << key;
        if (present) {
            EXPECT_EQ(k4000, GetValueAt(HKEY_CURRENT_USER, present, "BagMRU Size"));
        }
        FoldersPage::Default_Folders_Click(shell_, noRoam_);
        for (const char* key : missing) EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, key)) << key;
        if (present) {
            EXPECT_FALSE(ValuePresentAt(HKEY_CURRENT_USER, present, "BagMRU Size"));
        }
    }
}

TEST_F(FoldersPageTest, DefaultRemovesTheValueFromBothAndIsQuietWhenItIsGone) {
    for (const char* key : {kShellKey, kShellNoRoamKey}) {
        SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", REG_DWORD, k4000);
        SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Sizes", REG_DWORD, k4000);  // a name that starts alike
        SetValueAt(HKEY_CURRENT_USER, key, "", REG_SZ, Sz("default value"));
    }
    MakeKeyAt(HKEY_CURRENT_USER, std::string(kShellKey) + "\\BagMRU Size");  // a key of that name stays
    std::vector<std::string> expected;
    for (const auto& line : Windows())
        if (line.find("\"BagMRU Size\" type") == std::string::npos) expected.push_back(line);
    ASSERT_EQ(Windows().size(), expected.size() + 2);
    for (int round = 0; round < 2; ++round) {
        FoldersPage::Default_Folders_Click(shell_, noRoam_);
        EXPECT_EQ(expected, Windows());
    }
}

// 2,000 bags: a few thousand keys, a few seconds through Wine's registry.
TEST_F(FoldersPageTest, ResetRemovesBothTreesAndNothingElse) {
    constexpr int kBagCount = 2000;
    BuildViews(kShellNoRoamKey, kBagCount);
    BuildViews(kShellKey, 3);  // the roaming key's own trees stay
    for (const char* key : {kShellKey, kShellNoRoamKey})
        SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", REG_DWORD, k4000);
    // Neighbours whose names start like the trees', and one other key.
    for (const char* sibling : {"\\BagsX", "\\BagMRU2", "\\MUICache"})
        MakeKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey + std::string(sibling) + "\\child");
    const auto before = Windows();
    std::vector<std::string> expected;  // without the two trees
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
    ASSERT_GT(before.size(), expected.size() + 4 * kBagCount) << "the trees were built";

    FoldersPage::Reset_Folders_Click();
    EXPECT_EQ(expected, Windows());
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, kBagMru));
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, kBags));
}

TEST_F(FoldersPageTest, ResetWithNeitherTreeChangesNothing) {
    RemoveKeyAt(HKEY_CURRENT_USER, kBagMru);
    RemoveKeyAt(HKEY_CURRENT_USER, kBags);
    SetValueAt(HKEY_CURRENT_USER, kShellNoRoamKey, "BagMRU Size", REG_DWORD, k4000);
    BuildViews(kShellKey, 2);
    for (int round = 0; round < 2; ++round) {  // then with ShellNoRoam itself missing
        if (round == 1) RemoveKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey);
        const auto before = Windows();
        FoldersPage::Reset_Folders_Click();
        EXPECT_EQ(before, Windows());
    }
}

TEST_F(FoldersPageTest, RefusingKeyShowsAccessDeniedAndTheResetStillEnds) {
    STANDIN_ONLY();
    refusing_ = true;
    BuildViews(kShellNoRoamKey, 20);
    // Bags must still go; BagMRU keeps only the path down to the refusing key.
    const std::string locked = kBagMru + "\\1\\2";
    standin::RefuseDelete(HKEY_CURRENT_USER, locked);
    standin::RefuseOpen(HKEY_CURRENT_USER, locked, KEY_SET_VALUE | KEY_CREATE_SUB_KEY);  // still readable
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
    EXPECT_TRUE(KeyPresentAt(HKEY_CURRENT_USER, kShellNoRoamKey));
}

}  // namespace
