// The stored layout of the main window: texts, keyboard order, stacking.
#include "app/layout.h"
#include "controls/accessible.h"
#include "controls/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using layout::Control;
using layout::Find;

const Control& Get(const char* name) {
    const Control* c = Find(name);
    if (!c) throw std::runtime_error(std::string("no control ") + name);
    return *c;
}

// The places themselves are checked on the live window (tests/e2e); here the
// rounding of the one conversion, at 96 DPI and above.
TEST(Layout, ScalesWithTheDpi) {
    EXPECT_EQ(63, units::TwipsToPixels(950, 96)) << "Picture1's width, 63.3 pixels";
    EXPECT_EQ(474, units::TwipsToPixels(5685, 120));
    EXPECT_EQ(569, units::TwipsToPixels(5685, 144));
}

// Every line ends in CR LF, the last one too, never in a bare LF; empty
// lines and trailing spaces stay.
TEST(Layout, ReadOnlyTextsKeepEveryLineEndAndTrailingSpace) {
    for (const char* name : {"Title_Text", "AVI_Text", "Folders_Test", "About_Text"}) {
        const std::string& text = Get(name).caption;
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ("\r\n", text.substr(text.size() - 2)) << name;
        std::size_t lines = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
        EXPECT_EQ(lines, static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'))) << name << ": bare LF";
    }
    EXPECT_NE(std::string::npos, Get("AVI_Text").caption.find("something else. \r\n\r\nClick"));
}

// Pages by their caption, the header unnamed, pictures by their tooltip;
// system controls and links not here.
TEST(Layout, ContainersTellAssistiveTechnologyWhatTheyShow) {
    for (const auto& [name, role, text] : {std::tuple{"frAbout", ROLE_SYSTEM_GROUPING, "About"},
                                           {"frStatic", ROLE_SYSTEM_GROUPING, ""},
                                           {"Picture1", ROLE_SYSTEM_GRAPHIC, "Zombies love pudding!"},
                                           {"Qorvel_Picture", ROLE_SYSTEM_GRAPHIC, ""},
                                           {"URLLink1", 0, ""}}) {
        const layout::Accessible got = layout::AccessibleOf(Get(name));
        EXPECT_EQ(std::string(text), got.name) << name;
        EXPECT_EQ(role, got.role) << name;
    }
}

TEST(Layout, TabIndexesFormOneSequence) {
    std::vector<int> indexes;
    for (const auto& c : layout::Controls())
        if (c.tabIndex >= 0) indexes.push_back(c.tabIndex);
    std::sort(indexes.begin(), indexes.end());
    for (std::size_t i = 0; i < indexes.size(); ++i) EXPECT_EQ(static_cast<int>(i), indexes[i]);
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
    EXPECT_EQ(40, units::TwipsToPixels(strip.place.top + strip.place.height - page.place.top - page.place.height, 96));
}

}  // namespace
