// The application-wide mouse pointer: the hourglass while the program is
// busy, over every window of the program, and each window's own pointer
// otherwise.
//
// Every window class of ours asks OnSetCursor first when it gets
// WM_SETCURSOR. System controls pass that message to their parent before
// they set their own pointer (DefWindowProc does), so the top-level window's
// answer covers them too. Plain state of the user-interface thread; nothing
// here throws.
#pragma once

namespace AppPointer {

// Shows the hourglass now and keeps it until Restore.
void SetBusy() noexcept;
// Ends the busy pointer; the window under the pointer shows its own again.
void Restore() noexcept;
bool Busy() noexcept;
// For WM_SETCURSOR: true when the busy pointer was set (the message is then
// done), false when the window should set its own.
bool OnSetCursor() noexcept;

}  // namespace AppPointer
