// EnumRegistryValues: listing order, names and data of every shape.
#include "registry/registry_routines.h"
#include "test_key.h"

namespace {

using B = std::vector<BYTE>;

using namespace std::string_literals;

// Reference hex form, built independently of the code under test.
std::string Hex(const B& data) {
    static const char digit[] = "0123456789ABCDEF";
    std::string out;
    for (BYTE b : data) out += std::string(out.empty() ? "" : " ") + digit[b >> 4] + digit[b & 15];
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
            EXPECT_EQ(TaggedValue(entry.first), entry.second.ToList().at(0));
            out.push_back(entry.first);
        }
        return out;
    }
    TaggedValue DataOf(const KeyedCollection& c, const std::string& name) {
        if (!c.Contains(name)) {
            ADD_FAILURE() << "no item " << name;
            return TaggedValue("<missing>");
        }
        return c.Item(name).ToList().at(1);
    }
    RegistryRoutines reg_;
};

TEST_F(RegistryEnum, ListsEveryValueInPlatformOrderUnderItsName) {
    EXPECT_TRUE(List().Empty());
    EXPECT_TRUE(List("NoSuchKey").Empty());
    SetRaw("Values", "", REG_SZ, Bytes("dflt\0"s));
    SetRaw("Values", "x", REG_SZ, Bytes("hello\0"s));
    SetRaw("Values", "y", REG_BINARY, {0x01, 0x02});
    const KeyedCollection c = List();
    EXPECT_EQ((std::vector<std::string>{"", "x", "y"}), Names(c));
    ASSERT_EQ(3u, c.Count());
    EXPECT_EQ(Item("", TaggedValue("dflt")), c.Item(1));
    EXPECT_EQ(Item("x", TaggedValue("hello")), c.Item(2));
    EXPECT_EQ(Item("y", TaggedValue("01 02")), c.Item("Y")) << "keys match without regard to case";
}

TEST_F(RegistryEnum, ConvertsEachType) {
    const struct {
        const char* name;
        DWORD type;
        B data;
        TaggedValue expected;
    } cases[] = {
        {"sz", REG_SZ, Bytes("a\0b\0"s), TaggedValue("a\0b"s)},
        {"expand cut at inner NUL", REG_EXPAND_SZ, Bytes("ab\0cd\0"s), TaggedValue("ab")},
        {"binary", REG_BINARY, {0x01, 0xAB, 0x00}, TaggedValue("01 AB 00")},
        {"multi", REG_MULTI_SZ, Bytes("a\0b\0c\0\0"s), TaggedValue("a,b,c")},
        {"multi empty first string", REG_MULTI_SZ, Bytes("\0b\0\0"s), TaggedValue(",b")},
        {"odd type", 0x12345, {1}, TaggedValue()},
    };
    for (const auto& c : cases) SetRawExact("Values", c.name, c.type, c.data);
    const KeyedCollection listed = List();
    EXPECT_EQ(sizeof cases / sizeof cases[0], listed.Count());
    for (const auto& c : cases) EXPECT_EQ(c.expected, DataOf(listed, c.name)) << c.name;
}

TEST_F(RegistryEnum, ListsDataOfAnyLengthWhole) {
    const std::size_t sizes[] = {4096, 4097, 70000};
    for (std::size_t size : sizes) SetRaw("Values", "bin" + std::to_string(size), REG_BINARY, Pattern(size));
    SetRaw("Values", "after", REG_DWORD, {7, 0, 0, 0});
    const std::string longDir(5000, 'd');  // an expansion longer than the first data buffer
    ASSERT_TRUE(SetEnvironmentVariableA("QT_ENUM_DIR", longDir.c_str()));
    SetRaw("Values", "expand", REG_EXPAND_SZ, Bytes("%QT_ENUM_DIR%\\x\0"s));
    const KeyedCollection c = List();
    SetEnvironmentVariableA("QT_ENUM_DIR", nullptr);
    EXPECT_EQ(sizeof sizes / sizeof sizes[0] + 2, c.Count());
    EXPECT_EQ(TaggedValue(longDir + "\\x"), DataOf(c, "expand"));
    for (std::size_t size : sizes)
        EXPECT_TRUE(DataOf(c, "bin" + std::to_string(size)) == TaggedValue(Hex(Pattern(size)))) << size;
    EXPECT_EQ(TaggedValue(7), DataOf(c, "after")) << "a large value ended the list";
}

TEST_F(RegistryEnum, LongNamesAreListedWhenTheKeyCannotReportItsSizes) {
    STANDIN_ONLY();
    const std::string n300(300, 'm'), nMax(16383, 'n');
    SetRaw("Values", n300, REG_BINARY, Pattern(5000));  // long name and large data at once
    SetRaw("Values", nMax, REG_DWORD, {2, 0, 0, 0});
    SetRaw("Values", "z", REG_DWORD, {3, 0, 0, 0});
    standin::SetCallHook([](const std::string& fn, unsigned long) -> LONG {
        return fn == "RegQueryInfoKeyA" ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    const KeyedCollection c = List();
    EXPECT_EQ((std::vector<std::string>{n300, nMax, "z"}), Names(c));
    EXPECT_EQ(TaggedValue(Hex(Pattern(5000))), DataOf(c, n300));
}

// The sizes the key reports make a long name fit at the first call.
TEST_F(RegistryEnum, LongNamesFitAtTheFirstCall) {
    STANDIN_ONLY();
    SetRaw("Values", std::string(300, 'm'), REG_DWORD, {1, 0, 0, 0});
    standin::ResetCallCounts();
    EXPECT_EQ(1u, List().Count());
    EXPECT_EQ(2u, standin::CallCount("RegEnumValueA")) << "one call for the value, one for the end";
}

TEST_F(RegistryEnum, EmptyKeyNameListsTheGivenHandleAndLeavesItOpen) {
    SetRaw("Values", "v", REG_SZ, Bytes("1\0"s));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Path("Values").c_str(), 0, KEY_READ, &key));
    EXPECT_EQ(Item("v", TaggedValue("1")), reg_.EnumRegistryValues(key, "").Item("v"));
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size)) << "the handle was closed";
    MakeKey("Values\\Sub");  // a path relative to the handle
    SetRaw("Values\\Sub", "s", REG_DWORD, {9, 0, 0, 0});
    EXPECT_EQ(Item("s", TaggedValue(9)), reg_.EnumRegistryValues(key, "Sub").Item("s"));
    RegCloseKey(key);
}

TEST_F(RegistryEnum, UnreadableKeyOrFailingEnumerationEndsTheList) {
    STANDIN_ONLY();
    for (const char* name : {"a", "b", "c"}) SetRaw("Values", name, REG_DWORD, {1, 0, 0, 0});
    standin::SetCallHook([](const std::string& fn, unsigned long n) -> LONG {
        return fn == "RegEnumValueA" && n == 2 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    EXPECT_EQ((std::vector<std::string>{"a"}), Names(List()));
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("Values"), KEY_READ);
    EXPECT_TRUE(List().Empty());
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

}  // namespace
