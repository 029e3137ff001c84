// The accessible objects of the program's own window classes (Windows only):
// a window answers WM_GETOBJECT for its client area (OBJID_CLIENT) with a
// small IAccessible of ours that reports what controls/accessible decides
// (role, name, value, state, default action) and leaves location, parent,
// navigation, hit testing, description and help to the standard object
// that the system makes for the same window (CreateStdAccessibleObject).
//
// oleacc is loaded from the system folder at the first request, not at
// start, and COM is started on the window's thread then (ShellOpen::StartCom,
// ended by ShellOpen::Shutdown). Without oleacc, and for every other object
// id, the window answers as DefWindowProcA does: the standard objects.
//
// An object holds its window's handle, never the window's state: a client
// may keep it after the window is gone, and then each call fails.
#pragma once

#include <windows.h>

#include "controls/accessible.h"

namespace a11y {

// What a window class reports. Plain functions, with static storage.
struct Behaviour {
    // Fills `report` for the window; false when it is no longer one of the
    // class (destroyed). Throws nothing.
    bool (*describe)(HWND window, Report& report);
    // The default action; false when it was refused. nullptr: the standard
    // object's.
    bool (*act)(HWND window);
    // One object without children: hit testing inside it finds the object
    // itself and it has no children to navigate to (a link with its label).
    bool whole;
};

// The answer of a window of the class to WM_GETOBJECT.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const Behaviour& behaviour);

}  // namespace a11y
