#include "desktop/message_box.h"

#include "desktop/mouse_pointer.h"

namespace {

BOOL CALLBACK TakeUnownedVisible(HWND window, LPARAM found) {
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

HWND desktop::BoxOwner() {
    if (HWND active = GetActiveWindow()) return active;
    // The user works in another program: the box still belongs to ours, so
    // that our window takes no input while it shows.
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), TakeUnownedVisible, reinterpret_cast<LPARAM>(&found));
    return found;
}

int desktop::ShowBox(const char* text, const char* caption, UINT type) {
    const MousePointer::Waiting waiting;
    return MessageBoxA(BoxOwner(), text, caption, type);
}
