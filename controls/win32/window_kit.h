// The small pieces every window class of the program shares (Windows only):
// the one routing pattern from a window procedure to an object's handlers,
// owners for GDI objects, device contexts and drawing state, the screen's
// DPI, the program's fonts and tooltips.
//
// Owners release what they hold on every path and never throw. GdiOwner
// moves and does not copy, as the registry's key owner does; the scope
// owners (WindowDc, MemoryDc, PaintScope, Selected, StretchMode) neither copy
// nor move: each lives and ends in the one scope that made it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace ui {

// Where a window of a routed class keeps its object.
enum class Binding {
    // The user slot (GWLP_USERDATA): the program's own windows.
    UserData,
    // The class's own window bytes (cbWndExtra, the first pointer's worth): a
    // reusable control, whose user slot belongs to whoever uses it.
    ClassBytes,
};

// Routes every message of a window to an object of class T. T provides
//   static T* Attach(HWND, const CREATESTRUCTA&);  the object for a window
//       being created, usually its lpCreateParams (nullptr fails creation);
//   static void Detach(T*);  the window is gone (WM_NCDESTROY): an object
//       owned by its window deletes itself here;
//   LRESULT OnMessage(HWND, UINT, WPARAM, LPARAM);  one handler per message,
//       DefWindowProcA for the rest.
// Messages that arrive before WM_NCCREATE or after WM_NCDESTROY go to
// DefWindowProcA. Register the class with RegisterRoutedClass<T, B>, which
// reserves the window bytes that B needs.
//
// This is also the program's one exception barrier. An exception must not
// unwind through the platform's message dispatch, which cannot pass it on;
// one that escapes a handler ends that message there: a window being created
// fails its creation, any other message answers 0. The handlers report
// nothing to the user by design, so no message is lost that would have been
// shown.
template <class T, Binding B = Binding::UserData>
LRESULT CALLBACK RoutedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    constexpr int slot = B == Binding::UserData ? GWLP_USERDATA : 0;
    if (message == WM_NCCREATE) {
        T* attached = T::Attach(hwnd, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
        if (!attached) return FALSE;
        SetWindowLongPtrA(hwnd, slot, reinterpret_cast<LONG_PTR>(attached));
    }
    T* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, slot));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, slot, 0);
        T::Detach(self);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    try {
        return self->OnMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return message == WM_CREATE ? -1 : 0;
    }
}

// Registers a window class of this module, once per process, with `bytes`
// window bytes of its own. False on failure.
bool RegisterWindowClass(const char* name, WNDPROC proc, HCURSOR cursor, UINT style, int bytes);

// Registers a window class whose messages RoutedProc<T, B> routes.
template <class T, Binding B = Binding::UserData>
bool RegisterRoutedClass(const char* name, HCURSOR cursor, UINT style = 0) {
    return RegisterWindowClass(name, RoutedProc<T, B>, cursor, style,
                               B == Binding::ClassBytes ? static_cast<int>(sizeof(LONG_PTR)) : 0);
}

// The object a window of a class registered with Binding::ClassBytes routes
// to; the caller has checked the window's class.
template <class T>
T* ClassBytesObject(HWND hwnd) {
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, 0));
}

struct GdiDeleter {
    void operator()(void* object) const noexcept { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
// Owns one GDI object (font, brush, pen, bitmap).
template <class H>
using GdiOwner = std::unique_ptr<std::remove_pointer_t<H>, GdiDeleter>;
using FontOwner = GdiOwner<HFONT>;

struct WindowDeleter {
    void operator()(HWND window) const noexcept { DestroyWindow(window); }
};
// Owns one window that no parent destroys for it (a tooltip, which is a
// popup).
using WindowOwner = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

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

// BeginPaint on construction, EndPaint on scope exit.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ~PaintScope() { EndPaint(hwnd_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC get() const { return dc_; }
    // True when the background is still to be erased.
    bool erase() const { return paint_.fErase != FALSE; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
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

// Sets a device context's stretching mode and restores the previous one on
// scope exit.
class StretchMode {
public:
    StretchMode(HDC dc, int mode) : dc_(dc), old_(SetStretchBltMode(dc, mode)) {}
    ~StretchMode() {
        if (old_) SetStretchBltMode(dc_, old_);
    }
    StretchMode(const StretchMode&) = delete;
    StretchMode& operator=(const StretchMode&) = delete;

private:
    HDC dc_;
    int old_;
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

// A tooltip window for the tools of `window`: a popup owned by window's
// top-level window, so it outlives a child window: the owner returned
// destroys it.
WindowOwner CreateToolTip(HWND window);
// Until `process` ends, as a modal box waits: `window` is disabled, so that
// it takes no input, and keeps painting from this loop, which drops what
// input still comes (a key for the control that kept the focus). The focus
// comes back after; a WM_QUIT that came meanwhile is posted again for the
// program's own loop.
void WaitAsModal(HWND window, HANDLE process);

// WM_SETCURSOR for a window of ours: the busy pointer while the program is
// busy (MousePointer), else what DefWindowProcA sets (the parent's answer
// first, then the class pointer).
LRESULT SetCursorFor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Shows `text` while the pointer rests on `tool`, a child of `owner`: adds
// the tool, changes its text, or with "" removes it. False when the tooltip
// refused a new tool.
bool SetToolText(HWND tooltip, HWND owner, HWND tool, const std::string& text);

}  // namespace ui
