#include <gtest/gtest.h>

#include "platform/names.h"
#include "printers.h"
#include "registry/keyed_collection.h"
#include "test_key.h"

namespace {

// Items keep their order of insertion, at positions 1 to Count().
TEST(KeyedCollection, PositionsFollowInsertionOrder) {
    KeyedCollection c;
    const std::vector<std::string> keys = {"zeta", "Alpha", "mid"};
    for (const auto& key : keys) EXPECT_TRUE(c.Add(key, TaggedValue(key)));
    ASSERT_EQ(keys.size(), c.Count());
    for (std::size_t position = 1; position <= keys.size(); ++position) {
        EXPECT_EQ(keys[position - 1], c.KeyAt(position));
        EXPECT_EQ(TaggedValue(keys[position - 1]), c.Item(position));
    }
    for (std::size_t position : {0u, 4u}) {
        EXPECT_THROW(c.Item(position), std::out_of_range) << position;
        EXPECT_THROW(c.KeyAt(position), std::out_of_range) << position;
    }
}

TEST(KeyedCollection, KeysIgnoreCaseAndStayUnique) {
    KeyedCollection c;
    EXPECT_TRUE(c.Add("BagMRU", TaggedValue("first")));
    EXPECT_FALSE(c.Add("BAGMRU", TaggedValue("second")));
    EXPECT_EQ(1u, c.Count());
    EXPECT_TRUE(c.Contains("bagmru"));
    EXPECT_EQ(TaggedValue("first"), c.Item("bagMRU"));
    EXPECT_FALSE(c.Contains("Bags"));
    EXPECT_THROW(c.Item("Bags"), std::out_of_range);
}

// Names compare as the registry compares them. In the double-byte code page
// 932 the trail bytes of katakana A (83 41) and DI (83 61) look like "A" and
// "a": the two names must stay apart, while the letters of a name still fold.
TEST(NameFolding, NeverFoldsATrailByte) {
    if (kStandIn) GTEST_SKIP() << "the stand-in folds ASCII letters only";
#ifdef _WIN32
    if (!IsValidCodePage(932)) GTEST_SKIP() << "code page 932 is not installed (East Asian languages)";
#endif
    EXPECT_NE(names::FoldKey("Bag\x83\x41", 932), names::FoldKey("Bag\x83\x61", 932));
    EXPECT_EQ(names::FoldKey("BAG\x83\x41", 932), names::FoldKey("bag\x83\x41", 932));
}

}  // namespace
