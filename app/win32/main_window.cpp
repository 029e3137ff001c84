#include "app/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "app/win32/panel.h"
#include "app/resources/resource.h"
#include "controls/shell_open.h"
#include "desktop/mouse_pointer.h"

namespace {

const char kWindowClass[] = "QorvelTweakerMain";

#ifndef BCM_SETSHIELD
#define BCM_SETSHIELD 0x160C  // Windows Vista and later; older buttons ignore it
#endif

}  // namespace

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

MainWindow* MainWindow::Attach(HWND hwnd, const CREATESTRUCTA& create) {
    auto* self = static_cast<MainWindow*>(create.lpCreateParams);
    self->hwnd_ = hwnd;
    self->keyboard_.Attach(hwnd, LoadAcceleratorsA(self->instance_, MAKEINTRESOURCEA(IDA_MAIN)));
    return self;
}

// The window is gone: a message to the thread wakes the loop (Run), which
// may be waiting for one, to see it.
void MainWindow::Detach(MainWindow* self) {
    self->hwnd_ = nullptr;
    self->keyboard_.Attach(nullptr, nullptr);
    PostMessageA(nullptr, WM_NULL, 0, 0);
}

bool MainWindow::Create(HINSTANCE instance, int showCommand) {
    instance_ = instance;
    factory_ = std::make_unique<ControlFactory>(instance, ui::ScreenDpi());
    if (!ui::RegisterRoutedClass<MainWindow>(kWindowClass, MousePointer::SystemPointer(MousePointer::Shape::Arrow)) ||
        !Panel::Register())
        return false;

    // A fixed border with a system menu and close box, and no minimise or
    // maximise box; the client area has the layout's size, centred on the
    // work area.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const auto& w = layout::MainWindow();
    RECT frame = {0, 0, factory_->Px(w.clientWidth), factory_->Px(w.clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int cx = frame.right - frame.left, cy = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + std::max(0L, (work.right - work.left - cx) / 2);
    const int y = work.top + std::max(0L, (work.bottom - work.top - cy) / 2);
    if (!CreateWindowExA(0, kWindowClass, w.caption, style, x, y, cx, cy, nullptr, nullptr, instance, this))
        return false;

    // The small icon is in the caption's first paint; the large one (the task
    // switcher's) follows once the window is on screen.
    SetIcon(ICON_SMALL, SM_CXSMICON);
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetIcon(ICON_BIG, SM_CXICON);
    SetFocus(Of(layout::Named().tabStrip));
    PostMessageA(hwnd_, kCompleteControls, 0, 0);
    return true;
}

void MainWindow::SetIcon(WPARAM which, int metric) {
    const int size = GetSystemMetrics(metric);
    const HANDLE icon = LoadImageA(instance_, MAKEINTRESOURCEA(IDI_QORVEL), IMAGE_ICON, size, size, LR_SHARED);
    SendMessageA(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}

int MainWindow::Run() {
    MSG msg{};
    while (hwnd_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (keyboard_.PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

LRESULT MainWindow::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnCreate();
        case kCompleteControls: CompleteControls(); return 0;
        case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        // Every control passes WM_SETCURSOR to its parent first, so the busy
        // pointer answered here covers the whole window.
        case WM_SETCURSOR: return ui::SetCursorFor(hwnd, message, wParam, lParam);
        case WM_ACTIVATE: keyboard_.OnActivate(wParam, Of(layout::Named().tabStrip)); return 0;
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED: return OnColoursChanged(message, wParam, lParam);
        case WM_CLOSE:
            if (waiting_) return 0;  // the elevated copy still writes
            return DefWindowProcA(hwnd, message, wParam, lParam);
        case WM_DESTROY: tooltip_.reset(); return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// What the first paint shows is created with the window: the tab strip, the
// page frames, the header and the About page. The controls of the other
// pages and the tooltips follow right after the first paint (a posted
// message, which comes before any input), or when their page is shown if
// that is sooner; the window opens quicker without them. Then Form_Load: the
// load handler runs before the window is first shown.
LRESULT MainWindow::OnCreate() {
    factory_->LoadPictures();
    const auto& tabs = layout::Tabs();
    if (CreateChildren(nullptr) != ERROR_SUCCESS || CreateChildren(&layout::Named().header) != ERROR_SUCCESS ||
        CreateChildren(&tabs[static_cast<std::size_t>(Frame::frAbout)].page) != ERROR_SUCCESS)
        return -1;
    elevation_ = std::make_unique<ElevatedCopy>(hwnd_, [this](HANDLE process) { WaitForCopy(process); });
    app_ = std::make_unique<Main_App>(*this, elevation_.get());
    app_->Form_Load();
    return 0;
}

void MainWindow::CompleteControls() {
    const auto& tabs = layout::Tabs();
    CreateChildren(&tabs[static_cast<std::size_t>(Frame::frVideo)].page);
    CreateChildren(&tabs[static_cast<std::size_t>(Frame::frFolders)].page);
    if (!tooltip_) tooltip_ = ui::CreateToolTip(hwnd_);
    ShowToolTips();
}

// Containers come before their children, and within each container the
// table runs from the top of the stacking order down, which is the order
// windows stack in when created one after another. A container is whole or
// not there: when one control cannot be created, those made before it go
// again; the next call tries anew.
DWORD MainWindow::CreateChildren(const layout::Control* container) {
    if (std::find(created_.begin(), created_.end(), container) != created_.end()) return ERROR_SUCCESS;
    const HWND parent = container ? Of(*container) : hwnd_;
    std::vector<const layout::Control*> made;
    for (const layout::Control& row : layout::Controls()) {
        if (row.parent != container || row.kind == layout::Kind::Line) continue;  // lines: painted by their container
        DWORD error = ERROR_SUCCESS;
        const HWND created = factory_->Create(row, parent, error);
        if (!created) {
            for (auto undo = made.rbegin(); undo != made.rend(); ++undo) {
                DestroyWindow(Of(**undo));
                children_.Set(**undo, nullptr);
            }
            return error;
        }
        children_.Set(row, created);
        made.push_back(&row);
    }
    created_.push_back(container);
    ShowToolTips();
    return ERROR_SUCCESS;
}

// The tooltip texts of the controls made so far; a control that has its
// tooltip keeps its one entry.
void MainWindow::ShowToolTips() {
    if (!tooltip_) return;
    for (const ChildWindow& child : children_.all())
        if (child.hwnd && child.spec->tooltip[0])
            ui::SetToolText(tooltip_.get(), hwnd_, child.hwnd, child.spec->tooltip);
}

LRESULT MainWindow::OnCommand(int id, int code, HWND from) {
    if (waiting_) return 0;  // one press at a time
    // The accelerator table's access keys: code 1 and no control.
    if (code == 1 && !from) {
        switch (id) {
            case IDM_TAB_ABOUT: ChooseTab(1); break;
            case IDM_TAB_VIDEO: ChooseTab(2); break;
            case IDM_TAB_FOLDERS: ChooseTab(3); break;
            case IDM_EXIT: SendMessageA(Of(layout::Named().exitButton), BM_CLICK, 0, 0); break;
            default: break;
        }
        return 0;
    }
    const layout::Control* row = layout::ById(id);
    if (code == BN_CLICKED && row) app_->Run(row->command);
    return 0;
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE && header.hwndFrom == Of(layout::Named().tabStrip)) app_->TabStrip1_Click();
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
    factory_->LoadPictures();
    SendMessageA(Of(layout::Named().tabStrip), message, wParam, lParam);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
}

void MainWindow::ChooseTab(int number) {
    SelectTab(number);
    SetFocus(Of(layout::Named().tabStrip));
    app_->TabStrip1_Click();
}

void MainWindow::lblVersion(const std::string& caption) {
    SetWindowTextA(Of(layout::Named().version), caption.c_str());
}

// Never a page without its controls: one that cannot be made stays hidden,
// and the user is told why.
void MainWindow::FrameVisible(Frame frame, bool visible) {
    const layout::Control& page = layout::Tabs()[static_cast<std::size_t>(frame)].page;
    const HWND hwnd = Of(page);
    if (!hwnd) return;
    if (visible) {
        if (const DWORD error = CreateChildren(&page)) {
            const std::string message = "This page cannot be shown: its controls could not be created. " +
                                        NumberedError(SystemErrorText(error), error);
            MessageBoxA(hwnd_, message.c_str(), layout::MainWindow().caption, MB_OK | MB_ICONHAND);
            return;
        }
    }
    // A page that hides the focus hands it to the tab strip.
    if (!visible && IsChild(hwnd, GetFocus())) SetFocus(Of(layout::Named().tabStrip));
    ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
}

std::string MainWindow::SelectedTabCaption() const {
    const HWND strip = Of(layout::Named().tabStrip);
    const LRESULT selected = SendMessageA(strip, TCM_GETCURSEL, 0, 0);
    if (selected < 0) return std::string();
    char text[64] = {0};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(strip, TCM_GETITEMA, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item));
    return item.pszText ? std::string(item.pszText) : std::string();
}

// The strip counts its tabs from 0.
void MainWindow::SelectTab(int number) {
    SendMessageA(Of(layout::Named().tabStrip), TCM_SETCURSEL, static_cast<WPARAM>(number - 1), 0);
}

void MainWindow::EndProgram() noexcept {
    if (hwnd_) DestroyWindow(hwnd_);
}

void MainWindow::AVI_Output_Text1(const std::string& text) {
    SetWindowTextA(Of(layout::Named().aviOutput1), text.c_str());
}

void MainWindow::AVI_Output_Text2(const std::string& text) {
    SetWindowTextA(Of(layout::Named().aviOutput2), text.c_str());
}

void MainWindow::AviShield(bool shown) {
    for (const layout::Control* button : {&layout::Named().aviNew, &layout::Named().aviDefault})
        SendMessageA(Of(*button), BCM_SETSHIELD, 0, shown ? TRUE : FALSE);
}

void MainWindow::WaitForCopy(HANDLE process) {
    waiting_ = true;
    ui::WaitAsModal(hwnd_, process);
    waiting_ = false;
}
