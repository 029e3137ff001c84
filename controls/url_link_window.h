// URLLinkWindow: the Win32 child window of the hyperlink control.
//
// One window of class "Qorvel_Tweaker.URLLink" (the control's surface, with
// the hand pointer) holds the label lblURL, a window of its own class that
// paints the text underlined in the system Highlight colour. The surface
// carries the link text as its window text (screen readers and UI automation
// name it by it), is a tab stop, draws the focus rectangle around the text
// while it has the focus and opens its address on Enter or Space as a left
// press on the text does. The state of one control (its logic, font, label
// and tooltip) is created at the surface's WM_NCCREATE and freed at its
// WM_NCDESTROY: destroying the surface frees everything it made.
//
// Both classes are registered once per process, on first use. All calls
// belong to the thread that created the windows. Nothing here throws; an
// exception from a host's GoToURL handler ends at the window procedure.
#pragma once

#ifdef _WIN32

#include "controls/property_set.h"
#include "controls/url_link.h"
#include "platform/platform.h"

namespace URLLinkWindow {

// The surface's window class: the control's programmatic identifier.
extern const char kClassName[];
// The label's window class.
extern const char kLabelClassName[];

// Registers both window classes with this module (and the common controls'
// tooltip class) the first time. False on failure.
bool Register();

// Creates a visible child control at x, y with size cx, cy (pixels) and loads
// its properties from `properties` (ReadProperties). nullptr on failure.
HWND Create(HWND parent, int x, int y, int cx, int cy, const PropertySet& properties, int id = 0);
// ... as a new instance with the default properties (InitProperties).
HWND Create(HWND parent, int x, int y, int cx, int cy, int id = 0);

// The control's logic, to attach a GoToURL handler or change its properties;
// nullptr for any window that is not a URLLink surface.
URLLink* Link(HWND control);
// The label lblURL, and the tooltip window (nullptr until a tooltip was first
// shown). nullptr for any window that is not a URLLink surface.
HWND Label(HWND control);
HWND ToolTip(HWND control);

}  // namespace URLLinkWindow

#endif
