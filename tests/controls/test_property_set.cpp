#include <gtest/gtest.h>

#include "controls/property_set.h"
#include "printers.h"

namespace {

std::vector<std::string> Keys(const PropertySet& set) {
    std::vector<std::string> keys;
    for (const auto& e : set.entries()) keys.push_back(e.key);
    return keys;
}

TEST(PropertySetKeys, MatchWithoutCaseKeepingFirstSpellingAndOrder) {
    PropertySet set{{"_extentx", TaggedValue(2646)}, {"text", "a"}, {"url", "b"}, {"_extenty", TaggedValue(450)}};
    for (const char* key : {"TEXT", "Text", "text", "tExT"}) EXPECT_EQ(TaggedValue("a"), set.Read(key, "x")) << key;
    EXPECT_EQ(TaggedValue("b"), set.Read("URL", "x"));

    set.Set("URL", "c");
    set.Set("ShowToolTip", true);
    EXPECT_EQ((std::vector<std::string>{"_extentx", "text", "url", "_extenty", "ShowToolTip"}), Keys(set));
    EXPECT_EQ(TaggedValue("c"), set.Read("url", "x"));

    EXPECT_FALSE(SameKey("text", "texts"));
    EXPECT_FALSE(SameKey("text", "tex_"));
}

TEST(PropertySetKeys, LaterDuplicateInTheListReplacesTheEarlier) {
    const PropertySet set{{"Text", "first"}, {"TEXT", "second"}};
    EXPECT_EQ(1u, set.size());
    EXPECT_EQ(TaggedValue("second"), set.Read("text", ""));
}

TEST(PropertySetDefaults, AbsentKeyReadsAsTheDefaultAndDefaultsAreNotStored) {
    PropertySet set;
    EXPECT_EQ(TaggedValue(false), set.Read("ShowToolTip", false));
    EXPECT_EQ(TaggedValue("d"), set.Read("Text", "d"));

    set.Write("Text", "d", "d");
    EXPECT_TRUE(set.empty());
    set.Write("Text", "other", "d");
    EXPECT_EQ(TaggedValue("other"), set.Read("text", "d"));
    // Writing the default again removes the earlier value rather than keep it.
    set.Write("TEXT", "d", "d");
    EXPECT_FALSE(set.Contains("Text"));
    EXPECT_EQ(TaggedValue("d"), set.Read("Text", "d"));

    // A value of another kind is not the default, even when it reads alike.
    set.Write("ShowToolTip", TaggedValue("False"), TaggedValue(false));
    EXPECT_TRUE(set.Contains("showtooltip"));
}

TEST(PropertySetEquality, IgnoresOrderAndKeyCaseButNotValues) {
    const PropertySet a{{"text", "t"}, {"url", "u"}};
    EXPECT_EQ(a, (PropertySet{{"URL", "u"}, {"Text", "t"}}));
    EXPECT_NE(a, (PropertySet{{"URL", "U"}, {"Text", "t"}}));
    EXPECT_NE(a, (PropertySet{{"Text", "t"}}));
    EXPECT_NE(a, (PropertySet{{"Text", "t"}, {"link", "u"}}));
}

}  // namespace
