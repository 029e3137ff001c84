// The hyperlink control's logic against a recording site. Opening runs on the
// stand-in only, which records ShellExecuteA instead of opening anything.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "controls/accessible.h"
#include "controls/shell_open.h"
#include "controls/url_link.h"
#include "desktop/mouse_pointer.h"
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
    Log log;
    std::function<void()> onHandle;  // may throw

    Extent MeasureText(const std::string& text) override { return {static_cast<std::int32_t>(90 * text.size()), 195}; }
    void SetLabelCaption(const std::string& text) override { log.push_back("caption " + text); }
    void PlaceLabel(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
        log.push_back("place " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(w) + " " +
                      std::to_string(h));
    }
    void SetToolTipText(const std::string& text) override { log.push_back("tip " + text); }
    HWND WindowHandle() override {
        if (onHandle) onHandle();
        return kSurface;
    }
    void PropertyChanged(const std::string& key) override { log.push_back("changed " + key); }
    Log Take() { return std::exchange(log, {}); }
};

// The desktop shell's process as a test has it: each open goes to `answer`.
struct FakeDesktop {
    static inline std::function<bool(const std::string& file, HRESULT& result)> answer;
    static bool Open(LPCSTR, LPCSTR file, INT, HRESULT& result) { return answer(file, result); }
};

class URLLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kStandIn) standin::Reset();
        ShellOpen::Shutdown();
    }
    static std::string Busy() { return MousePointer::IsBusy() ? "busy" : "-"; }
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

    // A layout's lower-case keys are read, the tooltip showing the address
    // read; written back over the layout, the host's own keys are left alone.
    PropertySet layout{
        {"_extentx", TaggedValue(2646)}, {"text", "Home"}, {"url", "mailto:a@example.org"}, {"showtooltip", true}};
    site.Take();
    link.ReadProperties(layout);
    EXPECT_EQ("tip mailto:a@example.org", site.log.at(3));
    link.WriteProperties(set);
    EXPECT_EQ((PropertySet{{"Text", "Home"}, {"URL", "mailto:a@example.org"}, {"ShowToolTip", true}}), set);
    const PropertySet before = layout;
    link.WriteProperties(layout);
    EXPECT_EQ(before, layout);
}

// Keys in any case; numbers and flags read as text; one value that does not
// convert gives all three defaults, also those already read.
TEST_F(URLLinkTest, StoredSetsReadWholeOrAsTheDefaults) {
    const Log defaults = {URLLink::kDefaultText, URLLink::kDefaultURL, "0"};
    const std::pair<PropertySet, Log> rows[] = {
        {{{"TEXT", TaggedValue(42)}, {"Url", TaggedValue(true)}, {"sHoWtOoLtIp", "1"}}, {"42", "True", "1"}},
        {{{"text", "hi"}, {"url", "a"}, {"showtooltip", "no"}}, defaults},
        {{{"text", "hi"}, {"url", TaggedValue(TaggedValue::Bytes{1, 2})}}, defaults},
    };
    for (const auto& [set, want] : rows) {
        link.ReadProperties(set);
        EXPECT_EQ(want, (Log{link.Text(), link.URL(), link.ShowToolTip() ? "1" : "0"}));
    }
}

// Button bits with the left one among them raise GoToURL (which single
// buttons do: the window's OnlyALeftPressOnTheTextRaisesGoToURL) before the
// hourglass shows; it may cancel the open, and its exception goes to the caller.
TEST_F(URLLinkTest, GoToURLRunsBeforeTheHourglassAndMayCancelOrThrow) {
    link.InitProperties();
    Log raised;
    link.GoToURL = [&raised](std::string& url, bool& cancel) { raised.push_back(url + " " + Busy()), cancel = true; };
    link.lblURL_MouseDown(7, 0, 0, 0);
    EXPECT_EQ(Log{std::string(URLLink::kDefaultURL) + " -"}, raised);
    EXPECT_TRUE(!kStandIn || standin::ShellExecutes().empty()) << "cancelled";
    link.GoToURL = [](std::string&, bool&) { throw std::runtime_error("handler"); };
    EXPECT_THROW(link.lblURL_MouseDown(1, 0, 0, 0), std::runtime_error);
}

TEST_F(URLLinkTest, LeftPressOpensTheRewrittenAddressAndReportsFailures) {
    STANDIN_ONLY();
    const auto handleFails = [] { throw std::runtime_error("no window"); };
    const auto typedFails = [] { throw LinkOpenError("Permission denied", 70); };
    const struct {
        INT_PTR result;
        std::function<void()> handle;
        const char* message;           // after "Unable to load 'v' : "; nullptr: no box
        const char* hidden = nullptr;  // shell32's missing function, "" for all of shell32
    } cases[] = {
        {33, nullptr, nullptr},
        {32, nullptr, "The specified DLL was not found. (Error 32)"},
        {1, nullptr, "The shell could not open the address. (Error 1)"},
        {42, typedFails, "Permission denied (Error 70)"},
        {42, handleFails, "no window (Error -1)"},
        {42, nullptr, "The specified DLL was not found. (Error 32)", ""},
        {42, nullptr, "The specified procedure could not be found. (Error 127)", "ShellExecuteA"},
    };
    link.SetURL("u");
    link.GoToURL = [](std::string& url, bool&) { url = "v"; };
    for (const auto& c : cases) {
        standin::Reset();
        standin::SetShellExecuteResult(c.result);
        if (c.hidden) standin::HideSystemFunction("shell32.dll", c.hidden);
        site.onHandle = c.handle;
        // The hourglass shows over the whole program from before the shell
        // call until the error box is closed: the pointer at each shell call
        // and message box, then after the press.
        Log pointer;
        standin::SetCallHook([&](const std::string& function, unsigned long) {
            if (function == "ShellExecuteA" || function == "MessageBoxA") pointer.push_back(function + " " + Busy());
            return ERROR_SUCCESS;
        });
        link.lblURL_MouseDown(1, 0, 0, 0);
        standin::SetCallHook(nullptr);
        pointer.push_back("after " + Busy());
        EXPECT_EQ("u", link.URL()) << "the rewrite is not kept";
        // One shell call unless the handle or the shell failed, one box for a failure.
        const bool shelled = !c.handle && !c.hidden;
        Log want;
        if (shelled) want.push_back("ShellExecuteA busy");
        if (c.message) want.push_back("MessageBoxA busy");
        want.push_back("after -");
        ASSERT_EQ(want, pointer) << c.result;
        if (shelled) {
            const auto& sh = standin::ShellExecutes()[0];
            EXPECT_EQ(kSurface, sh.owner);
            EXPECT_EQ((Log{"open", "v", "<null>", "<null>", std::to_string(SW_SHOWNORMAL)}),
                      (Log{sh.operation, sh.file, sh.parameters, sh.directory, std::to_string(sh.show)}));
        }
        const auto& boxes = standin::MessageBoxes();
        if (c.message) {
            EXPECT_EQ((Log{std::string("Unable to load 'v' : ") + c.message, "Qorvel Tweaker"}),
                      (Log{boxes[0].text, boxes[0].caption}));
            EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[0].type);
            EXPECT_TRUE(c.handle || boxes[0].owner == kSurface) << "box owner";
        }
    }
}

// Input as the window layer decodes it: a double-click is one press, Enter
// and Space open as a left press does, and a press that comes while the shell
// is still opening (it may dispatch messages) opens nothing more.
TEST_F(URLLinkTest, EachActionOpensOnce) {
    STANDIN_ONLY();
    using Key = URLLink::Key;
    auto press = [&](bool second) { return [=] { link.OnPress(1, 0, 0, 0, second); }; };
    auto key = [&](Key k, bool repeat) { return [=] { EXPECT_TRUE(link.OnKey(k, repeat)); }; };
    const struct {
        std::vector<std::function<void()>> input;
        std::size_t opens;
    } cases[] = {{{press(false), press(true)}, 1},
                 {{key(Key::Enter, false)}, 1},
                 {{key(Key::Space, false)}, 1},
                 {{key(Key::Enter, true), key(Key::Space, true)}, 0}};
    link.SetURL("u");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        standin::Reset();
        for (const auto& input : cases[i].input) input();
        EXPECT_EQ(cases[i].opens, standin::ShellExecutes().size()) << "case " << i;
    }
    EXPECT_FALSE(link.OnKey(Key::Other, false)) << "other keys are the window's";

    standin::Reset();
    standin::SetCallHook([&](const std::string& function, unsigned long) {
        if (function == "ShellExecuteA") link.OnPress(1, 0, 0, 0, false);
        return ERROR_SUCCESS;
    });
    link.OnKey(Key::Enter, false);
    standin::SetCallHook(nullptr);
    EXPECT_EQ(1u, standin::ShellExecutes().size()) << "a press during the open";
}

// What assistive technology is told follows the focus and the enabled state;
// its default action opens nothing inside the call: it posts the open to the
// surface, which runs it as a left press (BothWindowsAnswerWithTheLinksObject
// in test_url_link_window.cpp). A disabled link posts nothing.
TEST_F(URLLinkTest, DefaultActionPostsAnOpen) {
    STANDIN_ONLY();
    link.SetText("Forum"), link.SetURL("u");
    const long base = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
    for (const auto& [focused, enabled, state] : {std::tuple{false, true, base},
                                                  {true, true, base | STATE_SYSTEM_FOCUSED},
                                                  {false, false, base | STATE_SYSTEM_UNAVAILABLE}}) {
        const a11y::Report r = a11y::OfLink(link, focused, enabled);
        EXPECT_EQ((Log{"30", "Forum", "u", "Click"}), (Log{std::to_string(r.role), r.name, r.value, r.defaultAction}));
        EXPECT_EQ(state, r.state) << focused << enabled;
    }
    EXPECT_FALSE(link.DoDefaultAction(false));
    EXPECT_TRUE(standin::PostedMessages().empty());
    ASSERT_TRUE(link.DoDefaultAction(true));
    EXPECT_TRUE(standin::ShellExecutes().empty()) << "opened inside the call";
    const auto posted = standin::PostedMessages().at(0);
    EXPECT_EQ(kSurface, posted.hwnd);
    EXPECT_EQ(URLLink::kOpenMessage, posted.message);
}

// Which way an open goes (an elevated process with a linked token, or one
// whose token cannot be opened, through the desktop shell's process or not at
// all; else, Windows XP's refused query included, ShellExecuteA), COM started
// once before the first shell call and ended once at shutdown if it was
// started, the process token closed.
TEST_F(URLLinkTest, TwoOpensTakeTheUsersWayAndStartComOnce) {
    STANDIN_ONLY();
    const auto full = TokenElevationTypeFull;
    const struct {
        TOKEN_ELEVATION_TYPE elevation;
        bool offered;
        HRESULT desktop, com;
        const char* calls;              // over two presses and the shutdown
        const char* box = nullptr;      // the error box's text after "Unable to load 'u' : "
        const char* failing = nullptr;  // the token call that fails
    } cases[] = {
        {TokenElevationTypeDefault, true, S_OK, S_OK, "Co ShellExecuteA ShellExecuteA Unco"},
        {TokenElevationTypeLimited, true, S_OK, S_FALSE, "Co ShellExecuteA ShellExecuteA Unco"},
        {full, true, S_OK, S_OK, "Co Desktop Desktop Unco"},
        {full, false, S_OK, S_OK, "Co Desktop Box Desktop Box Unco", "Access is denied. (Error 5)"},
        {full, true, E_FAIL, RPC_E_CHANGED_MODE, "Co Desktop Box Desktop Box", "Unspecified error (Error -2147467259)"},
        {TokenElevationTypeDefault, false, S_OK, E_FAIL, "Co ShellExecuteA ShellExecuteA"},
        {TokenElevationTypeDefault, true, S_OK, S_OK, "Co Desktop Desktop Unco", nullptr, "OpenProcessToken"},
        {full, true, S_OK, S_OK, "Co ShellExecuteA ShellExecuteA Unco", nullptr, "GetTokenInformation"},
    };
    const std::map<std::string, std::string> shown = {{"CoInitializeEx", "Co"},
                                                      {"CoUninitialize", "Unco"},
                                                      {"ShellExecuteA", "ShellExecuteA"},
                                                      {"MessageBoxA", "Box"}};
    ShellOpen::UseDesktopShell(&FakeDesktop::Open);
    link.SetURL("u");
    for (const auto& c : cases) {
        standin::Reset();
        standin::SetElevationType(c.elevation);
        standin::SetComResult(c.com);
        std::string calls;
        auto log = [&](const std::string& call) { calls += (calls.empty() ? "" : " ") + call; };
        standin::SetCallHook([&](const std::string& function, unsigned long) {
            if (shown.count(function)) log(shown.at(function));
            return c.failing && function == c.failing ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
        });
        FakeDesktop::answer = [&](const std::string& file, HRESULT& result) {
            log("Desktop");
            EXPECT_EQ("u", file);
            result = c.desktop;
            return c.offered;
        };
        link.lblURL_MouseDown(1, 0, 0, 0);
        link.lblURL_MouseDown(1, 0, 0, 0);
        ShellOpen::Shutdown();
        standin::SetCallHook(nullptr);
        EXPECT_EQ(c.calls, calls) << c.elevation << " " << c.offered;
        EXPECT_EQ(0u, standin::OpenHandles()) << "the process token is closed";
        for (const auto& open : standin::ShellExecutes()) EXPECT_EQ("u", open.file);
        if (c.box) {
            EXPECT_EQ(std::string("Unable to load 'u' : ") + c.box, standin::MessageBoxes().at(0).text);
        }
    }
    ShellOpen::UseDesktopShell(nullptr);
    // Without ole32 the open goes on without COM.
    standin::Reset();
    standin::HideSystemFunction("ole32.dll", "");
    link.lblURL_MouseDown(1, 0, 0, 0);
    EXPECT_EQ(0u, standin::CallCount("CoInitializeEx"));
    EXPECT_EQ(1u, standin::ShellExecutes().size());
}

// The handler, the shell and the error box may run message loops: a second
// link's open may run inside the first's, and the window (with the link) may
// be closed meanwhile. The hourglass stays until the outer open returns;
// a closed link's open touches nothing of it and shows no further box.
TEST_F(URLLinkTest, OpensInsideAnOpenAndLinksClosedDuringOne) {
    STANDIN_ONLY();
    FakeSite otherSite;
    URLLink other{otherSite};
    std::string seen;
    standin::SetCallHook([&](const std::string& function, unsigned long n) {
        if (function == "ShellExecuteA" && n == 1) other.lblURL_MouseDown(1, 0, 0, 0), seen = Busy();
        return ERROR_SUCCESS;
    });
    link.lblURL_MouseDown(1, 0, 0, 0);
    EXPECT_EQ("busy", seen) << "after the inner open, inside the outer";
    EXPECT_EQ("-", Busy());
    EXPECT_EQ(2u, standin::ShellExecutes().size());

    for (const std::string during : {"GoToURL", "ShellExecuteA", "MessageBoxA"}) {
        standin::Reset();
        standin::SetShellExecuteResult(2);
        auto* closing = new FakeSite;
        auto* closed = new URLLink(*closing);
        const auto close = [&](const std::string& now) {
            if (now == during) delete closed, delete closing;
            return ERROR_SUCCESS;
        };
        closed->GoToURL = [&](std::string&, bool&) { close("GoToURL"); };
        standin::SetCallHook([&](const std::string& function, unsigned long) { return close(function); });
        closed->lblURL_MouseDown(1, 0, 0, 0);
        standin::SetCallHook(nullptr);
        EXPECT_EQ(during == "MessageBoxA" ? 1u : 0u, standin::MessageBoxes().size()) << during;
        EXPECT_EQ("-", Busy()) << during;
    }
}

TEST(URLLinkErrorText, ShellDescriptions) {
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
