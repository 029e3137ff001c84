// DesktopShell: opening an address through the desktop shell's own process
// (Windows only: its ShellWindows collection, the desktop's view and its
// IShellDispatch2::ShellExecute), so that what it starts runs with the rights
// of the shell, the signed-in user's, not with this process's, which may be
// elevated. shell_open is its one caller.
#pragma once

#include "platform/platform.h"

namespace DesktopShell {

// Opens `file` with `operation`. False when no such shell is there to ask
// (none runs, or another shell that offers no desktop view); otherwise true,
// with the open's result in `result`. COM must be initialised on the calling
// thread.
bool Open(LPCSTR operation, LPCSTR file, INT show, HRESULT& result);

// The signature of Open, for ShellOpen::UseDesktopShell.
using Opener = bool (*)(LPCSTR operation, LPCSTR file, INT show, HRESULT& result);

}  // namespace DesktopShell
