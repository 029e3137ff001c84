// Registry calls DeleteKeyTree makes per deleted key (the Reg functions and
// ntdll's NtDeleteKey, through which every key is deleted), counted by the
// in-memory stand-in (native build only).
//
// The cost of one more leaf is measured as the difference between flat trees
// of N and N-1 leaves; the cost of one more key with subkeys as the
// difference between chains of N and N-1 levels (one more level turns the
// old bottom leaf into a key with a subkey and adds a new leaf); the top
// key's own cost from a top key with one leaf. Each shape's total is then
// checked against root + per-leaf x leaves + per-key-with-subkeys x the
// others: an exact fit means the per-key figures hold throughout that shape.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_tree.h"
#include "platform/standin_control.h"
#include "registry/module1.h"

namespace {

const char* const kFunctions[] = {"NtDeleteKey", "RegEnumKeyExA", "RegOpenKeyExA", "RegQueryInfoKeyA", "RegCloseKey"};

struct Run {
    unsigned long total = 0;
    unsigned long perFunction[5] = {0, 0, 0, 0, 0};
    bool ok = false;
};

// Builds `top` below HKCU\Software\QorvelTweakerBench on a fresh stand-in
// and counts the calls of deleting it.
Run CountDeletion(const bench::Node& top) {
    Run run;
    standin::Reset();
    HKEY bench = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QorvelTweakerBench", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &bench, nullptr) != ERROR_SUCCESS ||
        !bench::Build(bench, top))
        return run;
    standin::ResetCallCounts();
    const LONG status = Module1::DeleteKeyTree(bench, "T");
    run.total = standin::RegistryCallCount() + standin::CallCount("NtDeleteKey");
    for (int f = 0; f < 5; ++f) run.perFunction[f] = standin::CallCount(kFunctions[f]);
    run.ok = status == ERROR_SUCCESS && bench::Gone(bench, "T");
    RegCloseKey(bench);
    run.ok = run.ok && standin::OpenHandles() == 0;
    return run;
}

}  // namespace

int main() {
    const long leaf = static_cast<long>(CountDeletion(bench::FlatShape(100)).total) -
                      static_cast<long>(CountDeletion(bench::FlatShape(99)).total);
    const long inner = static_cast<long>(CountDeletion(bench::ChainShape(100)).total) -
                       static_cast<long>(CountDeletion(bench::ChainShape(99)).total);
    const long root = static_cast<long>(CountDeletion(bench::FlatShape(1)).total) - leaf;

    struct Shape {
        const char* label;
        bench::Node top;
    };
    std::vector<Shape> shapes;
    shapes.push_back({"Bags-shaped, 2,000 entries", bench::BagsShape(2000)});
    shapes.push_back({"Bags-shaped, nested in every entry, 2,000", bench::BagsNestedShape(2000)});
    shapes.push_back({"Bags-shaped, 12,500 entries", bench::BagsShape(12500)});
    shapes.push_back({"flat, 10,000 leaves", bench::FlatShape(10000)});
    shapes.push_back({"chain, 500 levels", bench::ChainShape(500)});

    std::printf(
        "Marginal cost: %ld calls per leaf (aim: exactly 4), %ld per key with subkeys (aim: at most 6), "
        "%ld for the top key (no parent enumeration).\n\n",
        leaf, inner, root);
    std::printf(
        "| shape | keys | leaves | keys with subkeys | registry calls | calls / key | fits the per-key "
        "figures | NtDeleteKey | EnumKeyEx | OpenKeyEx | QueryInfoKey | CloseKey |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---|---:|---:|---:|---:|---:|\n");
    // A leaf: its name read by the parent, an open that follows no link, the
    // delete through that handle and the close.
    bool allOk = leaf == 4 && inner <= 6;
    for (const Shape& shape : shapes) {
        const bench::Counts counts = bench::CountOf(shape.top);
        const Run run = CountDeletion(shape.top);
        const long predicted =
            root + leaf * static_cast<long>(counts.leaves) + inner * static_cast<long>(counts.internal - 1);
        const bool fits = predicted == static_cast<long>(run.total);
        allOk = allOk && fits && run.ok;
        std::printf("| %s | %lu | %lu | %lu | %lu | %.3f | %s | %lu | %lu | %lu | %lu | %lu |\n", shape.label,
                    counts.keys, counts.leaves, counts.internal, run.total,
                    static_cast<double>(run.total) / static_cast<double>(counts.keys),
                    !run.ok ? "DELETION FAILED"
                    : fits  ? "yes"
                            : "no",
                    run.perFunction[0], run.perFunction[1], run.perFunction[2], run.perFunction[3], run.perFunction[4]);
    }
    return allOk ? 0 : 1;
}
