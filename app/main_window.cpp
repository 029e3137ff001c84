#include "app/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "app/control_ids.h"
#include "app/resources/resource.h"
#include "platform/app_pointer.h"
#include "controls/property_set.h"
#include "controls/shell_open.h"
#include "controls/units.h"
#include "controls/url_link_window.h"

namespace {

const char kWindowClass[] = "QorvelTweakerMain";
const char kPanelClass[] = "QorvelTweakerFrame";

// The buttons and the handler a click on each runs.
const struct {
    const char* control;
    void (Main_App::*handler)();
} kCommands[] = {
    {"Exit_Button", &Main_App::Exit_Button_Click},         {"AVI_New", &Main_App::AVI_New_Click},
    {"AVI_Default", &Main_App::AVI_Default_Click},         {"Increase_Folders", &Main_App::Increase_Folders_Click},
    {"Default_Folders", &Main_App::Default_Folders_Click}, {"Reset_Folders", &Main_App::Reset_Folders_Click},
};

// Controls the Tab key stops at; frames, labels, lines, pictures and the
// read-only text areas are passed over.
bool CanTakeFocus(layout::Kind kind) {
    return kind == layout::Kind::TabStrip || kind == layout::Kind::StatusField || kind == layout::Kind::Button ||
           kind == layout::Kind::Link;
}

COLORREF ToColorRef(std::uint32_t ole) {
    if (ole & 0x80000000u) return GetSysColor(static_cast<int>(ole & 0xFF));
    return static_cast<COLORREF>(ole);
}

// The tab control draws its tabs at the bottom correctly only without the
// visual style of common controls 6. uxtheme, from the system folder, was
// loaded at start; it is looked up rather than imported, as XP without
// themes may lack it.
void DrawUnthemed(HWND control) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    if (const auto set = platform::SystemFunction<SetWindowThemeFn>("uxtheme.dll", "SetWindowTheme"))
        set(control, L"", L"");
}

}  // namespace

// A page frame, the header area or a picture box: a container window that
// paints its border, caption and lines, or its picture, and passes the
// notifications and colour requests of the controls inside it on to the main
// window.
class MainWindow::Panel {
public:
    Panel(MainWindow& owner, const layout::Control& spec) : owner_(owner), spec_(spec) {}

    static Panel* Attach(HWND, const CREATESTRUCTA& create) { return static_cast<Panel*>(create.lpCreateParams); }
    static void Detach(Panel*) {}

    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_PAINT: return OnPaint(hwnd);
            // Themed buttons ask their parent to draw what lies under their
            // rounded corners: the background, then the rest.
            case WM_ERASEBKGND: return Erase(hwnd, reinterpret_cast<HDC>(wParam));
            case WM_PRINTCLIENT:
                Erase(hwnd, reinterpret_cast<HDC>(wParam));
                return Paint(hwnd, reinterpret_cast<HDC>(wParam));
            case WM_COMMAND:
            case WM_NOTIFY:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN: return SendMessageA(owner_.hwnd_, message, wParam, lParam);
            default: return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

private:
    LRESULT OnPaint(HWND hwnd) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (ps.fErase) Erase(hwnd, dc);
        Paint(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
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
        if (spec_.kind == layout::Kind::Frame) PaintGroupBox(dc, client);
        if (spec_.kind == layout::Kind::Picture) {
            const auto& picture = owner_.pictures_[static_cast<std::size_t>(spec_.image)];
            if (picture) picture->Draw(dc, owner_.dpi_);
        }
        PaintLines(dc);
        return 0;
    }

    // An etched border with the caption in its top edge.
    void PaintGroupBox(HDC dc, const RECT& client) {
        ui::Selected font(dc, owner_.font_.get());
        const std::string& caption = spec_.caption;
        SIZE text = {0, 0};
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
        RECT border = client;
        border.top += text.cy / 2;
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
        const int pad = units::ScalePixels(2, owner_.dpi_), indent = units::ScalePixels(8, owner_.dpi_);
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
        for (auto line = all.rbegin(); line != all.rend(); ++line) {
            if (line->kind != layout::Kind::Line || spec_.name != std::string(line->container)) continue;
            ui::GdiOwner<HPEN> pen(
                CreatePen(PS_SOLID, units::ScalePixels(line->lineWidth, owner_.dpi_), ToColorRef(line->foreColour)));
            ui::Selected selected(dc, pen.get());
            MoveToEx(dc, owner_.Px(line->left), owner_.Px(line->top), nullptr);
            LineTo(dc, owner_.Px(line->width), owner_.Px(line->height));
        }
    }

    MainWindow& owner_;
    const layout::Control& spec_;
};

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

MainWindow* MainWindow::Attach(HWND hwnd, const CREATESTRUCTA& create) {
    auto* self = static_cast<MainWindow*>(create.lpCreateParams);
    self->hwnd_ = hwnd;
    return self;
}

void MainWindow::Detach(MainWindow* self) {
    self->hwnd_ = nullptr;
}

bool MainWindow::Create(HINSTANCE instance, int showCommand) {
    instance_ = instance;
    dpi_ = ui::ScreenDpi();
    const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    if (!ui::RegisterRoutedClass(kWindowClass, ui::RoutedProc<MainWindow>, arrow) ||
        !ui::RegisterRoutedClass(kPanelClass, ui::RoutedProc<Panel>, arrow))
        return false;
    accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));

    // A fixed border with a system menu and close box, and no minimise or
    // maximise box; the client area has the layout's size, centred on the
    // work area.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    const auto& w = layout::MainWindow();
    RECT frame = {0, 0, Px(w.clientWidth), Px(w.clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int cx = frame.right - frame.left, cy = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + std::max(0L, (work.right - work.left - cx) / 2);
    const int y = work.top + std::max(0L, (work.bottom - work.top - cy) / 2);
    if (!CreateWindowExA(exStyle, kWindowClass, w.caption, style, x, y, cx, cy, nullptr, nullptr, instance, this))
        return false;

    for (const auto& [which, metric] : {std::pair<WPARAM, int>{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        const int size = GetSystemMetrics(metric);
        const HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(IDI_QORVEL), IMAGE_ICON, size, size, LR_SHARED);
        SendMessageA(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(Control("TabStrip1"));
    PostMessageA(hwnd_, kCompleteControls, 0, 0);
    return true;
}

LRESULT MainWindow::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnCreate();
        case kCompleteControls: CompleteControls(); return 0;
        case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_SETCURSOR: return OnSetCursor(hwnd, message, wParam, lParam);
        case WM_ACTIVATE: return OnActivate(wParam);
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED: return OnColoursChanged(message, wParam, lParam);
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// The controls, then Form_Load: the load handler runs before the window is
// first shown.
LRESULT MainWindow::OnCreate() {
    font_ = ui::CreateLayoutFont(layout::kWindowFont.face, 825, dpi_);
    verdana_ = ui::CreateLayoutFont("Verdana", 825, dpi_);
    LoadPictures();
    if (!CreateControls()) return -1;
    app_ = std::make_unique<Main_App>(*this);
    app_->Form_Load();
    return 0;
}

// What the first paint shows is created with the window: the tab strip, the
// page frames, the header and the About page. The controls of the other
// pages and the tooltips follow right after the first paint (a posted
// message, which comes before any input), or when their page is shown if that
// is sooner; the window opens quicker without them.
bool MainWindow::CreateControls() {
    return CreateChildren("") && CreateChildren("frStatic") && CreateChildren("frAbout");
}

// The GIFs' uncovered pixels take the face colour of the moment.
void MainWindow::LoadPictures() {
    pictures_[static_cast<std::size_t>(layout::Image::Banner)] = Picture::FromBitmap(instance_, IDB_BANNER);
    pictures_[static_cast<std::size_t>(layout::Image::Mascot)] = Picture::FromGif(instance_, IDR_MASCOT_GIF);
    pictures_[static_cast<std::size_t>(layout::Image::Portrait)] = Picture::FromGif(instance_, IDR_PORTRAIT_GIF);
}

void MainWindow::CompleteControls() {
    CreateChildren("frVideo");
    CreateChildren("frFolders");
    if (tooltip_) return;
    tooltip_ = ui::CreateToolTip(hwnd_);
    for (const Child& child : children_)
        if (child.spec->tooltip[0]) ui::SetToolText(tooltip_, hwnd_, child.hwnd, child.spec->tooltip);
}

// The controls inside `container` ("": the window's own), once. Containers
// come before their children, and within each container the table runs from
// the top of the stacking order down, which is the order windows stack in
// when created one after another. A container is whole or not there: when
// one control cannot be created, those made before it go again and false
// says so; the next call tries anew.
bool MainWindow::CreateChildren(const char* container) {
    if (std::find(created_.begin(), created_.end(), container) != created_.end()) return true;
    const std::size_t children = children_.size(), panels = panels_.size();
    const auto& all = layout::Controls();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto& c = all[i];
        if (std::strcmp(c.container, container) != 0 || c.kind == layout::Kind::Line)
            continue;  // lines: painted by their frame
        HWND created = CreateControl(c, kFirstControlId + static_cast<int>(i));
        if (!created) {
            for (std::size_t made = children_.size(); made > children; --made) DestroyWindow(children_[made - 1].hwnd);
            children_.resize(children);
            panels_.resize(panels);
            return false;
        }
        Command command = nullptr;
        for (const auto& entry : kCommands)
            if (c.name == std::string(entry.control)) command = entry.handler;
        children_.push_back({created, &c, command});
        if (tooltip_ && c.tooltip[0]) ui::SetToolText(tooltip_, hwnd_, created, c.tooltip);
    }
    created_.emplace_back(container);
    return true;
}

HWND MainWindow::CreateControl(const layout::Control& c, int id) {
    HWND parent = c.container[0] ? Control(c.container) : hwnd_;
    if (!parent) return nullptr;
    const int x = Px(c.left), y = Px(c.top), cx = Px(c.width), cy = Px(c.height);
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS | (c.visible ? WS_VISIBLE : 0);
    const char* cls = nullptr;
    DWORD style = child, exStyle = 0;
    void* params = nullptr;
    switch (c.kind) {
        case layout::Kind::TabStrip:
            cls = WC_TABCONTROLA;
            style |= TCS_BOTTOM | WS_TABSTOP | TCS_FOCUSONBUTTONDOWN;
            break;
        case layout::Kind::Frame:
        case layout::Kind::BareFrame:
        case layout::Kind::Picture:
            panels_.push_back(std::make_unique<Panel>(*this, c));
            params = panels_.back().get();
            cls = kPanelClass;
            if (c.kind != layout::Kind::Picture) {
                style |= WS_CLIPCHILDREN;
                exStyle = WS_EX_CONTROLPARENT;
            }
            break;
        case layout::Kind::ReadOnlyText:
            cls = "EDIT";
            style |= ES_MULTILINE | ES_READONLY;
            break;
        case layout::Kind::StatusField:
            cls = "EDIT";
            style |= ES_AUTOHSCROLL | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case layout::Kind::Button:
            cls = "BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case layout::Kind::Label:
            cls = "STATIC";
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case layout::Kind::Link: {
            // The link loads its text and address from its stored properties.
            PropertySet stored;
            for (const auto& [key, value] : c.properties) stored.Set(key, value);
            return URLLinkWindow::Create(parent, x, y, cx, cy, stored, id);
        }
        default: return nullptr;
    }
    HWND hwnd = CreateWindowExA(exStyle, cls, c.caption.c_str(), style, x, y, cx, cy, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, params);
    if (!hwnd) return nullptr;
    const bool verdana = c.font.face == std::string("Verdana");
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(verdana ? verdana_.get() : font_.get()), FALSE);
    if (c.kind == layout::Kind::TabStrip) {
        DrawUnthemed(hwnd);
        int index = 0;
        for (std::string caption : layout::TabCaptions()) {
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = &caption[0];
            SendMessageA(hwnd, TCM_INSERTITEMA, index++, reinterpret_cast<LPARAM>(&item));
        }
    }
    // No margins beyond the edit control's own: the text starts at the box's
    // corner like static text.
    if (c.kind == layout::Kind::ReadOnlyText) SendMessageA(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    return hwnd;
}

LRESULT MainWindow::OnCommand(int id, int code, HWND from) {
    // The accelerator table's access keys: code 1 and no control.
    if (code == 1 && !from) {
        switch (id) {
            case IDM_TAB_ABOUT: ChooseTab(0); break;
            case IDM_TAB_VIDEO: ChooseTab(1); break;
            case IDM_TAB_FOLDERS: ChooseTab(2); break;
            case IDM_EXIT: SendMessageA(Control("Exit_Button"), BM_CLICK, 0, 0); break;
            default: break;
        }
        return 0;
    }
    if (code != BN_CLICKED) return 0;
    for (const Child& child : children_) {
        if (GetDlgCtrlID(child.hwnd) != id) continue;
        if (child.command) (app_.get()->*child.command)();  // Exit destroys the window: look no further
        break;
    }
    return 0;
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE && header.hwndFrom == Control("TabStrip1")) app_->TabStrip1_Click();
    return 0;
}

// Labels and read-only text areas on the 3-D face background, in their
// text colours.
LRESULT MainWindow::OnControlColour(HDC dc, HWND control) {
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    if (const Child* child = Find(control)) {
        if (child->spec->kind == layout::Kind::ReadOnlyText) text = GetSysColor(COLOR_WINDOWTEXT);
        if (child->spec->kind == layout::Kind::Label && child->spec->foreColour != layout::kNoColour)
            text = ToColorRef(child->spec->foreColour);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// The user chose other colours or another theme: the pictures' backgrounds
// follow, the common controls, which keep colours of their own, hear of it
// from their parent, and everything is drawn again. The brushes are the
// system's own and follow by themselves.
LRESULT MainWindow::OnColoursChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    LoadPictures();
    SendMessageA(Control("TabStrip1"), message, wParam, lParam);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
}

// Every control passes WM_SETCURSOR to its parent first, so the busy pointer
// answered here covers the whole window.
LRESULT MainWindow::OnSetCursor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (AppPointer::OnSetCursor()) return TRUE;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The focus leaves with the window and comes back to the control that had
// it, as in a dialog; the tab strip when there was none.
LRESULT MainWindow::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        focusWhenInactive_ = focus && IsChild(hwnd_, focus) ? focus : nullptr;
        return 0;
    }
    HWND focus = focusWhenInactive_ && IsWindow(focusWhenInactive_) && IsWindowVisible(focusWhenInactive_)
                     ? focusWhenInactive_
                     : Control("TabStrip1");
    if (!GetFocus() || !IsChild(hwnd_, GetFocus())) SetFocus(focus);
    return 0;
}

const MainWindow::Child* MainWindow::Find(HWND hwnd) const {
    for (const Child& child : children_)
        if (child.hwnd == hwnd) return &child;
    return nullptr;
}

HWND MainWindow::Control(const char* name) const {
    for (const Child& child : children_)
        if (child.spec->name == std::string(name)) return child.hwnd;
    return nullptr;
}

int MainWindow::Px(int twips) const {
    return units::TwipsToPixels(twips, dpi_);
}

void MainWindow::MoveFocus(bool forward) {
    std::vector<std::pair<int, HWND>> order;
    for (const Child& child : children_) {
        if (CanTakeFocus(child.spec->kind) && IsWindowVisible(child.hwnd) && IsWindowEnabled(child.hwnd))
            order.emplace_back(child.spec->tabIndex, child.hwnd);
    }
    if (order.empty()) return;
    std::sort(order.begin(), order.end());
    // Where the focus sits in the sequence: a control of the table (even one
    // that Tab skips, such as a clicked text area) by its TabIndex.
    int current = -1;
    for (HWND w = GetFocus(); w && w != hwnd_; w = GetParent(w)) {
        if (const Child* child = Find(w)) {
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
    const Child* focused = Find(next);
    if (focused && focused->spec->kind == layout::Kind::StatusField) SendMessageA(next, EM_SETSEL, 0, -1);
}

void MainWindow::ChooseTab(int index) {
    HWND tab = Control("TabStrip1");
    SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetFocus(tab);
    app_->TabStrip1_Click();
}

// The dialog manager (IsDialogMessage) is not used: it moves the focus along
// the stacking order of each container in turn, while this window's order is
// the layout's one TabIndex sequence across all containers (on the About page
// it goes from a link to the header's Exit button and back to the page).
bool MainWindow::PreTranslate(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    if (accelerators_ && TranslateAcceleratorA(hwnd_, accelerators_, &msg)) return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
        MoveFocus(GetKeyState(VK_SHIFT) >= 0);
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        const Child* focused = Find(GetFocus());
        if (focused && focused->spec->kind == layout::Kind::Button) {
            SendMessageA(focused->hwnd, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

void MainWindow::lblVersion(const std::string& caption) {
    SetWindowTextA(Control("lblVersion"), caption.c_str());
}

void MainWindow::FrameVisible(Frame frame, bool visible) {
    const char* name = frame == Frame::frAbout ? "frAbout" : frame == Frame::frVideo ? "frVideo" : "frFolders";
    HWND hwnd = Control(name);
    if (!hwnd) return;
    // Never a page without its controls: one that cannot be made stays
    // hidden, and the user is told why.
    if (visible && !CreateChildren(name)) {
        ReportPageFailure(GetLastError());
        return;
    }
    // A page that hides the focus hands it to the tab strip.
    if (!visible && IsChild(hwnd, GetFocus())) SetFocus(Control("TabStrip1"));
    ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
}

std::string MainWindow::SelectedTabCaption() const {
    HWND tab = Control("TabStrip1");
    const LRESULT selected = SendMessageA(tab, TCM_GETCURSEL, 0, 0);
    if (selected < 0) return std::string();
    char text[64] = {0};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item));
    return item.pszText ? std::string(item.pszText) : std::string();
}

void MainWindow::SelectTab(int index) {
    SendMessageA(Control("TabStrip1"), TCM_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
}

void MainWindow::ReportPageFailure(DWORD error) {
    const std::string message = "This page cannot be shown: its controls could not be created. " +
                                SystemErrorText(error) + " (Error " + std::to_string(error) + ")";
    MessageBoxA(hwnd_, message.c_str(), layout::MainWindow().caption, MB_OK | MB_ICONHAND);
}

void MainWindow::EndProgram() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void MainWindow::AVI_Output_Text1(const std::string& text) {
    SetWindowTextA(Control("AVI_Output_Text1"), text.c_str());
}

void MainWindow::AVI_Output_Text2(const std::string& text) {
    SetWindowTextA(Control("AVI_Output_Text2"), text.c_str());
}
