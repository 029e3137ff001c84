// The Folders handlers on the user's real Shell and ShellNoRoam keys. How the
// tree deletion treats names, neighbours and refusals is tested with
// DeleteKeyTree itself (test_module1.cpp, test_nothing_lost.cpp).
#include "tweaks/folders_page.h"

#include "fixed_keys.h"

namespace {

using B = std::vector<BYTE>;
using fixed::kShellKey;
using fixed::kShellNoRoamKey;

const B k4000 = {0xA0, 0x0F, 0x00, 0x00};
const std::string kBagMru = std::string(kShellNoRoamKey) + "\\BagMRU";
const std::string kBags = std::string(kShellNoRoamKey) + "\\Bags";

// Shell-like views below HKCU\parent: numbered Bags\N\Shell with values and
// a BagMRU tree 3 deep.
void BuildViews(const std::string& parent, int bagCount) {
    for (int i = 1; i <= bagCount; ++i) {
        const std::string bag = parent + "\\Bags\\" + std::to_string(i) + "\\Shell";
        MakeKeyAt(HKEY_CURRENT_USER, bag);
        SetValueAt(HKEY_CURRENT_USER, bag, "Col", REG_BINARY, B(24, static_cast<BYTE>(i)));
    }
    for (const char* node : {"\\0", "\\2", "\\1\\0", "\\1\\2\\0"}) {
        MakeKeyAt(HKEY_CURRENT_USER, parent + "\\BagMRU" + node);
        SetValueAt(HKEY_CURRENT_USER, parent + "\\BagMRU" + node, "MRUListEx", REG_BINARY, {0, 0, 0, 0});
    }
}

class FoldersPageTest : public FixedKeysTest {
protected:
    void SetUp() override {
        FixedKeysTest::SetUp();
        for (const char* key : {kShellKey, kShellNoRoamKey}) {  // empty, whatever they held
            RemoveKeyAt(HKEY_CURRENT_USER, key);
            MakeKeyAt(HKEY_CURRENT_USER, key);
        }
        shell_ = Aimed(HKEY_CURRENT_USER, fixed::kWindowsKey, "Shell");
        noRoam_ = Aimed(HKEY_CURRENT_USER, fixed::kWindowsKey, "ShellNoRoam");
    }
    std::vector<std::string> Windows() const { return Snapshot(HKEY_CURRENT_USER, fixed::kWindowsKey); }
    RegistryRoutines shell_, noRoam_;
};

TEST_F(FoldersPageTest, IncreaseAndDefaultOnlyTouchBagMruSizeOfPresentKeys) {
    // Either key may be missing; the other is still handled.
    for (const char* missing : {static_cast<const char*>(nullptr), kShellKey, kShellNoRoamKey}) {
        SCOPED_TRACE(missing ? missing : "none missing");
        for (const char* key : {kShellKey, kShellNoRoamKey}) {
            MakeKeyAt(HKEY_CURRENT_USER, key);
            SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", REG_SZ, Sz("400"));  // other type replaced
            SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Sizes", REG_DWORD, k4000);  // alike name stays
        }
        if (missing) RemoveKeyAt(HKEY_CURRENT_USER, missing);
        std::vector<std::string> expected;
        for (const auto& line : Windows())
            if (line.find("\"BagMRU Size\" type") == std::string::npos) expected.push_back(line);
        FoldersPage::Increase_Folders_Click(shell_, noRoam_);
        for (const char* key : {kShellKey, kShellNoRoamKey}) {
            if (key == missing) continue;
            DWORD type = 0;
            EXPECT_EQ(k4000, ValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", &type)) << key;
            EXPECT_EQ(DWORD(REG_DWORD), type) << key;
        }
        // A missing key stays missing; the second round finds nothing to remove.
        for (int round = 0; round < 2; ++round) {
            FoldersPage::Default_Folders_Click(shell_, noRoam_);
            EXPECT_EQ(expected, Windows());
        }
    }
}

TEST_F(FoldersPageTest, ResetRemovesBothTreesAndNothingElse) {
    BuildViews(kShellKey, 3);  // the roaming key's trees stay
    SetValueAt(HKEY_CURRENT_USER, kShellNoRoamKey, "BagMRU Size", REG_DWORD, k4000);
    const auto expected = Windows();
    BuildViews(kShellNoRoamKey, 100);
    FoldersPage::Reset_Folders_Click();
    EXPECT_EQ(expected, Windows());
    FoldersPage::Reset_Folders_Click();  // neither tree: nothing changes
    EXPECT_EQ(expected, Windows());
}

// BagMRU cannot go: the box shows once, and Bags still goes. What stays of
// BagMRU is DeleteKeyTree's (test_module1.cpp, test_nothing_lost.cpp).
TEST_F(FoldersPageTest, RefusingKeyInBagMruStillLetsBagsGo) {
    STANDIN_ONLY();
    BuildViews(kShellNoRoamKey, 20);
    Lock(HKEY_CURRENT_USER, kBagMru + "\\1\\2");
    FoldersPage::Reset_Folders_Click();
    EXPECT_EQ(1u, standin::MessageBoxes().size());
    EXPECT_TRUE(KeyPresentAt(HKEY_CURRENT_USER, kBagMru));
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, kBags));
}

}  // namespace
