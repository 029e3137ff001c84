// Raw registry helpers for the tests, and the fixture every registry test
// group derives from. Each RegistryTest starts from its own fresh key below
// HKEY_CURRENT_USER\Software\QorvelTweakerTests and removes it afterwards,
// natively against the stand-in (reset per test) and under Wine against the
// real registry. After each test no registry handle may stay open.
//
// The helpers work through the raw Win32 calls, never through the code under
// test, so a fault in that code cannot hide itself. A set-up helper that
// fails throws SetupError: GoogleTest reports the exception and ends the
// test, where a failed ASSERT would only leave the helper.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/standin_control.h"
#include "printers.h"
#include "registry/registry_routines.h"

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

// True under Wine, whose behaviour the stand-in copies: there, and natively,
// WINE_ONLY checks a fact measured on Wine that Windows does not promise; on
// Windows it checks nothing (as conformance suites mark such results).
bool OnWine();
#define WINE_ONLY(...)                \
    do {                              \
        if (!kStandIn && !OnWine()) { \
        } else {                      \
            __VA_ARGS__;              \
        }                             \
    } while (0)

// Makes root\path a key of the stand-in that refuses deletion and every
// write (still readable), as a key another user or a policy holds.
inline void Lock(HKEY root, const std::string& path) {
    standin::RefuseDelete(root, path);
    standin::RefuseOpen(root, path, KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
}

// The names of a listing, in its order.
inline std::vector<std::string> Names(const KeyedCollection& c) {
    std::vector<std::string> out;
    for (const auto& entry : c) out.push_back(entry.first);
    return out;
}

// A RegistryRoutines aimed at root\keyRoot\subkey.
inline RegistryRoutines Aimed(HKEY root, const std::string& keyRoot, const std::string& subkey) {
    RegistryRoutines r;
    r.hKey(root);
    r.KeyRoot(keyRoot);
    r.Subkey(subkey);
    return r;
}

struct SetupError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An open key, closed when it goes out of scope.
using KeyPtr = std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)>;

// Raw bytes of a string literal, without its terminating NUL unless written.
std::vector<BYTE> Bytes(const std::string& s);
// The bytes of `text` with its NUL.
std::vector<BYTE> Sz(const std::string& text);

// Helpers by path below `root`, a predefined root or an open key.
//
// Creates every missing level, one at a time relative to its parent's handle:
// the ANSI functions refuse a path longer than 260 characters. A new last
// level gets the class name `lastClass`, if one is given.
void MakeKeyAt(HKEY root, const std::string& path, const char* lastClass = nullptr);
bool KeyPresentAt(HKEY root, const std::string& path);
// Writes `data` into the existing key with `after` as the byte past its end:
// the platform counts a NUL there into string data, any other byte not.
void SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type, std::vector<BYTE> data,
                BYTE after = 0xFF);
// Type and bytes of a value; nullopt when the key or the value is missing.
std::optional<std::vector<BYTE>> ValueAt(HKEY root, const std::string& path, const std::string& name,
                                         DWORD* type = nullptr);
// Deletes root\path with everything below it, one level at a time (test
// cleanup); false when the key could not be deleted.
bool RemoveTree(HKEY root, const std::string& path);
// RemoveTree that throws when the key is still there afterwards.
void RemoveKeyAt(HKEY root, const std::string& path);

struct StoredValue {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;  // empty when it changed while being read
};
struct KeyTree {
    std::string name;  // the key's own level
    bool readable = true;
    std::vector<StoredValue> values;
    std::vector<KeyTree> subkeys;
};
// root\path with everything below it, in the platform's order; nullopt when
// the key does not open.
std::optional<KeyTree> ReadTree(HKEY root, const std::string& path);
// Creates `tree` below `parent` with its values (written exactly) and subkeys.
void WriteTree(HKEY parent, const KeyTree& tree);
// A full listing of root\path and everything below it: one "[path]" line per
// key, then one line per value with its name, type and bytes in hex; values
// and subkeys sorted by name, whatever order the platform lists them in.
std::vector<std::string> RegistrySnapshot(HKEY root, const std::string& path);

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The test's own key, relative to HKEY_CURRENT_USER.
    const std::string& Base() const { return base_; }
    // Base() + "\" + relative (Base() itself for "").
    std::string Path(const std::string& relative) const;

    // The helpers above, below the test key (paths relative to Base(), which
    // keeps them short).
    void MakeKey(const std::string& relative, const char* lastClass = nullptr) {
        MakeKeyAt(Open("", KEY_ALL_ACCESS).get(), relative, lastClass);
    }
    bool KeyPresent(const std::string& relative) const { return KeyPresentAt(Open("").get(), relative); }
    // With a NUL past the data (the platform may count it in)...
    void SetRaw(const std::string& relative, const std::string& name, DWORD type, const std::vector<BYTE>& data) {
        SetValueAt(Open("").get(), relative, name, type, data, 0);
    }
    // ... or with no byte after the data that could be taken as a terminator.
    void SetRawExact(const std::string& relative, const std::string& name, DWORD type, std::vector<BYTE> data) {
        SetValueAt(Open("").get(), relative, name, type, std::move(data));
    }
    bool ValuePresent(const std::string& relative, const std::string& name) const {
        return ValueAt(Open("").get(), relative, name).has_value();
    }
    // Type and bytes of a value; fails the test when it is missing.
    std::vector<BYTE> GetRaw(const std::string& relative, const std::string& name, DWORD* type = nullptr) const;

    // Path(relative) opened with `access`; null when it does not open.
    KeyPtr Open(const std::string& relative, REGSAM access = KEY_READ) const;

    std::vector<std::string> Snapshot(HKEY root, const std::string& path) const { return RegistrySnapshot(root, path); }

private:
    std::string base_;
    long handlesAtStart_ = -1;
};
