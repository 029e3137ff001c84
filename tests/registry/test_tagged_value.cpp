#include <gtest/gtest.h>

#include <climits>

#include "printers.h"
#include "registry/tagged_value.h"

namespace {

using Bytes = TaggedValue::Bytes;

TEST(TaggedValueText, ConvertsEachKind) {
    const struct {
        TaggedValue value;
        std::string text;
    } cases[] = {
        {TaggedValue(), ""},
        {TaggedValue("abc"), "abc"},
        {TaggedValue(std::string("a\0b", 3)), std::string("a\0b", 3)},
        {TaggedValue(0), "0"},
        {TaggedValue(4000), "4000"},
        {TaggedValue(-1), "-1"},
        {TaggedValue(INT32_MIN), "-2147483648"},
        {TaggedValue(true), "True"},
        {TaggedValue(false), "False"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, c.value.ToText()) << c.value.Describe();
}

TEST(TaggedValueText, BytesAndListsDoNotConvert) {
    EXPECT_THROW(TaggedValue(Bytes{1, 2}).ToText(), TypeMismatch);
    EXPECT_THROW(TaggedValue(TaggedValue::List{TaggedValue("a")}).ToText(), TypeMismatch);
}

TEST(TaggedValueInteger, ReadsDecimalTexts) {
    const struct {
        std::string text;
        std::int32_t number;
    } cases[] = {
        {"4000", 4000},
        {"0", 0},
        {"-7", -7},
        {"+7", 7},
        {" 42 ", 42},
        {"\t-3", -3},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"000123", 123},
    };
    for (const auto& c : cases) EXPECT_EQ(c.number, TaggedValue(c.text).ToInt32()) << '"' << c.text << '"';
}

TEST(TaggedValueInteger, RejectsOtherTexts) {
    for (const char* text : {"", " ", "abc", "12a", "4000.5", "-", "+", "1 2", "0x10", "1e3"})
        EXPECT_THROW(TaggedValue(text).ToInt32(), TypeMismatch) << '"' << text << '"';
}

TEST(TaggedValueInteger, OutOfRangeIsOverflow) {
    for (const char* text : {"2147483648", "-2147483649", "4294967296", "99999999999999999999999999"})
        EXPECT_THROW(TaggedValue(text).ToInt32(), Overflow) << text;
}

TEST(TaggedValueInteger, OtherKinds) {
    EXPECT_EQ(-5, TaggedValue(-5).ToInt32());
    EXPECT_EQ(-1, TaggedValue(true).ToInt32());
    EXPECT_EQ(0, TaggedValue(false).ToInt32());
    EXPECT_THROW(TaggedValue().ToInt32(), TypeMismatch);
    EXPECT_THROW(TaggedValue(Bytes{0xA0, 0x0F, 0, 0}).ToInt32(), TypeMismatch);
}

TEST(TaggedValueBoolean, Conversions) {
    const struct {
        TaggedValue value;
        bool flag;
    } cases[] = {
        {TaggedValue(true), true},     {TaggedValue(false), false}, {TaggedValue("True"), true},
        {TaggedValue("FALSE"), false}, {TaggedValue("true"), true}, {TaggedValue("0"), false},
        {TaggedValue("-1"), true},     {TaggedValue(0), false},     {TaggedValue(5), true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.flag, c.value.ToBool()) << c.value.Describe();
    for (const TaggedValue& bad : {TaggedValue("yes"), TaggedValue(""), TaggedValue(), TaggedValue(Bytes{1})})
        EXPECT_THROW(bad.ToBool(), TypeMismatch) << bad.Describe();
}

TEST(TaggedValueBytes, OnlyBytesConvert) {
    const Bytes bytes{0, 1, 0xFF};
    EXPECT_EQ(bytes, TaggedValue(bytes).ToBytes());
    EXPECT_EQ(Bytes{}, TaggedValue(Bytes{}).ToBytes());
    EXPECT_THROW(TaggedValue("abc").ToBytes(), TypeMismatch);
    EXPECT_THROW(TaggedValue(1).ToBytes(), TypeMismatch);
}

TEST(TaggedValueKinds, EqualityRespectsKind) {
    EXPECT_EQ(TaggedValue("1"), TaggedValue("1"));
    EXPECT_NE(TaggedValue("1"), TaggedValue(1));
    EXPECT_NE(TaggedValue(""), TaggedValue());
    EXPECT_NE(TaggedValue(1), TaggedValue(true));
    EXPECT_TRUE(TaggedValue().IsEmpty());
    EXPECT_EQ("empty", TaggedValue().Describe());
    EXPECT_EQ(TaggedValue::Kind::List, TaggedValue(TaggedValue::List{}).kind());
}

}  // namespace
