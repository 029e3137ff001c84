// Deleting key trees on the real registry (Windows or Wine): Module1's
// DeleteKeyTree against the platform's SHDeleteKeyA and RegDeleteTreeA on
// identical trees below HKCU\Software\QorvelTweakerBench, built afresh for
// every deletion. Prints one Markdown table row per shape.
//
// Usage: delete_tree_bench [repetitions] [repetitions of the largest shape]
#include <windows.h>
#include <shlwapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_tree.h"
#include "registry/module1.h"

namespace {

// Vista and later; looked up at run time so that the import table stays as
// the XP-era program's is.
using RegDeleteTreeFn = LONG(WINAPI*)(HKEY, LPCSTR);

struct Shape {
    const char* label;
    bench::Node top;
    int reps;
};

struct Method {
    const char* label;
    LONG (*remove)(HKEY parent, const char* path);
};

RegDeleteTreeFn g_regDeleteTree = nullptr;

LONG ByDeleteKeyTree(HKEY parent, const char* path) {
    return Module1::DeleteKeyTree(parent, path);
}
LONG BySHDeleteKey(HKEY parent, const char* path) {
    return static_cast<LONG>(SHDeleteKeyA(parent, path));
}
LONG ByRegDeleteTree(HKEY parent, const char* path) {
    return g_regDeleteTree(parent, path);
}

}  // namespace

int main(int argc, char** argv) {
    const int reps = argc > 1 ? std::atoi(argv[1]) : 5;
    const int bigReps = argc > 2 ? std::atoi(argv[2]) : 3;
    // Through void*: FARPROC's own type does not convert to another function
    // type without a warning.
    void* found = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteTreeA"));
    g_regDeleteTree = reinterpret_cast<RegDeleteTreeFn>(found);
    if (!g_regDeleteTree) {
        std::printf("RegDeleteTreeA not found\n");
        return 2;
    }

    HKEY bench = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QorvelTweakerBench", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &bench, nullptr) != ERROR_SUCCESS) {
        std::printf("cannot create the bench key\n");
        return 2;
    }
    SHDeleteKeyA(bench, "T");  // a tree left by an interrupted run

    std::vector<Shape> shapes;
    shapes.push_back({"Bags-shaped, 2,000 entries", bench::BagsShape(2000), reps});
    shapes.push_back({"Bags-shaped, nested in every entry, 2,000", bench::BagsNestedShape(2000), reps});
    shapes.push_back({"Bags-shaped, 12,500 entries", bench::BagsShape(12500), bigReps});
    shapes.push_back({"flat, 10,000 leaves", bench::FlatShape(10000), reps});
    shapes.push_back({"chain, 500 levels", bench::ChainShape(500), reps});
    const Method methods[] = {
        {"DeleteKeyTree", ByDeleteKeyTree}, {"SHDeleteKeyA", BySHDeleteKey}, {"RegDeleteTreeA", ByRegDeleteTree}};

    std::printf(
        "| shape | keys | reps | DeleteKeyTree ms | SHDeleteKeyA ms | RegDeleteTreeA ms "
        "| DKT / RegDeleteTreeA | (range) | DKT / SHDeleteKeyA | (range) | round-trip model |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    std::fflush(stdout);
    int failures = 0;
    for (const Shape& shape : shapes) {
        std::vector<double> samples[3];
        std::vector<double> ratioTree;
        std::vector<double> ratioSh;
        for (int rep = 0; rep < shape.reps; ++rep) {
            // The methods take turns within a repetition, so that a drift of
            // the machine touches all three alike.
            double ms[3] = {0, 0, 0};
            for (int m = 0; m < 3; ++m) {
                if (!bench::Build(bench, shape.top)) {
                    std::printf("building %s failed\n", shape.label);
                    return 2;
                }
                const auto start = std::chrono::steady_clock::now();
                const LONG status = methods[m].remove(bench, "T");
                ms[m] = bench::MsSince(start);
                if (status != ERROR_SUCCESS || !bench::Gone(bench, "T")) {
                    std::printf("%s on %s: status %ld, tree %s\n", methods[m].label, shape.label, status,
                                bench::Gone(bench, "T") ? "gone" : "left");
                    ++failures;
                    SHDeleteKeyA(bench, "T");
                }
                samples[m].push_back(ms[m]);
            }
            ratioTree.push_back(ms[0] / ms[2]);
            ratioSh.push_back(ms[0] / ms[1]);
        }
        // Wineserver round trips, as counted for Wine 8: DeleteKeyTree makes
        // 4 per leaf (the parent's enumeration, the open, NtDeleteKey and the
        // close) and 6 per key with subkeys (the same and a refused
        // NtDeleteKey and the subkey count; one fewer for the top key, which
        // no parent enumerates); RegDeleteTreeA about 8 per key.
        const bench::Counts counts = bench::CountOf(shape.top);
        const double model = (4.0 * counts.leaves + 6.0 * counts.internal - 1) / (8.0 * counts.keys);
        std::printf("| %s | %lu | %d | %.1f | %.1f | %.1f | %.2f | %s | %.2f | %s | %.2f |\n", shape.label, counts.keys,
                    shape.reps, bench::Median(samples[0]), bench::Median(samples[1]), bench::Median(samples[2]),
                    bench::Median(ratioTree), bench::Range(ratioTree).c_str(), bench::Median(ratioSh),
                    bench::Range(ratioSh).c_str(), model);
        std::fflush(stdout);
    }
    RegCloseKey(bench);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QorvelTweakerBench");
    return failures ? 1 : 0;
}
