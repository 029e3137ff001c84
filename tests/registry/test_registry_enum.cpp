// EnumRegistryValues: which key is listed, the items' form, and long names
// and data that outgrow the buffers. How data of each shape is listed is the
// table in tests/reliability/test_malformed_data.cpp.
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
    static std::vector<std::string> Names(const KeyedCollection& c) {
        std::vector<std::string> out;
        for (const auto& entry : c) out.push_back(entry.first);
        return out;
    }
    RegistryRoutines reg_;
};

// Values written in the order of their names: Wine lists them sorted, Windows
// in the order they were written.
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
    EXPECT_EQ(Item("y", TaggedValue("01 02")), c.Item(3));
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
    ASSERT_EQ(3u, c.Count());
    EXPECT_EQ(Item(n300, TaggedValue(Hex(Pattern(5000)))), c.Item(1));
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
    MakeKey("Values\\Sub");
    SetRaw("Values\\Sub", "s", REG_DWORD, {9, 0, 0, 0});
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Path("Values").c_str(), 0, KEY_READ, &key));
    EXPECT_EQ(Item("v", TaggedValue("1")), reg_.EnumRegistryValues(key, "").Item("v"));
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size)) << "the handle was closed";
    // A name is a path relative to the handle.
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

// Another program rewrites the value larger after each short-buffer answer:
// twice, and it is read whole; at every call, and the listing gives up on it.
TEST_F(RegistryEnum, ValueThatGrowsWhileListedIsReadWholeOrGivenUp) {
    STANDIN_ONLY();
    for (const unsigned long rewrites : {2ul, 1000ul}) {
        SetRaw("Values", "blob", REG_BINARY, Pattern(5000));
        const std::string key = Path("Values");
        standin::SetCallHook([&](const std::string& fn, unsigned long n) -> LONG {
            if (fn == "RegEnumValueA" && n <= rewrites) {
                HKEY k = nullptr;
                RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &k);
                const B bigger = Pattern(6000 + 1000 * n);
                RegSetValueExA(k, "blob", 0, REG_BINARY, bigger.data(), static_cast<DWORD>(bigger.size()));
                RegCloseKey(k);
            }
            return ERROR_SUCCESS;
        });
        const KeyedCollection c = List();
        standin::SetCallHook(nullptr);
        if (rewrites == 2) {
            ASSERT_EQ(1u, c.Count());
            EXPECT_EQ(Item("blob", TaggedValue(Hex(Pattern(8000)))), c.Item(1));
        } else {
            EXPECT_TRUE(c.Empty());
        }
    }
}

}  // namespace
