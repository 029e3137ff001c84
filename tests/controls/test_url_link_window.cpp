// The hyperlink control's window, against the real user32/gdi32/comctl32
// (Windows builds, run under Wine). Presses are tested with a GoToURL handler
// that cancels, so nothing is ever opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/url_link_window.h"

#include <commctrl.h>  // after <windows.h>

namespace {

const PropertySet kStored{{"_extentx", TaggedValue(3836)},
                          {"_extenty", TaggedValue(450)},
                          {"text", "Qorvel Forum"},
                          {"url", "http://forum.example.org/"}};

SIZE Extent(HWND window, HFONT font, const std::string& text) {
    SIZE size{-1, -1};
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size;
}

RECT ClientRect(HWND window) {
    RECT rc{-1, -1, -1, -1};
    GetClientRect(window, &rc);
    return rc;
}

// The label's rectangle in its surface's client coordinates.
RECT LabelRect(HWND control) {
    RECT rc{-1, -1, -1, -1};
    HWND label = URLLinkWindow::Label(control);
    GetWindowRect(label, &rc);
    MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string ToolTipText(HWND control) {
    char text[1024];
    std::memset(text, 0xbd, sizeof text);
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(URLLinkWindow::Label(control));
    tool.lpszText = text;
    SendMessageA(URLLinkWindow::ToolTip(control), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return tool.lpszText ? std::string(tool.lpszText) : "<null>";
}

LRESULT ToolCount(HWND control) {
    HWND tip = URLLinkWindow::ToolTip(control);
    return tip ? SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) : 0;
}

DWORD GdiObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

class URLLinkWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        // Wine without an X display and without its null graphics driver
        // (HKCU\Software\Wine\Drivers, Graphics = "null") has no windows.
        if (!parent_) GTEST_SKIP() << "no window can be created here (no display driver)";
    }
    void TearDown() override {
        if (parent_) DestroyWindow(parent_);
    }

    HWND Make(const PropertySet& set, int cx = 300, int cy = 17) {
        HWND control = URLLinkWindow::Create(parent_, 8, 224, cx, cy, set, 42);
        EXPECT_NE(nullptr, control);
        return control;
    }

    HWND parent_ = nullptr;
};

TEST_F(URLLinkWindowTest, LabelHasTheLinkFontAndIsSizedToItsText) {
    HWND control = Make(kStored);
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(42, GetDlgCtrlID(control));
    EXPECT_EQ("Qorvel Forum", URLLinkWindow::Link(control)->Text());

    HWND label = URLLinkWindow::Label(control);
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(label, GetWindow(control, GW_CHILD)) << "the label is the surface's only child";
    EXPECT_EQ(nullptr, GetWindow(label, GW_HWNDNEXT));
    const auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    ASSERT_EQ(static_cast<int>(sizeof lf), GetObjectA(font, sizeof lf, &lf));
    HDC screen = GetDC(nullptr);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_STREQ("MS Sans Serif", lf.lfFaceName);
    EXPECT_EQ(-MulDiv(825, dpiY, 7200), lf.lfHeight);
    EXPECT_EQ(400, lf.lfWeight);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_FALSE(lf.lfItalic);
    EXPECT_FALSE(lf.lfStrikeOut);
    EXPECT_EQ(0, lf.lfCharSet);

    // Sized to the text, at the top-left corner, for a short, an empty and
    // a text longer than the control (which keeps its size and clips it).
    for (const std::string text : {"Qorvel Forum", "", "A link text far longer than the forty pixel wide control"}) {
        URLLinkWindow::Link(control)->SetText(text);
        const SIZE want = Extent(control, font, text);
        const RECT got = LabelRect(control);
        EXPECT_EQ(0, got.left) << text;
        EXPECT_EQ(0, got.top) << text;
        EXPECT_EQ(want.cx, got.right - got.left) << '"' << text << '"';
        EXPECT_EQ(want.cy, got.bottom - got.top) << '"' << text << '"';
        const RECT surface = ClientRect(control);
        EXPECT_EQ(300, surface.right) << text;
        EXPECT_EQ(17, surface.bottom) << text;
    }
}

TEST_F(URLLinkWindowTest, LabelPaintsInTheHighlightColour) {
    HWND control = Make(kStored);
    HWND label = URLLinkWindow::Label(control);
    const RECT rc = ClientRect(label);
    ASSERT_GT(rc.right, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF highlight = GetNearestColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    const COLORREF face = GetNearestColor(dc, GetSysColor(COLOR_BTNFACE));
    // Smoothed edges blend the two colours; anything outside the blend
    // (the default black text, say) is another colour.
    auto between = [](int v, int a, int b) { return v >= std::min(a, b) - 1 && v <= std::max(a, b) + 1; };
    int ink = 0, other = 0;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c == highlight)
                ++ink;
            else if (!between(GetRValue(c), GetRValue(face), GetRValue(highlight)) ||
                     !between(GetGValue(c), GetGValue(face), GetGValue(highlight)) ||
                     !between(GetBValue(c), GetBValue(face), GetBValue(highlight)))
                ++other;
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ASSERT_NE(highlight, face);
    // The underline alone spans the label's width.
    EXPECT_GE(ink, rc.right);
    EXPECT_EQ(0, other) << "pixels in neither the highlight nor the background colour";
}

TEST_F(URLLinkWindowTest, TooltipShowsTheURLOnlyWhenAskedFor) {
    HWND plain = Make(kStored);
    EXPECT_EQ(0, ToolCount(plain));

    PropertySet withTip = kStored;
    withTip.Set("ShowToolTip", true);
    HWND control = Make(withTip);
    ASSERT_NE(nullptr, URLLinkWindow::ToolTip(control));
    EXPECT_EQ(1, ToolCount(control));
    EXPECT_EQ("http://forum.example.org/", ToolTipText(control));

    URLLink* link = URLLinkWindow::Link(control);
    link->SetURL("http://other.example.org/a&b");
    EXPECT_EQ(1, ToolCount(control));
    EXPECT_EQ("http://other.example.org/a&b", ToolTipText(control));

    link->SetShowToolTip(false);
    EXPECT_EQ(0, ToolCount(control));
    link->SetShowToolTip(true);
    EXPECT_EQ(1, ToolCount(control));
    EXPECT_EQ("http://other.example.org/a&b", ToolTipText(control));
    link->SetURL("");
    EXPECT_EQ(0, ToolCount(control)) << "an empty address shows no tooltip";
}

TEST_F(URLLinkWindowTest, OnlyALeftPressOnTheTextRaisesGoToURL) {
    HWND control = Make(kStored);
    HWND label = URLLinkWindow::Label(control);
    std::vector<std::string> raised;
    URLLinkWindow::Link(control)->GoToURL = [&](std::string& url, bool& cancel) {
        raised.push_back(url);
        cancel = true;
    };
    const LPARAM at = MAKELPARAM(2, 2);
    SendMessageA(label, WM_RBUTTONDOWN, MK_RBUTTON, at);
    SendMessageA(label, WM_MBUTTONDOWN, MK_MBUTTON, at);
    SendMessageA(label, WM_LBUTTONUP, 0, at);
    const RECT text = LabelRect(control);
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(text.right + 5, 2));  // beside the text
    EXPECT_TRUE(raised.empty());

    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ((std::vector<std::string>{"http://forum.example.org/"}), raised);

    // A handler's exception stops at the window procedure.
    URLLinkWindow::Link(control)->GoToURL = [](std::string&, bool&) { throw std::runtime_error("handler"); };
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_TRUE(IsWindow(control));
}

TEST_F(URLLinkWindowTest, ClassRegistersOnceForManyInstances) {
    const ATOM atom = URLLinkWindow::Register();
    ASSERT_NE(0, atom);
    for (int i = 0; i < 4; ++i) {
        HWND control = URLLinkWindow::Create(parent_, 0, 20 * i, 200, 17, 7 + i);
        ASSERT_NE(nullptr, control) << "instance " << i;
        EXPECT_EQ(atom, static_cast<ATOM>(GetClassLongPtrA(control, GCW_ATOM)));
        EXPECT_EQ(URLLink::kDefaultText, URLLinkWindow::Link(control)->Text());
    }
    EXPECT_EQ(atom, URLLinkWindow::Register());
    // Other windows are not mistaken for the control.
    EXPECT_EQ(nullptr, URLLinkWindow::Link(parent_));
    EXPECT_EQ(nullptr, URLLinkWindow::Link(nullptr));
}

TEST_F(URLLinkWindowTest, DestroyingTheControlFreesItsWindowsAndFont) {
    const DWORD gdiBefore = GdiObjects();
    PropertySet withTip = kStored;
    withTip.Set("ShowToolTip", true);
    HWND control = Make(withTip);
    HWND label = URLLinkWindow::Label(control);
    HWND tip = URLLinkWindow::ToolTip(control);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0));
    ASSERT_TRUE(label && tip && font);
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(font));

    ASSERT_TRUE(DestroyWindow(control));
    EXPECT_FALSE(IsWindow(control));
    EXPECT_FALSE(IsWindow(label));
    EXPECT_FALSE(IsWindow(tip)) << "the tooltip is owned by the top-level window, not the control";
    EXPECT_EQ(0u, GetObjectType(font)) << "font deleted";
    if (gdiBefore != 0) {
        EXPECT_EQ(gdiBefore, GdiObjects());
    }
}

}  // namespace
