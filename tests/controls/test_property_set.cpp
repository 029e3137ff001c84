#include <gtest/gtest.h>

#include "controls/property_set.h"
#include "printers.h"

namespace {

TEST(PropertySet, KeysMatchWithoutCaseKeepingFirstSpellingAndOrder) {
    PropertySet set{{"_extentx", TaggedValue(2646)}, {"text", "a"}, {"url", "b"}, {"TEXT", "c"}};
    for (const char* key : {"TEXT", "Text", "tExT"}) EXPECT_EQ(TaggedValue("c"), set.Read(key, "x")) << key;
    set.Set("URL", "d");
    set.Set("ShowToolTip", true);
    std::vector<std::string> keys;
    for (const auto& e : set.entries()) keys.push_back(e.key);
    EXPECT_EQ((std::vector<std::string>{"_extentx", "text", "url", "ShowToolTip"}), keys);
    EXPECT_FALSE(set.Contains("tex"));

    // Equality ignores order and key case, not values or keys.
    const PropertySet a{{"text", "t"}, {"url", "u"}};
    EXPECT_EQ(a, (PropertySet{{"URL", "u"}, {"Text", "t"}}));
    EXPECT_NE(a, (PropertySet{{"URL", "U"}, {"Text", "t"}}));
    EXPECT_NE(a, (PropertySet{{"Text", "t"}, {"link", "u"}}));
    EXPECT_NE(a, (PropertySet{{"text", "t"}, {"url", "u"}, {"more", "m"}}));
}

TEST(PropertySet, WritingTheDefaultRemovesTheKeyAndAbsentKeysReadAsTheDefault) {
    PropertySet set;
    EXPECT_EQ(TaggedValue(false), set.Read("ShowToolTip", false));
    set.Write("Text", "other", "d");
    set.Write("TEXT", "d", "d");
    EXPECT_TRUE(set.empty()) << "the earlier value goes";
    // A value of another kind is not the default, even when it reads alike.
    set.Write("ShowToolTip", TaggedValue("False"), TaggedValue(false));
    EXPECT_TRUE(set.Contains("showtooltip"));
}

}  // namespace
