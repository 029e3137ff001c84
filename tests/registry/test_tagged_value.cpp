#include <gtest/gtest.h>

#include <climits>

#include "printers.h"
#include "registry/tagged_value.h"

namespace {

using Bytes = TaggedValue::Bytes;
using List = TaggedValue::List;
using namespace std::string_literals;

// What a conversion gives, or which error it throws.
template <typename F>
std::string Outcome(F&& convert) {
    try {
        return convert();
    } catch (const Overflow&) {
        return "<overflow>";
    } catch (const TypeMismatch&) {
        return "<mismatch>";
    }
}

// One row per value: what it reads as text, as a 32-bit integer and as a
// flag. "=" stands for the value's own text.
TEST(TaggedValue, ConvertsToTextNumberAndFlag) {
    const std::string no = "<mismatch>", overflow = "<overflow>";
    const struct {
        TaggedValue value;
        std::string text, number, flag;
    } rows[] = {
        {TaggedValue(), "", no, no},
        {TaggedValue(0), "0", "0", "false"},
        {TaggedValue(-1), "-1", "-1", "true"},
        {TaggedValue(true), "True", "-1", "true"},
        {TaggedValue(false), "False", "0", "false"},
        {TaggedValue(Bytes{1, 2}), no, no, no},
        {TaggedValue(List{TaggedValue("a")}), no, no, no},
        // Texts: decimal integers up to the 32-bit limits. Signs, blanks,
        // leading zeros and "True"/"False" in any case are the inputs in
        // fuzz/corpus/tagged_value, read against fuzz_tagged_value.cpp's
        // reference reading.
        {TaggedValue("4000"), "=", "4000", "true"},
        {TaggedValue("0"), "=", "0", "false"},
        {TaggedValue("2147483647"), "=", "2147483647", "true"},
        {TaggedValue("2147483648"), "=", overflow, "true"},
        {TaggedValue("-2147483649"), "=", overflow, "true"},
        {TaggedValue("99999999999999999999999999"), "=", overflow, "true"},
        {TaggedValue("a\0b"s), "=", no, no},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value.Describe());
        EXPECT_EQ(row.text == "=" ? row.value.ToText() : row.text, Outcome([&] { return row.value.ToText(); }));
        EXPECT_EQ(row.number, Outcome([&] { return std::to_string(row.value.ToInt32()); }));
        EXPECT_EQ(row.flag, Outcome([&] { return row.value.ToBool() ? "true"s : "false"s; }));
    }
    for (const char* text : {"", " ", "yes", "12a", "4000.5", "-", "+", "1 2", "0x10", "1e3"}) {
        EXPECT_EQ(no, Outcome([&] { return std::to_string(TaggedValue(text).ToInt32()); })) << '"' << text << '"';
        EXPECT_EQ(no, Outcome([&] { return TaggedValue(text).ToBool() ? "true"s : "false"s; })) << '"' << text << '"';
    }
}

// Bytes and lists give themselves in the REG_BINARY write and in every listing.
TEST(TaggedValue, OtherKindsAreNeitherBytesNorLists) {
    for (const TaggedValue& other : {TaggedValue(), TaggedValue("abc"), TaggedValue(1), TaggedValue(true)}) {
        EXPECT_THROW(other.ToBytes(), TypeMismatch) << other.Describe();
        EXPECT_THROW(other.ToList(), TypeMismatch) << other.Describe();
    }
}

// The form failure messages show: the kind, then the value.
TEST(TaggedValue, DescribesTheKindAndTheValue) {
    const struct {
        TaggedValue value;
        std::string text;
    } cases[] = {
        {TaggedValue(), "empty"},
        {TaggedValue("a\0b"s), "text \"a\\0b\""},
        {TaggedValue(Bytes{1, 0xAB}), "byte sequence [2] 01 AB"},
        {TaggedValue(Bytes(16, 7)), "byte sequence [16] 07 07 07 07 07 07 07 07 07 07 07 07 07 07 07 07"},
        {TaggedValue(Bytes(17, 7)), "byte sequence [17] 07 07 07 07 07 07 07 07 07 07 07 07 07 07 07 07 ..."},
        {TaggedValue(List{TaggedValue(true), TaggedValue(-5)}), "list (boolean True, integer -5)"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, c.value.Describe());
}

}  // namespace
