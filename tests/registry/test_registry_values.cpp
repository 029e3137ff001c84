// Typed value reading and writing of RegistryRoutines: GetRegistryValue and
// SetRegistryValue, with hostile data written by "another program".
#include "registry/registry_routines.h"

#include <cstring>

#include "test_key.h"

namespace {

using B = std::vector<BYTE>;

std::string Str(const char* s, std::size_t n) {
    return std::string(s, n);
}

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

struct ReadCase {
    const char* what;
    DWORD type;
    B data;
    TaggedValue expected;  // read with the default "dflt"
};

// Well-formed data of each type; short, unterminated, empty, huge and foreign
// data are the malformed-data table's (tests/reliability).
TEST_F(RegistryValues, ReadsEachTypeAndFallsBackToTheDefault) {
    const TaggedValue dflt("dflt");
    const ReadCase cases[] = {
        {"REG_SZ", REG_SZ, Bytes(Str("Both\0", 5)), TaggedValue("Both")},
        {"REG_SZ with inner NUL", REG_SZ, Bytes(Str("a\0b\0", 4)), TaggedValue(Str("a\0b", 3))},
        {"REG_EXPAND_SZ of zero bytes", REG_EXPAND_SZ, {}, dflt},
        {"REG_EXPAND_SZ unknown variable", REG_EXPAND_SZ, Bytes(Str("%QT_NO_SUCH_VAR%\\x\0", 19)),
         TaggedValue("%QT_NO_SUCH_VAR%\\x")},
        {"REG_BINARY", REG_BINARY, {0, 1, 0xFE, 0xFF}, TaggedValue(TaggedValue::Bytes{0, 1, 0xFE, 0xFF})},
        {"REG_DWORD -1", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, TaggedValue(-1)},
        {"REG_DWORD 4000", REG_DWORD, {0xA0, 0x0F, 0, 0}, TaggedValue(4000)},
        {"REG_DWORD INT_MIN", REG_DWORD, {0, 0, 0, 0x80}, TaggedValue(INT32_MIN)},
        {"REG_MULTI_SZ a,b", REG_MULTI_SZ, Bytes(Str("a\0b\0\0", 5)), TaggedValue(Str("a\0b", 3))},
        {"REG_MULTI_SZ one string", REG_MULTI_SZ, Bytes(Str("only\0\0", 6)), TaggedValue("only")},
        {"REG_MULTI_SZ empty list", REG_MULTI_SZ, {0, 0}, dflt},
        {"REG_MULTI_SZ first string empty", REG_MULTI_SZ, Bytes(Str("\0b\0\0", 4)), dflt},
        {"REG_MULTI_SZ without list end", REG_MULTI_SZ, Bytes(Str("a\0b\0", 4)), TaggedValue(Str("a\0b", 3))},
        {"REG_MULTI_SZ ending in an empty string", REG_MULTI_SZ, Bytes(Str("a\0\0\0", 4)), TaggedValue(Str("a\0", 2))},
        {"REG_NONE", REG_NONE, {1, 2}, dflt},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, dflt},
    };
    for (const auto& c : cases) {
        SetRaw("InProcServer32", "v", c.type, c.data);
        EXPECT_EQ(c.expected, reg_.GetRegistryValue("v", dflt)) << c.what;
    }
}

TEST_F(RegistryValues, MissingValueOrKeyGivesTheDefaultOrEmpty) {
    EXPECT_EQ(TaggedValue(), reg_.GetRegistryValue("absent"));
    EXPECT_EQ(TaggedValue(7), reg_.GetRegistryValue("absent", TaggedValue(7)));
    EXPECT_EQ("", reg_.GetRegistryValue("absent").ToText());
    reg_.Subkey("NoSuchKey");
    EXPECT_EQ(TaggedValue("d"), reg_.GetRegistryValue("", TaggedValue("d")));
}

TEST_F(RegistryValues, ExpandsEnvironmentReferences) {
    ASSERT_TRUE(SetEnvironmentVariableA("QT_TEST_DIR", "C:\\Qt"));
    SetRaw("InProcServer32", "", REG_EXPAND_SZ, Bytes(Str("%QT_TEST_DIR%\\System32\\x.dll\0", 29)));
    EXPECT_EQ(TaggedValue("C:\\Qt\\System32\\x.dll"), reg_.GetRegistryValue(""));

    // An expansion far longer than the stored text and than the first buffer.
    const std::string longDir(3000, 'd');
    ASSERT_TRUE(SetEnvironmentVariableA("QT_TEST_DIR", longDir.c_str()));
    EXPECT_EQ(TaggedValue(longDir + "\\System32\\x.dll"), reg_.GetRegistryValue(""));
    SetEnvironmentVariableA("QT_TEST_DIR", nullptr);
}

TEST_F(RegistryValues, ExpandsTheSystemRoot) {
    char root[512] = {0};
    ASSERT_GT(GetEnvironmentVariableA("SystemRoot", root, sizeof root), 0u);
    SetRaw("InProcServer32", "", REG_EXPAND_SZ, Bytes(Str("%SystemRoot%\\System32\\shmedia.dll\0", 34)));
    EXPECT_EQ(TaggedValue(std::string(root) + "\\System32\\shmedia.dll"), reg_.GetRegistryValue(""));
}

TEST_F(RegistryValues, ReadsLargeDataWhole) {
    for (std::size_t size : {1023u, 1024u, 1025u, 5000u, 70000u}) {
        B data(size);
        for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<BYTE>(i * 7 + 3);
        SetRaw("InProcServer32", "blob", REG_BINARY, data);
        if (kStandIn) standin::ResetCallCounts();
        EXPECT_EQ(TaggedValue(TaggedValue::Bytes(data.begin(), data.end())), reg_.GetRegistryValue("blob")) << size;
        if (kStandIn) {
            EXPECT_EQ(size > 1024 ? 2u : 1u, standin::CallCount("RegQueryValueExA")) << size;
        }
    }
    const std::string text(4999, 't');
    SetRaw("InProcServer32", "text", REG_SZ, Bytes(text + '\0'));
    EXPECT_EQ(TaggedValue(text), reg_.GetRegistryValue("text"));
}

struct WriteCase {
    const char* what;
    TaggedValue value;
    std::int32_t type;
    B stored;
};

TEST_F(RegistryValues, WritesEachTypeExactly) {
    const WriteCase cases[] = {
        {"REG_SZ", TaggedValue("Both"), REG_SZ, {'B', 'o', 't', 'h', 0}},
        {"REG_SZ empty", TaggedValue(""), REG_SZ, {0}},
        {"REG_SZ from empty", TaggedValue(), REG_SZ, {0}},
        {"REG_SZ from integer", TaggedValue(-12), REG_SZ, {'-', '1', '2', 0}},
        {"REG_EXPAND_SZ kept unexpanded", TaggedValue("%SystemRoot%\\x"), REG_EXPAND_SZ,
         Bytes(Str("%SystemRoot%\\x\0", 15))},
        {"REG_DWORD from text", TaggedValue("4000"), REG_DWORD, {0xA0, 0x0F, 0x00, 0x00}},
        {"REG_DWORD -1", TaggedValue(-1), REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"REG_DWORD from boolean", TaggedValue(true), REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"REG_BINARY", TaggedValue(TaggedValue::Bytes{0, 7, 0xFF}), REG_BINARY, {0, 7, 0xFF}},
        {"REG_BINARY empty", TaggedValue(TaggedValue::Bytes{}), REG_BINARY, {}},
        {"REG_MULTI_SZ as given", TaggedValue(Str("a\0b\0\0", 5)), REG_MULTI_SZ, Bytes(Str("a\0b\0\0", 5))},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(reg_.SetRegistryValue("w", c.value, c.type)) << c.what;
        DWORD type = 0;
        EXPECT_EQ(c.stored, GetRaw("InProcServer32", "w", &type)) << c.what;
        EXPECT_EQ(static_cast<DWORD>(c.type), type) << c.what;
    }
}

TEST_F(RegistryValues, WritesTheUnnamedDefaultValue) {
    EXPECT_TRUE(reg_.SetRegistryValue("", TaggedValue("Both"), REG_SZ));
    EXPECT_EQ(Bytes(Str("Both\0", 5)), GetRaw("InProcServer32", ""));
    EXPECT_EQ(TaggedValue("Both"), reg_.GetRegistryValue(""));
}

TEST_F(RegistryValues, OtherTypesWriteNothing) {
    for (std::int32_t type : {0, 5, 6, 11, -1, 1000}) {
        EXPECT_FALSE(reg_.SetRegistryValue("t", TaggedValue("1"), type)) << type;
        EXPECT_FALSE(ValuePresent("InProcServer32", "t")) << type;
    }
}

TEST_F(RegistryValues, WritingNeverCreatesTheKey) {
    reg_.Subkey("Missing");
    EXPECT_FALSE(reg_.SetRegistryValue("v", TaggedValue("x"), REG_SZ));
    EXPECT_FALSE(KeyPresent("Missing"));
}

TEST_F(RegistryValues, ConversionErrorsWriteNothingAndCloseTheKey) {
    const struct {
        TaggedValue value;
        std::int32_t type;
        bool overflow;
    } cases[] = {
        {TaggedValue("abc"), REG_DWORD, false},
        {TaggedValue("4294967296"), REG_DWORD, true},
        {TaggedValue(TaggedValue::Bytes{1}), REG_SZ, false},
        {TaggedValue(TaggedValue::Bytes{1}), REG_DWORD, false},
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
