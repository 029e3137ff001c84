// Nothing lost: a property test over many random registry trees (seeded, so
// every run sees the same ones). DeleteKeyTree must remove exactly the target
// subtree - except a key that refuses, which stays with everything below it,
// and the keys above it - and change nothing outside it. The three Folders
// buttons are checked the same way on a random HKCU\Software\Microsoft\Windows.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "registry/module1.h"
#include "registry/registry_routines.h"
#include "reliability_support.h"
#include "test_key.h"
#include "tweaks/folders_page.h"

namespace {

// splitmix64: the same sequence on every platform and library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in [lo, hi].
    unsigned Between(unsigned lo, unsigned hi) { return lo + static_cast<unsigned>(Next() % (hi - lo + 1)); }
    bool OneIn(unsigned n) { return Next() % n == 0; }

private:
    std::uint64_t state_;
};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A key name of 1 to 255 characters in mixed case, mostly short.
std::string RandomName(Random& rng) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 _.-{}";
    const unsigned pick = rng.Between(1, 100);
    const unsigned length = pick <= 75 ? rng.Between(1, 8) : pick <= 97 ? rng.Between(9, 40) : rng.Between(41, 255);
    std::string name;
    for (unsigned i = 0; i < length; ++i) name += kChars[rng.Between(0, sizeof kChars - 2)];
    return name;
}

void RandomValues(Random& rng, HKEY key) {
    static const DWORD kTypes[] = {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_NONE, 11, 77};
    const unsigned count = rng.Between(0, 3);
    for (unsigned i = 0; i < count; ++i) {
        const std::string name = rng.OneIn(5) ? std::string() : RandomName(rng).substr(0, 20);
        std::vector<BYTE> data(rng.Between(0, 12));
        for (BYTE& b : data) b = static_cast<BYTE>(rng.Next());
        data.push_back(0xFF);
        RegSetValueExA(key, name.c_str(), 0, kTypes[rng.Between(0, 7)], data.data(),
                       static_cast<DWORD>(data.size() - 1));
    }
}

// Fills `key` (at `path`) with a random subtree; every created key's path
// goes to `paths`. `budget` bounds the number of keys.
void RandomTree(Random& rng, HKEY key, const std::string& path, unsigned depth, unsigned& budget,
                std::vector<std::string>& paths) {
    RandomValues(rng, key);
    if (depth == 0) return;
    const unsigned fanOut = rng.Between(0, 3);
    std::set<std::string> taken;
    for (unsigned i = 0; i < fanOut && budget > 0; ++i) {
        const std::string name = RandomName(rng);
        if (!taken.insert(Lower(name)).second) continue;  // names are unique without regard to case
        HKEY child = nullptr;
        if (RegCreateKeyExA(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) !=
            ERROR_SUCCESS)
            continue;
        --budget;
        paths.push_back(path + "\\" + name);
        RandomTree(rng, child, path + "\\" + name, depth - 1, budget, paths);
        RegCloseKey(child);
    }
}

// Creates root\path (every level) and a random tree below it.
std::vector<std::string> MakeRandomTree(Random& rng, const std::string& path, unsigned maxDepth, unsigned budget) {
    std::vector<std::string> paths;
    if (!reliability::MakeKeyAt(HKEY_CURRENT_USER, path)) return paths;
    paths.push_back(path);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return paths;
    RandomTree(rng, key, path, rng.Between(0, maxDepth), budget, paths);
    RegCloseKey(key);
    return paths;
}

// A listing as keys (lower case) and the set of their value lines (value
// names in lower case): the order of keys and values plays no part, and
// names match without regard to case, as the registry matches them.
using Model = std::map<std::string, std::set<std::string>>;

Model ToModel(const std::vector<std::string>& listing) {
    Model model;
    std::string current;
    for (const auto& line : listing) {
        if (line[0] == '[') {
            current = Lower(line.substr(1, line.rfind(']') - 1));
            model[current];
        } else {
            const std::size_t open = line.find('"');
            const std::size_t close = line.find("\" ", open + 1);
            model[current].insert("\"" + Lower(line.substr(open + 1, close - open - 1)) + line.substr(close));
        }
    }
    return model;
}

bool Under(const std::string& path, const std::string& tree) {
    return path == tree || (path.size() > tree.size() && path.compare(0, tree.size(), tree) == 0 &&
                            path[tree.size()] == '\\');
}

// `before` with the tree `target` deleted as DeleteKeyTree deletes it when
// the keys `refusing` refuse: each stays with everything below it, and so do
// the keys above it.
Model Deleted(const Model& before, const std::string& target, const std::vector<std::string>& refusing) {
    Model out;
    for (const auto& [path, values] : before) {
        bool keep = !Under(path, target);
        for (const auto& r : refusing) keep = keep || Under(path, r) || (Under(path, target) && Under(r, path));
        if (keep) out[path] = values;
    }
    return out;
}

// A key that refuses these refuses deletion with full access but can still
// be read, so the listing afterwards sees it.
constexpr REGSAM kWriteBits = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

void Refuse(const std::string& path) {
    standin::RefuseDelete(HKEY_CURRENT_USER, path);
    standin::RefuseOpen(HKEY_CURRENT_USER, path, kWriteBits);
}

class NothingLostTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (kStandIn) standin::Reset();
    }
};

constexpr int kTrees = 10000;

TEST_F(NothingLostTest, DeleteKeyTreeRemovesExactlyTheTarget) {
    STANDIN_ONLY();
    Random rng(20261206);
    const std::string parent = "Software\\QorvelTweakerTests\\Lost";
    int withRefusal = 0;
    for (int tree = 0; tree < kTrees; ++tree) {
        standin::Reset();
        const std::string targetName = RandomName(rng);
        const std::string target = parent + "\\" + targetName;
        const std::vector<std::string> keys = MakeRandomTree(rng, target, 4, 7);
        ASSERT_FALSE(keys.empty());
        // Neighbours, one of them sharing the target's name as a prefix, and
        // a tree above the target's parent.
        MakeRandomTree(rng, rng.OneIn(2) ? target + "x" : target + " 2", 1, 3);
        MakeRandomTree(rng, parent + "\\" + RandomName(rng) + "#", 1, 3);
        MakeRandomTree(rng, "Software\\Other", 1, 3);
        std::vector<std::string> refusing;
        if (rng.OneIn(4)) {
            refusing.push_back(keys[rng.Between(0, static_cast<unsigned>(keys.size() - 1))]);
            Refuse(refusing.back());
            ++withRefusal;
        }
        const Model before = ToModel(reliability::Listing(HKEY_CURRENT_USER, "Software"));
        const LONG status = Module1::DeleteKeyTree(HKEY_CURRENT_USER, target);
        const Model after = ToModel(reliability::Listing(HKEY_CURRENT_USER, "Software"));
        std::vector<std::string> lowered;
        for (const auto& r : refusing) lowered.push_back(Lower(r));
        ASSERT_EQ(Deleted(before, Lower(target), lowered), after) << "tree " << tree << " target " << target;
        ASSERT_EQ(refusing.empty() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED, status) << "tree " << tree;
        ASSERT_EQ(refusing.size(), standin::MessageBoxes().size()) << "tree " << tree;
        ASSERT_EQ(0u, standin::OpenHandles()) << "tree " << tree;
    }
    EXPECT_GT(withRefusal, kTrees / 8);
}

// The Folders buttons on a random HKCU\Software\Microsoft\Windows, aimed as
// the program aims them.
TEST_F(NothingLostTest, FoldersButtonsChangeOnlyTheirOwnKeys) {
    STANDIN_ONLY();
    Random rng(7);
    const std::string windows = "Software\\Microsoft\\Windows";
    const std::string shell = windows + "\\Shell";
    const std::string noRoam = windows + "\\ShellNoRoam";
    const std::string bagMru = noRoam + "\\BagMRU";
    const std::string bags = noRoam + "\\Bags";
    RegistryRoutines shellKey, noRoamKey;
    for (RegistryRoutines* key : {&shellKey, &noRoamKey}) {
        key->hKey(HKEY_CURRENT_USER);
        key->KeyRoot(windows);
    }
    shellKey.Subkey("Shell");
    noRoamKey.Subkey("ShellNoRoam");
    const std::string kSizeName = "\"bagmru size\"";
    for (int tree = 0; tree < kTrees; ++tree) {
        standin::Reset();
        MakeRandomTree(rng, windows, 1, 2);
        // Each part present or not, spelled in any case; lookalike neighbours.
        std::vector<std::string> inside;  // keys of the two trees Reset removes
        for (const std::string* path : {&shell, &noRoam, &bagMru, &bags}) {
            if (rng.OneIn(5)) continue;
            const std::string spelled = rng.OneIn(2) ? Lower(*path) : *path;
            const auto keys = MakeRandomTree(rng, spelled, 3, 3);
            if (path == &bagMru || path == &bags) inside.insert(inside.end(), keys.begin(), keys.end());
        }
        if (rng.OneIn(2)) MakeRandomTree(rng, bags + "2", 1, 3);
        if (rng.OneIn(2)) MakeRandomTree(rng, noRoam + "\\BagMRUx", 1, 3);
        if (rng.OneIn(2)) MakeRandomTree(rng, shell + "\\BagMRU", 1, 3);
        for (const std::string* path : {&shell, &noRoam}) {
            if (rng.OneIn(2))
                reliability::SetValueAt(HKEY_CURRENT_USER, *path, rng.OneIn(2) ? "BagMRU Size" : "bagmru SIZE",
                                        static_cast<DWORD>(rng.Between(1, 4)), {1, 2});
        }
        std::vector<std::string> refusing;
        if (!inside.empty() && rng.OneIn(4)) {
            refusing.push_back(inside[rng.Between(0, static_cast<unsigned>(inside.size() - 1))]);
            Refuse(refusing.back());
        }
        const Model before = ToModel(reliability::Listing(HKEY_CURRENT_USER, "Software"));
        Model expected = before;
        const int button = tree % 3;
        if (button == 0) {
            FoldersPage::Increase_Folders_Click(shellKey, noRoamKey);
            for (const std::string* path : {&shell, &noRoam}) {
                auto it = expected.find(Lower(*path));
                if (it == expected.end()) continue;  // never created
                for (auto v = it->second.begin(); v != it->second.end();)
                    v = v->compare(0, kSizeName.size(), kSizeName) == 0 ? it->second.erase(v) : std::next(v);
                it->second.insert(kSizeName + " type 4 = A0 0F 00 00");
            }
        } else if (button == 1) {
            FoldersPage::Default_Folders_Click(shellKey, noRoamKey);
            for (const std::string* path : {&shell, &noRoam}) {
                auto it = expected.find(Lower(*path));
                if (it == expected.end()) continue;
                for (auto v = it->second.begin(); v != it->second.end();)
                    v = v->compare(0, kSizeName.size(), kSizeName) == 0 ? it->second.erase(v) : std::next(v);
            }
        } else {
            FoldersPage::Reset_Folders_Click();
            std::vector<std::string> lowered;
            for (const auto& r : refusing) lowered.push_back(Lower(r));
            expected = Deleted(Deleted(expected, Lower(bagMru), lowered), Lower(bags), lowered);
            ASSERT_EQ(refusing.size(), standin::MessageBoxes().size()) << "tree " << tree;
        }
        const Model after = ToModel(reliability::Listing(HKEY_CURRENT_USER, "Software"));
        ASSERT_EQ(expected, after) << "tree " << tree << ", button " << button;
        ASSERT_EQ(0u, standin::OpenHandles()) << "tree " << tree;
    }
}

// A chain as deep as the registry allows is deleted whole, through the
// recursion, without exhausting anything.
TEST_F(NothingLostTest, DeepChainIsDeletedWhole) {
    STANDIN_ONLY();
    standin::Reset();
    std::string path = "Software\\QorvelTweakerTests\\Chain";
    ASSERT_TRUE(reliability::MakeKeyAt(HKEY_CURRENT_USER, path));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key));
    for (int level = 0; level < 500; ++level) {
        HKEY child = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key, "L", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr));
        RegCloseKey(key);
        key = child;
    }
    RegCloseKey(key);
    const auto outside = reliability::Listing(HKEY_CURRENT_USER, "Software\\Microsoft");
    EXPECT_EQ(ERROR_SUCCESS, Module1::DeleteKeyTree(HKEY_CURRENT_USER, path));
    HKEY gone = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &gone));
    EXPECT_EQ(outside, reliability::Listing(HKEY_CURRENT_USER, "Software\\Microsoft"));
    EXPECT_EQ(0u, standin::OpenHandles());
}

}  // namespace
