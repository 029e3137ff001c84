// ControlFactory: makes the window of one row of the layout table (Windows
// only). A row's kind gives the window class, style and extended style (one
// table); the row gives its place at the window's DPI, caption, visibility
// and ID, the font it names (made once per face and size), the picture a
// picture box shows, the tabs of the tab strip and a link's stored
// properties.
//
// Ownership: the factory owns the fonts and pictures its controls draw with;
// it must outlive them (the main window holds both).
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "app/layout.h"
#include "app/win32/picture.h"
#include "controls/win32/window_kit.h"

class ControlFactory {
public:
    ControlFactory(HINSTANCE instance, int dpi) : instance_(instance), dpi_(dpi) {}

    // The control of `row` inside `parent`. nullptr when it could not be
    // made, with the failing call's error in `error` (never 0).
    HWND Create(const layout::Control& row, HWND parent, DWORD& error);
    // Decodes the pictures again: a GIF's uncovered pixels take the face
    // colour of the moment.
    void LoadPictures();
    int Px(int twips) const;

private:
    HFONT FontFor(const layout::Font& font);

    HINSTANCE instance_;
    int dpi_;
    std::array<std::unique_ptr<Picture>, 4> pictures_;  // by layout::Image
    std::vector<std::pair<layout::Font, ui::FontOwner>> fonts_;
};
