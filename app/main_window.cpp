#include "app/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/panel.h"
#include "app/resources/resource.h"
#include "controls/property_set.h"
#include "controls/shell_open.h"
#include "controls/units.h"
#include "controls/url_link_window.h"
#include "desktop/mouse_pointer.h"

namespace {

const char kWindowClass[] = "QorvelTweakerMain";

#ifndef BCM_SETSHIELD
#define BCM_SETSHIELD 0x160C  // Windows Vista and later; older buttons ignore it
#endif

// The tab strip draws its tabs at the bottom correctly only without the
// visual style of common controls 6. SetWindowTheme is looked up in the
// uxtheme that start-up loaded from the system folder: the program imports
// no DLL that Windows would look for beside it.
void DrawUnthemed(HWND control) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    if (const auto set = platform::SystemFunction<SetWindowThemeFn>("uxtheme.dll", "SetWindowTheme"))
        set(control, L"", L"");
}

}  // namespace

MainWindow::MainWindow() : commands_(layout::Controls().size()) {
    // The buttons and the handler a click on each runs.
    const std::pair<const char*, Command> handlers[] = {
        {"Exit_Button", &Main_App::Exit_Button_Click},         {"AVI_New", &Main_App::AVI_New_Click},
        {"AVI_Default", &Main_App::AVI_Default_Click},         {"Increase_Folders", &Main_App::Increase_Folders_Click},
        {"Default_Folders", &Main_App::Default_Folders_Click}, {"Reset_Folders", &Main_App::Reset_Folders_Click},
    };
    for (const auto& [name, handler] : handlers)
        if (const layout::Control* row = layout::Find(name)) commands_[layout::RowOf(*row)] = handler;
}

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

MainWindow* MainWindow::Attach(HWND hwnd, const CREATESTRUCTA& create) {
    auto* self = static_cast<MainWindow*>(create.lpCreateParams);
    self->hwnd_ = hwnd;
    self->keyboard_.Attach(hwnd, LoadAcceleratorsA(self->instance_, MAKEINTRESOURCEA(IDA_MAIN)));
    return self;
}

void MainWindow::Detach(MainWindow* self) {
    self->hwnd_ = nullptr;
    self->keyboard_.Attach(nullptr, nullptr);
}

bool MainWindow::Create(HINSTANCE instance, int showCommand) {
    instance_ = instance;
    dpi_ = ui::ScreenDpi();
    if (!ui::RegisterRoutedClass<MainWindow>(kWindowClass, MousePointer::SystemPointer(MousePointer::Shape::Arrow)) ||
        !Panel::Register())
        return false;

    // A fixed border with a system menu and close box, and no minimise or
    // maximise box; the client area has the layout's size, centred on the
    // work area.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const auto& w = layout::MainWindow();
    RECT frame = {0, 0, Px(w.clientWidth), Px(w.clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int cx = frame.right - frame.left, cy = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + std::max(0L, (work.right - work.left - cx) / 2);
    const int y = work.top + std::max(0L, (work.bottom - work.top - cy) / 2);
    if (!CreateWindowExA(0, kWindowClass, w.caption, style, x, y, cx, cy, nullptr, nullptr, instance, this))
        return false;

    for (const auto& [which, metric] : {std::pair<WPARAM, int>{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        const int size = GetSystemMetrics(metric);
        const HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(IDI_QORVEL), IMAGE_ICON, size, size, LR_SHARED);
        SendMessageA(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(tabStrip_);
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
        case WM_ACTIVATE: keyboard_.OnActivate(wParam, tabStrip_); return 0;
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED: return OnColoursChanged(message, wParam, lParam);
        case WM_CLOSE:
            if (waiting_) return 0;  // the elevated copy still writes
            return DefWindowProcA(hwnd, message, wParam, lParam);
        case WM_DESTROY:
            tooltip_.reset();
            PostQuitMessage(0);
            return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// The controls, then Form_Load: the load handler runs before the window is
// first shown.
LRESULT MainWindow::OnCreate() {
    LoadPictures();
    if (!CreateControls()) return -1;
    elevation_ = std::make_unique<ElevatedCopy>(hwnd_, [this](HANDLE process) { WaitForCopy(process); });
    app_ = std::make_unique<Main_App>(*this, elevation_.get());
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

void MainWindow::CompleteControls() {
    CreateChildren("frVideo");
    CreateChildren("frFolders");
    if (tooltip_) return;
    tooltip_ = ui::CreateToolTip(hwnd_);
    for (const ChildWindow& child : children_.all())
        if (child.hwnd && child.spec->tooltip[0])
            ui::SetToolText(tooltip_.get(), hwnd_, child.hwnd, child.spec->tooltip);
}

// The controls inside `container` ("": the window's own), once. Containers
// come before their children, and within each container the table runs from
// the top of the stacking order down, which is the order windows stack in
// when created one after another. A container is whole or not there: when
// one control cannot be created, those made before it go again and false
// says so; the next call tries anew.
bool MainWindow::CreateChildren(const char* container) {
    if (std::find(created_.begin(), created_.end(), container) != created_.end()) return true;
    std::vector<const layout::Control*> made;
    for (const layout::Control& row : layout::Controls()) {
        if (std::strcmp(row.container, container) != 0 || row.kind == layout::Kind::Line)
            continue;  // lines: painted by their container
        HWND created = CreateControl(row);
        if (!created) {
            for (auto undo = made.rbegin(); undo != made.rend(); ++undo) {
                DestroyWindow(children_.Of(**undo));
                Bind(**undo, nullptr);
            }
            return false;
        }
        Bind(row, created);
        made.push_back(&row);
        if (tooltip_ && row.tooltip[0]) ui::SetToolText(tooltip_.get(), hwnd_, created, row.tooltip);
    }
    created_.emplace_back(container);
    return true;
}

// Fills the row's slot and, for a control the window talks to, its member.
void MainWindow::Bind(const layout::Control& row, HWND hwnd) {
    children_.Set(row, hwnd);
    static constexpr std::pair<const char*, HWND MainWindow::*> kBound[] = {
        {"TabStrip1", &MainWindow::tabStrip_},
        {"Exit_Button", &MainWindow::exitButton_},
        {"lblVersion", &MainWindow::lblVersion_},
        {"AVI_Output_Text1", &MainWindow::aviOutputText1_},
        {"AVI_Output_Text2", &MainWindow::aviOutputText2_},
        {"AVI_New", &MainWindow::aviNew_},
        {"AVI_Default", &MainWindow::aviDefault_},
    };
    for (const auto& [name, member] : kBound)
        if (std::strcmp(row.name, name) == 0) this->*member = hwnd;
    const auto& tabs = layout::Tabs();
    for (std::size_t page = 0; page < tabs.size(); ++page)
        if (std::strcmp(row.name, tabs[page].page) == 0) pages_[page] = hwnd;
}

HWND MainWindow::CreateControl(const layout::Control& row) {
    const layout::Control* container = row.container[0] ? layout::Find(row.container) : nullptr;
    HWND parent = !row.container[0] ? hwnd_ : container ? children_.Of(*container) : nullptr;
    if (!parent) return nullptr;
    const int id = layout::IdOf(row);
    const int x = Px(row.place.left), y = Px(row.place.top), cx = Px(row.place.width), cy = Px(row.place.height);
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS | (row.visible ? WS_VISIBLE : 0);
    const char* cls = nullptr;
    DWORD style = child, exStyle = 0;
    Panel::Look look{&row, FontFor(row.font), nullptr, dpi_};
    void* params = nullptr;
    switch (row.kind) {
        case layout::Kind::TabStrip:
            cls = WC_TABCONTROLA;
            style |= TCS_BOTTOM | WS_TABSTOP | TCS_FOCUSONBUTTONDOWN;
            break;
        case layout::Kind::Picture: look.picture = &pictures_[static_cast<std::size_t>(row.image)]; [[fallthrough]];
        case layout::Kind::Frame:
        case layout::Kind::BareFrame:
            cls = Panel::kClassName;
            params = &look;
            if (row.kind != layout::Kind::Picture) style |= WS_CLIPCHILDREN;
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
            // The link loads its text and address from its stored properties
            // and draws in a font of its own.
            PropertySet stored;
            for (const auto& [key, value] : row.properties) stored.Set(key, value);
            return URLLinkWindow::Create(parent, x, y, cx, cy, stored, id);
        }
        case layout::Kind::Line: return nullptr;
    }
    HWND hwnd = CreateWindowExA(exStyle, cls, row.caption.c_str(), style, x, y, cx, cy, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, params);
    if (!hwnd) return nullptr;
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(look.font), FALSE);
    if (row.kind == layout::Kind::TabStrip) {
        DrawUnthemed(hwnd);
        int index = 0;
        for (const layout::Tab& tab : layout::Tabs()) {
            std::string caption = tab.caption;
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = &caption[0];
            SendMessageA(hwnd, TCM_INSERTITEMA, index++, reinterpret_cast<LPARAM>(&item));
        }
    }
    // No margins beyond the edit control's own: the text starts at the box's
    // corner like static text.
    if (row.kind == layout::Kind::ReadOnlyText) SendMessageA(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    return hwnd;
}

// The font of the row's face and size at the window's DPI, made once.
HFONT MainWindow::FontFor(const layout::Font& font) {
    for (const auto& [made, owner] : fonts_)
        if (made.hundredths == font.hundredths && std::strcmp(made.face, font.face) == 0) return owner.get();
    fonts_.emplace_back(font, ui::CreateLayoutFont(font.face, font.hundredths, dpi_));
    return fonts_.back().second.get();
}

// The GIFs' uncovered pixels take the face colour of the moment.
void MainWindow::LoadPictures() {
    pictures_[static_cast<std::size_t>(layout::Image::Banner)] = Picture::FromBitmap(instance_, IDB_BANNER);
    pictures_[static_cast<std::size_t>(layout::Image::Mascot)] = Picture::FromGif(instance_, IDR_MASCOT_GIF);
    pictures_[static_cast<std::size_t>(layout::Image::Portrait)] = Picture::FromGif(instance_, IDR_PORTRAIT_GIF);
}

LRESULT MainWindow::OnCommand(int id, int code, HWND from) {
    if (waiting_) return 0;  // one press at a time
    // The accelerator table's access keys: code 1 and no control.
    if (code == 1 && !from) {
        switch (id) {
            case IDM_TAB_ABOUT: ChooseTab(1); break;
            case IDM_TAB_VIDEO: ChooseTab(2); break;
            case IDM_TAB_FOLDERS: ChooseTab(3); break;
            case IDM_EXIT: SendMessageA(exitButton_, BM_CLICK, 0, 0); break;
            default: break;
        }
        return 0;
    }
    const layout::Control* row = layout::ById(id);
    if (code == BN_CLICKED && row && commands_[layout::RowOf(*row)]) (app_.get()->*commands_[layout::RowOf(*row)])();
    return 0;
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE && header.hwndFrom == tabStrip_) app_->TabStrip1_Click();
    return 0;
}

// Labels and read-only text areas on the 3-D face background, in their
// text colours.
LRESULT MainWindow::OnControlColour(HDC dc, HWND control) {
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    if (const ChildWindow* child = children_.Find(control)) {
        if (child->spec->kind == layout::Kind::ReadOnlyText) text = GetSysColor(COLOR_WINDOWTEXT);
        if (child->spec->kind == layout::Kind::Label && child->spec->colour != layout::kNoColour)
            text = static_cast<COLORREF>(child->spec->colour);
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
    SendMessageA(tabStrip_, message, wParam, lParam);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
}

// Every control passes WM_SETCURSOR to its parent first, so the busy pointer
// answered here covers the whole window.
LRESULT MainWindow::OnSetCursor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (MousePointer::OnSetCursor()) return TRUE;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int MainWindow::Px(int twips) const {
    return units::TwipsToPixels(twips, dpi_);
}

void MainWindow::ChooseTab(int number) {
    SelectTab(number);
    SetFocus(tabStrip_);
    app_->TabStrip1_Click();
}

void MainWindow::lblVersion(const std::string& caption) {
    SetWindowTextA(lblVersion_, caption.c_str());
}

void MainWindow::FrameVisible(Frame frame, bool visible) {
    const std::size_t page = static_cast<std::size_t>(frame);
    HWND hwnd = pages_[page];
    if (!hwnd) return;
    // Never a page without its controls: one that cannot be made stays
    // hidden, and the user is told why.
    if (visible && !CreateChildren(layout::Tabs()[page].page)) {
        ReportPageFailure(GetLastError());
        return;
    }
    // A page that hides the focus hands it to the tab strip.
    if (!visible && IsChild(hwnd, GetFocus())) SetFocus(tabStrip_);
    ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
}

std::string MainWindow::SelectedTabCaption() const {
    const LRESULT selected = SendMessageA(tabStrip_, TCM_GETCURSEL, 0, 0);
    if (selected < 0) return std::string();
    char text[64] = {0};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabStrip_, TCM_GETITEMA, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item));
    return item.pszText ? std::string(item.pszText) : std::string();
}

// The strip counts its tabs from 0.
void MainWindow::SelectTab(int number) {
    SendMessageA(tabStrip_, TCM_SETCURSEL, static_cast<WPARAM>(number - 1), 0);
}

void MainWindow::ReportPageFailure(DWORD error) {
    const std::string message = "This page cannot be shown: its controls could not be created. " +
                                SystemErrorText(error) + " (Error " + std::to_string(error) + ")";
    MessageBoxA(hwnd_, message.c_str(), layout::MainWindow().caption, MB_OK | MB_ICONHAND);
}

void MainWindow::EndProgram() noexcept {
    if (hwnd_) DestroyWindow(hwnd_);
}

void MainWindow::AVI_Output_Text1(const std::string& text) {
    SetWindowTextA(aviOutputText1_, text.c_str());
}

void MainWindow::AVI_Output_Text2(const std::string& text) {
    SetWindowTextA(aviOutputText2_, text.c_str());
}

void MainWindow::AviShield(bool shown) {
    for (HWND button : {aviNew_, aviDefault_}) SendMessageA(button, BCM_SETSHIELD, 0, shown ? TRUE : FALSE);
}

// As a modal box does: the window is disabled, so that it takes no input,
// and keeps painting from this loop, which drops what input still comes (a
// key for the control that kept the focus). A WM_QUIT that came meanwhile is
// posted again for the program's own loop.
void MainWindow::WaitForCopy(HANDLE process) {
    waiting_ = true;
    const HWND focus = GetFocus();
    const bool wasEnabled = !EnableWindow(hwnd_, FALSE);
    bool quit = false;
    WPARAM quitCode = 0;
    while (MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                               (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST);
            if (input) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (wasEnabled) EnableWindow(hwnd_, TRUE);
    if (focus && IsWindow(focus)) SetFocus(focus);
    waiting_ = false;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}
