// The main window against the real user32/gdi32/comctl32 (under Wine): its
// page frames and picture boxes draw themselves for WM_PRINTCLIENT (as themed
// buttons ask of their parent) in the system's current colours, and its
// controls use the fonts their rows name.
#include <gtest/gtest.h>

#include "app/layout.h"
#include "app/win32/main_window.h"
#include "controls/units.h"
#include "window_pixels.h"

namespace {

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK TakeIfSought(HWND child, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    if (GetDlgCtrlID(child) == s->id) s->found = child;
    return s->found ? FALSE : TRUE;
}

HWND ChildNamed(HWND main, const char* name) {
    Search search{layout::IdOf(*layout::Find(name)), nullptr};
    EnumChildWindows(main, TakeIfSought, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Wine applies SetSysColors to the calling process only; Windows to every
// program: the colour is put back before the test ends.
TEST(MainWindowColours, PagesAndPicturesFollowTheButtonFaceColour) {
    MainWindow window;
    ASSERT_TRUE(window.Create(GetModuleHandleA(nullptr), SW_SHOWNORMAL)) << "no window (display driver?)";
    HWND page = ChildNamed(window.hwnd(), "frAbout"), portrait = ChildNamed(window.hwnd(), "Picture1");
    ASSERT_TRUE(page && portrait);
    // Inside the page, clear of its border and lines; the portrait box's
    // bottom-right pixel, beyond the picture.
    const int dpi = ui::ScreenDpi();
    const POINT inPage{units::ScalePixels(160, dpi), units::ScalePixels(150, dpi)};
    RECT box;
    GetClientRect(portrait, &box);
    const int element = COLOR_BTNFACE;
    const COLORREF face = GetSysColor(element), other = RGB(0x12, 0x9a, 0x56);
    // The user's colour comes back on every way out, a failed assertion too.
    struct Restore {
        int element;
        COLORREF colour;
        ~Restore() { SetSysColors(1, &element, &colour); }
    } restore{element, face};
    for (const COLORREF colour : {face, other}) {
        ASSERT_TRUE(SetSysColors(1, &element, &colour));
        EXPECT_EQ(colour, Canvas(page).At(inPage.x, inPage.y)) << std::hex << colour;
        EXPECT_EQ(colour, Canvas(portrait).At(box.right - 1, box.bottom - 1)) << std::hex << colour;
    }
}

// Every control that keeps a font (the system controls) has its row's face
// and size; the containers draw with theirs, the links with their own.
TEST(MainWindowFonts, EachControlHasTheFontOfItsRow) {
    MainWindow window;
    ASSERT_TRUE(window.Create(GetModuleHandleA(nullptr), SW_SHOWNORMAL)) << "no window (display driver?)";
    for (MSG m; PeekMessageA(&m, window.hwnd(), 0, 0, PM_REMOVE);) DispatchMessageA(&m);  // the other pages
    const int height = HeightOf825Points(ui::ScreenDpi());
    int checked = 0;
    for (const layout::Control& row : layout::Controls()) {
        const HWND control = ChildNamed(window.hwnd(), row.name);
        const auto font = reinterpret_cast<HFONT>(control ? SendMessageA(control, WM_GETFONT, 0, 0) : 0);
        if (row.kind == layout::Kind::Link || !font) continue;
        LOGFONTA lf{};
        ASSERT_EQ(static_cast<int>(sizeof lf), GetObjectA(font, sizeof lf, &lf)) << row.name;
        EXPECT_STREQ(row.font.face, lf.lfFaceName) << row.name;
        EXPECT_EQ(-height, lf.lfHeight) << row.name << ", " << row.font.hundredths << " hundredths of a point";
        ++checked;
    }
    EXPECT_EQ(16, checked) << "the tab strip, 4 texts, 2 fields, 6 buttons and 3 labels";
}

}  // namespace
