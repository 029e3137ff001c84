// URLLinkWindow: the Win32 child window of the hyperlink control.
//
// One window whose class is the control's programmatic identifier
// (URLLink::kProgId; the control's surface, with the hand pointer) holds the
// label lblURL, a window of its own class that paints the text underlined in
// the system Highlight colour. The surface carries the link text as its
// window text, is a tab stop, draws the focus rectangle around the text while it has the focus and
// opens its address on Enter or Space as a left press on the text does. In a
// dialog it asks for Enter (WM_GETDLGCODE). It draws in an underlined
// MS Sans Serif 8.25 until its host sets a font (WM_SETFONT, which it draws
// underlined; WM_GETFONT answers the host's font).
//
// Assistive technology meets the surface as the control: its accessible
// object (controls/accessible_object; the label's window hands out the
// same) is a link named by its text, valued by its address, whose default
// action "Click" opens it as a left press does, from a posted message
// (URLLink::DoDefaultAction). A changed text is announced
// (EVENT_OBJECT_NAMECHANGE).
//
// The state of one control (its logic, font, label and tooltip) lives in
// the class's own window bytes, so the user slot (GWLP_USERDATA) stays free
// for the host. It is created at the surface's WM_NCCREATE and freed at its
// WM_NCDESTROY: destroying the surface frees everything it made, the
// tooltip, a popup owned by the top-level window, included.
//
// Both classes are registered once per process, on first use. All calls
// belong to the thread that created the windows. Nothing here throws; an
// exception from a host's GoToURL handler ends at the window procedure.
#pragma once

#include "controls/property_set.h"
#include "controls/url_link.h"
#include "platform/platform.h"

namespace URLLinkWindow {

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
