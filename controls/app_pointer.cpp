#include "controls/app_pointer.h"

#include "platform/platform.h"

namespace {

bool g_busy = false;

void ShowHourglass() {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

}  // namespace

void AppPointer::SetBusy() noexcept {
    g_busy = true;
    ShowHourglass();
}

void AppPointer::Restore() noexcept {
    g_busy = false;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
#ifdef _WIN32
    // The window under the pointer sets its own pointer again (the hand over
    // a link), as a mouse move would make it do.
    POINT at;
    if (!GetCursorPos(&at)) return;
    HWND under = WindowFromPoint(at);
    if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
    const LRESULT hit = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
#endif
}

bool AppPointer::Busy() noexcept {
    return g_busy;
}

bool AppPointer::OnSetCursor() noexcept {
    if (!g_busy) return false;
    ShowHourglass();
    return true;
}
