// Over 10,000 seeded random trees: DeleteKeyTree removes exactly its subtree
// (a refusing key stays, with all below and above it). The Folders buttons
// built on it are tested on their own keys in tests/tweaks.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/names.h"
#include "registry/module1.h"
#include "test_key.h"

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

// A random subtree below HKCU\\path; created key paths go to `paths`.
void RandomTree(Random& rng, const std::string& path, unsigned depth, unsigned& budget,
                std::vector<std::string>& paths) {
    static const DWORD kTypes[] = {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_NONE, 11, 77};
    for (unsigned i = rng.Between(0, 3); i > 0; --i) {
        const std::string name = rng.OneIn(5) ? std::string() : RandomName(rng).substr(0, 20);
        std::vector<BYTE> data(rng.Between(0, 12));
        for (BYTE& b : data) b = static_cast<BYTE>(rng.Next());
        SetValueAt(HKEY_CURRENT_USER, path, name, kTypes[rng.Between(0, 7)], data);
    }
    if (depth == 0) return;
    std::set<std::string> taken;  // names are unique without regard to case
    for (unsigned i = rng.Between(0, 3); i > 0 && budget > 0; --i) {
        const std::string name = RandomName(rng);
        if (!taken.insert(names::LowerCase(name)).second) continue;
        --budget;
        paths.push_back(path + "\\" + name);
        MakeKeyAt(HKEY_CURRENT_USER, paths.back());
        RandomTree(rng, std::string(paths.back()), depth - 1, budget, paths);
    }
}

// HKCU\\path with a random tree below; returns its keys.
std::vector<std::string> MakeRandomTree(Random& rng, const std::string& path, unsigned maxDepth, unsigned budget) {
    std::vector<std::string> paths = {path};
    MakeKeyAt(HKEY_CURRENT_USER, path);
    RandomTree(rng, path, rng.Between(0, maxDepth), budget, paths);
    return paths;
}

// HKCU\\Software: lower-case key path -> its values.
using Model = std::map<std::string, std::set<std::tuple<std::string, DWORD, std::vector<BYTE>>>>;

void AddTo(Model& model, const KeyTree& key, const std::string& path) {
    auto& values = model[names::LowerCase(path)];
    for (const auto& v : key.values) values.emplace(v.name, v.type, v.data);
    for (const auto& sub : key.subkeys) AddTo(model, sub, path + "\\" + sub.name);
}

Model Software() {
    Model model;
    AddTo(model, ReadTree(HKEY_CURRENT_USER, "Software").value(), "Software");
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

// Locks one of `keys`; returns it in lower case.
std::string RefuseOne(Random& rng, const std::vector<std::string>& keys) {
    const std::string& path = keys[rng.Between(0, static_cast<unsigned>(keys.size() - 1))];
    Lock(HKEY_CURRENT_USER, path);
    return names::LowerCase(path);
}

constexpr int kTrees = 10000;

TEST(NothingLostTest, DeleteKeyTreeRemovesExactlyTheTarget) {
    STANDIN_ONLY();
    Random rng{std::mt19937_64{20261206}};
    const std::string parent = "Software\\QorvelTweakerTests\\Lost";
    for (int tree = 0; tree < kTrees; ++tree) {
        standin::Reset();
        const std::string target = parent + "\\" + RandomName(rng);
        const std::vector<std::string> keys = MakeRandomTree(rng, target, 4, 7);
        // Neighbours, one with the target name as prefix.
        MakeRandomTree(rng, rng.OneIn(2) ? target + "x" : target + " 2", 1, 3);
        MakeRandomTree(rng, parent + "\\" + RandomName(rng) + "#", 1, 3);
        MakeRandomTree(rng, "Software\\Other", 1, 3);
        std::vector<std::string> refusing;
        if (rng.OneIn(4)) refusing.push_back(RefuseOne(rng, keys));
        const Model before = Software();
        const LONG status = Module1::DeleteKeyTree(HKEY_CURRENT_USER, target);
        ASSERT_EQ(Deleted(before, names::LowerCase(target), refusing), Software()) << "tree " << tree << ": " << target;
        ASSERT_EQ(refusing.empty() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED, status) << "tree " << tree;
        ASSERT_EQ(refusing.size(), standin::MessageBoxes().size()) << "tree " << tree;
    }
    standin::Reset();
}

}  // namespace
