#include "app/win32/keyboard_navigation.h"

#include <algorithm>
#include <utility>
#include <vector>

void KeyboardNavigation::Attach(HWND window, HACCEL accelerators) {
    window_ = window;
    accelerators_ = accelerators;
}

bool KeyboardNavigation::PreTranslate(MSG& msg) {
    if (!window_ || (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))) return false;
    if (accelerators_ && TranslateAcceleratorA(window_, accelerators_, &msg)) return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
        MoveFocus(GetKeyState(VK_SHIFT) >= 0);
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        const ChildWindow* focused = children_.Find(GetFocus());
        if (focused && focused->spec->kind == layout::Kind::Button) {
            SendMessageA(focused->hwnd, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

void KeyboardNavigation::OnActivate(WPARAM wParam, HWND home) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        focusWhenInactive_ = focus && IsChild(window_, focus) ? focus : nullptr;
        return;
    }
    HWND focus = focusWhenInactive_ && IsWindow(focusWhenInactive_) && IsWindowVisible(focusWhenInactive_)
                     ? focusWhenInactive_
                     : home;
    if (!GetFocus() || !IsChild(window_, GetFocus())) SetFocus(focus);
}

void KeyboardNavigation::MoveFocus(bool forward) {
    std::vector<std::pair<int, HWND>> order;
    for (const ChildWindow& child : children_.all()) {
        if (child.hwnd && layout::TakesFocus(child.spec->kind) && IsWindowVisible(child.hwnd) &&
            IsWindowEnabled(child.hwnd))
            order.emplace_back(child.spec->tabIndex, child.hwnd);
    }
    if (order.empty()) return;
    std::sort(order.begin(), order.end());
    // Where the focus sits in the sequence: a control of the table (even one
    // that Tab skips, such as a clicked text area) by its TabIndex.
    int current = -1;
    for (HWND w = GetFocus(); w && w != window_; w = GetParent(w)) {
        if (const ChildWindow* child = children_.Find(w)) {
            current = child->spec->tabIndex;
            break;
        }
    }
    HWND next = forward ? order.front().second : order.back().second;
    if (forward) {
        const auto after = std::find_if(order.begin(), order.end(), [&](const auto& e) { return e.first > current; });
        if (after != order.end()) next = after->second;
    } else if (current >= 0) {
        const auto before =
            std::find_if(order.rbegin(), order.rend(), [&](const auto& e) { return e.first < current; });
        if (before != order.rend()) next = before->second;
    }
    SetFocus(next);
    const ChildWindow* focused = children_.Find(next);
    if (focused && focused->spec->kind == layout::Kind::StatusField) SendMessageA(next, EM_SETSEL, 0, -1);
}
