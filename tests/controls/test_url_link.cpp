// The hyperlink control's logic against a recording site. Opening runs on the
// stand-in only, which records ShellExecuteA instead of opening anything.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/url_link.h"
#include "platform/platform.h"
#include "platform/standin_control.h"
#include "printers.h"
#include "test_key.h"

namespace {

const HWND kSurface = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4321));
using Log = std::vector<std::string>;

// Records every site call as one line, in order. Text is 90x195 twips a char.
class FakeSite : public URLLinkSite {
public:
    Log log, pointer;
    std::function<void()> onBusy, onHandle;  // may throw

    Extent MeasureText(const std::string& text) override { return {static_cast<std::int32_t>(90 * text.size()), 195}; }
    void SetLabelCaption(const std::string& text) override { log.push_back("caption " + text); }
    void PlaceLabel(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
        log.push_back("place " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(w) + " " +
                      std::to_string(h));
    }
    void SetToolTipText(const std::string& text) override { log.push_back("tip " + text); }
    void SetBusyPointer() override {
        pointer.push_back("busy");
        if (onBusy) onBusy();
    }
    void RestorePointer() override {
        pointer.push_back("restore after " + std::to_string(kStandIn ? standin::MessageBoxes().size() : 0));
    }
    HWND WindowHandle() override {
        if (onHandle) onHandle();
        return kSurface;
    }
    void PropertyChanged(const std::string& key) override { log.push_back("changed " + key); }
    Log Take() { return std::exchange(log, {}); }
};

class URLLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kStandIn) standin::Reset();
    }
    FakeSite site;
    URLLink link{site};
};

TEST_F(URLLinkTest, DefaultsAndTooltipFollowingURLOnlyWhileShown) {
    link.InitProperties();
    EXPECT_EQ((Log{"caption Valdrin dot Net", "place 0 0 1350 195", "changed Text", "tip ", "changed ShowToolTip"}),
              site.Take());
    EXPECT_EQ("http://www.valdrin.net/", link.URL());
    link.SetURL("http://a/");
    EXPECT_EQ((Log{"tip ", "changed URL"}), site.Take());
    link.SetShowToolTip(true);
    EXPECT_EQ((Log{"tip http://a/", "changed ShowToolTip"}), site.Take());
    link.SetURL("http://b/");
    EXPECT_EQ((Log{"tip http://b/", "changed URL"}), site.Take());
}

TEST_F(URLLinkTest, PropertiesRoundTripAndDefaultsAreNotStored) {
    link.InitProperties();
    PropertySet set;
    link.WriteProperties(set);
    EXPECT_TRUE(set.empty()) << set.size() << " keys stored";
    link.SetText("Home");
    link.SetURL("mailto:a@example.org");
    link.SetShowToolTip(true);
    link.WriteProperties(set);
    EXPECT_EQ((PropertySet{{"Text", "Home"}, {"URL", "mailto:a@example.org"}, {"ShowToolTip", true}}), set);

    FakeSite otherSite;
    URLLink other(otherSite);
    other.ReadProperties(set);
    EXPECT_EQ("tip mailto:a@example.org", otherSite.log.at(3));
    other.SetText(URLLink::kDefaultText), other.SetShowToolTip(false), other.WriteProperties(set);
    EXPECT_EQ((PropertySet{{"URL", "mailto:a@example.org"}}), set) << "keys back at their default go";

    // The layout's lower-case keys are read; the host's keys are left alone.
    PropertySet layout{{"_extentx", TaggedValue(2646)}, {"text", "Forum"}, {"url", "http://forum/"}};
    link.ReadProperties(layout);
    EXPECT_EQ("Forum", link.Text());
    EXPECT_EQ("http://forum/", link.URL());
    const PropertySet before = layout;
    link.WriteProperties(layout);
    EXPECT_EQ(before, layout);
}

TEST_F(URLLinkTest, UnreadableStoredValueGivesAllThreeDefaults) {
    for (const TaggedValue& value : {TaggedValue("yes"), TaggedValue(), TaggedValue(TaggedValue::Bytes{1})}) {
        link.SetShowToolTip(true);
        link.ReadProperties({{"Text", "Valid"}, {"URL", "http://valid/"}, {"ShowToolTip", value}});
        EXPECT_EQ(URLLink::kDefaultText, link.Text()) << value.Describe();
        EXPECT_EQ(URLLink::kDefaultURL, link.URL()) << value.Describe();
        EXPECT_FALSE(link.ShowToolTip()) << value.Describe();
        EXPECT_EQ("tip ", site.log.at(site.log.size() - 2)) << "the tooltip is cleared";
    }
    link.ReadProperties({{"Text", TaggedValue(42)}, {"ShowToolTip", "True"}});
    EXPECT_EQ("42", link.Text()) << "kinds that convert are taken";
    EXPECT_TRUE(link.ShowToolTip());
}

TEST_F(URLLinkTest, OnlyALeftPressRaisesGoToURL) {
    link.InitProperties();
    Log raised;
    link.GoToURL = [&raised](std::string& url, bool& cancel) { raised.push_back(url), cancel = true; };
    for (std::int16_t button : {0, 2, 4, 1, 7}) {
        site.pointer.clear();
        link.lblURL_MouseDown(button, 0, 0, 0);
        const bool left = button & 1;
        EXPECT_EQ(left ? Log{URLLink::kDefaultURL} : Log{}, raised) << button;
        // Cancelled: the pointer is left untouched.
        EXPECT_EQ(left ? Log{} : Log{"restore after 0"}, site.pointer) << button;
        raised.clear();
    }
    // A handler's exception goes to the caller, before the pointer changes.
    link.GoToURL = [](std::string&, bool&) { throw std::runtime_error("handler"); };
    EXPECT_THROW(link.lblURL_MouseDown(1, 0, 0, 0), std::runtime_error);
    EXPECT_TRUE(site.pointer.empty());
}

TEST_F(URLLinkTest, LeftPressOpensTheRewrittenAddressAndReportsFailures) {
    STANDIN_ONLY();
    const auto busyFails = [] { throw LinkOpenError("Permission denied", 70); };
    const auto handleFails = [] { throw std::runtime_error("no window"); };
    const struct {
        INT_PTR result;
        std::function<void()> busy, handle;
        const char* message;  // after "Unable to load 'v' : "; nullptr: no box
    } cases[] = {
        {33, nullptr, nullptr, nullptr},
        {1, nullptr, nullptr, "The shell could not open the address. (Error 1)"},
        {31, nullptr, nullptr, "There is no application associated with the given file name extension. (Error 31)"},
        {42, busyFails, nullptr, "Permission denied (Error 70)"},
        {42, nullptr, handleFails, "no window (Error -1)"},
    };
    link.SetURL("u");
    link.GoToURL = [](std::string& url, bool&) { url = "v"; };
    for (const auto& c : cases) {
        standin::Reset();
        site.pointer.clear();
        standin::SetShellExecuteResult(c.result);
        site.onBusy = c.busy;
        site.onHandle = c.handle;
        link.lblURL_MouseDown(1, 0, 0, 0);
        EXPECT_EQ("u", link.URL()) << "the rewrite is not kept";
        const bool shelled = !c.busy && !c.handle;
        ASSERT_EQ(shelled ? 1u : 0u, standin::ShellExecutes().size()) << c.result;
        if (shelled) {
            const auto& sh = standin::ShellExecutes()[0];
            EXPECT_EQ(kSurface, sh.owner);
            EXPECT_EQ((Log{"open", "v", "<null>", "<null>", std::to_string(SW_SHOWNORMAL)}),
                      (Log{sh.operation, sh.file, sh.parameters, sh.directory, std::to_string(sh.show)}));
        }
        const auto& boxes = standin::MessageBoxes();
        ASSERT_EQ(c.message ? 1u : 0u, boxes.size()) << c.result;
        if (c.message) {
            EXPECT_EQ((Log{std::string("Unable to load 'v' : ") + c.message, "Qorvel Tweaker"}),
                      (Log{boxes[0].text, boxes[0].caption}));
            EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[0].type);
            EXPECT_TRUE(!shelled || boxes[0].owner == kSurface) << "box owner";
        }
        // The pointer comes back once any box is closed.
        EXPECT_EQ((Log{"busy", "restore after " + std::to_string(boxes.size())}), site.pointer) << c.result;
    }
}

TEST(URLLinkErrorText, MessageAndShellDescriptions) {
    EXPECT_EQ("Unable to load 'http://a/b c' : Some failure (Error -2147024891)",
              LinkOpenErrorMessage("http://a/b c", "Some failure", -2147024891));
    // Shell codes read as the shell means them (0 is not "completed
    // successfully"); others as system errors: one line, no trailing space.
    EXPECT_EQ("The operating system is out of memory or resources.", ShellErrorDescription(0));
    for (std::int32_t code : {2, 3, 5, 8, 11}) {
        const std::string text = ShellErrorDescription(code);
        EXPECT_TRUE(!text.empty() && text != "The shell could not open the address." &&
                    text.find_first_of("\r\n") == std::string::npos && text.back() != ' ')
            << code << ": '" << text << "'";
    }
}

}  // namespace
