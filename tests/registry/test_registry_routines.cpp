// Key operations of RegistryRoutines: the target path, KeyExists, CreateKey,
// DeleteKey, DeleteValue, EnumRegistryKeys and TrimNull.
#include "registry/registry_routines.h"

#include "test_key.h"

namespace {

class RegistryRoutinesKeys : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        reg_.hKey(HKEY_CURRENT_USER);
        reg_.KeyRoot(Base());
        reg_.Subkey("Target");
    }

    std::vector<std::string> Names(const KeyedCollection& c) {
        std::vector<std::string> out;
        for (const auto& entry : c) {
            EXPECT_EQ(TaggedValue(entry.first), entry.second) << "item differs from its key";
            out.push_back(entry.first);
        }
        return out;
    }

    RegistryRoutines reg_;
};

TEST_F(RegistryRoutinesKeys, KeyExists) {
    EXPECT_FALSE(reg_.KeyExists());
    MakeKey("Target");
    EXPECT_TRUE(reg_.KeyExists());
    // The root and the subkey are joined with one "\": KeyRoot may itself be
    // a path, and an empty Subkey leaves a trailing separator.
    MakeKey("a\\b\\Shell");
    reg_.KeyRoot(Path("a\\b"));
    reg_.Subkey("Shell");
    EXPECT_TRUE(reg_.KeyExists());
    reg_.Subkey("");
    EXPECT_TRUE(reg_.KeyExists()) << "path " << Path("a\\b") << "\\";
    reg_.hKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg_.KeyExists()) << "hKey is part of the target";
}

TEST_F(RegistryRoutinesKeys, CreateKeyWithoutNameCreatesTheTargetAndMissingLevels) {
    reg_.KeyRoot(Path("one\\two"));
    EXPECT_EQ("0", reg_.CreateKey());
    EXPECT_TRUE(KeyPresent("one\\two\\Target"));
    EXPECT_EQ("0", reg_.CreateKey()) << "an existing key counts as created";
}

TEST_F(RegistryRoutinesKeys, CreateKeyWithNameCreatesASiblingOfTheTarget) {
    EXPECT_EQ("0", reg_.CreateKey(TaggedValue("X")));
    EXPECT_TRUE(KeyPresent("X"));
    EXPECT_FALSE(KeyPresent("Target"));
    EXPECT_FALSE(KeyPresent("Target\\X"));
    EXPECT_EQ("0", reg_.CreateKey(TaggedValue("X")));
    // The name is converted to text.
    EXPECT_EQ("0", reg_.CreateKey(TaggedValue(42)));
    EXPECT_TRUE(KeyPresent("42"));
    EXPECT_THROW(reg_.CreateKey(TaggedValue(TaggedValue::Bytes{1})), TypeMismatch);
}

TEST_F(RegistryRoutinesKeys, CreateKeyFailureGivesEmptyText) {
    reg_.hKey(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x4321)));  // not a handle
    EXPECT_EQ("", reg_.CreateKey());
}

TEST_F(RegistryRoutinesKeys, DeleteKey) {
    MakeKey("Leaf");
    MakeKey("Tree\\Child");
    EXPECT_EQ(0, reg_.DeleteKey("Leaf"));
    EXPECT_FALSE(KeyPresent("Leaf"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, reg_.DeleteKey("Tree")) << "a key with subkeys stays";
    EXPECT_TRUE(KeyPresent("Tree\\Child"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg_.DeleteKey("Missing"));
    // Subkey plays no part.
    reg_.Subkey("Tree");
    EXPECT_EQ(0, reg_.DeleteKey("Tree\\Child"));
    EXPECT_TRUE(KeyPresent("Tree"));
}

TEST_F(RegistryRoutinesKeys, DeleteValue) {
    MakeKey("Target");
    SetRaw("Target", "BagMRU Size", REG_DWORD, {0xA0, 0x0F, 0, 0});
    SetRaw("Target", "", REG_SZ, Bytes(std::string("x\0", 2)));
    SetRaw("Target", "Other", REG_SZ, Bytes(std::string("keep\0", 5)));

    EXPECT_EQ(0, reg_.DeleteValue("BagMRU Size"));
    EXPECT_FALSE(ValuePresent("Target", "BagMRU Size"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg_.DeleteValue("BagMRU Size"));
    EXPECT_EQ(0, reg_.DeleteValue("")) << "the unnamed default value";
    EXPECT_FALSE(ValuePresent("Target", ""));
    EXPECT_TRUE(ValuePresent("Target", "Other"));

    reg_.Subkey("Missing");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg_.DeleteValue("Other"));
}

TEST_F(RegistryRoutinesKeys, RefusalsShowInTheResults) {
    STANDIN_ONLY();
    MakeKey("Target");
    SetRaw("Target", "v", REG_DWORD, {1, 0, 0, 0});
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("Target"), KEY_SET_VALUE);  // part of full access
    EXPECT_EQ(ERROR_ACCESS_DENIED, reg_.DeleteValue("v"));
    EXPECT_TRUE(ValuePresent("Target", "v"));
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("Target"), KEY_READ);
    EXPECT_FALSE(reg_.KeyExists());
    standin::RefuseWrite(HKEY_CURRENT_USER, Base());
    EXPECT_EQ("", reg_.CreateKey(TaggedValue("New")));
    EXPECT_FALSE(KeyPresent("New"));
}

TEST_F(RegistryRoutinesKeys, EnumRegistryKeysListsDirectSubkeysInPlatformOrder) {
    for (const char* name : {"A", "c\\nested", "_u"}) MakeKey(std::string("List\\") + name);
    // A subkey with a class name is listed like any other, and so are those
    // after it.
    HKEY classed = nullptr;
    char className[] = "klass";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, Path("List\\b").c_str(), 0, className, 0,
                                             KEY_ALL_ACCESS, nullptr, &classed, nullptr));
    RegCloseKey(classed);
    SetRaw("List", "value", REG_SZ, Bytes(std::string("v\0", 2)));
    // Both the opened-by-name and the given-handle forms; the object's own
    // target plays no part.
    reg_.hKey(HKEY_LOCAL_MACHINE);
    const auto byName = reg_.EnumRegistryKeys(HKEY_CURRENT_USER, Path("List"));
    EXPECT_EQ((std::vector<std::string>{"_u", "A", "b", "c"}), Names(byName));
    EXPECT_TRUE(byName.Contains("a"));

    HKEY list = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Path("List").c_str(), 0, KEY_READ, &list));
    const auto byHandle = reg_.EnumRegistryKeys(list, "");
    EXPECT_EQ(Names(byName), Names(byHandle));
    RegCloseKey(list);
}

TEST_F(RegistryRoutinesKeys, EnumRegistryKeysEmptyResults) {
    MakeKey("Empty");
    EXPECT_TRUE(reg_.EnumRegistryKeys(HKEY_CURRENT_USER, Path("Empty")).Empty());
    EXPECT_TRUE(reg_.EnumRegistryKeys(HKEY_CURRENT_USER, Path("Missing")).Empty());
    EXPECT_TRUE(reg_.EnumRegistryKeys(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x4321)), "").Empty())
        << "an invalid handle ends the list at once";
}

TEST_F(RegistryRoutinesKeys, EnumRegistryKeysReadsLongNames) {
    const std::string longest(255, 'k');
    const std::string clsid = "{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";
    MakeKey("Long\\" + longest);
    MakeKey("Long\\" + clsid);
    const auto names = Names(reg_.EnumRegistryKeys(HKEY_CURRENT_USER, Path("Long")));
    EXPECT_EQ((std::vector<std::string>{longest, clsid}), names) << "'k' sorts before '{'";
}

TEST_F(RegistryRoutinesKeys, EnumRegistryKeysEndsTheListOnAFailure) {
    STANDIN_ONLY();
    for (const char* name : {"k1", "k2", "k3", "k4"}) MakeKey(std::string("List\\") + name);
    standin::SetCallHook([](const std::string& fn, unsigned long n) -> LONG {
        return fn == "RegEnumKeyExA" && n == 3 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    const auto names = Names(reg_.EnumRegistryKeys(HKEY_CURRENT_USER, Path("List")));
    EXPECT_EQ((std::vector<std::string>{"k1", "k2"}), names);
    EXPECT_EQ(3u, standin::CallCount("RegEnumKeyExA")) << "no retry after the failure";
}

TEST(RegistryRoutinesTrimNull, CutsAtTheFirstNul) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"abc", "abc"},
        {"", ""},
        {std::string("\0abc", 4), ""},
        {std::string("ab\0cd", 5), "ab"},
        {std::string("a\0\0", 3), "a"},
        {std::string(40000, 'x') + std::string("\0tail", 5), std::string(40000, 'x')},
    };
    RegistryRoutines reg;
    for (const auto& c : cases) {
        std::string item = c.in;
        EXPECT_EQ(c.out, reg.TrimNull(item));
        EXPECT_EQ(c.out, item) << "the caller's text is cut in place";
    }
}

}  // namespace
