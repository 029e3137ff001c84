// The registry behaviour the program relies on and the tests of the program
// do not show by themselves, checked against whichever platform the tests
// run on: natively this keeps the stand-in honest. Every fact here was
// measured under Wine; those Windows documents, or that Wine's conformance
// tests also see on Windows, are unmarked, the others say "Wine only".
#include <algorithm>
#include <cctype>

#include "test_key.h"

namespace {

class RegistryApi : public RegistryTest {
protected:
    [[nodiscard]] HKEY Open(const std::string& relative, REGSAM access = KEY_ALL_ACCESS) {
        HKEY key = nullptr;
        return RegOpenKeyExA(HKEY_CURRENT_USER, Path(relative).c_str(), 0, access, &key) == ERROR_SUCCESS ? key
                                                                                                          : nullptr;
    }
};

TEST_F(RegistryApi, PathForms) {
    MakeKey("a\\b");
    const HKEY base = Open("");
    ASSERT_NE(nullptr, base);
    const struct {
        const char* path;
        LONG status;
    } cases[] = {
        {"A\\B", ERROR_SUCCESS}, {"a\\", ERROR_SUCCESS}, {"\\a", ERROR_BAD_PATHNAME}, {"nope", ERROR_FILE_NOT_FOUND}};
    for (const auto& c : cases) {
        HKEY key = nullptr;
        EXPECT_EQ(c.status, RegOpenKeyExA(base, c.path, 0, KEY_READ, &key)) << c.path;
        if (key) RegCloseKey(key);
    }
    HKEY root = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &root));
    EXPECT_EQ(HKEY_CURRENT_USER, root) << "the empty path on a root gives the root";
    RegCloseKey(base);
}

TEST_F(RegistryApi, DeletingKeys) {
    MakeKey("p\\c");
    const HKEY base = Open("");
    ASSERT_NE(nullptr, base);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(base, "p")) << "a key with subkeys";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyA(base, "missing"));
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegDeleteKeyA(base, "\\p"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(base, "p\\c\\")) << "a trailing separator (Wine only)";
    RegCloseKey(base);
    // Through the key's own handle, even one opened for reading (Wine only).
    const HKEY p = Open("p", KEY_READ);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(p, ""));
    RegCloseKey(p);
    EXPECT_FALSE(KeyPresent("p"));
}

// Sorted without regard to case: Wine (and the stand-in) as lower case sorts,
// "[b" < "_u" < "a"; Windows as upper case, "Z" < "[b". Windows documents no
// order, so the program relies on none.
TEST_F(RegistryApi, EnumeratingSubkeys) {
    std::vector<std::string> names = {"_u", "a", "B", "Z", "[b"};
    for (const auto& n : names) MakeKey("e\\" + n);
    const HKEY e = Open("e", KEY_READ);
    ASSERT_NE(nullptr, e);
    std::vector<std::string> order;
    for (DWORD i = 0;; ++i) {
        char name[16];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(e, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        order.emplace_back(name, size);
    }
    RegCloseKey(e);
    const auto sorted = [&](int (*fold)(int)) {
        std::sort(names.begin(), names.end(), [fold](const std::string& a, const std::string& b) {
            return fold(static_cast<unsigned char>(a[0])) < fold(static_cast<unsigned char>(b[0]));
        });
        return names;
    };
    EXPECT_TRUE(order == sorted(::tolower) || order == sorted(::toupper)) << ::testing::PrintToString(order);
}

// A class that does not fit the class buffer with its NUL answers 234 even
// though the name fits (Wine only); without a class buffer every subkey
// enumerates.
TEST_F(RegistryApi, SubkeyClassNames) {
    HKEY key = nullptr;
    char klass[] = "klass";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, Path("b").c_str(), 0, klass, 0, KEY_ALL_ACCESS, nullptr,
                                             &key, nullptr));
    RegCloseKey(key);
    const HKEY base = Open("");
    ASSERT_NE(nullptr, base);
    char name[16], className[1];
    DWORD size = sizeof name, classSize = sizeof className;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExA(base, 0, name, &size, nullptr, className, &classSize, nullptr));
    size = sizeof name;
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyExA(base, 0, name, &size, nullptr, nullptr, nullptr, nullptr));
    DWORD maxClass = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(base, nullptr, nullptr, nullptr, nullptr, nullptr, &maxClass, nullptr,
                                              nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(5u, maxClass) << "the longest subkey class, without its NUL";
    RegCloseKey(base);
}

TEST_F(RegistryApi, Values) {
    const HKEY base = Open("");
    ASSERT_NE(nullptr, base);
    // A terminator the caller forgot to count is added when one follows.
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(base, "sz", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3));
    EXPECT_EQ(Bytes(std::string("abc\0", 4)), GetRaw("", "sz"));
    const BYTE raw[] = {'x', 'y', 0xFF};
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(base, "raw", 0, REG_SZ, raw, 2));
    EXPECT_EQ(Bytes("xy"), GetRaw("", "raw"));
    BYTE buffer[8];
    DWORD type = 0, size = 2;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(base, "sz", nullptr, &type, buffer, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    RegCloseKey(base);
    // Each handle allows what it was opened for.
    const HKEY readOnly = Open("", KEY_READ), writeOnly = Open("", KEY_WRITE);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(readOnly, "x", 0, REG_BINARY, raw, 1));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueA(readOnly, "sz"));
    size = sizeof buffer;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(writeOnly, "sz", nullptr, &type, buffer, &size));
    RegCloseKey(readOnly);
    RegCloseKey(writeOnly);
}

// This computer by its name, with or without "\\" (also on Windows, in
// Wine's conformance tests), or as "" (Wine only), is the given root itself
// (Wine only).
TEST_F(RegistryApi, ConnectingToComputers) {
    char name[256];
    DWORD size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    for (const std::string& machine : {std::string(), std::string(name), "\\\\" + std::string(name)}) {
        HKEY root = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegConnectRegistryA(machine.c_str(), HKEY_LOCAL_MACHINE, &root)) << machine;
        EXPECT_EQ(HKEY_LOCAL_MACHINE, root) << machine;
    }
    HKEY root = nullptr;
    EXPECT_EQ(ERROR_BAD_NETPATH, RegConnectRegistryA("\\\\qt-no-such-host", HKEY_LOCAL_MACHINE, &root));
}

}  // namespace
