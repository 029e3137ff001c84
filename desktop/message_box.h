// The program's message boxes: whose window they belong to, and one shown
// from code that has no window of its own (the registry layer's deletion).
#pragma once

#include "platform/platform.h"

namespace desktop {

// The window the program's message boxes belong to: the active window of
// this thread, or else this thread's visible top-level window without an
// owner (the main window while the user works in another program). nullptr
// when the thread has none.
HWND BoxOwner();

// MessageBoxA owned by BoxOwner(), with the normal pointer while it waits
// for the user, inside a busy period too (MousePointer::Waiting). While it
// shows, the program's window takes no input. Its answer.
int ShowBox(const char* text, const char* caption, UINT type);

}  // namespace desktop
