// The registry behaviour the program relies on, checked against whichever
// platform the tests run on. Natively this keeps the stand-in honest: every
// expectation here was measured on the real registry (under Wine), and the
// same binary source passes there.
#include <algorithm>

#include "test_key.h"

namespace {

class RegistryApi : public RegistryTest {
protected:
    HKEY OpenBase(REGSAM access = KEY_ALL_ACCESS) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Base().c_str(), 0, access, &key));
        return key;
    }
};

TEST_F(RegistryApi, PathForms) {
    MakeKey("a\\b");
    HKEY base = OpenBase();
    const struct {
        const char* path;
        LONG status;
    } cases[] = {
        {"a\\b", ERROR_SUCCESS},     {"A\\B", ERROR_SUCCESS},        {"a\\", ERROR_SUCCESS}, {"a\\\\b", ERROR_SUCCESS},
        {"\\a", ERROR_BAD_PATHNAME}, {"nope", ERROR_FILE_NOT_FOUND}, {"", ERROR_SUCCESS},
    };
    for (const auto& c : cases) {
        HKEY key = nullptr;
        EXPECT_EQ(c.status, RegOpenKeyExA(base, c.path, 0, KEY_READ, &key)) << c.path;
        if (key && key != base) RegCloseKey(key);
    }
    HKEY root = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &root));
    EXPECT_EQ(HKEY_CURRENT_USER, root) << "the empty path on a root gives the root";
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_CURRENT_USER));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(reinterpret_cast<HKEY>(std::uintptr_t{0x4320})));
    RegCloseKey(base);
}

TEST_F(RegistryApi, DeletingKeys) {
    MakeKey("p\\c");
    HKEY base = OpenBase();
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(base, "p")) << "a key with subkeys";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyA(base, "missing"));
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegDeleteKeyA(base, "\\p"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(HKEY_CURRENT_USER, "")) << "a root";
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(base, "p\\c\\")) << "a trailing separator";

    // Deleting a key through its own handle, even one opened for reading.
    HKEY p = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(base, "p", 0, KEY_READ, &p));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(p, ""));
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryInfoKeyA(p, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(p));
    EXPECT_FALSE(KeyPresent("p"));
    RegCloseKey(base);
}

TEST_F(RegistryApi, EnumeratingSubkeys) {
    for (const char* n : {"_u", "a", "B", "Z", "[b", "abcdefgh"}) MakeKey(std::string("e\\") + n);
    HKEY e = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Path("e").c_str(), 0, KEY_READ, &e));
    std::vector<std::string> order;
    for (DWORD i = 0;; ++i) {
        char name[300];
        DWORD size = sizeof name;
        const LONG status = RegEnumKeyExA(e, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(ERROR_SUCCESS, status);
        order.emplace_back(name, size);
    }
    // Case-insensitive, as lower case sorts.
    EXPECT_EQ((std::vector<std::string>{"[b", "_u", "a", "abcdefgh", "B", "Z"}), order);

    char name[16];
    std::memset(name, 0xBD, sizeof name);
    DWORD size = 8;  // "abcdefgh" needs 9 with its NUL
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExA(e, 3, name, &size, nullptr, nullptr, nullptr, nullptr));
    size = 9;
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyExA(e, 3, name, &size, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(8u, size);
    EXPECT_STREQ("abcdefgh", name);
    RegCloseKey(e);
}

TEST_F(RegistryApi, SubkeyClassNames) {
    // With a class buffer, a class that does not fit with its NUL answers 234
    // even though the name fits; without one, every subkey enumerates.
    const struct {
        const char* name;
        const char* className;
        LONG oneCharClass;
    } keys[] = {{"a", nullptr, ERROR_SUCCESS}, {"b", "klass", ERROR_MORE_DATA}, {"c", nullptr, ERROR_SUCCESS}};
    HKEY base = OpenBase();
    for (const auto& k : keys) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(base, k.name, 0, const_cast<LPSTR>(k.className), 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        RegCloseKey(key);
    }
    for (DWORD i = 0; i < 3; ++i) {
        char name[16], className[1];
        DWORD size = sizeof name, classSize = sizeof className;
        ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyExA(base, i, name, &size, nullptr, nullptr, nullptr, nullptr)) << i;
        const auto k =
            std::find_if(std::begin(keys), std::end(keys), [&](const auto& c) { return c.name == std::string(name); });
        ASSERT_NE(std::end(keys), k) << name;
        size = sizeof name;
        EXPECT_EQ(k->oneCharClass, RegEnumKeyExA(base, i, name, &size, nullptr, className, &classSize, nullptr))
            << k->name;
    }
    DWORD maxClass = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(base, nullptr, nullptr, nullptr, nullptr, nullptr, &maxClass, nullptr,
                                              nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(5u, maxClass) << "the longest subkey class, without its NUL";
    RegCloseKey(base);
}

TEST_F(RegistryApi, Values) {
    HKEY base = OpenBase();
    // A terminator the caller forgot to count is added when one follows.
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(base, "sz", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3));
    EXPECT_EQ(Bytes(std::string("abc\0", 4)), GetRaw("", "sz"));
    const BYTE raw[] = {'x', 'y', 0xFF};
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(base, "raw", 0, REG_SZ, raw, 2));
    EXPECT_EQ(Bytes("xy"), GetRaw("", "raw"));

    BYTE buffer[8];
    std::memset(buffer, 0xBD, sizeof buffer);
    DWORD type = 0, size = 2;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(base, "sz", nullptr, &type, buffer, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(base, "absent", nullptr, &type, buffer, &size));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExA(nullptr, "sz", nullptr, &type, buffer, &size));

    const std::string longName(16383, 'n');
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(base, longName.c_str(), 0, REG_BINARY, raw, 1));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueExA(base, (longName + "n").c_str(), 0, REG_BINARY, raw, 1));
    RegCloseKey(base);

    HKEY readOnly = OpenBase(KEY_READ);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(readOnly, "x", 0, REG_BINARY, raw, 1));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueA(readOnly, "sz"));
    RegCloseKey(readOnly);
    HKEY writeOnly = OpenBase(KEY_WRITE);
    size = sizeof buffer;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(writeOnly, "sz", nullptr, &type, buffer, &size));
    RegCloseKey(writeOnly);
}

TEST_F(RegistryApi, ConnectingToComputers) {
    char name[64];
    DWORD size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    for (const std::string& machine : {std::string(), std::string(name), "\\\\" + std::string(name)}) {
        HKEY root = nullptr;
        EXPECT_EQ(ERROR_SUCCESS,
                  RegConnectRegistryA(machine.empty() ? nullptr : machine.c_str(), HKEY_LOCAL_MACHINE, &root))
            << machine;
        EXPECT_EQ(HKEY_LOCAL_MACHINE, root) << machine;
    }
    HKEY root = nullptr;
    EXPECT_EQ(ERROR_BAD_NETPATH, RegConnectRegistryA("\\\\qt-no-such-host", HKEY_LOCAL_MACHINE, &root));
}

TEST_F(RegistryApi, ExpandingEnvironmentStrings) {
    ASSERT_TRUE(SetEnvironmentVariableA("QT_X", "value"));
    char out[64];
    EXPECT_EQ(10u, ExpandEnvironmentStringsA("a%QT_X%b%c", nullptr, 0));
    EXPECT_EQ(10u, ExpandEnvironmentStringsA("a%QT_X%b%c", out, sizeof out));
    EXPECT_STREQ("avalueb%c", out);
    EXPECT_EQ(14u, ExpandEnvironmentStringsA("%QT_NOT_SET%x", out, sizeof out));
    EXPECT_STREQ("%QT_NOT_SET%x", out);
    SetEnvironmentVariableA("QT_X", nullptr);
}

}  // namespace
