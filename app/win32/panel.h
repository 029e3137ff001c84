// Panel: the containers of the main window. A page frame draws an etched
// border with its caption in the top edge, the header area (a bare frame)
// draws neither, and a picture box draws its picture at its top-left corner.
// Each draws the layout's lines that belong to it beneath its controls,
// erases in the 3-D face colour of the moment, answers WM_PRINTCLIENT with a
// full paint (themed buttons ask their parent for what lies under their
// rounded corners) and passes its controls' notifications and colour
// requests on to its parent, so that they reach the main window. Each tells
// assistive technology what it is (layout::AccessibleOf): a page frame and
// the header are groupings, a picture box a graphic.
//
// A panel's state is made from the Look passed as its creation parameter at
// WM_NCCREATE and freed at WM_NCDESTROY. Windows only.
#pragma once

#include <windows.h>

#include <memory>

#include "app/layout.h"
#include "app/win32/picture.h"

namespace Panel {

// The window class; registered once per process by Register.
extern const char kClassName[];
bool Register();

// What a panel draws; everything is owned by the main window and outlives it.
struct Look {
    const layout::Control* spec;
    HFONT font;  // the caption's
    // A picture box's picture, which the window reloads when the colours
    // change; nullptr for the frames.
    const std::unique_ptr<Picture>* picture;
    int dpi;
};

}  // namespace Panel
