// The main window against the real user32/gdi32/comctl32 (under Wine): what
// its parts draw for WM_PRINTCLIENT in the system's current colours, the
// fonts its controls use, the pointer over it while the program is busy.
#include <gtest/gtest.h>

#include <tuple>

#include "app/layout.h"
#include "app/win32/main_window.h"
#include "controls/units.h"
#include "desktop/mouse_pointer.h"
#include "window_pixels.h"

namespace {

// The window as the program makes it, with every page's controls.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window_.Create(GetModuleHandleA(nullptr), SW_SHOWNORMAL)) << "no window (display driver?)";
        for (MSG m; PeekMessageA(&m, window_.hwnd(), 0, 0, PM_REMOVE);) DispatchMessageA(&m);
    }
    // The control of a row, found through its containers.
    HWND Child(const char* name) {
        const layout::Control& row = *layout::Find(name);
        return GetDlgItem(row.parent ? Child(row.parent->name) : window_.hwnd(), layout::IdOf(row));
    }
    MainWindow window_;
};

// Wine applies SetSysColors to the calling process only; Windows to every
// program: the user's colours come back on every way out.
TEST_F(MainWindowTest, EachPartDrawsInItsColours) {
    const int dpi = ui::ScreenDpi(), elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOWTEXT};
    const COLORREF users[] = {GetSysColor(elements[0]), GetSysColor(elements[1]), GetSysColor(elements[2])};
    const COLORREF face = RGB(0x12, 0x9a, 0x56), ours[] = {face, RGB(0x80, 0x10, 0x30), RGB(0x10, 0x30, 0x90)};
    struct Restore {
        const int* elements;
        const COLORREF* colours;
        ~Restore() { SetSysColors(3, elements, colours); }
    } restore{elements, users};
    ASSERT_TRUE(SetSysColors(3, elements, ours));
    // Inside the page, clear of its border and lines (the picture boxes are
    // panels of the same class).
    const Canvas page(Child("frAbout"));
    EXPECT_EQ(face, page.At(units::ScalePixels(160, dpi), units::ScalePixels(150, dpi)));
    // The separator, 100 pixels in: its 1-pixel line over its 2-pixel one.
    const layout::Control &over = *layout::Find("Line1(1)"), &under = *layout::Find("Line1(2)");
    const int x = units::ScalePixels(100, dpi), y = units::TwipsToPixels(over.place.top, dpi);
    EXPECT_EQ(over.colour, page.At(x, y));
    EXPECT_TRUE(page.At(x, y - 1) == under.colour || page.At(x, y + 1) == under.colour) << "the 2-pixel line";
    // The page's caption and labels in the button text colour (or their row's),
    // texts in the window text colour: some pixels in it, none in any other.
    EXPECT_GT(page.Inks(ours[1], face).first, 0) << "the page's caption";
    for (const auto& [name, ink] :
         {std::tuple{"Label1", ours[1]}, {"lblDisclaimer", RGB(0, 0, 0)}, {"About_Text", ours[2]}}) {
        const auto [inked, other] = Canvas(Child(name)).Inks(ink, face);
        EXPECT_TRUE(inked > 0 && other == 0) << name << ": " << inked << " in the ink, " << other << " other";
    }
    // A pixel inside each picture, clear of its edges at any scale, in its
    // colour as another decoder (ImageMagick) reads the file.
    for (const auto& [name, px, py, colour] : {std::tuple{"Qorvel_Picture", 120, 0, RGB(0, 0, 0)},
                                               {"Picture1", 42, 48, RGB(26, 28, 40)},
                                               {"picIcon", 25, 14, RGB(250, 130, 20)}})
        EXPECT_EQ(colour, Canvas(Child(name)).At(units::ScalePixels(px, dpi), units::ScalePixels(py, dpi))) << name;
}

// Every control that keeps a font (the system controls) has its row's face
// and size; the containers draw with theirs, the links with their own.
TEST_F(MainWindowTest, EachControlHasTheFontOfItsRow) {
    const int height = HeightOf825Points(ui::ScreenDpi());
    int checked = 0;
    for (const layout::Control& row : layout::Controls()) {
        const HWND control = Child(row.name);
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

// While the program is busy (Reset Views: tests/app/test_main_app.cpp) the
// hourglass shows over the window and over the system controls on it, which
// ask their parents first; the arrow otherwise.
TEST_F(MainWindowTest, TheHourglassCoversTheWindowWhileBusy) {
    for (const HWND over : {window_.hwnd(), Child("Reset_Folders")}) {
        {
            const MousePointer::Busy busy;
            EXPECT_EQ(MousePointer::SystemPointer(MousePointer::Shape::Hourglass), PointerOver(over));
        }
        EXPECT_EQ(MousePointer::SystemPointer(MousePointer::Shape::Arrow), PointerOver(over));
    }
}

}  // namespace
