// Value enumeration of RegistryRoutines: EnumRegistryValues, with data and
// names of every shape another program may have left behind.
#include <cstdio>

#include "registry/registry_routines.h"
#include "test_key.h"

namespace {

using B = std::vector<BYTE>;

std::string Str(const char* s, std::size_t n) {
    return std::string(s, n);
}

// The reference hex form, built independently of the code under test.
std::string Hex(const B& data) {
    std::string out;
    char pair[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(pair, sizeof pair, i ? " %02X" : "%02X", data[i]);
        out += pair;
    }
    return out;
}

B Pattern(std::size_t size) {
    B data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<BYTE>(i * 13 + 5);
    return data;
}

TaggedValue Item(const std::string& name, TaggedValue data) {
    return TaggedValue(TaggedValue::List{TaggedValue(name), std::move(data)});
}

class RegistryEnum : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        MakeKey("Values");
        // The object's own target must play no part in the listing.
        reg_.hKey(HKEY_LOCAL_MACHINE);
        reg_.KeyRoot("Nowhere");
        reg_.Subkey("AtAll");
    }

    KeyedCollection List(const std::string& relative = "Values") {
        return reg_.EnumRegistryValues(HKEY_CURRENT_USER, Path(relative));
    }

    // Each item is [name, data] and is stored under its name.
    std::vector<std::string> Names(const KeyedCollection& c) {
        std::vector<std::string> out;
        for (const auto& entry : c) {
            const auto& pair = entry.second.ToList();
            EXPECT_EQ(2u, pair.size()) << entry.first;
            if (pair.size() == 2) {
                EXPECT_EQ(TaggedValue(entry.first), pair[0]);
            }
            out.push_back(entry.first);
        }
        return out;
    }

    // The data element of the item under `name`; fails when there is none.
    TaggedValue DataOf(const KeyedCollection& c, const std::string& name) {
        if (!c.Contains(name)) {
            ADD_FAILURE() << "no item " << name;
            return TaggedValue("<missing>");
        }
        return c.Item(name).ToList().at(1);
    }

    RegistryRoutines reg_;
};

TEST_F(RegistryEnum, KeyWithoutValuesOrMissingKeyGivesAnEmptyCollection) {
    EXPECT_TRUE(List().Empty());
    EXPECT_TRUE(List("NoSuchKey").Empty());
    EXPECT_TRUE(reg_.EnumRegistryValues(HKEY_CURRENT_USER, Path("Values\\Deeper")).Empty());
}

TEST_F(RegistryEnum, ListsEveryValueInPlatformOrderUnderItsName) {
    SetRaw("Values", "x", REG_SZ, Bytes(Str("hello\0", 6)));
    SetRaw("Values", "y", REG_BINARY, {0x01, 0x02});
    SetRaw("Values", "z", REG_DWORD, {0xA0, 0x0F, 0, 0});
    const KeyedCollection c = List();
    EXPECT_EQ((std::vector<std::string>{"x", "y", "z"}), Names(c));
    ASSERT_EQ(3u, c.Count());
    EXPECT_EQ(Item("x", TaggedValue("hello")), c.Item(1));
    EXPECT_EQ(Item("y", TaggedValue("01 02")), c.Item(2));
    EXPECT_EQ(Item("z", TaggedValue(4000)), c.Item(3));
    EXPECT_EQ(Item("y", TaggedValue("01 02")), c.Item("Y")) << "keys match without regard to case";
}

struct ListCase {
    const char* name;
    DWORD type;
    B data;
    TaggedValue expected;
};

TEST_F(RegistryEnum, ConvertsEachType) {
    const ListCase cases[] = {
        {"sz", REG_SZ, Bytes(Str("hello\0", 6)), TaggedValue("hello")},
        {"sz only NUL", REG_SZ, {0}, TaggedValue("")},
        {"sz zero bytes", REG_SZ, {}, TaggedValue("")},
        {"sz unterminated", REG_SZ, Bytes("abc"), TaggedValue("abc")},
        {"sz inner NUL", REG_SZ, Bytes(Str("a\0b\0", 4)), TaggedValue(Str("a\0b", 3))},
        {"expand zero bytes", REG_EXPAND_SZ, {}, TaggedValue("")},
        {"expand unknown variable", REG_EXPAND_SZ, Bytes(Str("%QT_NO_SUCH_VAR%\\x\0", 19)),
         TaggedValue("%QT_NO_SUCH_VAR%\\x")},
        {"expand cut at inner NUL", REG_EXPAND_SZ, Bytes(Str("ab\0cd\0", 6)), TaggedValue("ab")},
        {"binary", REG_BINARY, {0x01, 0xAB, 0x00}, TaggedValue("01 AB 00")},
        {"binary 0A FF", REG_BINARY, {0x0A, 0xFF}, TaggedValue("0A FF")},
        {"binary one byte", REG_BINARY, {0x00}, TaggedValue("00")},
        {"binary zero bytes", REG_BINARY, {}, TaggedValue("")},
        {"dword 4000", REG_DWORD, {0xA0, 0x0F, 0, 0}, TaggedValue(4000)},
        {"dword -1", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, TaggedValue(-1)},
        {"dword of 2 bytes", REG_DWORD, {0x01, 0x02}, TaggedValue(0x0201)},
        {"dword of 0 bytes", REG_DWORD, {}, TaggedValue(0)},
        {"multi a,b,c", REG_MULTI_SZ, Bytes(Str("a\0b\0c\0\0", 7)), TaggedValue("a,b,c")},
        {"multi one string", REG_MULTI_SZ, Bytes(Str("only\0\0", 6)), TaggedValue("only")},
        {"multi empty list", REG_MULTI_SZ, {0, 0}, TaggedValue("")},
        {"multi one NUL", REG_MULTI_SZ, {0}, TaggedValue("")},
        {"multi zero bytes", REG_MULTI_SZ, {}, TaggedValue("")},
        {"multi one byte", REG_MULTI_SZ, Bytes("z"), TaggedValue("z")},
        {"multi without list end", REG_MULTI_SZ, Bytes(Str("a\0b\0", 4)), TaggedValue("a,b")},
        {"multi unterminated", REG_MULTI_SZ, Bytes(Str("a\0b", 3)), TaggedValue("a,b")},
        {"multi empty first string", REG_MULTI_SZ, Bytes(Str("\0b\0\0", 4)), TaggedValue(",b")},
        {"multi ending in an empty string", REG_MULTI_SZ, Bytes(Str("a\0\0\0", 4)), TaggedValue("a,")},
        {"none", REG_NONE, {1, 2}, TaggedValue()},
        {"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, TaggedValue()},
        {"big endian", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, TaggedValue()},
        {"odd type", 0x12345, {1}, TaggedValue()},
    };
    // Exact bytes: the platform gets no chance to add a terminator.
    for (const auto& c : cases) SetRawExact("Values", c.name, c.type, c.data);
    const KeyedCollection listed = List();
    EXPECT_EQ(sizeof cases / sizeof cases[0], listed.Count());
    for (const auto& c : cases) EXPECT_EQ(c.expected, DataOf(listed, c.name)) << c.name;
}

TEST_F(RegistryEnum, ExpandsEnvironmentReferences) {
    char root[512] = {0};
    ASSERT_GT(GetEnvironmentVariableA("SystemRoot", root, sizeof root), 0u);
    SetRaw("Values", "server", REG_EXPAND_SZ, Bytes(Str("%SystemRoot%\\System32\\shmedia.dll\0", 34)));
    // An expansion longer than the first data buffer.
    const std::string longDir(5000, 'd');
    ASSERT_TRUE(SetEnvironmentVariableA("QT_ENUM_DIR", longDir.c_str()));
    SetRaw("Values", "long", REG_EXPAND_SZ, Bytes(Str("%QT_ENUM_DIR%\\x\0", 16)));
    const KeyedCollection c = List();
    SetEnvironmentVariableA("QT_ENUM_DIR", nullptr);
    EXPECT_EQ(TaggedValue(std::string(root) + "\\System32\\shmedia.dll"), DataOf(c, "server"));
    EXPECT_EQ(TaggedValue(longDir + "\\x"), DataOf(c, "long"));
}

TEST_F(RegistryEnum, ListsDataOfAnyLengthWhole) {
    // Around the first buffer's size, and beyond 32,768 byte pairs.
    const std::size_t sizes[] = {4095, 4096, 4097, 5000, 40000, 70000};
    for (std::size_t size : sizes) SetRaw("Values", "bin" + std::to_string(size), REG_BINARY, Pattern(size));
    const std::string text(6000, 't');
    SetRaw("Values", "text", REG_SZ, Bytes(text + '\0'));
    SetRaw("Values", "multi", REG_MULTI_SZ, Bytes(text + Str("\0u\0\0", 4)));
    SetRaw("Values", "after", REG_DWORD, {7, 0, 0, 0});
    const KeyedCollection c = List();
    EXPECT_EQ(sizeof sizes / sizeof sizes[0] + 3, c.Count());
    for (std::size_t size : sizes) {
        const TaggedValue got = DataOf(c, "bin" + std::to_string(size));
        EXPECT_EQ(size * 3 - 1, got.ToText().size()) << size;
        EXPECT_TRUE(got == TaggedValue(Hex(Pattern(size)))) << size;
    }
    EXPECT_EQ(TaggedValue(text), DataOf(c, "text"));
    EXPECT_EQ(TaggedValue(text + ",u"), DataOf(c, "multi"));
    EXPECT_EQ(TaggedValue(7), DataOf(c, "after")) << "a large value ended the list";
}

TEST_F(RegistryEnum, LongValueNamesDoNotEndTheList) {
    const std::string n300(300, 'm');
    const std::string nMax(16383, 'n');
    SetRaw("Values", "a", REG_DWORD, {1, 0, 0, 0});
    SetRaw("Values", n300, REG_SZ, Bytes(Str("x\0", 2)));
    SetRaw("Values", "l" + n300, REG_BINARY, Pattern(5000));  // long name and large data at once
    SetRaw("Values", nMax, REG_DWORD, {2, 0, 0, 0});
    SetRaw("Values", "z", REG_DWORD, {3, 0, 0, 0});
    const KeyedCollection c = List();
    EXPECT_EQ((std::vector<std::string>{"a", "l" + n300, n300, nMax, "z"}), Names(c));
    EXPECT_EQ(TaggedValue("x"), DataOf(c, n300));
    EXPECT_EQ(TaggedValue(Hex(Pattern(5000))), DataOf(c, "l" + n300));
    EXPECT_EQ(TaggedValue(2), DataOf(c, nMax));
}

TEST_F(RegistryEnum, DefaultValueIsListedUnderTheEmptyName) {
    SetRaw("Values", "", REG_SZ, Bytes(Str("dflt\0", 5)));
    SetRaw("Values", "named", REG_SZ, Bytes(Str("n\0", 2)));
    const KeyedCollection c = List();
    EXPECT_EQ((std::vector<std::string>{"", "named"}), Names(c));
    EXPECT_EQ(Item("", TaggedValue("dflt")), c.Item(""));
}

TEST_F(RegistryEnum, EmptyKeyNameListsTheGivenHandleAndLeavesItOpen) {
    SetRaw("Values", "v", REG_SZ, Bytes(Str("1\0", 2)));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Path("Values").c_str(), 0, KEY_READ, &key));
    const KeyedCollection c = reg_.EnumRegistryValues(key, "");
    EXPECT_EQ(Item("v", TaggedValue("1")), c.Item("v"));
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size)) << "the handle was closed";
    // A path relative to the handle works as well.
    MakeKey("Values\\Sub");
    SetRaw("Values\\Sub", "s", REG_DWORD, {9, 0, 0, 0});
    EXPECT_EQ(Item("s", TaggedValue(9)), reg_.EnumRegistryValues(key, "Sub").Item("s"));
    RegCloseKey(key);
}

TEST_F(RegistryEnum, EmptyKeyNameOnARootListsTheRootsOwnValues) {
    const std::string name = "QorvelTweakerTests.EnumRoot." + std::to_string(GetCurrentProcessId());
    const B data{0xDE, 0xAD};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(HKEY_CURRENT_USER, name.c_str(), 0, REG_BINARY, data.data(), 2));
    const KeyedCollection c = reg_.EnumRegistryValues(HKEY_CURRENT_USER, "");
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(HKEY_CURRENT_USER, name.c_str()));
    EXPECT_EQ(TaggedValue("DE AD"), DataOf(c, name));
    // Only the stand-in's root is known to hold nothing else.
    if (kStandIn) {
        EXPECT_EQ(1u, c.Count());
    }
}

TEST_F(RegistryEnum, UnreadableKeyGivesAnEmptyCollection) {
    STANDIN_ONLY();
    SetRaw("Values", "v", REG_SZ, Bytes(Str("1\0", 2)));
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("Values"), KEY_READ);
    EXPECT_TRUE(List().Empty());
}

TEST_F(RegistryEnum, FailingEnumerationEndsTheListWithWhatWasRead) {
    STANDIN_ONLY();
    for (const char* name : {"a", "b", "c"}) SetRaw("Values", name, REG_DWORD, {1, 0, 0, 0});
    standin::SetCallHook([](const std::string& fn, unsigned long n) -> LONG {
        return fn == "RegEnumValueA" && n == 2 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    EXPECT_EQ((std::vector<std::string>{"a"}), Names(List()));
}

TEST_F(RegistryEnum, ValueThatGrowsWhileListedIsReadWhole) {
    STANDIN_ONLY();
    SetRaw("Values", "blob", REG_BINARY, Pattern(5000));
    const std::string key = Path("Values");
    // Each short-buffer answer is followed by the value growing again, twice.
    standin::SetCallHook([&](const std::string& fn, unsigned long n) -> LONG {
        if (fn == "RegEnumValueA" && (n == 1 || n == 2)) {
            HKEY k = nullptr;
            RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &k);
            const B bigger = Pattern(6000 + 1000 * n);
            RegSetValueExA(k, "blob", 0, REG_BINARY, bigger.data(), static_cast<DWORD>(bigger.size()));
            RegCloseKey(k);
        }
        return ERROR_SUCCESS;
    });
    EXPECT_EQ(TaggedValue(Hex(Pattern(8000))), DataOf(List(), "blob"));
}

TEST_F(RegistryEnum, LongNamesAreListedWhenTheKeyCannotReportItsSizes) {
    STANDIN_ONLY();
    const std::string nMax(16383, 'n');
    SetRaw("Values", std::string(300, 'm'), REG_BINARY, Pattern(5000));
    SetRaw("Values", nMax, REG_DWORD, {2, 0, 0, 0});
    standin::SetCallHook([](const std::string& fn, unsigned long) -> LONG {
        return fn == "RegQueryInfoKeyA" ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    const KeyedCollection c = List();
    EXPECT_EQ((std::vector<std::string>{std::string(300, 'm'), nMax}), Names(c));
    EXPECT_EQ(TaggedValue(Hex(Pattern(5000))), DataOf(c, std::string(300, 'm')));
}

TEST_F(RegistryEnum, EndlessShortBufferAnswersEndTheList) {
    STANDIN_ONLY();
    SetRaw("Values", "v", REG_DWORD, {1, 0, 0, 0});
    standin::SetCallHook([](const std::string& fn, unsigned long) -> LONG {
        return fn == "RegEnumValueA" ? ERROR_MORE_DATA : ERROR_SUCCESS;
    });
    EXPECT_TRUE(List().Empty());
    EXPECT_LE(standin::CallCount("RegEnumValueA"), 16u);
}

}  // namespace
