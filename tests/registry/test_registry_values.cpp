// GetRegistryValue and SetRegistryValue: defaults, reads in one or two calls,
// and writes. How data of each shape reads is the table in
// tests/reliability/test_malformed_data.cpp, run through every read path.
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
        reg_.hKey(HKEY_CURRENT_USER);
        reg_.KeyRoot(Base());
        reg_.Subkey("InProcServer32");
    }
    RegistryRoutines reg_;
};

TEST_F(RegistryValues, MissingValueOrKeyGivesTheDefaultOrEmpty) {
    EXPECT_EQ(TaggedValue(), reg_.GetRegistryValue("absent"));
    EXPECT_EQ(TaggedValue(7), reg_.GetRegistryValue("absent", TaggedValue(7)));
    reg_.Subkey("NoSuchKey");
    EXPECT_EQ(TaggedValue("d"), reg_.GetRegistryValue("", TaggedValue("d")));
}

// Data up to the first buffer's 1024 bytes takes one query, more takes two.
TEST_F(RegistryValues, ReadsSmallDataInOneQuery) {
    STANDIN_ONLY();
    for (std::size_t size : {1024u, 1025u}) {
        SetRaw("InProcServer32", "blob", REG_BINARY, B(size, 7));
        standin::ResetCallCounts();
        EXPECT_EQ(TaggedValue(TaggedValue::Bytes(size, 7)), reg_.GetRegistryValue("blob"));
        EXPECT_EQ(size > 1024 ? 2u : 1u, standin::CallCount("RegQueryValueExA")) << size;
    }
}

TEST_F(RegistryValues, WritesEachTypeExactly) {
    const struct {
        const char* what;
        TaggedValue value;
        std::int32_t type;
        B stored;
    } cases[] = {
        {"REG_SZ", TaggedValue("Both"), REG_SZ, Bytes("Both\0"s)},
        {"REG_SZ from integer", TaggedValue(-12), REG_SZ, Bytes("-12\0"s)},
        {"REG_EXPAND_SZ kept unexpanded", TaggedValue("%SystemRoot%\\x"), REG_EXPAND_SZ, Bytes("%SystemRoot%\\x\0"s)},
        {"REG_DWORD from text", TaggedValue("4000"), REG_DWORD, {0xA0, 0x0F, 0x00, 0x00}},
        {"REG_DWORD -1", TaggedValue(-1), REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"REG_BINARY", TaggedValue(TaggedValue::Bytes{0, 7, 0xFF}), REG_BINARY, {0, 7, 0xFF}},
        {"REG_BINARY empty", TaggedValue(TaggedValue::Bytes{}), REG_BINARY, {}},
        {"REG_MULTI_SZ as given", TaggedValue("a\0b\0\0"s), REG_MULTI_SZ, Bytes("a\0b\0\0"s)},
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

TEST_F(RegistryValues, ConversionErrorsWriteNothingAndCloseTheKey) {
    const struct {
        TaggedValue value;
        std::int32_t type;
        bool overflow;
    } cases[] = {
        {TaggedValue("4294967296"), REG_DWORD, true},
        {TaggedValue(TaggedValue::Bytes{1}), REG_SZ, false},
        {TaggedValue("0102"), REG_BINARY, false},
    };
    for (const auto& c : cases) {
        if (c.overflow)
            EXPECT_THROW(reg_.SetRegistryValue("bad", c.value, c.type), Overflow) << c.value.Describe();
        else
            EXPECT_THROW(reg_.SetRegistryValue("bad", c.value, c.type), TypeMismatch) << c.value.Describe();
        EXPECT_FALSE(ValuePresent("InProcServer32", "bad"));
        ExpectNoOpenHandles();
    }
}

TEST_F(RegistryValues, RefusedWriteGivesFalse) {
    STANDIN_ONLY();
    standin::RefuseWrite(HKEY_CURRENT_USER, Path("InProcServer32"));
    EXPECT_FALSE(reg_.SetRegistryValue("v", TaggedValue("x"), REG_SZ));
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("InProcServer32"), KEY_WRITE);
    EXPECT_FALSE(reg_.SetRegistryValue("v", TaggedValue("x"), REG_SZ));
    EXPECT_FALSE(ValuePresent("InProcServer32", "v"));
}

}  // namespace
