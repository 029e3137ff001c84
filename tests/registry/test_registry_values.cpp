// GetRegistryValue and SetRegistryValue: defaults, reads in one or two calls,
// and writes. How data of each shape reads is the table in
// tests/reliability/test_malformed_data.cpp, read through both decoders.
#include "registry/registry_routines.h"
#include "test_key.h"

namespace {

using B = std::vector<BYTE>;
using namespace std::string_literals;

class RegistryValues : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        MakeKey("InProcServer32");
        reg_ = Aimed(HKEY_CURRENT_USER, Base(), "InProcServer32");
    }
    RegistryRoutines reg_;
};

TEST_F(RegistryValues, MissingValueOrKeyGivesTheDefaultOrEmpty) {
    EXPECT_EQ(TaggedValue(), reg_.GetRegistryValue("absent"));
    EXPECT_EQ(TaggedValue(7), reg_.GetRegistryValue("absent", TaggedValue(7)));
    reg_.Subkey("NoSuchKey");
    EXPECT_EQ(TaggedValue("d"), reg_.GetRegistryValue("", TaggedValue("d")));
}

TEST_F(RegistryValues, WritesEachTypeExactly) {
    const struct {
        const char* what;
        TaggedValue value;
        std::int32_t type;
        B stored;
    } cases[] = {
        // REG_SZ and REG_EXPAND_SZ (kept unexpanded) are the Video page's writes, tests/tweaks/test_video_page.cpp.
        {"REG_DWORD from text, little endian", TaggedValue("305419896"), REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {"REG_BINARY", TaggedValue(TaggedValue::Bytes{0, 7, 0xFF}), REG_BINARY, {0, 7, 0xFF}},
        {"REG_MULTI_SZ as given", TaggedValue("a\0b\0\0"s), REG_MULTI_SZ, Bytes("a\0b\0\0"s)},
        {"REG_MULTI_SZ without its end", TaggedValue("a\0b"s), REG_MULTI_SZ, Bytes("a\0b\0"s)},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(reg_.SetRegistryValue("w", c.value, c.type)) << c.what;
        DWORD type = 0;
        EXPECT_EQ(c.stored, GetRaw("InProcServer32", "w", &type)) << c.what;
        EXPECT_EQ(static_cast<DWORD>(c.type), type) << c.what;
    }
}

TEST_F(RegistryValues, OtherTypesOrAMissingKeyWriteNothing) {
    for (std::int32_t type : {0, 5, 6, 11, -1}) {
        EXPECT_FALSE(reg_.SetRegistryValue("t", TaggedValue("1"), type)) << type;
        EXPECT_FALSE(ValuePresent("InProcServer32", "t")) << type;
    }
    reg_.Subkey("Missing");
    EXPECT_FALSE(reg_.SetRegistryValue("v", TaggedValue("x"), REG_SZ));
    EXPECT_FALSE(KeyPresent("Missing")) << "the key is never created";
}

// Which conversions fail, and with which error, is test_tagged_value.cpp's;
// here each type's conversion fails before anything is written (and the key
// is closed: TearDown finds no handle open).
TEST_F(RegistryValues, ConversionErrorsWriteNothing) {
    const std::pair<TaggedValue, std::int32_t> cases[] = {
        {TaggedValue("4294967296"), REG_DWORD},
        {TaggedValue(TaggedValue::Bytes{1}), REG_SZ},
        {TaggedValue("0102"), REG_BINARY},
    };
    for (const auto& [value, type] : cases) {
        EXPECT_THROW(reg_.SetRegistryValue("bad", value, type), ConversionError) << Describe(value);
        EXPECT_FALSE(ValuePresent("InProcServer32", "bad"));
    }
}

TEST_F(RegistryValues, RefusedWriteGivesFalse) {
    STANDIN_ONLY();
    standin::RefuseWrite(HKEY_CURRENT_USER, Path("InProcServer32"));
    EXPECT_FALSE(reg_.SetRegistryValue("v", TaggedValue("x"), REG_SZ));
    EXPECT_FALSE(ValuePresent("InProcServer32", "v"));
}

// A write or a deletion of a value asks for no right beyond its own: it works
// where every other right on the key is refused.
TEST_F(RegistryValues, ValueChangesAskForTheLeastRights) {
    STANDIN_ONLY();
    SetRaw("InProcServer32", "old", REG_SZ, Bytes("x\0"s));
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("InProcServer32"), KEY_ALL_ACCESS & ~KEY_WRITE);
    EXPECT_TRUE(reg_.SetRegistryValue("v", TaggedValue("x"), REG_SZ));
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("InProcServer32"), KEY_ALL_ACCESS & ~KEY_SET_VALUE);
    EXPECT_EQ(0, reg_.DeleteValue("old"));
}

}  // namespace
