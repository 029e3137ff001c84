// The Folders page's handlers on the current user's real Shell and
// ShellNoRoam keys: "BagMRU Size" written and removed in both, and the reset
// of the remembered views, which must remove the two trees and nothing else.
#include "tweaks/folders_page.h"

#include <chrono>
#include <cstdio>

#include "fixed_keys.h"

namespace {

using B = std::vector<BYTE>;
using fixed::kShellKey;
using fixed::kShellNoRoamKey;
using fixed::kWindowsKey;
using fixed::Sz;

const B k4000 = {0xA0, 0x0F, 0x00, 0x00};
const std::string kBagMru = std::string(kShellNoRoamKey) + "\\BagMRU";
const std::string kBags = std::string(kShellNoRoamKey) + "\\Bags";

// A key that refuses these refuses deletion with full access but can still
// be read, so the test can look at it afterwards.
constexpr REGSAM kWriteBits = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

class FoldersPageTest : public FixedKeysTest {
protected:
    void SetUp() override {
        FixedKeysTest::SetUp();
        MakeKeyAt(HKEY_CURRENT_USER, kShellKey);
        MakeKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey);
        for (RegistryRoutines* key : {&shell_, &noRoam_}) {
            key->hKey(HKEY_CURRENT_USER);
            key->KeyRoot(kWindowsKey);
        }
        shell_.Subkey("Shell");
        noRoam_.Subkey("ShellNoRoam");
    }

    // The whole HKCU\Software\Microsoft\Windows subtree.
    std::vector<std::string> Windows() const { return Snapshot(HKEY_CURRENT_USER, kWindowsKey); }

    void ExpectNoBox() const {
        if (kStandIn) {
            EXPECT_TRUE(standin::MessageBoxes().empty());
        }
    }

    RegistryRoutines shell_;
    RegistryRoutines noRoam_;
};

// `lines` without the listing of the keys `trees` and everything below them.
std::vector<std::string> Without(const std::vector<std::string>& lines, const std::vector<std::string>& trees) {
    std::vector<std::string> out;
    bool dropping = false;
    for (const auto& line : lines) {
        if (line[0] == '[') {
            dropping = false;
            for (const auto& tree : trees) {
                const std::string head = "[" + tree;
                if (line.compare(0, head.size(), head) == 0 && (line[head.size()] == ']' || line[head.size()] == '\\'))
                    dropping = true;
            }
        }
        if (!dropping) out.push_back(line);
    }
    return out;
}

TEST_F(FoldersPageTest, IncreaseWritesDword4000IntoBothKeys) {
    // An old value of another type is replaced; other values stay.
    SetValueAt(HKEY_CURRENT_USER, kShellNoRoamKey, "BagMRU Size", REG_SZ, Sz("400"));
    SetValueAt(HKEY_CURRENT_USER, kShellKey, "Other", REG_SZ, Sz("stays"));

    FoldersPage::Increase_Folders_Click(shell_, noRoam_);
    for (const char* key : {kShellKey, kShellNoRoamKey}) {
        SCOPED_TRACE(key);
        DWORD type = 0;
        EXPECT_EQ(k4000, GetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", &type));
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    }
    EXPECT_EQ(Sz("stays"), GetValueAt(HKEY_CURRENT_USER, kShellKey, "Other"));

    const auto once = Windows();
    FoldersPage::Increase_Folders_Click(shell_, noRoam_);
    EXPECT_EQ(once, Windows());
    ExpectNoBox();
}

TEST_F(FoldersPageTest, NeitherButtonCreatesAMissingKey) {
    const struct {
        const char* what;
        std::vector<const char*> missing;
        std::vector<const char*> present;
    } cases[] = {
        {"ShellNoRoam missing", {kShellNoRoamKey}, {kShellKey}},
        {"Shell missing", {kShellKey}, {kShellNoRoamKey}},
        {"both missing", {kShellKey, kShellNoRoamKey}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MakeKeyAt(HKEY_CURRENT_USER, kShellKey);
        MakeKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey);
        for (const char* key : c.missing) RemoveKeyAt(HKEY_CURRENT_USER, key);

        FoldersPage::Increase_Folders_Click(shell_, noRoam_);
        for (const char* key : c.missing) EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, key)) << key;
        for (const char* key : c.present) EXPECT_EQ(k4000, GetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size"));

        FoldersPage::Default_Folders_Click(shell_, noRoam_);
        for (const char* key : c.missing) EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, key)) << key;
        for (const char* key : c.present) EXPECT_FALSE(ValuePresentAt(HKEY_CURRENT_USER, key, "BagMRU Size"));
    }
    ExpectNoBox();
}

TEST_F(FoldersPageTest, DefaultRemovesTheValueFromBothAndIsQuietWhenItIsGone) {
    for (const char* key : {kShellKey, kShellNoRoamKey}) {
        SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", REG_DWORD, k4000);
        SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Sizes", REG_DWORD, k4000);  // a name that starts alike
        SetValueAt(HKEY_CURRENT_USER, key, "", REG_SZ, Sz("default value"));
    }
    MakeKeyAt(HKEY_CURRENT_USER, std::string(kShellKey) + "\\BagMRU Size");  // a key of that name stays
    const auto before = Windows();
    std::vector<std::string> expected;
    for (const auto& line : before) {
        if (line.find("\"BagMRU Size\" type") == std::string::npos) expected.push_back(line);
    }
    ASSERT_EQ(before.size(), expected.size() + 2);

    FoldersPage::Default_Folders_Click(shell_, noRoam_);
    EXPECT_EQ(expected, Windows());
    FoldersPage::Default_Folders_Click(shell_, noRoam_);
    EXPECT_EQ(expected, Windows());
    ExpectNoBox();
}

// A remembered-views store shaped like the shell's own: numbered bags with a
// Shell subkey of view settings each, class-identifier-named subkeys, and a
// BagMRU tree of numbered nodes several levels deep.
class ViewStore {
public:
    explicit ViewStore(int bags) : bags_(bags) {}

    void Build(const std::string& parentPath) const {
        HKEY parent = Open(parentPath);
        HKEY bags = Create(parent, "Bags");
        for (int i = 1; i <= bags_; ++i) {
            HKEY bag = Create(bags, std::to_string(i).c_str());
            HKEY shell = Create(bag, "Shell");
            Set(shell, "Vid", REG_SZ, Sz("{137E7700-3573-11CF-AE69-08002B2E1262}"));
            Set(shell, "Mode", REG_DWORD, {4, 0, 0, 0});
            Set(shell, "FFlags", REG_DWORD, {1, 0, 0, 0});
            Set(shell, "Col", REG_BINARY, B(24, static_cast<BYTE>(i)));
            RegCloseKey(shell);
            RegCloseKey(bag);
        }
        // Names of 38 characters and more, below AllFolders\Shell.
        HKEY all = Create(bags, "AllFolders");
        HKEY allShell = Create(all, "Shell");
        const std::string clsid = "{5C4F28B5-F869-4E84-8E60-F11DB97C5CC7}";
        for (const std::string& name : {clsid, clsid + "x", std::string(40, 'n'), std::string(120, 'm')}) {
            HKEY k = Create(allShell, name.c_str());
            Set(k, "Mode", REG_DWORD, {1, 0, 0, 0});
            RegCloseKey(k);
        }
        RegCloseKey(allShell);
        RegCloseKey(all);
        RegCloseKey(bags);

        HKEY mru = Create(parent, "BagMRU");
        Nodes(mru, 0);
        RegCloseKey(mru);
        RegCloseKey(parent);
    }

private:
    // Each node: NodeSlot, MRUListEx, item values and three numbered children,
    // four levels deep (1 + 3 + 9 + 27 + 81 keys).
    void Nodes(HKEY node, int depth) const {
        Set(node, "NodeSlot", REG_DWORD, {static_cast<BYTE>(depth + 1), 0, 0, 0});
        Set(node, "MRUListEx", REG_BINARY, {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
        if (depth == 4) return;
        for (int i = 0; i < 3; ++i) {
            Set(node, std::to_string(i).c_str(), REG_BINARY, B(20, static_cast<BYTE>(i)));
            HKEY child = Create(node, std::to_string(i).c_str());
            Nodes(child, depth + 1);
            RegCloseKey(child);
        }
    }
    static HKEY Open(const std::string& path) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key)) << path;
        return key;
    }
    static HKEY Create(HKEY parent, const char* name) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
            << name;
        return key;
    }
    static void Set(HKEY key, const char* name, DWORD type, const B& data) {
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())));
    }

    int bags_;
};

// 2,000 bags: a few thousand keys, a few seconds through Wine's registry.
constexpr int kBagCount = 2000;

TEST_F(FoldersPageTest, ResetRemovesBothTreesAndNothingElse) {
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    ViewStore(kBagCount).Build(kShellNoRoamKey);
    ViewStore(3).Build(kShellKey);  // the roaming key's own trees stay
    for (const char* key : {kShellKey, kShellNoRoamKey}) {
        SetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", REG_DWORD, k4000);
    }
    // Neighbours whose names start like the trees', and one other key.
    for (const char* sibling : {"\\BagsX", "\\BagMRU2", "\\MUICache"}) {
        MakeKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey + std::string(sibling) + "\\child");
    }
    const auto before = Windows();
    const auto expected = Without(before, {kBagMru, kBags});
    ASSERT_GT(before.size(), expected.size() + 4 * kBagCount) << "the trees were built";
    const auto t1 = Clock::now();

    FoldersPage::Reset_Folders_Click();
    const auto t2 = Clock::now();

    EXPECT_EQ(expected, Windows());
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, kBagMru));
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, kBags));
    EXPECT_EQ(k4000, GetValueAt(HKEY_CURRENT_USER, kShellNoRoamKey, "BagMRU Size"));
    ExpectNoBox();

    const auto ms = [](Clock::duration d) {
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    };
    std::printf("[ timing   ] %d bags (%zu listing lines): build and snapshot %ld ms, reset %ld ms\n", kBagCount,
                before.size(), ms(t1 - t0), ms(t2 - t1));
}

TEST_F(FoldersPageTest, ResetWithNeitherTreeChangesNothing) {
    // Whatever the registry held before the test, neither tree is there now.
    RemoveKeyAt(HKEY_CURRENT_USER, kBagMru);
    RemoveKeyAt(HKEY_CURRENT_USER, kBags);
    SetValueAt(HKEY_CURRENT_USER, kShellNoRoamKey, "BagMRU Size", REG_DWORD, k4000);
    ViewStore(2).Build(kShellKey);
    const auto before = Windows();
    FoldersPage::Reset_Folders_Click();
    EXPECT_EQ(before, Windows());
    ExpectNoBox();

    // And with ShellNoRoam itself missing.
    RemoveKeyAt(HKEY_CURRENT_USER, kShellNoRoamKey);
    const auto without = Windows();
    FoldersPage::Reset_Folders_Click();
    EXPECT_EQ(without, Windows());
    ExpectNoBox();
}

TEST_F(FoldersPageTest, RefusingKeyShowsAccessDeniedAndTheResetStillEnds) {
    STANDIN_ONLY();
    ViewStore(20).Build(kShellNoRoamKey);
    // One bag deep in BagMRU refuses; Bags must still go, BagMRU keeps only
    // the path down to the refusing key.
    const std::string locked = kBagMru + "\\1\\2";
    standin::RefuseDelete(HKEY_CURRENT_USER, locked);
    standin::RefuseOpen(HKEY_CURRENT_USER, locked, kWriteBits);
    const auto lockedTree = Snapshot(HKEY_CURRENT_USER, locked);

    FoldersPage::Reset_Folders_Click();

    ASSERT_EQ(1u, standin::MessageBoxes().size());
    const auto& box = standin::MessageBoxes()[0];
    EXPECT_EQ("Access denied to delete registry key.", box.text);
    EXPECT_EQ("Access Denied", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONHAND), box.type);
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, kBags));
    EXPECT_EQ(lockedTree, Snapshot(HKEY_CURRENT_USER, locked)) << "the refusing key keeps what it has";
    for (const char* gone : {"\\0", "\\2", "\\1\\0", "\\1\\1"}) {
        EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, kBagMru + gone)) << gone;
    }
    EXPECT_TRUE(KeyPresentAt(HKEY_CURRENT_USER, kShellNoRoamKey));
}

}  // namespace
