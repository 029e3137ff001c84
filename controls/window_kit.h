// The small pieces every window class of the program shares (Windows only):
// the one routing pattern from a window procedure to an object's handlers,
// owners for GDI objects and device contexts, the screen's DPI, the program's fonts and tooltips.
//
// Owners release what they hold on every path, never throw, and move but do
// not copy, as the registry's key owner does.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace ui {

// Routes every message of a window to an object of class T. T provides
//   static T* Attach(HWND, const CREATESTRUCTA&);  the object for a window
//       being created, usually its lpCreateParams (nullptr fails creation);
//   static void Detach(T*);  the window is gone (WM_NCDESTROY): an object
//       owned by its window deletes itself here;
//   LRESULT OnMessage(HWND, UINT, WPARAM, LPARAM);  one handler per message,
//       DefWindowProcA for the rest.
// Messages that arrive before WM_NCCREATE or after WM_NCDESTROY go to
// DefWindowProcA.
//
// This is also the program's one exception barrier. An exception must not
// unwind through the platform's message dispatch, which cannot pass it on;
// one that escapes a handler ends that message there: a window being created
// fails its creation, any other message answers 0. The handlers report
// nothing to the user by design, so no message is lost that would have been
// shown.
template <class T>
LRESULT CALLBACK RoutedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        T* attached = T::Attach(hwnd, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
        if (!attached) return FALSE;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(attached));
    }
    T* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        T::Detach(self);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    try {
        return self->OnMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return message == WM_CREATE ? -1 : 0;
    }
}

// Registers a window class of this module whose messages RoutedProc<T>
// routes; the class is registered once per process. False on failure.
bool RegisterRoutedClass(const char* name, WNDPROC proc, HCURSOR cursor, UINT style = 0);

struct GdiDeleter {
    void operator()(void* object) const noexcept { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
// Owns one GDI object (font, brush, pen, bitmap).
template <class H>
using GdiOwner = std::unique_ptr<std::remove_pointer_t<H>, GdiDeleter>;
using FontOwner = GdiOwner<HFONT>;

// A window's device context (the screen's for nullptr), released on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// A memory device context compatible with `like`, deleted on scope exit.
class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Selects an object into a device context and selects the previous one back
// on scope exit.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selected() {
        if (old_) SelectObject(dc_, old_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Registers the common controls' window classes `classes` (ICC_*). The
// common controls are loaded here, not imported: a DLL imported by the
// program is looked for in the program's folder first, at start, before the
// program can restrict the search. The manifest's version 6 comes from the
// side-by-side store (platform::LoadSideBySideLibrary); call
// platform::RestrictDllSearch first. False on failure.
bool LoadCommonControls(DWORD classes);

// The screen's dots per inch, vertically; 96 when it cannot be read.
int ScreenDpi();

// A font of `hundredths` of a point at `dpi`, weight 400, character set 0
// (ANSI), as the window's stored layout describes its fonts.
FontOwner CreateLayoutFont(const char* face, int hundredths, int dpi, bool underline = false);

// A tooltip window for the tools of `owner`; it is a popup owned by owner's
// top-level window, so it outlives a child owner: destroy it with the owner.
HWND CreateToolTip(HWND owner);
// Shows `text` while the pointer rests on `tool`, a child of `owner`: adds
// the tool, changes its text, or with "" removes it. False when the tooltip
// refused a new tool.
bool SetToolText(HWND tooltip, HWND owner, HWND tool, const std::string& text);

}  // namespace ui

#endif
