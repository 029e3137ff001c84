// ShellOpen: opens an address or a file through the shell, with the rights of
// the signed-in user.
//
// A process that runs above the user's normal rights (elevated with a linked
// limited token: an administrator under UAC who started the program with
// full rights; or one whose token cannot be read) asks the desktop shell's
// own process to open it, so that the browser gets the user's normal rights,
// and never calls ShellExecuteA itself: without such a desktop shell (none
// runs, another shell) the open fails with ERROR_ACCESS_DENIED. Every other
// process (a standard user, an administrator without UAC or with UAC off,
// Windows XP) calls ShellExecuteA, whose programs get the rights the user
// has anyway. COM is initialised on the calling thread at the first open, as
// the shell asks of its callers (apartment-threaded, no OLE1 DDE), or before
// at the first accessibility request (StartCom), and uninitialised when
// WinMain's ComScope ends (Shutdown).
//
// Both the shell and COM may run message loops of their own while an open
// runs: callers must expect any message of theirs to arrive meanwhile.
// Plain state of the user-interface thread; nothing here throws.
#pragma once

#include <cstdint>
#include <string>

#include "controls/desktop_shell.h"
#include "platform/platform.h"

namespace ShellOpen {

// A failed open: the number and description the user is told.
struct Failure {
    std::int32_t number = 0;
    std::string description;
};

// Opens `file` with the "open" verb, shown normally; `owner` is the window
// that asks (ShellExecuteA's owner). False, with `failure` filled, when the
// open failed.
bool Open(HWND owner, const std::string& file, Failure& failure);

// Starts COM on this thread the first time (apartment-threaded, no OLE1
// DDE): the first Open does, and so does the first request of assistive
// technology for one of the program's accessible objects. Later calls do
// nothing, whether COM started or not.
void StartCom();

// The way through the desktop shell's process that an open above the user's
// rights takes: DesktopShell::Open on Windows; elsewhere none (no desktop
// shell answers) until a test gives one. nullptr brings back the default.
void UseDesktopShell(DesktopShell::Opener opener);

// Ends COM on this thread if StartCom started it. At exit, once every
// window of the thread is gone.
void Shutdown();

// The program's COM scope: held by WinMain around its windows, armed by the
// first StartCom, it calls Shutdown when it ends.
class ComScope {
public:
    ComScope() = default;
    ~ComScope() { Shutdown(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

}  // namespace ShellOpen

// A readable description of a ShellExecuteA result of 32 or less: the
// platform's text for that error where the code is a system error code, the
// shell's documented meaning for its own codes, and a fixed text otherwise.
std::string ShellErrorDescription(std::int32_t code);

// The platform's own text for a system error code or HRESULT, on one line;
// "" when it has none.
std::string SystemErrorText(DWORD code);

// A failure as the program's boxes show it: "description (Error number)".
std::string NumberedError(const std::string& description, std::int64_t number);
