// The registry behaviour the program relies on and the tests of the program
// do not show by themselves, checked against whichever platform the tests
// run on: natively this keeps the stand-in honest. Every fact here was
// measured under Wine; those Windows documents, or that Wine's conformance
// tests also see on Windows, are checked everywhere, the others only under
// Wine and natively (WINE_ONLY).

#include "test_key.h"

namespace {

using RegistryApi = RegistryTest;

TEST_F(RegistryApi, PathForms) {
    MakeKey("a\\b");
    MakeKey("p\\c");
    const KeyPtr base = Open("", KEY_ALL_ACCESS);
    ASSERT_TRUE(base);
    const struct {
        const char* path;
        LONG status;
    } cases[] = {{"A\\B", ERROR_SUCCESS}, {"a\\", ERROR_SUCCESS}, {"nope", ERROR_FILE_NOT_FOUND}};
    for (const auto& c : cases) {
        HKEY key = nullptr;
        EXPECT_EQ(c.status, RegOpenKeyExA(base.get(), c.path, 0, KEY_READ, &key)) << c.path;
        if (key) RegCloseKey(key);
    }
    // A leading separator is refused (Wine's conformance tests accept success on Windows).
    HKEY root = nullptr;
    WINE_ONLY(EXPECT_EQ(ERROR_BAD_PATHNAME, RegOpenKeyExA(base.get(), "\\a", 0, KEY_READ, &root)));
    WINE_ONLY(EXPECT_EQ(ERROR_BAD_PATHNAME, RegDeleteKeyA(base.get(), "\\p")));
    WINE_ONLY(EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(base.get(), "p\\c\\")) << "a trailing separator");
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &root));
    EXPECT_EQ(HKEY_CURRENT_USER, root) << "the empty path on a root gives the root";
}

// Not pinned by any test, as Windows documents no order: subkeys enumerate
// sorted without regard to case, on Wine (and in the stand-in) as lower case
// sorts, "[b" < "_u" < "a", on Windows as upper case, "Z" < "[b". Listings
// are compared with the platform's own enumeration (test_registry_routines.cpp).
//
// A subkey whose class does not fit the class buffer with its NUL answers 234
// even though its name fits (Wine only): the program enumerates without a
// class buffer, and test_module1.cpp deletes a tree with a classed subkey.

TEST_F(RegistryApi, Values) {
    const KeyPtr base = Open("", KEY_ALL_ACCESS);
    ASSERT_TRUE(base);
    // A terminator the caller forgot to count is added when one follows.
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(base.get(), "sz", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3));
    EXPECT_EQ(Bytes(std::string("abc\0", 4)), GetRaw("", "sz"));
    const BYTE raw[] = {'x', 'y', 0xFF};
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(base.get(), "raw", 0, REG_SZ, raw, 2));
    EXPECT_EQ(Bytes("xy"), GetRaw("", "raw"));
    // Each handle allows what it was opened for.
    const KeyPtr readOnly = Open(""), writeOnly = Open("", KEY_WRITE);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(readOnly.get(), "x", 0, REG_BINARY, raw, 1));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueA(readOnly.get(), "sz"));
    BYTE buffer[8];
    DWORD type = 0, size = sizeof buffer;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(writeOnly.get(), "sz", nullptr, &type, buffer, &size));
}

// This computer by its name, with or without "\\" (also on Windows, in
// Wine's conformance tests), or as "", connects; under Wine the handle is the
// given root itself. That another computer is unreachable,
// test_registry_remote.cpp sees.
TEST_F(RegistryApi, ConnectingToComputers) {
    char name[256];
    DWORD size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    for (const std::string& machine : {std::string(), std::string(name), "\\\\" + std::string(name)}) {
        HKEY root = nullptr;
        const LONG status = RegConnectRegistryA(machine.c_str(), HKEY_LOCAL_MACHINE, &root);
        if (machine.empty())
            WINE_ONLY(EXPECT_EQ(ERROR_SUCCESS, status));
        else
            EXPECT_EQ(ERROR_SUCCESS, status) << machine;
        WINE_ONLY(EXPECT_EQ(HKEY_LOCAL_MACHINE, root) << machine);
        if (root && root != HKEY_LOCAL_MACHINE) RegCloseKey(root);  // Windows: a handle of its own
    }
}

}  // namespace
