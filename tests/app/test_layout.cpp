// The stored layout of the main window: places at 96 DPI, texts, keyboard
// order, stored link properties.
#include "app/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using layout::Control;
using layout::Find;

const Control& Get(const char* name) {
    const Control* c = Find(name);
    if (!c) throw std::runtime_error(std::string("no control ") + name);
    return *c;
}

TEST(Layout, EveryControlStandsOnItsPixelsAt96Dpi) {
    const struct {
        const char* name;
        int x, y, w, h;
    } cases[] = {
        {"frFolders", 24, 120, 329, 273},      {"frAbout", 24, 120, 329, 273},
        {"frVideo", 24, 120, 329, 273},        {"frStatic", 16, 16, 337, 105},
        {"TabStrip1", 8, 8, 361, 425},         {"Qorvel_Picture", 8, 0, 249, 49},
        {"Title_Text", 8, 48, 241, 49},        {"Exit_Button", 272, 72, 65, 25},
        {"Picture1", 272, 0, 63, 66},          {"AVI_Text", 8, 16, 313, 137},
        {"AVI_Default", 104, 160, 81, 25},     {"AVI_New", 16, 160, 81, 25},
        {"AVI_Output_Text2", 8, 232, 289, 25}, {"AVI_Output_Text1", 8, 200, 289, 25},
        {"Default_Folders", 216, 240, 97, 25}, {"Increase_Folders", 112, 240, 97, 25},
        {"Reset_Folders", 8, 240, 97, 25},     {"Folders_Test", 8, 16, 313, 209},
        {"URLLink4", 176, 224, 113, 17},       {"URLLink3", 176, 248, 121, 17},
        {"About_Text", 16, 88, 289, 97},       {"picIcon", 10, 24, 54, 54},
        {"URLLink2", 8, 248, 169, 17},         {"URLLink1", 8, 224, 145, 17},
        {"Label1", 82, 40, 201, 17},           {"lblDisclaimer", 8, 200, 273, 15},
        {"lblVersion", 82, 24, 195, 15},       {"Line1(1)", 8, 192, 304, 192},
    };
    for (const auto& c : cases) {
        const Control& control = Get(c.name);
        EXPECT_EQ(c.x, layout::ToPixels(control.left, 96)) << c.name;
        EXPECT_EQ(c.y, layout::ToPixels(control.top, 96)) << c.name;
        EXPECT_EQ(c.w, layout::ToPixels(control.width, 96)) << c.name;
        EXPECT_EQ(c.h, layout::ToPixels(control.height, 96)) << c.name;
    }
    const auto& window = layout::MainWindow();
    EXPECT_EQ(379, layout::ToPixels(window.clientWidth, 96));
    EXPECT_EQ(440, layout::ToPixels(window.clientHeight, 96));
    EXPECT_STREQ("Qorvel Tweaker", window.caption);
}

TEST(Layout, ScalesWithTheDpi) {
    EXPECT_EQ(474, layout::ToPixels(5685, 120));
    EXPECT_EQ(569, layout::ToPixels(5685, 144));
    EXPECT_EQ(0, layout::ToPixels(0, 144));
}

TEST(Layout, ReadOnlyTextsKeepEveryLineEndAndTrailingSpace) {
    // Character counts as stored, CR and LF one character each.
    const struct {
        const char* name;
        std::size_t length;
        std::size_t lines;
    } cases[] = {{"Title_Text", 87, 2}, {"AVI_Text", 371, 9}, {"Folders_Test", 422, 12}, {"About_Text", 0, 6}};
    for (const auto& c : cases) {
        const std::string& text = Get(c.name).caption;
        if (c.length) {
                EXPECT_EQ(c.length, text.size()) << c.name;
            }
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ("\r\n", text.substr(text.size() - 2)) << c.name;
        std::size_t lines = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
        EXPECT_EQ(c.lines, lines) << c.name;
        EXPECT_EQ(lines, static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'))) << c.name << ": bare LF";
    }
    EXPECT_NE(std::string::npos, Get("AVI_Text").caption.find("When \r\nyou"));
    EXPECT_NE(std::string::npos, Get("AVI_Text").caption.find("something else. \r\n\r\nClick"));
    EXPECT_NE(std::string::npos,
              Get("Folders_Test").caption.find("\r\n\\ShellNoRoam\\BagMRU\r\n\r\nHKEY_CURRENT_USER"));
}

TEST(Layout, TabIndexesFormOneSequence) {
    std::vector<int> indexes;
    for (const auto& c : layout::Controls())
        if (c.tabIndex >= 0) indexes.push_back(c.tabIndex);
    std::sort(indexes.begin(), indexes.end());
    ASSERT_EQ(27u, indexes.size());
    for (int i = 0; i < 27; ++i) EXPECT_EQ(i, indexes[static_cast<std::size_t>(i)]);
    EXPECT_EQ(3, Get("URLLink2").tabIndex);
    EXPECT_EQ(26, Get("Qorvel_Picture").tabIndex);
}

TEST(Layout, PagesAndHeaderLieOverTheTabStrip) {
    const auto& all = layout::Controls();
    auto position = [&](const char* name) {
        return std::find_if(all.begin(), all.end(), [&](const Control& c) { return std::string(c.name) == name; }) -
               all.begin();
    };
    for (const char* frame : {"frFolders", "frAbout", "frVideo", "frStatic"})
        EXPECT_LT(position(frame), position("TabStrip1")) << frame;
    // The tab row (the strip's lowest 40 pixels) stays uncovered.
    const Control& strip = Get("TabStrip1");
    const Control& page = Get("frAbout");
    EXPECT_EQ(5895, page.top + page.height);
    EXPECT_EQ(6495, strip.top + strip.height);
    EXPECT_FALSE(Get("frAbout").visible);
    EXPECT_FALSE(Get("frVideo").visible);
    EXPECT_TRUE(Get("frFolders").visible);
    EXPECT_EQ((std::vector<std::string>{"&About", "&Video", "&Folders"}), layout::TabCaptions());
}

TEST(Layout, LinksStoreTheirPropertiesInLowerCase) {
    const struct {
        const char* name;
        int extentX, extentY;
        const char* text;  // nullptr: not stored
        const char* urlEnd;
    } cases[] = {
        {"URLLink1", 3836, 450, nullptr, nullptr},
        {"URLLink2", 4471, 450, "Qorvel VB Programming", "/programming/vb/"},
        {"URLLink3", 3201, 450, "Qorvel PHP Programming", "/programming/php/"},
        {"URLLink4", 2990, 450, "Qorvel Message Forum", "/forum/"},
    };
    for (const auto& c : cases) {
        std::set<std::string> keys;
        for (const auto& [key, value] : Get(c.name).properties) {
            keys.insert(key);
            if (key == "_extentx") {
                EXPECT_EQ(TaggedValue(c.extentX), value) << c.name;
            }
            if (key == "_extenty") {
                EXPECT_EQ(TaggedValue(c.extentY), value) << c.name;
            }
            if (key == "text") {
                EXPECT_EQ(TaggedValue(c.text), value) << c.name;
            }
            if (key == "url") {
                const std::string url = value.ToText();
                EXPECT_EQ(0u, url.find("http://")) << url;
                EXPECT_EQ(url.size() - std::string(c.urlEnd).size(), url.rfind(c.urlEnd)) << url;
            }
        }
        std::set<std::string> expected = {"_extentx", "_extenty"};
        if (c.text) expected.insert({"text", "url"});
        EXPECT_EQ(expected, keys) << c.name;
    }
}

}  // namespace
