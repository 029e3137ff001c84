#ifdef _WIN32

#include "controls/url_link_window.h"

#include <commctrl.h>

#include <climits>
#include <cstring>
#include <new>

// The platform's hand pointer exists from Windows 2000 on; some headers hide
// it from older targets.
#ifndef IDC_HAND
#define IDC_HAND MAKEINTRESOURCE(32649)
#endif

const char URLLinkWindow::kClassName[] = "Qorvel_Tweaker.URLLink";
const char URLLinkWindow::kLabelClassName[] = "Qorvel_Tweaker.URLLink.lblURL";

namespace {

ATOM g_surfaceAtom = 0;
// The application-wide busy pointer: while set, every URLLink window shows
// the hourglass instead of its own pointer.
bool g_busy = false;

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

int ClampLength(std::size_t length) {
    return length > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

// Twips and pixels, rounded to the nearest unit both ways so that a measured
// pixel size survives the round trip at any DPI up to 1440.
std::int32_t PixelsToTwips(int pixels, int dpi) {
    return MulDiv(pixels, 1440, dpi);
}
int TwipsToPixels(std::int32_t twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

// Asks the window under the pointer to set its pointer again (after the busy
// pointer ends), as a mouse move would.
void RefreshPointer() {
    POINT pt;
    if (!GetCursorPos(&pt)) return;
    HWND under = WindowFromPoint(pt);
    if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
    const LRESULT hit = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

// The state of one control: its windows, font, caption and logic.
class LinkWindow final : public URLLinkSite {
public:
    explicit LinkWindow(HWND surface) : surface_(surface) {}
    ~LinkWindow() override {
        if (font_) DeleteObject(font_);
    }
    LinkWindow(const LinkWindow&) = delete;
    LinkWindow& operator=(const LinkWindow&) = delete;

    URLLink& link() { return link_; }
    HWND label() const { return label_; }
    HWND tooltip() const { return tooltip_; }
    HFONT font() const { return font_; }

    // WM_CREATE: the label's font and the label. False fails the creation.
    bool OnCreate() {
        HDC screen = GetDC(nullptr);
        if (screen) {
            dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
            dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
            ReleaseDC(nullptr, screen);
        }
        if (dpiX_ <= 0) dpiX_ = 96;
        if (dpiY_ <= 0) dpiY_ = 96;

        LOGFONTA lf{};
        lf.lfHeight = -MulDiv(825, dpiY_, 7200);  // 8.25 points
        lf.lfWeight = FW_NORMAL;
        lf.lfUnderline = TRUE;
        lf.lfCharSet = ANSI_CHARSET;
        std::strcpy(lf.lfFaceName, "MS Sans Serif");
        font_ = CreateFontIndirectA(&lf);
        if (!font_) return false;

        label_ = CreateWindowExA(0, URLLinkWindow::kLabelClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, surface_,
                                 nullptr /* no id */, Module(), this);
        return label_ != nullptr;
    }

    // WM_DESTROY: the tooltip is a popup owned by the top-level window, not a
    // child, so it does not go with the surface by itself.
    void OnDestroy() {
        if (tooltip_) DestroyWindow(tooltip_);
        tooltip_ = nullptr;
        toolAdded_ = false;
    }

    void PaintLabel(HDC dc) {
        RECT rc;
        GetClientRect(label_, &rc);
        const int saved = SaveDC(dc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        SelectObject(dc, font_);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, caption_.data(), ClampLength(caption_.size()), &rc,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        RestoreDC(dc, saved);
    }

    void OnLabelMouseDown(std::int16_t button, WPARAM keys, LPARAM position) {
        std::int16_t shift = 0;
        if (keys & MK_SHIFT) shift |= 1;
        if (keys & MK_CONTROL) shift |= 2;
        if (GetKeyState(VK_MENU) < 0) shift |= 4;
        const int x = PixelsToTwips(static_cast<short>(LOWORD(position)), dpiX_);
        const int y = PixelsToTwips(static_cast<short>(HIWORD(position)), dpiY_);
        try {
            link_.lblURL_MouseDown(button, shift, x, y);
        } catch (...) {
            // Only a host's GoToURL handler throws here; unwinding through
            // the platform's message dispatch is not allowed.
        }
    }

    // URLLinkSite
    Extent MeasureText(const std::string& text) override {
        SIZE size{0, 0};
        HDC dc = GetDC(surface_);
        if (dc) {
            HGDIOBJ old = SelectObject(dc, font_);
            GetTextExtentPoint32A(dc, text.data(), ClampLength(text.size()), &size);
            SelectObject(dc, old);
            ReleaseDC(surface_, dc);
        }
        return {PixelsToTwips(size.cx, dpiX_), PixelsToTwips(size.cy, dpiY_)};
    }

    void SetLabelCaption(const std::string& text) override {
        caption_ = text;
        SetWindowTextA(label_, caption_.c_str());  // for accessibility tools; painting uses caption_
        InvalidateRect(label_, nullptr, TRUE);
    }

    void PlaceLabel(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override {
        SetWindowPos(label_, nullptr, TwipsToPixels(left, dpiX_), TwipsToPixels(top, dpiY_),
                     TwipsToPixels(width, dpiX_), TwipsToPixels(height, dpiY_), SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void SetToolTipText(const std::string& text) override {
        TTTOOLINFOA tool = Tool();
        if (text.empty()) {
            if (toolAdded_) SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
            toolAdded_ = false;
            return;
        }
        if (!tooltip_) {
            tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, surface_,
                                       nullptr /* no menu */, Module(), nullptr);
            if (!tooltip_) return;  // no tooltip is all that is lost
        }
        tool.lpszText = const_cast<char*>(text.c_str());  // copied by the tooltip
        if (toolAdded_)
            SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        else
            toolAdded_ = SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
    }

    void SetBusyPointer() override {
        g_busy = true;
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
    }

    void RestorePointer() override {
        g_busy = false;
        RefreshPointer();
    }

    HWND WindowHandle() override { return surface_; }

    // Change notices serve a designer saving the layout; at run time there is
    // none to tell.
    void PropertyChanged(const std::string&) override {}

private:
    TTTOOLINFOA Tool() const {
        TTTOOLINFOA tool{};
        // The size comctl32 5.8 (Windows XP without a manifest) accepts; the
        // full structure of the 0x0501 headers is refused there.
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = surface_;
        tool.uId = reinterpret_cast<UINT_PTR>(label_);
        return tool;
    }

    HWND surface_;
    HWND label_ = nullptr;
    HWND tooltip_ = nullptr;
    bool toolAdded_ = false;
    HFONT font_ = nullptr;
    int dpiX_ = 96;
    int dpiY_ = 96;
    std::string caption_;
    URLLink link_{*this};  // last: it refers to the site above
};

LinkWindow* StateOf(HWND hwnd) {
    return reinterpret_cast<LinkWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Sets the pointer for WM_SETCURSOR while the busy pointer is on; otherwise
// the class pointer (the hand) applies.
bool ShowBusyPointer() {
    if (!g_busy) return false;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    return true;
}

LRESULT CALLBACK SurfaceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LinkWindow* self = StateOf(hwnd);
    if (message == WM_NCCREATE) {
        self = new (std::nothrow) LinkWindow(hwnd);
        if (!self) return FALSE;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);

    switch (message) {
        case WM_CREATE: return self->OnCreate() ? 0 : -1;
        case WM_DESTROY: self->OnDestroy(); return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            delete self;
            return 0;
        case WM_SETCURSOR:
            if (ShowBusyPointer()) return TRUE;
            break;
        default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The label keeps no state of its own: it holds its surface's.
LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LinkWindow* owner = StateOf(hwnd);
    if (message == WM_NCCREATE) {
        owner = static_cast<LinkWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (!owner) return FALSE;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    if (!owner) return DefWindowProcA(hwnd, message, wParam, lParam);

    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc) owner->PaintLabel(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: owner->PaintLabel(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(owner->font());
        case WM_LBUTTONDOWN: owner->OnLabelMouseDown(1, wParam, lParam); return 0;
        case WM_RBUTTONDOWN: owner->OnLabelMouseDown(2, wParam, lParam); return 0;
        case WM_MBUTTONDOWN: owner->OnLabelMouseDown(4, wParam, lParam); return 0;
        case WM_SETCURSOR:
            if (ShowBusyPointer()) return TRUE;
            break;
        case WM_NCDESTROY: SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0); break;
        default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterOne(const char* name, WNDPROC proc, ATOM* atom) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = Module();
    // The hand, its hot spot on the fingertip, over the surface and the text.
    wc.hCursor = LoadCursor(nullptr, IDC_HAND);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = name;
    *atom = RegisterClassExA(&wc);
    return *atom != 0;
}

URLLink* LinkOf(HWND control) {
    if (!control || !g_surfaceAtom || !IsWindow(control)) return nullptr;
    if (static_cast<ATOM>(GetClassLongPtrA(control, GCW_ATOM)) != g_surfaceAtom) return nullptr;
    LinkWindow* self = StateOf(control);
    return self ? &self->link() : nullptr;
}

LinkWindow* WindowOf(HWND control) {
    return LinkOf(control) ? StateOf(control) : nullptr;
}

HWND CreateSurface(HWND parent, int x, int y, int cx, int cy, const PropertySet* properties, int id) {
    if (!URLLinkWindow::Register()) return nullptr;
    HWND hwnd = CreateWindowExA(0, URLLinkWindow::kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, cx, cy,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Module(), nullptr);
    if (!hwnd) return nullptr;
    try {
        URLLink& link = StateOf(hwnd)->link();
        if (properties)
            link.ReadProperties(*properties);
        else
            link.InitProperties();
    } catch (...) {  // out of memory
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

}  // namespace

ATOM URLLinkWindow::Register() {
    if (g_surfaceAtom) return g_surfaceAtom;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};  // the tooltip class
    InitCommonControlsEx(&icc);
    ATOM labelAtom = 0;
    if (!RegisterOne(kLabelClassName, LabelProc, &labelAtom)) return 0;
    if (!RegisterOne(kClassName, SurfaceProc, &g_surfaceAtom)) {
        UnregisterClassA(kLabelClassName, Module());
        return 0;
    }
    return g_surfaceAtom;
}

HWND URLLinkWindow::Create(HWND parent, int x, int y, int cx, int cy, const PropertySet& properties, int id) {
    return CreateSurface(parent, x, y, cx, cy, &properties, id);
}

HWND URLLinkWindow::Create(HWND parent, int x, int y, int cx, int cy, int id) {
    return CreateSurface(parent, x, y, cx, cy, nullptr, id);
}

URLLink* URLLinkWindow::Link(HWND control) {
    return LinkOf(control);
}

HWND URLLinkWindow::Label(HWND control) {
    LinkWindow* self = WindowOf(control);
    return self ? self->label() : nullptr;
}

HWND URLLinkWindow::ToolTip(HWND control) {
    LinkWindow* self = WindowOf(control);
    return self ? self->tooltip() : nullptr;
}

#endif
