#include "controls/win32/url_link_window.h"

#include <commctrl.h>

#include <climits>
#include <string>
#include <new>
#include <utility>

#include "controls/win32/accessible_object.h"
#include "controls/units.h"
#include "controls/win32/window_kit.h"
#include "desktop/mouse_pointer.h"

namespace {

// The label's window class: the surface's with the label's name.
const char* LabelClassName() {
    static const std::string name = std::string(URLLink::kProgId) + ".lblURL";
    return name.c_str();
}

// The control's own font, until a host sets another.
ui::FontOwner DefaultFont(int dpi) {
    return ui::CreateLayoutFont("MS Sans Serif", 825, dpi, true /* underlined */);
}

// `font` as a link draws it: underlined.
ui::FontOwner UnderlinedCopy(HFONT font) {
    LOGFONTA lf{};
    if (GetObjectA(font, sizeof lf, &lf) != sizeof lf) return nullptr;
    lf.lfUnderline = TRUE;
    return ui::FontOwner(CreateFontIndirectA(&lf));
}

int ClampLength(std::size_t length) {
    return length > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

class LinkWindow;

// The label lblURL: its messages go to the state of its control.
class LinkLabel {
public:
    explicit LinkLabel(LinkWindow& owner) : owner_(owner) {}
    static LinkLabel* Attach(HWND, const CREATESTRUCTA& create) {
        return static_cast<LinkLabel*>(create.lpCreateParams);
    }
    static void Detach(LinkLabel*) {}
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LinkWindow& owner_;
};

// The state of one control: its windows, font, caption and logic. Owned by
// the surface window: made at its WM_NCCREATE, deleted at its WM_NCDESTROY.
class LinkWindow final : public URLLinkSite {
public:
    LinkWindow(HWND surface, const PropertySet* properties) : surface_(surface), properties_(properties) {}
    LinkWindow(const LinkWindow&) = delete;
    LinkWindow& operator=(const LinkWindow&) = delete;

    static LinkWindow* Attach(HWND hwnd, const CREATESTRUCTA& create) {
        return new (std::nothrow) LinkWindow(hwnd, static_cast<const PropertySet*>(create.lpCreateParams));
    }
    static void Detach(LinkWindow* self) { delete self; }

    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_CREATE: return OnCreate();
            case WM_DESTROY: return OnDestroy();
            case WM_SETFOCUS:
            case WM_KILLFOCUS: return OnFocusChange();
            case WM_KEYDOWN: return OnKeyDown(hwnd, message, wParam, lParam);
            case WM_GETDLGCODE: return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
            case WM_SETFONT: return OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
            case WM_GETFONT: return reinterpret_cast<LRESULT>(hostFont_ ? hostFont_ : font_.get());
            case WM_SETCURSOR: return ui::SetCursorFor(hwnd, message, wParam, lParam);
            case WM_GETOBJECT: return a11y::AnswerGetObject(hwnd, wParam, lParam, kAccess);
            case URLLink::kOpenMessage: link_.lblURL_MouseDown(1, 0, 0, 0); return 0;
            default: return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

    // Messages of the label.
    LRESULT OnLabelMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_PAINT: return OnLabelPaint();
            case WM_PRINTCLIENT: return PaintLabel(reinterpret_cast<HDC>(wParam));
            case WM_GETFONT: return reinterpret_cast<LRESULT>(font_.get());
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDBLCLK:
            case WM_MBUTTONDBLCLK: return OnLabelPress(message, wParam, lParam);
            case WM_SETCURSOR: return ui::SetCursorFor(hwnd, message, wParam, lParam);
            // The link is one object with its label: the surface's, found
            // from the label's window too (a point over the text).
            case WM_GETOBJECT:
                if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT))
                    return SendMessageA(surface_, message, wParam, lParam);
                return DefWindowProcA(hwnd, message, wParam, lParam);
            default: return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

    URLLink& link() { return link_; }
    HWND label() const { return label_; }
    HWND tooltip() const { return tooltip_.get(); }

    // URLLinkSite
    Extent MeasureText(const std::string& text) override {
        SIZE size{0, 0};
        ui::WindowDc dc(surface_);
        if (dc.get()) {
            ui::Selected font(dc.get(), font_.get());
            GetTextExtentPoint32A(dc.get(), text.data(), ClampLength(text.size()), &size);
        }
        return {units::PixelsToTwips(size.cx, dpi_), units::PixelsToTwips(size.cy, dpi_)};
    }
    void SetLabelCaption(const std::string& text) override {
        const bool renamed = text != caption_;
        caption_ = text;
        SetWindowTextA(surface_, caption_.c_str());
        if (label_) InvalidateRect(label_, nullptr, TRUE);
        // The accessible object's name is the text: its listeners hear of it.
        if (renamed) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, surface_, OBJID_CLIENT, CHILDID_SELF);
    }
    // The label is made where its text is first placed, during WM_CREATE
    // (the text always comes first, before any tooltip needs the label).
    void PlaceLabel(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override {
        const int x = units::TwipsToPixels(left, dpi_), y = units::TwipsToPixels(top, dpi_);
        const int cx = units::TwipsToPixels(width, dpi_), cy = units::TwipsToPixels(height, dpi_);
        if (!label_)
            label_ = CreateWindowExA(0, LabelClassName(), "", WS_CHILD | WS_VISIBLE, x, y, cx, cy, surface_,
                                     nullptr /* no id */, GetModuleHandleA(nullptr), &labelRoute_);
        else
            SetWindowPos(label_, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void SetToolTipText(const std::string& text) override {
        if (!tooltip_ && !text.empty()) tooltip_ = ui::CreateToolTip(surface_);
        ui::SetToolText(tooltip_.get(), surface_, label_, text);  // without a tooltip only the tip is lost
    }
    HWND WindowHandle() override { return surface_; }
    // Change notices serve a designer saving the layout; at run time there is
    // none to tell.
    void PropertyChanged(const std::string&) override {}

private:
    // The surface is the control a screen reader meets (the tab stop, the
    // window with the focus): it answers for the link.
    static bool Describe(HWND surface, a11y::Report& report) {
        const URLLink* link = URLLinkWindow::Link(surface);
        if (!link) return false;
        report = a11y::OfLink(*link, GetFocus() == surface, IsWindowEnabled(surface) != FALSE);
        return true;
    }
    static bool Act(HWND surface) {
        URLLink* link = URLLinkWindow::Link(surface);
        return link && link->DoDefaultAction(IsWindowEnabled(surface) != FALSE);
    }
    static constexpr a11y::Behaviour kAccess{&Describe, &Act, true};

    LRESULT OnCreate() {
        dpi_ = ui::ScreenDpi();
        font_ = DefaultFont(dpi_);
        if (!font_) return -1;
        // Reading the text places the label, which makes it.
        if (properties_)
            link_.ReadProperties(*properties_);
        else
            link_.InitProperties();
        properties_ = nullptr;  // the creator's, valid only during creation
        return label_ ? 0 : -1;
    }

    // The tooltip is a popup owned by the top-level window, not a child, so
    // it does not go with the surface by itself.
    LRESULT OnDestroy() {
        tooltip_.reset();
        return 0;
    }

    LRESULT OnFocusChange() {
        InvalidateRect(label_, nullptr, TRUE);
        return 0;
    }

    LRESULT OnKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        const URLLink::Key key = wParam == VK_RETURN  ? URLLink::Key::Enter
                                 : wParam == VK_SPACE ? URLLink::Key::Space
                                                      : URLLink::Key::Other;
        const bool autoRepeat = (lParam & (1L << 30)) != 0;  // the key was already down
        if (link_.OnKey(key, autoRepeat)) return 0;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    // In a dialog, Enter goes to the default button unless the control with
    // the focus asks for it; the link opens on it as on Space.
    static LRESULT OnGetDlgCode(const MSG* message) {
        return message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0;
    }

    // The host's font, underlined as a link is drawn (the control owns that
    // copy); nullptr brings back the control's own font. The label is sized
    // to the text again.
    LRESULT OnSetFont(HFONT font, bool redraw) {
        ui::FontOwner drawn = font ? UnderlinedCopy(font) : DefaultFont(dpi_);
        if (!drawn) return 0;  // the font in use stays
        font_ = std::move(drawn);
        hostFont_ = font;
        link_.SetText(link_.Text());
        if (redraw) InvalidateRect(label_, nullptr, TRUE);
        return 0;
    }

    // A press takes the focus, as on a button; the logic decides what opens.
    LRESULT OnLabelPress(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_LBUTTONDOWN && GetFocus() != surface_) SetFocus(surface_);
        const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
        const bool right = message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK;
        const std::int16_t button = left ? 1 : right ? 2 : 4;
        const std::int16_t shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0);
        const int x = units::PixelsToTwips(static_cast<std::int16_t>(LOWORD(lParam)), dpi_);
        const int y = units::PixelsToTwips(static_cast<std::int16_t>(HIWORD(lParam)), dpi_);
        const bool second = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
        link_.OnPress(button, shift, x, y, second);
        return 0;
    }

    LRESULT OnLabelPaint() {
        const ui::PaintScope paint(label_);
        if (paint.get()) PaintLabel(paint.get());
        return 0;
    }

    LRESULT PaintLabel(HDC dc) {
        RECT rc;
        GetClientRect(label_, &rc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        const ui::Selected font(dc, font_.get());
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, caption_.data(), ClampLength(caption_.size()), &rc,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        if (GetFocus() == surface_) DrawFocusRect(dc, &rc);
        return 0;
    }

    HWND surface_;
    const PropertySet* properties_;  // until WM_CREATE has read them
    HWND label_ = nullptr;
    ui::WindowOwner tooltip_;
    ui::FontOwner font_;        // drawn with
    HFONT hostFont_ = nullptr;  // set by the host (WM_SETFONT), not owned
    int dpi_ = 96;
    std::string caption_;
    LinkLabel labelRoute_{*this};
    URLLink link_{*this};  // last: it refers to the site above
};

LRESULT LinkLabel::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return owner_.OnLabelMessage(hwnd, message, wParam, lParam);
}

LinkWindow* StateOf(HWND control) {
    char name[sizeof URLLink::kProgId + 1] = "";  // room to tell a longer name
    if (!control || !GetClassNameA(control, name, sizeof name) || lstrcmpiA(name, URLLink::kProgId) != 0)
        return nullptr;
    return ui::ClassBytesObject<LinkWindow>(control);
}

HWND CreateSurface(HWND parent, int x, int y, int cx, int cy, const PropertySet* properties, int id) {
    if (!URLLinkWindow::Register()) return nullptr;
    return CreateWindowExA(0, URLLink::kProgId, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, x, y, cx, cy,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                           const_cast<PropertySet*>(properties));
}

}  // namespace

bool URLLinkWindow::Register() {
    // Once a process: every later control finds both classes there.
    static bool registered = false;
    if (registered) return true;
    ui::LoadCommonControls(ICC_BAR_CLASSES);  // the tooltip class
    // The hand, its hot spot on the fingertip, over the surface and the text.
    // The label's double-clicks arrive as such, so that the second press of
    // one is not taken for a new press.
    const HCURSOR hand = MousePointer::SystemPointer(MousePointer::Shape::Hand);
    using ui::Binding;
    registered = ui::RegisterRoutedClass<LinkLabel, Binding::ClassBytes>(LabelClassName(), hand, CS_DBLCLKS) &&
                 ui::RegisterRoutedClass<LinkWindow, Binding::ClassBytes>(URLLink::kProgId, hand);
    return registered;
}

HWND URLLinkWindow::Create(HWND parent, int x, int y, int cx, int cy, const PropertySet& properties, int id) {
    return CreateSurface(parent, x, y, cx, cy, &properties, id);
}

HWND URLLinkWindow::Create(HWND parent, int x, int y, int cx, int cy, int id) {
    return CreateSurface(parent, x, y, cx, cy, nullptr, id);
}

URLLink* URLLinkWindow::Link(HWND control) {
    LinkWindow* self = StateOf(control);
    return self ? &self->link() : nullptr;
}

HWND URLLinkWindow::Label(HWND control) {
    LinkWindow* self = StateOf(control);
    return self ? self->label() : nullptr;
}

HWND URLLinkWindow::ToolTip(HWND control) {
    LinkWindow* self = StateOf(control);
    return self ? self->tooltip() : nullptr;
}
