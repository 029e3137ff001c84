// The fixture every registry test group derives from. Each test starts from
// its own fresh key below HKEY_CURRENT_USER\Software\QorvelTweakerTests and
// removes it afterwards, natively against the stand-in (reset per test) and
// under Wine against the real registry. After each test the stand-in must
// report no open registry handle.
//
// The helpers here work through the raw Win32 calls, never through the code
// under test, so a fault in that code cannot hide itself.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "printers.h"

#include "platform/standin_control.h"

// True where the registry is the in-memory stand-in (faults can be injected).
#ifdef _WIN32
constexpr bool kStandIn = false;
#else
constexpr bool kStandIn = true;
#endif

// Skips a test that needs a fault only the stand-in can inject.
#define STANDIN_ONLY()                                                  \
    do {                                                                \
        if (!kStandIn) GTEST_SKIP() << "needs a fault of the stand-in"; \
    } while (0)

// Number of registry handles open in this process, or -1 where that cannot
// be counted.
long OpenRegistryHandles();

// Raw bytes of a string literal, without its terminating NUL unless written.
std::vector<BYTE> Bytes(const std::string& s);

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The test's own key, relative to HKEY_CURRENT_USER.
    const std::string& Base() const { return base_; }
    // Base() + "\" + relative (Base() itself for "").
    std::string Path(const std::string& relative) const;

    // Raw helpers below the test key (paths relative to Base()).
    void MakeKey(const std::string& relative);
    bool KeyPresent(const std::string& relative) const;
    void SetRaw(const std::string& relative, const std::string& name, DWORD type, const std::vector<BYTE>& data) {
        WriteRaw(relative, name, type, data, 0);
    }
    // Writes the bytes with no extra byte after them: the platform cannot add
    // a terminator that is not there.
    void SetRawExact(const std::string& relative, const std::string& name, DWORD type, std::vector<BYTE> data) {
        WriteRaw(relative, name, type, std::move(data), 0xFF);
    }
    bool ValuePresent(const std::string& relative, const std::string& name) const;
    // Type and bytes of a value; fails the test when it is missing.
    std::vector<BYTE> GetRaw(const std::string& relative, const std::string& name, DWORD* type = nullptr) const;

    // A full listing of a subtree (keys, values, types and bytes), for
    // before/after comparisons.
    std::vector<std::string> Snapshot(HKEY root, const std::string& path) const;

    void ExpectNoOpenHandles() const;

private:
    void WriteRaw(const std::string& relative, const std::string& name, DWORD type, std::vector<BYTE> data, BYTE after);
    LONG OpenRelative(const std::string& relative, REGSAM access, HKEY& key) const;

    std::string base_;
    long handlesAtStart_ = -1;
};

// A full listing of root\path and everything below it: one "[path]" line per
// key, then one line per value with its name, type and bytes in hex.
std::vector<std::string> RegistrySnapshot(HKEY root, const std::string& path);

// Deletes root\path with everything below it through raw calls (test
// cleanup); false when the key could not be deleted.
bool RemoveTree(HKEY root, const std::string& path);
