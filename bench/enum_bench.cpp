// Listing a key of 10,000 values: RegistryRoutines::EnumRegistryValues
// against a bare RegEnumValueA loop that reads each name and its data into
// buffers sized once from RegQueryInfoKeyA and keeps copies of them. Runs on
// the stand-in (native) and on the real registry (Windows or Wine). Prints
// one Markdown table row.
//
// Usage: enum_bench <label> [repetitions]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_tree.h"
#include "registry/registry_routines.h"

namespace {

constexpr int kValues = 10000;
const char* const kPath = "Software\\QorvelTweakerBench\\Values";

bool Fill(HKEY key) {
    char name[32];
    char text[64];
    for (int i = 0; i < kValues; ++i) {
        std::snprintf(name, sizeof name, "Value%05d", i);
        LONG status;
        switch (i % 4) {
            case 0:
            case 1: {
                const int length = std::snprintf(text, sizeof text, "C:\\Documents and Settings\\item %d", i);
                status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                        static_cast<DWORD>(length + 1));
                break;
            }
            case 2: {
                const DWORD data = static_cast<DWORD>(i);
                status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
                break;
            }
            default: {
                BYTE data[24];
                for (int b = 0; b < 24; ++b) data[b] = static_cast<BYTE>(i + b);
                status = RegSetValueExA(key, name, 0, REG_BINARY, data, sizeof data);
                break;
            }
        }
        if (status != ERROR_SUCCESS) return false;
    }
    return true;
}

// The bare loop; returns the number of values read.
std::size_t BareLoop() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD maxName = 0;
    DWORD maxData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData, nullptr,
                     nullptr);
    std::vector<char> name(maxName + 1);
    std::vector<BYTE> data(maxData + 1);
    std::vector<std::pair<std::string, std::vector<BYTE>>> kept;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize) !=
            ERROR_SUCCESS)
            break;
        kept.emplace_back(std::string(name.data(), nameLength),
                          std::vector<BYTE>(data.begin(), data.begin() + dataSize));
    }
    RegCloseKey(key);
    return kept.size();
}

}  // namespace

int main(int argc, char** argv) {
    const char* label = argc > 1 ? argv[1] : "registry";
    const int reps = argc > 2 ? std::atoi(argv[2]) : 7;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS ||
        !Fill(key)) {
        std::printf("cannot fill %s\n", kPath);
        return 2;
    }
    RegCloseKey(key);

    RegistryRoutines routines;
    std::vector<double> product;
    std::vector<double> bare;
    std::vector<double> ratio;
    int failures = 0;
    for (int rep = 0; rep < reps; ++rep) {
        auto start = std::chrono::steady_clock::now();
        const std::size_t listed = routines.EnumRegistryValues(HKEY_CURRENT_USER, kPath).Count();
        const double productMs = bench::MsSince(start);
        start = std::chrono::steady_clock::now();
        const std::size_t read = BareLoop();
        const double bareMs = bench::MsSince(start);
        if (listed != kValues || read != kValues) {
            std::printf("listed %zu, read %zu, expected %d\n", listed, read, kValues);
            ++failures;
        }
        product.push_back(productMs);
        bare.push_back(bareMs);
        ratio.push_back(productMs / bareMs);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kPath);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QorvelTweakerBench");
    std::printf("| %s | %d | %d | %.2f | %.2f | %.2f | %s |\n", label, kValues, reps, bench::Median(product),
                bench::Median(bare), bench::Median(ratio), bench::Range(ratio).c_str());
    return failures ? 1 : 0;
}
