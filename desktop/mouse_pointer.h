// MousePointer: the program's mouse pointer (not a C++ pointer): the
// hourglass while the program is busy, over every window of the program, and
// each window's own pointer otherwise.
//
// Busy periods nest: a press on a second link while the shell still opens
// the first (the shell may run a message loop of its own) starts a second
// period inside the first, and the arrow comes back only when the outer one
// ends. A box that waits for the user inside a busy period can show the
// arrow while it is up (Waiting).
//
// Every window class of ours asks OnSetCursor first when it gets
// WM_SETCURSOR (ui::SetCursorFor). System controls pass that message to their parent before
// they set their own pointer (DefWindowProc does), so the top-level window's
// answer covers them too. Plain state of the user-interface thread; nothing
// here throws.
#pragma once

#include "platform/platform.h"

namespace MousePointer {

// The system's pointers the program shows; loaded here and nowhere else.
enum class Shape { Arrow, Hourglass, Hand };
HCURSOR SystemPointer(Shape shape) noexcept;

// One busy period: the hourglass from construction until destruction (and
// until every period around it has ended too).
class Busy {
public:
    Busy() noexcept;
    ~Busy();
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

// While it lives, the normal pointer shows even inside busy periods: a
// message box is up and waits for the user. The busy periods resume after.
class Waiting {
public:
    Waiting() noexcept;
    ~Waiting();
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;

private:
    int suspended_;
};

// True while a busy period runs (and no box waits).
bool IsBusy() noexcept;
// For WM_SETCURSOR: true when the busy pointer was set (the message is then
// done), false when the window should set its own.
bool OnSetCursor() noexcept;

}  // namespace MousePointer
