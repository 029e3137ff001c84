// Key operations of RegistryRoutines: the target path, KeyExists, CreateKey,
// DeleteKey, DeleteValue, EnumRegistryKeys and TrimNull.
#include "registry/registry_routines.h"

#include "test_key.h"

namespace {

using namespace std::string_literals;

// Windows ignores a handle's two low tag bits: the handle bits of this one are zero.
const HKEY kNotAHandle = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x3));

class RegistryRoutinesKeys : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        reg_ = Aimed(HKEY_CURRENT_USER, Base(), "Target");
    }

    RegistryRoutines reg_;
};

TEST_F(RegistryRoutinesKeys, KeyExists) {
    EXPECT_FALSE(reg_.KeyExists());
    MakeKey("Target");
    EXPECT_TRUE(reg_.KeyExists());
    reg_.hKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg_.KeyExists()) << "hKey is part of the target";
}

TEST_F(RegistryRoutinesKeys, CreateKey) {
    // Without a name: the target, with every missing level.
    reg_.KeyRoot(Path("one\\two"));
    EXPECT_EQ("0", reg_.CreateKey());
    EXPECT_TRUE(KeyPresent("one\\two\\Target"));
    EXPECT_EQ("0", reg_.CreateKey()) << "an existing key counts as created";
    // With a name: a sibling of the target, the name converted to text.
    EXPECT_EQ("0", reg_.CreateKey(TaggedValue(42)));
    EXPECT_TRUE(KeyPresent("one\\two\\42"));
    EXPECT_FALSE(KeyPresent("one\\two\\Target\\42"));
    reg_.hKey(kNotAHandle);
    EXPECT_EQ("", reg_.CreateKey());
}

TEST_F(RegistryRoutinesKeys, DeleteKey) {
    MakeKey("Leaf");
    MakeKey("Tree\\Child");
    EXPECT_EQ(0, reg_.DeleteKey("Leaf"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, reg_.DeleteKey("Tree")) << "a key with subkeys stays";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg_.DeleteKey("Missing"));
    // Subkey plays no part.
    reg_.Subkey("Tree");
    EXPECT_EQ(0, reg_.DeleteKey("Tree\\Child"));
}

TEST_F(RegistryRoutinesKeys, DeleteValue) {
    MakeKey("Target");
    SetRaw("Target", "BagMRU Size", REG_DWORD, {0xA0, 0x0F, 0, 0});
    SetRaw("Target", "", REG_SZ, Bytes(std::string("x\0", 2)));
    SetRaw("Target", "Other", REG_SZ, Bytes(std::string("keep\0", 5)));
    EXPECT_EQ(0, reg_.DeleteValue("BagMRU Size"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg_.DeleteValue("BagMRU Size")) << "it is gone";
    EXPECT_EQ(0, reg_.DeleteValue("")) << "the unnamed default value";
    EXPECT_FALSE(ValuePresent("Target", ""));
    EXPECT_TRUE(ValuePresent("Target", "Other"));
    reg_.Subkey("Missing");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg_.DeleteValue("Other"));
}

// Windows documents no enumeration order, and Wine's differs from Windows'
// for names with characters between "Z" and "a": the listing is compared
// with the platform's own enumeration.
TEST_F(RegistryRoutinesKeys, EnumRegistryKeysListsDirectSubkeysInPlatformOrder) {
    const std::string longest(255, 'k'), clsid = "{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";
    for (const std::string& name : {"A"s, "c\\nested"s, "_u"s, longest, clsid}) MakeKey("List\\" + name);
    // A subkey with a class name is listed like any other, and so are those
    // after it.
    MakeKey("List\\b", "klass");
    SetRaw("List", "value", REG_SZ, Bytes(std::string("v\0", 2)));
    const KeyTree tree = ReadTree(HKEY_CURRENT_USER, Path("List")).value();
    std::vector<std::string> raw;  // as the platform enumerates them
    for (const KeyTree& sub : tree.subkeys) raw.push_back(sub.name);
    // The object's own target plays no part. (A given handle with the empty
    // name is listed as in test_registry_enum.cpp: both share that step.)
    reg_.hKey(HKEY_LOCAL_MACHINE);
    const KeyedCollection listed = reg_.EnumRegistryKeys(HKEY_CURRENT_USER, Path("List"));
    EXPECT_EQ(raw, Names(listed));
    for (const auto& [name, item] : listed) EXPECT_EQ(TaggedValue(name), item) << "each item is its own name";
}

TEST_F(RegistryRoutinesKeys, EnumRegistryKeysEmptyResults) {
    MakeKey("Empty");
    EXPECT_TRUE(reg_.EnumRegistryKeys(HKEY_CURRENT_USER, Path("Empty")).Empty());
    EXPECT_TRUE(reg_.EnumRegistryKeys(HKEY_CURRENT_USER, Path("Missing")).Empty());
    EXPECT_TRUE(reg_.EnumRegistryKeys(kNotAHandle, "").Empty()) << "an invalid handle ends the list at once";
}

TEST_F(RegistryRoutinesKeys, EnumRegistryKeysEndsTheListOnAFailure) {
    STANDIN_ONLY();
    for (const char* name : {"k1", "k2", "k3", "k4"}) MakeKey(std::string("List\\") + name);
    standin::SetCallHook([](const std::string& fn, unsigned long n) -> LONG {
        return fn == "RegEnumKeyExA" && n == 3 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    EXPECT_EQ((std::vector<std::string>{"k1", "k2"}), Names(reg_.EnumRegistryKeys(HKEY_CURRENT_USER, Path("List"))));
    EXPECT_EQ(3u, standin::CallCount("RegEnumKeyExA")) << "no retry after the failure";
}

TEST(RegistryRoutinesTrimNull, CutsAtTheFirstNulInPlace) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"abc", "abc"},
        {std::string("\0abc", 4), ""},
        {std::string("ab\0cd\0", 6), "ab"},
    };
    RegistryRoutines reg;
    for (const auto& c : cases) {
        std::string item = c.in;
        EXPECT_EQ(c.out, reg.TrimNull(item));
        EXPECT_EQ(c.out, item) << "the caller's text is cut in place";
    }
}

}  // namespace
