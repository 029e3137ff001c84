// The hyperlink control's logic against a recording site. Opening goes
// through the platform's ShellExecuteA: those tests run on the stand-in only,
// which records the request instead of opening anything.
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

// Records every site call as one line, in order.
class FakeSite : public URLLinkSite {
public:
    std::vector<std::string> log;
    std::function<void()> onBusy;    // may throw
    std::function<void()> onHandle;  // may throw

    // 90 twips a character, 195 high: the fixed font of this site.
    static Extent ExtentOf(const std::string& text) { return {static_cast<std::int32_t>(90 * text.size()), 195}; }

    Extent MeasureText(const std::string& text) override { return ExtentOf(text); }
    void SetLabelCaption(const std::string& text) override { log.push_back("caption " + text); }
    void PlaceLabel(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override {
        log.push_back("place " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(width) + " " +
                      std::to_string(height));
    }
    void SetToolTipText(const std::string& text) override { log.push_back("tip " + text); }
    void SetBusyPointer() override {
        log.push_back("busy");
        if (onBusy) onBusy();
    }
    void RestorePointer() override { log.push_back("restore after " + std::to_string(Boxes()) + " boxes"); }
    HWND WindowHandle() override {
        if (onHandle) onHandle();
        return kSurface;
    }
    void PropertyChanged(const std::string& key) override { log.push_back("changed " + key); }

    std::vector<std::string> Take() { return std::exchange(log, {}); }
    // The pointer calls only.
    std::vector<std::string> Pointer() const {
        std::vector<std::string> out;
        for (const auto& line : log)
            if (line.rfind("busy", 0) == 0 || line.rfind("restore", 0) == 0) out.push_back(line);
        return out;
    }

private:
    static std::size_t Boxes() { return kStandIn ? standin::MessageBoxes().size() : 0; }
};

using Log = std::vector<std::string>;

class URLLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kStandIn) standin::Reset();
    }

    // A left press whose GoToURL handler records the address and cancels:
    // safe on every platform, as nothing is opened.
    void PressCancelled(std::int16_t button) {
        link.GoToURL = [this](std::string& url, bool& cancel) {
            raised.push_back(url);
            cancel = true;
        };
        link.lblURL_MouseDown(button, 0, 0, 0);
    }

    FakeSite site;
    URLLink link{site};
    std::vector<std::string> raised;
};

TEST_F(URLLinkTest, NewInstanceHasTheDefaultsAndNoTooltip) {
    link.InitProperties();
    EXPECT_EQ("Valdrin dot Net", link.Text());
    EXPECT_EQ("http://www.valdrin.net/", link.URL());
    EXPECT_FALSE(link.ShowToolTip());
    // The URL is set directly (no notice); the tooltip is cleared by the
    // ShowToolTip setter.
    EXPECT_EQ((Log{"caption Valdrin dot Net", "place 0 0 1350 195", "changed Text", "tip ", "changed ShowToolTip"}),
              site.log);
}

TEST_F(URLLinkTest, TooltipFollowsURLOnlyWhileShown) {
    link.InitProperties();
    site.Take();
    link.SetURL("http://a/");
    EXPECT_EQ((Log{"tip ", "changed URL"}), site.Take());
    link.SetShowToolTip(true);
    EXPECT_EQ((Log{"tip http://a/", "changed ShowToolTip"}), site.Take());
    link.SetURL("http://b/");
    EXPECT_EQ((Log{"tip http://b/", "changed URL"}), site.Take());
    link.SetShowToolTip(false);
    EXPECT_EQ((Log{"tip ", "changed ShowToolTip"}), site.Take());
}

TEST_F(URLLinkTest, PropertiesRoundTripAndDefaultsAreNotStored) {
    link.InitProperties();
    PropertySet set;
    link.WriteProperties(set);
    EXPECT_TRUE(set.empty()) << set.size() << " keys stored";

    link.SetText("Home");
    link.SetURL("mailto:someone@example.org");
    link.SetShowToolTip(true);
    link.WriteProperties(set);
    EXPECT_EQ((PropertySet{{"Text", "Home"}, {"URL", "mailto:someone@example.org"}, {"ShowToolTip", true}}), set);

    FakeSite otherSite;
    URLLink other(otherSite);
    other.ReadProperties(set);
    EXPECT_EQ("Home", other.Text());
    EXPECT_EQ("mailto:someone@example.org", other.URL());
    EXPECT_TRUE(other.ShowToolTip());
    // The tooltip shows the URL just read.
    EXPECT_EQ("tip mailto:someone@example.org", otherSite.log.at(3));

    // Back to the defaults: the stored keys go.
    other.SetText(URLLink::kDefaultText);
    other.SetShowToolTip(false);
    other.WriteProperties(set);
    EXPECT_EQ((PropertySet{{"URL", "mailto:someone@example.org"}}), set);
}

TEST_F(URLLinkTest, ReadsTheLayoutsLowerCaseKeysAndLeavesTheHostsKeysAlone) {
    PropertySet layout{{"_extentx", TaggedValue(2646)},
                       {"_extenty", TaggedValue(450)},
                       {"text", "Forum"},
                       {"url", "http://forum.example.org/"}};
    link.ReadProperties(layout);
    EXPECT_EQ("Forum", link.Text());
    EXPECT_EQ("http://forum.example.org/", link.URL());
    const PropertySet before = layout;
    link.WriteProperties(layout);
    EXPECT_EQ(before, layout);
}

TEST_F(URLLinkTest, UnreadableStoredValueGivesAllThreeDefaults) {
    const TaggedValue bad[] = {TaggedValue("yes"), TaggedValue(""), TaggedValue(), TaggedValue(TaggedValue::Bytes{1}),
                               TaggedValue(TaggedValue::List{TaggedValue(true)})};
    for (const TaggedValue& value : bad) {
        link.SetShowToolTip(true);
        link.ReadProperties({{"Text", "Valid"}, {"URL", "http://valid/"}, {"ShowToolTip", value}});
        EXPECT_EQ(URLLink::kDefaultText, link.Text()) << value.Describe();
        EXPECT_EQ(URLLink::kDefaultURL, link.URL()) << value.Describe();
        EXPECT_FALSE(link.ShowToolTip()) << value.Describe();
        EXPECT_EQ("tip ", site.log.at(site.log.size() - 2)) << "the tooltip is cleared";
    }
    link.ReadProperties({{"Text", TaggedValue(TaggedValue::Bytes{0x41})}, {"URL", "http://valid/"}});
    EXPECT_EQ(URLLink::kDefaultURL, link.URL());

    // Kinds that do convert are taken.
    link.ReadProperties({{"Text", TaggedValue(42)}, {"ShowToolTip", "True"}});
    EXPECT_EQ("42", link.Text());
    EXPECT_TRUE(link.ShowToolTip());
}

TEST_F(URLLinkTest, OnlyALeftPressRaisesGoToURL) {
    link.InitProperties();
    site.Take();
    for (std::int16_t button : {0, 2, 4, 6}) {
        PressCancelled(button);
        EXPECT_TRUE(raised.empty()) << "button " << button;
        EXPECT_EQ((Log{"restore after 0 boxes"}), site.Pointer()) << "button " << button;
        site.Take();
    }
    for (std::int16_t button : {1, 3, 7}) {
        PressCancelled(button);
        EXPECT_EQ((std::vector<std::string>{URLLink::kDefaultURL}), raised) << "button " << button;
        // Cancelled: the pointer is left untouched.
        EXPECT_TRUE(site.Pointer().empty()) << "button " << button;
        raised.clear();
    }
    // A handler's exception goes to the caller, before the pointer changes.
    link.GoToURL = [](std::string&, bool&) { throw std::runtime_error("handler"); };
    EXPECT_THROW(link.lblURL_MouseDown(1, 0, 0, 0), std::runtime_error);
    EXPECT_TRUE(site.Pointer().empty());
}

TEST_F(URLLinkTest, LeftPressOpensTheURLWithTheBusyPointer) {
    STANDIN_ONLY();
    link.InitProperties();
    site.Take();
    link.lblURL_MouseDown(1, 0, 0, 0);
    ASSERT_EQ(1u, standin::ShellExecutes().size());
    const auto& shell = standin::ShellExecutes()[0];
    EXPECT_EQ(kSurface, shell.owner);
    EXPECT_EQ("open", shell.operation);
    EXPECT_EQ("http://www.valdrin.net/", shell.file);
    EXPECT_EQ("<null>", shell.parameters);
    EXPECT_EQ("<null>", shell.directory);
    EXPECT_EQ(SW_SHOWNORMAL, shell.show);
    EXPECT_TRUE(standin::MessageBoxes().empty());
    EXPECT_EQ((Log{"busy", "restore after 0 boxes"}), site.Pointer());
}

TEST_F(URLLinkTest, RewrittenAddressIsOpenedAndReportedWhileURLKeepsItsValue) {
    STANDIN_ONLY();
    link.InitProperties();
    site.Take();
    link.GoToURL = [](std::string& url, bool&) { url = "notes.qtx"; };
    standin::SetShellExecuteResult(31);
    link.lblURL_MouseDown(1, 0, 0, 0);

    ASSERT_EQ(1u, standin::ShellExecutes().size());
    EXPECT_EQ("notes.qtx", standin::ShellExecutes()[0].file);
    EXPECT_EQ(URLLink::kDefaultURL, link.URL());
    ASSERT_EQ(1u, standin::MessageBoxes().size());
    const auto& box = standin::MessageBoxes()[0];
    EXPECT_EQ(
        "Unable to load 'notes.qtx' : There is no application associated with the given file name extension. "
        "(Error 31)",
        box.text);
    EXPECT_EQ("Qorvel Tweaker", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), box.type);
    EXPECT_EQ(kSurface, box.owner);
    // The pointer comes back once the box is closed.
    EXPECT_EQ((Log{"busy", "restore after 1 boxes"}), site.Pointer());
}

TEST_F(URLLinkTest, FailedOpenIsReportedAndThePointerRestored) {
    STANDIN_ONLY();
    const auto busyFails = [] { throw LinkOpenError("Permission denied", 70); };
    const auto handleFails = [] { throw std::runtime_error("no window"); };
    const struct {
        INT_PTR result;
        std::function<void()> busy, handle;
        const char* message;  // nullptr: no box
    } cases[] = {
        {0, nullptr, nullptr, "Unable to load 'u' : The operating system is out of memory or resources. (Error 0)"},
        {1, nullptr, nullptr, "Unable to load 'u' : The shell could not open the address. (Error 1)"},
        {2, nullptr, nullptr, "Unable to load 'u' : The system cannot find the file specified. (Error 2)"},
        {32, nullptr, nullptr, "Unable to load 'u' : The specified DLL was not found. (Error 32)"},
        {33, nullptr, nullptr, nullptr},
        {42, busyFails, nullptr, "Unable to load 'u' : Permission denied (Error 70)"},
        {42, nullptr, handleFails, "Unable to load 'u' : no window (Error -1)"},
    };
    link.SetURL("u");
    for (const auto& c : cases) {
        standin::Reset();
        site.Take();
        standin::SetShellExecuteResult(c.result);
        site.onBusy = c.busy;
        site.onHandle = c.handle;
        link.lblURL_MouseDown(1, 0, 0, 0);
        const bool reachedShell = !c.busy && !c.handle;
        EXPECT_EQ(reachedShell ? 1u : 0u, standin::ShellExecutes().size()) << c.result;
        if (c.message) {
            ASSERT_EQ(1u, standin::MessageBoxes().size()) << c.message;
            EXPECT_EQ(c.message, standin::MessageBoxes()[0].text);
            EXPECT_EQ("Qorvel Tweaker", standin::MessageBoxes()[0].caption);
            EXPECT_EQ((Log{"busy", "restore after 1 boxes"}), site.Pointer()) << c.message;
        } else {
            EXPECT_TRUE(standin::MessageBoxes().empty()) << c.result;
            EXPECT_EQ((Log{"busy", "restore after 0 boxes"}), site.Pointer()) << c.result;
        }
    }
}

TEST(URLLinkErrorText, IsBuiltExactly) {
    EXPECT_EQ("Unable to load 'http://a/b c' : Some failure (Error -2147024891)",
              LinkOpenErrorMessage("http://a/b c", "Some failure", -2147024891));
    EXPECT_EQ("Unable to load '' :  (Error 0)", LinkOpenErrorMessage("", "", 0));
}

TEST(URLLinkErrorText, ShellCodesHaveADescriptionOnEveryPlatform) {
    // The shell's own codes read as the shell means them, not as the system
    // error of the same number (0 would be "completed successfully").
    EXPECT_EQ("There is no application associated with the given file name extension.", ShellErrorDescription(31));
    EXPECT_EQ("The operating system is out of memory or resources.", ShellErrorDescription(0));
    for (std::int32_t code : {2, 3, 5, 8, 11}) {
        const std::string text = ShellErrorDescription(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_NE("The shell could not open the address.", text) << code;
        EXPECT_EQ(std::string::npos, text.find_first_of("\r\n")) << code << ": " << text;
        EXPECT_NE(' ', text.back()) << code;
    }
}

}  // namespace
