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
// flag.
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
        // Texts read as themselves; as numbers when they are decimal integers
        // up to the 32-bit limits, with blanks, a sign and leading zeros; as
        // flags when they are numbers or "True"/"False" in any case.
        {TaggedValue("4000"), "4000", "4000", "true"},
        {TaggedValue("0"), "0", "0", "false"},
        {TaggedValue("2147483647"), "2147483647", "2147483647", "true"},
        {TaggedValue("  -2147483648 "), "  -2147483648 ", "-2147483648", "true"},
        {TaggedValue("\t+00012 "), "\t+00012 ", "12", "true"},
        {TaggedValue(" - 7"), " - 7", no, no},
        {TaggedValue("2147483648"), "2147483648", overflow, "true"},
        {TaggedValue("4294967296"), "4294967296", overflow, "true"},
        {TaggedValue("-2147483649"), "-2147483649", overflow, "true"},
        {TaggedValue("99999999999999999999999999"), "99999999999999999999999999", overflow, "true"},
        {TaggedValue("TrUe"), "TrUe", no, "true"},
        {TaggedValue("fAlSe"), "fAlSe", no, "false"},
        {TaggedValue("a\0b"s), "a\0b"s, no, no},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Describe(row.value));
        EXPECT_EQ(row.text, Outcome([&] { return row.value.ToText(); }));
        EXPECT_EQ(row.number, Outcome([&] { return std::to_string(row.value.ToInt32()); }));
        EXPECT_EQ(row.flag, Outcome([&] { return row.value.ToBool() ? "true"s : "false"s; }));
    }
    for (const char* text : {"", " ", "yes", "+12abc", "4000.5", "-", "+", "1 2", "0x10", "1e3"}) {
        EXPECT_EQ(no, Outcome([&] { return std::to_string(TaggedValue(text).ToInt32()); })) << '"' << text << '"';
        EXPECT_EQ(no, Outcome([&] { return TaggedValue(text).ToBool() ? "true"s : "false"s; })) << '"' << text << '"';
    }
}

// Bytes and lists give themselves in the REG_BINARY write and in every listing.
TEST(TaggedValue, OtherKindsAreNeitherBytesNorLists) {
    for (const TaggedValue& other : {TaggedValue(), TaggedValue("abc"), TaggedValue(1), TaggedValue(true)}) {
        EXPECT_THROW(other.ToBytes(), TypeMismatch) << Describe(other);
        EXPECT_THROW(other.ToList(), TypeMismatch) << Describe(other);
    }
}

}  // namespace
