// Benchmark support: the tree shapes the deletion benchmarks build, built
// level by level through open handles (under Wine the ANSI functions refuse
// paths longer than 260 characters, which a 500-level chain has), and the
// median of a set of timings. Works on the stand-in and the real registry.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace bench {

// One key of a shape: its name, how many values it holds, its subkeys.
struct Node {
    std::string name;
    int values = 0;
    std::vector<Node> children;
};

// Counts of a shape below (and including) its top key.
struct Counts {
    unsigned long keys = 0;
    unsigned long leaves = 0;    // keys without subkeys
    unsigned long internal = 0;  // keys with subkeys, the top key included
};

inline void Count(const Node& node, Counts& counts) {
    ++counts.keys;
    if (node.children.empty())
        ++counts.leaves;
    else
        ++counts.internal;
    for (const Node& child : node.children) Count(child, counts);
}

inline Counts CountOf(const Node& top) {
    Counts counts;
    Count(top, counts);
    return counts;
}

// A folder-views store: `entries` numbered keys, each with three leaf keys
// of a few values ("Shell", "ComDlg", "Desktop"); every eighth "Shell" has
// one more level below it. About four keys an entry, three of them leaves.
inline Node BagsShape(int entries) {
    Node top{"T", 0, {}};
    top.children.reserve(static_cast<std::size_t>(entries));
    for (int i = 1; i <= entries; ++i) {
        Node shell{"Shell", 3, {}};
        if (i % 8 == 0) shell.children.push_back(Node{"{5C4F28B5-F869-4E84-8E60-F11DB97C5CC7}", 4, {}});
        Node entry{std::to_string(i), 0, {}};
        entry.children.push_back(std::move(shell));
        entry.children.push_back(Node{"ComDlg", 2, {}});
        entry.children.push_back(Node{"Desktop", 1, {}});
        top.children.push_back(std::move(entry));
    }
    return top;
}

// The same store nested in every entry: `entries` numbered keys, each with
// a "Shell" key of a few values holding one view key, and a "ComDlg" key;
// every eighth entry has one more level below its view key. About four keys
// an entry, half of them with subkeys.
inline Node BagsNestedShape(int entries) {
    Node top{"T", 0, {}};
    top.children.reserve(static_cast<std::size_t>(entries));
    for (int i = 1; i <= entries; ++i) {
        Node view{"{5C4F28B5-F869-4E84-8E60-F11DB97C5CC7}", 4, {}};
        if (i % 8 == 0) view.children.push_back(Node{"Extra", 1, {}});
        Node shell{"Shell", 3, {}};
        shell.children.push_back(std::move(view));
        Node entry{std::to_string(i), 0, {}};
        entry.children.push_back(std::move(shell));
        entry.children.push_back(Node{"ComDlg", 2, {}});
        top.children.push_back(std::move(entry));
    }
    return top;
}

// One key holding `leaves` leaf keys of one value each.
inline Node FlatShape(int leaves) {
    Node top{"T", 0, {}};
    char name[32];
    for (int i = 1; i <= leaves; ++i) {
        std::snprintf(name, sizeof name, "Leaf%05d", i);
        top.children.push_back(Node{name, 1, {}});
    }
    return top;
}

// A chain `levels` keys deep (the top key counts), one value a level. Built
// from the bottom up: recursion depth stays with the caller of Build.
inline Node ChainShape(int levels) {
    Node node{"Level", 1, {}};
    for (int i = 1; i < levels; ++i) {
        Node above{"Level", 1, {}};
        above.children.push_back(std::move(node));
        node = std::move(above);
    }
    node.name = "T";
    return node;
}

// Creates `node` below the open key `parent` with its values and subkeys.
// Returns false (and stops) at the first failure.
inline bool Build(HKEY parent, const Node& node) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, node.name.c_str(), 0 /* reserved */, nullptr /* no class */, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr /* default security */, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (int v = 0; v < node.values && ok; ++v) {
        char name[16];
        std::snprintf(name, sizeof name, "Value%d", v);
        if (v % 2 == 0) {
            const DWORD data = 0x20 + static_cast<DWORD>(v);
            ok = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
                 ERROR_SUCCESS;
        } else {
            const char text[] = "{00000000-0000-0000-0000-000000000000}";
            ok =
                RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text) == ERROR_SUCCESS;
        }
    }
    for (const Node& child : node.children) {
        if (!ok) break;
        ok = Build(key, child);
    }
    RegCloseKey(key);
    return ok;
}

// True when `path` below `parent` does not exist.
inline bool Gone(HKEY parent, const char* path) {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(parent, path, 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    return status == ERROR_FILE_NOT_FOUND;
}

inline double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// "lowest-highest" of a set of ratios, two decimals each.
inline std::string Range(const std::vector<double>& samples) {
    if (samples.empty()) return "n/a";
    char text[48];
    std::snprintf(text, sizeof text, "%.2f-%.2f", *std::min_element(samples.begin(), samples.end()),
                  *std::max_element(samples.begin(), samples.end()));
    return text;
}

// Milliseconds since `start`.
inline double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace bench
