// What the window tests read back from the real user32 and gdi32.
#pragma once

#include <algorithm>
#include <utility>

#include "controls/win32/window_kit.h"

inline RECT ClientRect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

// A bitmap of the screen's format in a memory device context: w by h, or
// what `window` draws of its client area for WM_PRINTCLIENT.
class Canvas {
public:
    Canvas(int w, int h) : size_{w, h}, bitmap_(CreateCompatibleBitmap(screen_.get(), w, h)) {}
    explicit Canvas(HWND window) : Canvas(ClientRect(window).right, ClientRect(window).bottom) {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc()), PRF_CLIENT | PRF_ERASEBKGND);
    }
    HDC dc() const { return memory_.get(); }
    int width() const { return size_.cx; }
    COLORREF At(int x, int y) const { return GetPixel(dc(), x, y); }
    // The pixels of `ink`, and those of neither it nor `face` nor a blend.
    std::pair<int, int> Inks(COLORREF ink, COLORREF face) const {
        const auto blend = [](int v, int a, int b) { return v >= std::min(a, b) - 1 && v <= std::max(a, b) + 1; };
        int inked = 0, other = 0;
        for (int y = 0; y < size_.cy; ++y)
            for (int x = 0; x < size_.cx; ++x) {
                const COLORREF c = At(x, y);
                inked += c == ink;
                other += !blend(GetRValue(c), GetRValue(face), GetRValue(ink)) ||
                         !blend(GetGValue(c), GetGValue(face), GetGValue(ink)) ||
                         !blend(GetBValue(c), GetBValue(face), GetBValue(ink));
            }
        return {inked, other};
    }

private:
    SIZE size_;
    ui::WindowDc screen_{nullptr};
    ui::MemoryDc memory_{screen_.get()};
    ui::GdiOwner<HBITMAP> bitmap_;
    ui::Selected selected_{memory_.get(), bitmap_.get()};
};

// The pointer `window` sets when the mouse moves over its client area.
inline HCURSOR PointerOver(HWND window) {
    SetCursor(nullptr);
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

// The pixels of the program's one font size, 8.25 points, at the usual DPIs.
constexpr int HeightOf825Points(int dpi) {
    return dpi == 96 ? 11 : dpi == 120 ? 14 : dpi == 144 ? 17 : 0;
}
