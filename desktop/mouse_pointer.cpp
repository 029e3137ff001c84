#include "desktop/mouse_pointer.h"

#include <cstdint>

namespace {

int g_depth = 0;  // busy periods running

void ShowHourglass() {
    SetCursor(MousePointer::SystemPointer(MousePointer::Shape::Hourglass));
}

// The pointer the state calls for now: the hourglass, or the arrow that the
// window under the pointer then replaces with its own (the hand over a link),
// as a mouse move would make it do.
void ShowCurrent() {
    if (g_depth > 0) {
        ShowHourglass();
        return;
    }
    SetCursor(MousePointer::SystemPointer(MousePointer::Shape::Arrow));
#ifdef _WIN32
    POINT at;
    if (!GetCursorPos(&at)) return;
    HWND under = WindowFromPoint(at);
    if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
    const LRESULT hit = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
#endif
}

}  // namespace

HCURSOR MousePointer::SystemPointer(Shape shape) noexcept {
    // The system's resource numbers (IDC_ARROW, IDC_WAIT, IDC_HAND; some
    // headers hide the hand, new in Windows 2000, from older targets).
    const std::uintptr_t id = shape == Shape::Arrow ? 32512 : shape == Shape::Hourglass ? 32514 : 32649;
    return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(id));
}

MousePointer::Busy::Busy() noexcept {
    ++g_depth;
    ShowHourglass();
}

MousePointer::Busy::~Busy() {
    if (g_depth > 0) --g_depth;
    ShowCurrent();
}

MousePointer::Waiting::Waiting() noexcept : suspended_(g_depth) {
    g_depth = 0;
    ShowCurrent();
}

MousePointer::Waiting::~Waiting() {
    g_depth += suspended_;
    ShowCurrent();
}

bool MousePointer::IsBusy() noexcept {
    return g_depth > 0;
}

bool MousePointer::OnSetCursor() noexcept {
    if (g_depth == 0) return false;
    ShowHourglass();
    return true;
}
