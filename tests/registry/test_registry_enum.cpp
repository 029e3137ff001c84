// EnumRegistryValues: which key is listed, in which order, and long names
// and data that outgrow the buffers. The items' form and how data of each
// shape is listed is the table in tests/reliability/test_malformed_data.cpp.
#include "registry/registry_routines.h"
#include "test_key.h"

namespace {

using B = std::vector<BYTE>;
using namespace std::string_literals;

class RegistryEnum : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        MakeKey("Values");
        // The object's own target must play no part in the listing.
        reg_ = Aimed(HKEY_LOCAL_MACHINE, "Nowhere", "AtAll");
    }
    KeyedCollection List() { return reg_.EnumRegistryValues(HKEY_CURRENT_USER, Path("Values")); }
    RegistryRoutines reg_;
};

// Values written in the order of their names: Wine lists them sorted, Windows
// in the order they were written.
TEST_F(RegistryEnum, ListsEveryValueInPlatformOrderUnderItsName) {
    EXPECT_TRUE(List().Empty());
    SetRaw("Values", "", REG_SZ, Bytes("dflt\0"s));
    SetRaw("Values", "x", REG_SZ, Bytes("hello\0"s));
    SetRaw("Values", "y", REG_BINARY, {0x01, 0x02});
    EXPECT_EQ((std::vector<std::string>{"", "x", "y"}), Names(List()));
}

TEST_F(RegistryEnum, LongNamesAreListedWhenTheKeyCannotReportItsSizes) {
    STANDIN_ONLY();
    const std::string n300(300, 'm'), nMax(16383, 'n');
    SetRaw("Values", n300, REG_BINARY, B(5000, 0xAB));  // long name and large data at once
    SetRaw("Values", nMax, REG_DWORD, {2, 0, 0, 0});
    SetRaw("Values", "z", REG_DWORD, {3, 0, 0, 0});
    standin::SetCallHook([](const std::string& fn, unsigned long) -> LONG {
        return fn == "RegQueryInfoKeyA" ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    EXPECT_EQ((std::vector<std::string>{n300, nMax, "z"}), Names(List()));
}

TEST_F(RegistryEnum, EmptyKeyNameListsTheGivenHandleAndLeavesItOpen) {
    SetRaw("Values", "v", REG_SZ, Bytes("1\0"s));
    MakeKey("Values\\Sub");
    SetRaw("Values\\Sub", "s", REG_DWORD, {9, 0, 0, 0});
    const KeyPtr key = Open("Values");
    ASSERT_TRUE(key);
    EXPECT_EQ(std::vector<std::string>{"v"}, Names(reg_.EnumRegistryValues(key.get(), "")));
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), "v", nullptr, nullptr, nullptr, &size))
        << "the handle was closed";
    // A name is a path relative to the handle.
    EXPECT_EQ(std::vector<std::string>{"s"}, Names(reg_.EnumRegistryValues(key.get(), "Sub")));
}

TEST_F(RegistryEnum, FailingEnumerationEndsTheList) {
    STANDIN_ONLY();
    for (const char* name : {"a", "b", "c"}) SetRaw("Values", name, REG_DWORD, {1, 0, 0, 0});
    standin::SetCallHook([](const std::string& fn, unsigned long n) -> LONG {
        return fn == "RegEnumValueA" && n == 2 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    EXPECT_EQ((std::vector<std::string>{"a"}), Names(List()));
}

// Another program rewrites the value larger after each short-buffer answer:
// twice, and it is read whole; at every call, and the listing gives up on it.
TEST_F(RegistryEnum, ValueThatGrowsWhileListedIsReadWholeOrGivenUp) {
    STANDIN_ONLY();
    for (const unsigned long rewrites : {2ul, 1000ul}) {
        SetRaw("Values", "blob", REG_BINARY, B(5000, 0xAB));
        const std::string key = Path("Values");
        standin::SetCallHook([&](const std::string& fn, unsigned long n) -> LONG {
            if (fn == "RegEnumValueA" && n <= rewrites)
                SetValueAt(HKEY_CURRENT_USER, key, "blob", REG_BINARY, B(6000 + 1000 * n, 0xAB));
            return ERROR_SUCCESS;
        });
        const KeyedCollection c = List();
        standin::SetCallHook(nullptr);
        if (rewrites == 2) {
            // All 8000 bytes of the last size, listed as "AB AB ...".
            ASSERT_EQ(1u, c.Count());
            EXPECT_EQ(8000u * 3 - 1, c.Item(1).ToList().at(1).ToText().size());
        } else {
            EXPECT_TRUE(c.Empty());
        }
    }
}

}  // namespace
