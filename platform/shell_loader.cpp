// shell32, loaded when a link first opens (see platform::ShellExecuteA).
#include "platform/platform.h"

namespace {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

ShellExecuteFn LoadShellExecute() {
    // shell32 stays loaded once it is: the shell may keep threads of its own
    // running in the process after an open returns.
    HMODULE shell = LoadLibraryA("shell32.dll");
    // Through void*: FARPROC does not convert to another function type
    // without a warning.
    return shell ? reinterpret_cast<ShellExecuteFn>(reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteA")))
                 : nullptr;
}

}  // namespace

HINSTANCE platform::ShellExecuteA(HWND hwnd, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                  INT show) {
    // Looked up on every call until found: a failed load is retried at the
    // next open. Links open on the window thread only.
    static ShellExecuteFn open = nullptr;
    if (!open) open = LoadShellExecute();
    if (!open) return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(32));  // SE_ERR_DLLNOTFOUND
    return open(hwnd, operation, file, parameters, directory, show);
}
