#include "app/win32/panel.h"

#include <new>
#include <string>

#include "controls/win32/accessible_object.h"
#include "controls/units.h"
#include "controls/win32/window_kit.h"
#include "desktop/mouse_pointer.h"

const char Panel::kClassName[] = "QorvelTweakerFrame";

namespace {

class PanelWindow {
public:
    explicit PanelWindow(const Panel::Look& look) : look_(look) {}

    static PanelWindow* Attach(HWND, const CREATESTRUCTA& create) {
        return new (std::nothrow) PanelWindow(*static_cast<const Panel::Look*>(create.lpCreateParams));
    }
    static void Detach(PanelWindow* self) { delete self; }

    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_PAINT: return OnPaint(hwnd);
            case WM_ERASEBKGND: return Erase(hwnd, reinterpret_cast<HDC>(wParam));
            case WM_PRINTCLIENT:
                Erase(hwnd, reinterpret_cast<HDC>(wParam));
                return Paint(hwnd, reinterpret_cast<HDC>(wParam));
            case WM_COMMAND:
            case WM_NOTIFY:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN: return SendMessageA(GetParent(hwnd), message, wParam, lParam);
            case WM_GETOBJECT: return a11y::AnswerGetObject(hwnd, wParam, lParam, kAccess);
            default: return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

private:
    // A frame holds its controls, which the standard object lists as its
    // children; a picture has none.
    static bool Describe(HWND hwnd, a11y::Report& report) {
        char name[sizeof Panel::kClassName + 1] = "";  // room to tell a longer name
        if (!GetClassNameA(hwnd, name, sizeof name) || lstrcmpiA(name, Panel::kClassName) != 0) return false;
        const auto* self = reinterpret_cast<const PanelWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return false;
        const layout::Accessible what = layout::AccessibleOf(*self->look_.spec);
        report.role = what.role;
        report.name = what.name;
        return true;
    }
    static constexpr a11y::Behaviour kAccess{&Describe, nullptr, false};

    LRESULT OnPaint(HWND hwnd) {
        const ui::PaintScope paint(hwnd);
        if (!paint.get()) return 0;
        if (paint.erase()) Erase(hwnd, paint.get());
        return Paint(hwnd, paint.get());
    }

    static LRESULT Erase(HWND hwnd, HDC dc) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }

    LRESULT Paint(HWND hwnd, HDC dc) {
        RECT client;
        GetClientRect(hwnd, &client);
        if (look_.spec->kind == layout::Kind::Frame) PaintGroupBox(dc, client);
        if (look_.picture && *look_.picture) (*look_.picture)->Draw(dc, look_.dpi);
        PaintLines(dc);
        return 0;
    }

    // An etched border with the caption in its top edge.
    void PaintGroupBox(HDC dc, const RECT& client) {
        const ui::Selected font(dc, look_.font);
        const std::string& caption = look_.spec->caption;
        SIZE text = {0, 0};
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
        RECT border = client;
        border.top += text.cy / 2;
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
        const int pad = units::ScalePixels(2, look_.dpi), indent = units::ScalePixels(8, look_.dpi);
        RECT label = {indent, 0, indent + text.cx + 2 * pad, text.cy};
        FillRect(dc, &label, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TextOutA(dc, label.left + pad, 0, caption.c_str(), static_cast<int>(caption.size()));
    }

    // The lines of this container, beneath its windowed controls: the table
    // lists the topmost first, so they are drawn from the end.
    void PaintLines(HDC dc) {
        const auto& all = layout::Controls();
        const auto px = [this](int twips) { return units::TwipsToPixels(twips, look_.dpi); };
        for (auto line = all.rbegin(); line != all.rend(); ++line) {
            if (line->kind != layout::Kind::Line || line->parent != look_.spec) continue;
            const ui::GdiOwner<HPEN> pen(CreatePen(PS_SOLID, units::ScalePixels(line->lineWidth, look_.dpi),
                                                   static_cast<COLORREF>(line->colour)));
            const ui::Selected selected(dc, pen.get());
            const layout::Place& ends = line->place;
            MoveToEx(dc, px(ends.left), px(ends.top), nullptr);
            LineTo(dc, px(ends.left + ends.width), px(ends.top + ends.height));
        }
    }

    const Panel::Look look_;
};

}  // namespace

bool Panel::Register() {
    return ui::RegisterRoutedClass<PanelWindow>(kClassName, MousePointer::SystemPointer(MousePointer::Shape::Arrow));
}
