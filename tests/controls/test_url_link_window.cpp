// The hyperlink control's window against the real user32/gdi32/comctl32
// (under Wine). Presses use a GoToURL handler that cancels.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "controls/win32/url_link_window.h"
#include "controls/win32/window_kit.h"
#include "desktop/mouse_pointer.h"
#include "window_pixels.h"

#include <commctrl.h>  // after <windows.h>
#include <oleacc.h>

namespace {

const PropertySet kStored{{"_extentx", TaggedValue(3836)}, {"text", "Qorvel Forum"}, {"url", "http://forum/"}};
const PropertySet kWithTip{{"text", "Qorvel Forum"}, {"url", "http://forum/"}, {"showtooltip", true}};

// The label's rectangle in its surface's client coordinates.
RECT LabelRect(HWND control) {
    RECT rc{-1, -1, -1, -1};
    GetWindowRect(URLLinkWindow::Label(control), &rc);
    MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::vector<LONG> Corners(const RECT& rc) {
    return {rc.left, rc.top, rc.right, rc.bottom};
}

// The tooltip's tool count and the text of the label's tool.
std::string ToolTip(HWND control) {
    HWND tip = URLLinkWindow::ToolTip(control);
    char text[1024] = "<unset>";
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(URLLinkWindow::Label(control));
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return std::to_string(tip ? SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) : 0) + " " +
           (tool.lpszText ? tool.lpszText : "<null>");
}

class URLLinkWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        // Wine without a display or its null graphics driver has no windows.
        ASSERT_NE(nullptr, parent_) << "no window: the prefix lacks its graphics driver (scripts/wine-prefix.sh)";
    }
    void TearDown() override {
        if (parent_) DestroyWindow(parent_);
    }
    HWND Make(const PropertySet& set) {
        HWND control = URLLinkWindow::Create(parent_, 8, 224, 300, 17, set, 42);
        EXPECT_NE(nullptr, control);
        return control;
    }
    HWND parent_ = nullptr;
};

TEST_F(URLLinkWindowTest, LabelHasTheLinkFontAndIsSizedToItsText) {
    HWND control = Make(kStored);
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(42, GetDlgCtrlID(control));
    HWND label = URLLinkWindow::Label(control);
    ASSERT_NE(nullptr, label);
    // The label's class name starts with the surface's and it carries state
    // of its own: still it is not the control.
    EXPECT_EQ(nullptr, URLLinkWindow::Link(label));
    const auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    ASSERT_EQ(static_cast<int>(sizeof lf), GetObjectA(font, sizeof lf, &lf));
    EXPECT_STREQ("MS Sans Serif", lf.lfFaceName);
    EXPECT_EQ(-HeightOf825Points(ui::ScreenDpi()), lf.lfHeight);
    EXPECT_EQ(400, lf.lfWeight);
    EXPECT_TRUE(lf.lfUnderline && !lf.lfItalic && !lf.lfStrikeOut);

    // At the top-left corner, sized to the text; a text longer than the
    // control is clipped and the control keeps its size.
    const Canvas measure(1, 1);
    const ui::Selected selected(measure.dc(), font);
    for (const std::string text : {"Qorvel Forum", "", "A link text far longer than the forty pixel wide control"}) {
        URLLinkWindow::Link(control)->SetText(text);
        SIZE want{-1, -1};
        GetTextExtentPoint32A(measure.dc(), text.data(), static_cast<int>(text.size()), &want);
        EXPECT_EQ((std::vector<LONG>{0, 0, want.cx, want.cy}), Corners(LabelRect(control))) << '"' << text << '"';
        EXPECT_EQ((std::vector<LONG>{0, 0, 300, 17}), Corners(ClientRect(control))) << text;
    }
}

// Anything but the highlight colour, the face and their blends at smoothed
// edges (black text, say) is another colour.
TEST_F(URLLinkWindowTest, LabelPaintsInTheHighlightColour) {
    const Canvas label(URLLinkWindow::Label(Make(kStored)));
    ASSERT_GT(label.width(), 0);
    const auto [inked, other] = label.Inks(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_BTNFACE));
    EXPECT_GE(inked, label.width()) << "the underline alone spans the label";
    EXPECT_EQ(0, other) << "pixels in neither the highlight nor the background colour";
}

// The focus rectangle is dotted (every other pixel of its edges inverted)
// round the text, whose letters here stay clear of the top row.
TEST_F(URLLinkWindowTest, OnlyAFocusedLinkDrawsItsFocusRectangle) {
    HWND control = Make(kStored);
    URLLinkWindow::Link(control)->SetText("some new ones");
    for (const HWND focus : {parent_, control}) {
        ASSERT_EQ(focus, (SetFocus(focus), GetFocus()));
        const Canvas label(URLLinkWindow::Label(control));
        int dotted = 0;
        for (int x = 0; x < label.width(); ++x) dotted += label.At(x, 0) != GetSysColor(COLOR_BTNFACE);
        EXPECT_NEAR(focus == control ? label.width() / 2.0 : 0, dotted, 0.5) << "of " << label.width();
    }
}

// The logic's tooltip texts (tests/controls/test_url_link.cpp) reach the real
// tooltip control: one tool with the address, none for an empty text. A new
// instance, without a stored set, has the defaults: no tooltip.
TEST_F(URLLinkWindowTest, TooltipShowsTheURLOnlyWhenAskedFor) {
    HWND plain = URLLinkWindow::Create(parent_, 0, 0, 200, 17);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(URLLink::kDefaultText, URLLinkWindow::Link(plain)->Text());
    EXPECT_EQ('0', ToolTip(plain)[0]);
    HWND control = Make(kWithTip);
    URLLinkWindow::Link(control)->SetURL("http://other/a&b");
    EXPECT_EQ("1 http://other/a&b", ToolTip(control));
    URLLinkWindow::Link(control)->SetURL("");
    EXPECT_EQ('0', ToolTip(control)[0]) << "an empty address shows no tooltip";
}

TEST_F(URLLinkWindowTest, OnlyALeftPressOnTheTextRaisesGoToURL) {
    HWND control = Make(kStored);
    HWND label = URLLinkWindow::Label(control);
    int raised = 0;
    URLLinkWindow::Link(control)->GoToURL = [&](std::string&, bool& cancel) { ++raised, cancel = true; };
    const LPARAM at = MAKELPARAM(2, 2);
    SendMessageA(label, WM_RBUTTONDOWN, MK_RBUTTON, at);
    SendMessageA(label, WM_MBUTTONDOWN, MK_MBUTTON, at);
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(LabelRect(control).right + 5, 2));  // beside
    EXPECT_EQ(0, raised);
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(1, raised);

    // A handler's exception stops at the window procedure, and the next
    // press opens again.
    URLLinkWindow::Link(control)->GoToURL = [&](std::string&, bool&) { ++raised, throw std::runtime_error("h"); };
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(3, raised);
}

// What a screen reader meets: from either window, one object that is the
// link, named by its text, whose default action posts an open that raises
// GoToURL once when the message arrives.
TEST_F(URLLinkWindowTest, BothWindowsAnswerWithTheLinksObject) {
    using FromLresultFn = HRESULT(WINAPI*)(LRESULT, REFIID, WPARAM, void**);
    const auto fromLresult = platform::SystemFunction<FromLresultFn>("oleacc.dll", "ObjectFromLresult");
    const auto freeString = platform::SystemFunction<void(WINAPI*)(BSTR)>("oleaut32.dll", "SysFreeString");
    ASSERT_TRUE(fromLresult && freeString);
    HWND control = Make(kStored);
    int raised = 0;
    URLLinkWindow::Link(control)->GoToURL = [&](std::string&, bool& cancel) { ++raised, cancel = true; };
    URLLinkWindow::Link(control)->SetText("Other");
    for (HWND window : {control, URLLinkWindow::Label(control)}) {
        IAccessible* object = nullptr;
        const LRESULT answer = SendMessageA(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
        ASSERT_HRESULT_SUCCEEDED(fromLresult(answer, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&object)));
        VARIANT self{}, role{};
        self.vt = VT_I4, self.lVal = CHILDID_SELF;
        std::wstring texts;
        for (const auto get : {&IAccessible::get_accName, &IAccessible::get_accValue}) {
            BSTR text = nullptr;
            (object->*get)(self, &text);
            texts += (text ? text : L"<none>") + std::wstring(L"|");
            freeString(text);
        }
        EXPECT_EQ(L"Other|http://forum/|", texts);
        EXPECT_TRUE(SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_LINK);
        EXPECT_EQ(S_OK, object->accDoDefaultAction(self));
        EXPECT_EQ(0, raised) << "opened inside the call";
        for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m);
        EXPECT_EQ(1, raised);
        raised = 0;
        object->Release();
    }
}

// The surface is a tab stop; both windows show the busy pointer while the
// program is busy, the hand otherwise.
TEST_F(URLLinkWindowTest, BothWindowsShowTheProgramsPointer) {
    HWND control = Make(kStored);
    EXPECT_TRUE(GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP);

    const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    for (HWND window : {control, URLLinkWindow::Label(control)}) {
        {
            const MousePointer::Busy busy;
            EXPECT_EQ(wait, PointerOver(window));
        }
        EXPECT_EQ(MousePointer::SystemPointer(MousePointer::Shape::Hand), PointerOver(window));
    }
}

// A host's font is drawn underlined and the label fits the text in it;
// nullptr brings back the control's own. The user slot stays the host's, and
// in a dialog Enter reaches the link.
TEST_F(URLLinkWindowTest, AnswersWhatAHostAndADialogExpect) {
    HWND control = Make(kStored);
    HWND label = URLLinkWindow::Label(control);
    const ui::FontOwner host(CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
    const auto labelFont = [&] {
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        return std::string(lf.lfFaceName) + (lf.lfUnderline ? " underlined " : " ") + std::to_string(lf.lfHeight);
    };
    const std::string own = labelFont();
    const LONG ownHeight = LabelRect(control).bottom;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(host.get()), TRUE);
    EXPECT_EQ(reinterpret_cast<LRESULT>(host.get()), SendMessageA(control, WM_GETFONT, 0, 0));
    EXPECT_EQ("Tahoma underlined -20", labelFont());
    EXPECT_GT(LabelRect(control).bottom, ownHeight) << "the label fits the larger font";
    const auto copy = reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0));
    SendMessageA(control, WM_SETFONT, 0, FALSE);
    EXPECT_EQ(0u, GetObjectType(copy)) << "the underlined copy is deleted";
    EXPECT_EQ(own, labelFont());
    EXPECT_EQ(ownHeight, LabelRect(control).bottom);

    SetWindowLongPtrA(control, GWLP_USERDATA, 0x5a5a);
    SetWindowLongPtrA(label, GWLP_USERDATA, 0x5a5a);
    std::vector<std::string> raised;
    URLLinkWindow::Link(control)->GoToURL = [&](std::string& url, bool& cancel) {
        raised.push_back(url);
        cancel = true;
    };
    SetFocus(control);
    MSG enter{control, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(parent_, &enter));
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ((std::vector<std::string>{"http://forum/", "http://forum/"}), raised);
    EXPECT_EQ(0x5a5a, GetWindowLongPtrA(control, GWLP_USERDATA));
}

TEST_F(URLLinkWindowTest, DestroyingTheControlFreesItsWindowsAndFont) {
    HWND control = Make(kWithTip);
    HWND label = URLLinkWindow::Label(control);
    HWND tip = URLLinkWindow::ToolTip(control);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0));
    ASSERT_TRUE(label && tip && font);
    EXPECT_EQ(parent_, GetWindow(tip, GW_OWNER));
    ASSERT_TRUE(DestroyWindow(control));
    EXPECT_FALSE(IsWindow(label));
    EXPECT_FALSE(IsWindow(tip)) << "the tooltip is owned by the top-level window, not the control";
    EXPECT_EQ(0u, GetObjectType(font)) << "font deleted";
}

// The system DLLs the program loads itself: shell32 only when asked for, and
// the real ShellExecuteA then answers (a missing file: "file not found");
// what is missing says which it is.
TEST(SystemLibrary, LoadsOnDemandAndTellsWhatIsMissing) {
    ASSERT_EQ(GetModuleHandleA("shell32.dll"), nullptr) << "this test program must not import shell32";
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    const auto execute = platform::SystemFunction<ShellExecuteFn>("shell32.dll", "ShellExecuteA");
    ASSERT_NE(nullptr, execute);
    EXPECT_NE(GetModuleHandleA("shell32.dll"), nullptr);
    char missing[MAX_PATH + 40];  // in the temporary folder, on any drive
    const DWORD folder = GetTempPathA(MAX_PATH, missing);
    ASSERT_TRUE(folder > 0 && folder < MAX_PATH);
    lstrcatA(missing, "qorvel-tweaker-no-such-file.qtz");
    const HINSTANCE result = execute(nullptr, "open", missing, nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(result), 2 /* SE_ERR_FNF */);
    EXPECT_EQ(nullptr, platform::SystemFunctionAddress("shell32.dll", "QorvelNoSuchFunction"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
    EXPECT_EQ(nullptr, platform::SystemFunctionAddress("qorvel-no-such.dll", "F"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
}

}  // namespace
