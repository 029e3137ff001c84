#include "app/win32/control_factory.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "app/win32/panel.h"
#include "app/resources/resource.h"
#include "controls/units.h"
#include "controls/win32/url_link_window.h"

namespace {

// The window each kind of row is made as. A kind the Tab key stops at
// (layout::TakesFocus) gets WS_TABSTOP besides.
struct WindowKind {
    const char* windowClass;  // nullptr: no window of its own
    DWORD style, exStyle;
    bool panel;  // a Panel, created with its look
};
const WindowKind& KindOf(layout::Kind kind) {
    static const WindowKind kKinds[] = {
        /* TabStrip */ {WC_TABCONTROLA, TCS_BOTTOM | TCS_FOCUSONBUTTONDOWN, 0, false},
        /* Frame */ {Panel::kClassName, WS_CLIPCHILDREN, 0, true},
        /* BareFrame */ {Panel::kClassName, WS_CLIPCHILDREN, 0, true},
        /* ReadOnlyText */ {"EDIT", ES_MULTILINE | ES_READONLY, 0, false},
        /* StatusField */ {"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, false},
        /* Button */ {"BUTTON", BS_PUSHBUTTON, 0, false},
        /* Label */ {"STATIC", SS_LEFT | SS_NOPREFIX, 0, false},
        /* Line */ {nullptr, 0, 0, false},  // painted by its container
        /* Picture */ {Panel::kClassName, 0, 0, true},
        /* Link */ {URLLink::kProgId, 0, 0, false},  // the control sets its own style
    };
    return kKinds[static_cast<std::size_t>(kind)];
}

// The tab strip draws its tabs at the bottom correctly only without the
// visual style of common controls 6. SetWindowTheme is looked up in the
// uxtheme that start-up loaded from the system folder: the program imports
// no DLL that Windows would look for beside it.
void DrawUnthemed(HWND control) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    if (const auto set = platform::SystemFunction<SetWindowThemeFn>("uxtheme.dll", "SetWindowTheme"))
        set(control, L"", L"");
}

void AddTabs(HWND strip) {
    int index = 0;
    for (const layout::Tab& tab : layout::Tabs()) {
        std::string caption = tab.caption;
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &caption[0];
        SendMessageA(strip, TCM_INSERTITEMA, index++, reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace

HWND ControlFactory::Create(const layout::Control& row, HWND parent, DWORD& error) {
    error = ERROR_INVALID_WINDOW_HANDLE;  // the container is missing
    const WindowKind& kind = KindOf(row.kind);
    if (!parent || !kind.windowClass) return nullptr;
    const int id = layout::IdOf(row);
    const int x = Px(row.place.left), y = Px(row.place.top), cx = Px(row.place.width), cy = Px(row.place.height);
    // What the call that fails sets, and only that.
    SetLastError(ERROR_SUCCESS);
    HWND hwnd = nullptr;
    Panel::Look look{&row, nullptr, nullptr, dpi_};
    if (row.kind == layout::Kind::Link) {
        // The link loads its text and address from its stored properties
        // and draws in a font of its own.
        hwnd = URLLinkWindow::Create(parent, x, y, cx, cy, row.properties, id);
    } else {
        look.font = FontFor(row.font);
        if (row.kind == layout::Kind::Picture) look.picture = &pictures_[static_cast<std::size_t>(row.image)];
        const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (row.visible ? WS_VISIBLE : 0) | kind.style |
                            (layout::TakesFocus(row.kind) ? WS_TABSTOP : 0);
        // A text area gets its text once its font and margins are set (below):
        // it then lays its lines out once, not once for each.
        const char* caption = row.kind == layout::Kind::ReadOnlyText ? "" : row.caption.c_str();
        hwnd =
            CreateWindowExA(kind.exStyle, kind.windowClass, caption, style, x, y, cx, cy, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, kind.panel ? &look : nullptr);
    }
    if (!hwnd) {
        error = GetLastError();
        if (error == ERROR_SUCCESS) error = ERROR_CAN_NOT_COMPLETE;  // a window that refused its creation
        return nullptr;
    }
    error = ERROR_SUCCESS;
    if (row.kind == layout::Kind::Link) return hwnd;
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(look.font), FALSE);
    if (row.kind == layout::Kind::TabStrip) {
        DrawUnthemed(hwnd);
        AddTabs(hwnd);
    }
    // No margins beyond the edit control's own: the text starts at the box's
    // corner like static text.
    if (row.kind == layout::Kind::ReadOnlyText) {
        SendMessageA(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        SetWindowTextA(hwnd, row.caption.c_str());
    }
    return hwnd;
}

// The font of the row's face and size at the window's DPI, made once.
HFONT ControlFactory::FontFor(const layout::Font& font) {
    for (const auto& [made, owner] : fonts_)
        if (made.hundredths == font.hundredths && std::strcmp(made.face, font.face) == 0) return owner.get();
    fonts_.emplace_back(font, ui::CreateLayoutFont(font.face, font.hundredths, dpi_));
    return fonts_.back().second.get();
}

void ControlFactory::LoadPictures() {
    pictures_[static_cast<std::size_t>(layout::Image::Banner)] = Picture::FromBitmap(instance_, IDB_BANNER);
    pictures_[static_cast<std::size_t>(layout::Image::Mascot)] = Picture::FromGif(instance_, IDR_MASCOT_GIF);
    pictures_[static_cast<std::size_t>(layout::Image::Portrait)] = Picture::FromGif(instance_, IDR_PORTRAIT_GIF);
}

int ControlFactory::Px(int twips) const {
    return units::TwipsToPixels(twips, dpi_);
}
