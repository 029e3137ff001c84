// KeyboardNavigation: the main window's keyboard, what a dialog manager
// gives a dialog. Tab and Shift+Tab move the focus along the layout's one
// TabIndex sequence across all containers, past every control that cannot
// take the focus or is hidden; Enter presses the button that has the focus;
// the access keys of the window's accelerator table (Alt+A/V/F for the tabs,
// Alt+E for Exit) become the window's WM_COMMAND messages; and the focus
// leaves with the window and comes back to the control that had it.
//
// The platform's dialog manager (IsDialogMessage) is not used: it moves the
// focus along the stacking order of each container in turn, while this
// window's sequence crosses containers (on the About page it goes from a
// link to the header's Exit button and back to the page).
//
// It borrows the window's table of child windows, which must outlive it.
// Windows only.
#pragma once

#include <windows.h>

#include "app/win32/child_windows.h"

class KeyboardNavigation {
public:
    explicit KeyboardNavigation(const ChildWindows& children) : children_(children) {}
    KeyboardNavigation(const KeyboardNavigation&) = delete;
    KeyboardNavigation& operator=(const KeyboardNavigation&) = delete;

    // The window whose keyboard this is, and its access keys (nullptr: none).
    void Attach(HWND window, HACCEL accelerators);
    // For the message loop: true when the message was consumed (the loop then
    // neither translates nor dispatches it).
    bool PreTranslate(MSG& msg);
    // The window's WM_ACTIVATE; `home` gets the focus when the window comes
    // back and no control of it had the focus when it left.
    void OnActivate(WPARAM wParam, HWND home);

private:
    void MoveFocus(bool forward);

    const ChildWindows& children_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HWND focusWhenInactive_ = nullptr;
};
