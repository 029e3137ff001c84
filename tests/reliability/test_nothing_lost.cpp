// Over 10,000 seeded random trees each: DeleteKeyTree removes exactly its
// subtree (a refusing key stays, with all below and above it), and the three
// Folders buttons change only their own keys.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/names.h"
#include "registry/module1.h"
#include "registry/registry_routines.h"
#include "reliability_support.h"
#include "test_key.h"
#include "tweaks/folders_page.h"

namespace {

// mt19937_64 is fully specified: the same trees on every platform.
struct Random {
    std::mt19937_64 gen;
    std::uint64_t Next() { return gen(); }
    unsigned Between(unsigned lo, unsigned hi) { return lo + static_cast<unsigned>(Next() % (hi - lo + 1)); }
    bool OneIn(unsigned n) { return Next() % n == 0; }
};

// 1 to 255 characters, mixed case, mostly short.
std::string RandomName(Random& rng) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 _.-{}";
    const unsigned pick = rng.Between(1, 100);
    const unsigned length = pick <= 75 ? rng.Between(1, 8) : pick <= 97 ? rng.Between(9, 40) : rng.Between(41, 255);
    std::string name;
    for (unsigned i = 0; i < length; ++i) name += kChars[rng.Between(0, sizeof kChars - 2)];
    return name;
}

// A random subtree below `key`; created key paths go to `paths`.
void RandomTree(Random& rng, HKEY key, const std::string& path, unsigned depth, unsigned& budget,
                std::vector<std::string>& paths) {
    static const DWORD kTypes[] = {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_NONE, 11, 77};
    for (unsigned i = rng.Between(0, 3); i > 0; --i) {
        const std::string name = rng.OneIn(5) ? std::string() : RandomName(rng).substr(0, 20);
        std::vector<BYTE> data(rng.Between(0, 12));
        for (BYTE& b : data) b = static_cast<BYTE>(rng.Next());
        data.push_back(0xFF);
        RegSetValueExA(key, name.c_str(), 0, kTypes[rng.Between(0, 7)], data.data(),
                       static_cast<DWORD>(data.size() - 1));
    }
    if (depth == 0) return;
    std::set<std::string> taken;  // names are unique without regard to case
    for (unsigned i = rng.Between(0, 3); i > 0 && budget > 0; --i) {
        const std::string name = RandomName(rng);
        HKEY child = nullptr;
        if (!taken.insert(names::LowerCase(name)).second ||
            RegCreateKeyExA(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) !=
                ERROR_SUCCESS)
            continue;
        --budget;
        paths.push_back(path + "\\" + name);
        RandomTree(rng, child, std::string(paths.back()), depth - 1, budget, paths);
        RegCloseKey(child);
    }
}

// HKCU\\path with a random tree below; returns its keys.
std::vector<std::string> MakeRandomTree(Random& rng, const std::string& path, unsigned maxDepth, unsigned budget) {
    std::vector<std::string> paths;
    HKEY key = nullptr;
    if (!reliability::MakeKeyAt(HKEY_CURRENT_USER, path) ||
        RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return paths;
    paths.push_back(path);
    RandomTree(rng, key, path, rng.Between(0, maxDepth), budget, paths);
    RegCloseKey(key);
    return paths;
}

// HKCU\\Software: lower-case key path -> value lines (names lower-cased).
using Model = std::map<std::string, std::set<std::string>>;

Model Software() {
    Model model;
    std::string current;
    for (const auto& line : RegistrySnapshot(HKEY_CURRENT_USER, "Software")) {
        if (line[0] == '[') {
            model[current = names::LowerCase(line.substr(1, line.rfind(']') - 1))];
        } else {
            const std::size_t open = line.find('"'), close = line.find("\" ", open + 1);
            model[current].insert("\"" + names::LowerCase(line.substr(open + 1, close - open - 1)) +
                                  line.substr(close));
        }
    }
    return model;
}

bool Under(const std::string& path, const std::string& tree) {
    return path.compare(0, tree.size(), tree) == 0 && (path.size() == tree.size() || path[tree.size()] == '\\');
}

// `model` with `target` deleted, but each refusing key and all above and below it kept.
Model Deleted(const Model& model, const std::string& target, const std::vector<std::string>& refusing) {
    Model out;
    for (const auto& [path, values] : model) {
        bool keep = !Under(path, target);
        for (const auto& r : refusing) keep = keep || Under(path, r) || (Under(path, target) && Under(r, path));
        if (keep) out[path] = values;
    }
    return out;
}

// Makes one of `keys` refuse deletion and writing (still readable); returns it in lower case.
std::string RefuseOne(Random& rng, const std::vector<std::string>& keys) {
    const std::string& path = keys[rng.Between(0, static_cast<unsigned>(keys.size() - 1))];
    standin::RefuseDelete(HKEY_CURRENT_USER, path);
    standin::RefuseOpen(HKEY_CURRENT_USER, path, KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
    return names::LowerCase(path);
}

constexpr int kTrees = 10000;

TEST(NothingLostTest, DeleteKeyTreeRemovesExactlyTheTarget) {
    STANDIN_ONLY();
    Random rng{std::mt19937_64{20261206}};
    const std::string parent = "Software\\QorvelTweakerTests\\Lost";
    int withRefusal = 0;
    for (int tree = 0; tree < kTrees; ++tree) {
        standin::Reset();
        const std::string target = parent + "\\" + RandomName(rng);
        const std::vector<std::string> keys = MakeRandomTree(rng, target, 4, 7);
        ASSERT_FALSE(keys.empty());
        // Neighbours, one with the target name as prefix.
        MakeRandomTree(rng, rng.OneIn(2) ? target + "x" : target + " 2", 1, 3);
        MakeRandomTree(rng, parent + "\\" + RandomName(rng) + "#", 1, 3);
        MakeRandomTree(rng, "Software\\Other", 1, 3);
        std::vector<std::string> refusing;
        if (rng.OneIn(4)) refusing.push_back(RefuseOne(rng, keys));
        withRefusal += !refusing.empty();
        const Model before = Software();
        const LONG status = Module1::DeleteKeyTree(HKEY_CURRENT_USER, target);
        ASSERT_EQ(Deleted(before, names::LowerCase(target), refusing), Software()) << "tree " << tree << ": " << target;
        ASSERT_EQ(refusing.empty() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED, status) << "tree " << tree;
        ASSERT_EQ(refusing.size(), standin::MessageBoxes().size()) << "tree " << tree;
        ASSERT_EQ(0u, standin::OpenHandles()) << "tree " << tree;
    }
    standin::Reset();
    EXPECT_GT(withRefusal, kTrees / 8);
}

TEST(NothingLostTest, FoldersButtonsChangeOnlyTheirOwnKeys) {
    STANDIN_ONLY();
    Random rng{std::mt19937_64{7}};
    const std::string windows = "Software\\Microsoft\\Windows", shell = windows + "\\Shell",
                      noRoam = windows + "\\ShellNoRoam", bagMru = noRoam + "\\BagMRU", bags = noRoam + "\\Bags";
    RegistryRoutines shellKey, noRoamKey;
    for (auto [key, sub] : {std::pair{&shellKey, "Shell"}, std::pair{&noRoamKey, "ShellNoRoam"}})
        key->hKey(HKEY_CURRENT_USER), key->KeyRoot(windows), key->Subkey(sub);
    const std::string kSize = "\"bagmru size\"";
    for (int tree = 0; tree < kTrees; ++tree) {
        standin::Reset();
        MakeRandomTree(rng, windows, 1, 2);
        // Each part present or not, in any case; lookalike neighbours.
        std::vector<std::string> inside;  // keys Reset removes
        for (const std::string* path : {&shell, &noRoam, &bagMru, &bags}) {
            if (rng.OneIn(5)) continue;
            const auto keys = MakeRandomTree(rng, rng.OneIn(2) ? names::LowerCase(*path) : *path, 3, 3);
            if (path == &bagMru || path == &bags) inside.insert(inside.end(), keys.begin(), keys.end());
        }
        for (const std::string& lookalike : {bags + "2", noRoam + "\\BagMRUx", shell + "\\BagMRU"})
            if (rng.OneIn(2)) MakeRandomTree(rng, lookalike, 1, 3);
        for (const std::string* path : {&shell, &noRoam})
            if (rng.OneIn(2))
                reliability::SetValueAt(HKEY_CURRENT_USER, *path, rng.OneIn(2) ? "BagMRU Size" : "bagmru SIZE",
                                        static_cast<DWORD>(rng.Between(1, 4)), {1, 2});
        std::vector<std::string> refusing;
        if (!inside.empty() && rng.OneIn(4)) refusing.push_back(RefuseOne(rng, inside));
        Model expected = Software();
        const int button = tree % 3;
        if (button == 2) {
            FoldersPage::Reset_Folders_Click();
            expected = Deleted(Deleted(expected, names::LowerCase(bagMru), refusing), names::LowerCase(bags), refusing);
            ASSERT_EQ(refusing.size(), standin::MessageBoxes().size()) << "tree " << tree;
        } else {
            if (button == 0) FoldersPage::Increase_Folders_Click(shellKey, noRoamKey);
            if (button == 1) FoldersPage::Default_Folders_Click(shellKey, noRoamKey);
            for (const std::string* path : {&shell, &noRoam}) {
                auto it = expected.find(names::LowerCase(*path));
                if (it == expected.end()) continue;  // never created
                for (auto v = it->second.begin(); v != it->second.end();)
                    v = v->compare(0, kSize.size(), kSize) == 0 ? it->second.erase(v) : std::next(v);
                if (button == 0) it->second.insert(kSize + " type 4 = A0 0F 00 00");
            }
        }
        ASSERT_EQ(expected, Software()) << "tree " << tree << ", button " << button;
        ASSERT_EQ(0u, standin::OpenHandles()) << "tree " << tree;
    }
    standin::Reset();
}

// 500 levels deep, through the recursion.
TEST(NothingLostTest, DeepChainIsDeletedWhole) {
    STANDIN_ONLY();
    standin::Reset();
    const std::string path = "Software\\QorvelTweakerTests\\Chain";
    std::string chain = path;
    for (int level = 0; level < 500; ++level) chain += "\\L";
    ASSERT_TRUE(reliability::MakeKeyAt(HKEY_CURRENT_USER, chain));
    const Model before = Software();
    EXPECT_EQ(ERROR_SUCCESS, Module1::DeleteKeyTree(HKEY_CURRENT_USER, path));
    EXPECT_EQ(Deleted(before, names::LowerCase(path), {}), Software());
    EXPECT_EQ(0u, standin::OpenHandles());
    standin::Reset();
}

}  // namespace
