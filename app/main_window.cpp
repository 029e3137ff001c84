#include "app/main_window.h"

#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <utility>

#include "app/control_ids.h"
#include "app/resources/resource.h"
#include "controls/property_set.h"
#include "controls/url_link_window.h"

namespace {

const char kWindowClass[] = "QorvelTweakerMain";
const char kContainerClass[] = "QorvelTweakerFrame";
const char kPictureClass[] = "QorvelTweakerPicture";

bool CanTakeFocus(layout::Kind kind) {
    return kind == layout::Kind::TabStrip || kind == layout::Kind::StatusField || kind == layout::Kind::Button;
}

COLORREF ToColorRef(std::uint32_t ole) {
    if (ole & 0x80000000u) return GetSysColor(static_cast<int>(ole & 0xFF));
    return static_cast<COLORREF>(ole);
}

// The tab control draws its tabs at the bottom correctly only without the
// visual style of common controls 6; uxtheme exists from XP on, so it is
// looked up rather than imported.
void DrawUnthemed(HWND control) {
    HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
    if (!uxtheme) return;
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    const auto fn = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetWindowTheme")));
    if (fn) fn(control, L"", L"");
    // uxtheme stays loaded: the control keeps using it while it lives.
}

}  // namespace

// A picture a picture box shows at its top-left corner: a bitmap, or a GIF
// decoded by the platform (OLE's picture loader shows a GIF's first frame).
class PictureImage {
public:
    ~PictureImage() {
        if (bitmap_) DeleteObject(bitmap_);
        if (picture_) picture_->Release();
    }
    static std::unique_ptr<PictureImage> FromBitmap(HINSTANCE instance, int id) {
        auto image = std::make_unique<PictureImage>();
        image->bitmap_ = static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        return image->bitmap_ ? std::move(image) : nullptr;
    }
    static std::unique_ptr<PictureImage> FromGif(HINSTANCE instance, int id) {
        HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
        if (!found) return nullptr;
        const DWORD size = SizeofResource(instance, found);
        const void* data = LockResource(LoadResource(instance, found));
        if (!data || !size) return nullptr;
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
        if (!copy) return nullptr;
        void* target = GlobalLock(copy);
        CopyMemory(target, data, size);
        GlobalUnlock(copy);
        IStream* stream = nullptr;
        if (FAILED(CreateStreamOnHGlobal(copy, TRUE /* the stream frees the memory */, &stream))) {
            GlobalFree(copy);
            return nullptr;
        }
        auto image = std::make_unique<PictureImage>();
        const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                          reinterpret_cast<void**>(&image->picture_));
        stream->Release();
        return SUCCEEDED(hr) && image->picture_ ? std::move(image) : nullptr;
    }
    void Draw(HDC dc, int dpi) const {
        if (bitmap_) {
            BITMAP info;
            GetObject(bitmap_, sizeof info, &info);
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, bitmap_);
            const int cx = MulDiv(info.bmWidth, dpi, 96), cy = MulDiv(info.bmHeight, dpi, 96);
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, 0, 0, cx, cy, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        } else if (picture_) {
            OLE_XSIZE_HIMETRIC w = 0;
            OLE_YSIZE_HIMETRIC h = 0;
            picture_->get_Width(&w);
            picture_->get_Height(&h);
            const int cx = MulDiv(w, dpi, 2540), cy = MulDiv(h, dpi, 2540);
            picture_->Render(dc, 0, 0, cx, cy, 0, h, w, -h, nullptr);
        }
    }

private:
    HBITMAP bitmap_ = nullptr;
    IPicture* picture_ = nullptr;
};

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    pictures_.clear();
    if (font_) DeleteObject(font_);
    if (verdana_) DeleteObject(verdana_);
    if (faceBrush_) DeleteObject(faceBrush_);
}

bool MainWindow::Create(HINSTANCE instance, int showCommand) {
    instance_ = instance;
    {
        HDC screen = GetDC(nullptr);
        dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        if (dpi_ <= 0) dpi_ = 96;
    }

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QORVEL));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_QORVEL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExA(&wc);

    WNDCLASSEXA frame = wc;
    frame.lpfnWndProc = ContainerProc;
    frame.hIcon = frame.hIconSm = nullptr;
    frame.lpszClassName = kContainerClass;
    RegisterClassExA(&frame);

    WNDCLASSEXA picture = frame;
    picture.lpfnWndProc = PictureProc;
    picture.lpszClassName = kPictureClass;
    RegisterClassExA(&picture);

    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(825, dpi_, 7200);  // 8.25 points
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = ANSI_CHARSET;
    lstrcpynA(lf.lfFaceName, layout::kWindowFont.face, LF_FACESIZE);
    font_ = CreateFontIndirectA(&lf);
    lstrcpynA(lf.lfFaceName, "Verdana", LF_FACESIZE);
    verdana_ = CreateFontIndirectA(&lf);
    faceBrush_ = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

    // A fixed border with a system menu and close box, and no minimise or
    // maximise box; the client area has the layout's size, centred on the
    // work area.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    const auto& w = layout::MainWindow();
    RECT frameRect = {0, 0, Px(w.clientWidth), Px(w.clientHeight)};
    AdjustWindowRectEx(&frameRect, style, FALSE, exStyle);
    const int cx = frameRect.right - frameRect.left, cy = frameRect.bottom - frameRect.top;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + std::max(0L, (work.right - work.left - cx) / 2);
    const int y = work.top + std::max(0L, (work.bottom - work.top - cy) / 2);

    if (!CreateWindowExA(exStyle, kWindowClass, w.caption, style, x, y, cx, cy, nullptr, nullptr, instance, this))
        return false;

    oleReady_ = SUCCEEDED(OleInitialize(nullptr));
    LoadPictures();
    CreateControls();

    app_ = std::make_unique<Main_App>(*this);
    try {
        app_->Form_Load();
    } catch (...) {
        // Start-up shows the window whatever the load handler met.
    }
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(Child("TabStrip1"));
    return true;
}

int MainWindow::Px(int twips) const {
    return layout::ToPixels(twips, dpi_);
}

RECT MainWindow::PixelRect(const layout::Control& c) const {
    return RECT{Px(c.left), Px(c.top), Px(c.left) + Px(c.width), Px(c.top) + Px(c.height)};
}

HWND MainWindow::Child(const char* name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void MainWindow::LoadPictures() {
    pictures_.push_back(PictureImage::FromBitmap(instance_, IDB_BANNER));
    pictures_.push_back(oleReady_ ? PictureImage::FromGif(instance_, IDR_MASCOT_GIF) : nullptr);
    pictures_.push_back(oleReady_ ? PictureImage::FromGif(instance_, IDR_PORTRAIT_GIF) : nullptr);
}

void MainWindow::CreateControls() {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    // Containers first, so their children find them; within each container
    // the table runs from the top of the stacking order down, which is the
    // order windows stack in when created one after another.
    const auto& all = layout::Controls();
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < all.size(); ++i) {
            const auto& c = all[i];
            const bool topLevel = c.container[0] == '\0';
            if ((pass == 0) != topLevel) continue;
            if (c.kind == layout::Kind::Line) continue;  // painted by its frame
            HWND created = CreateControl(c, kFirstControlId + static_cast<int>(i));
            if (!created) continue;
            controls_[c.name] = created;
            specs_[created] = &c;
        }
    }
}

HWND MainWindow::CreateControl(const layout::Control& c, int id) {
    HWND parent = c.container[0] ? Child(c.container) : hwnd_;
    if (!parent) return nullptr;
    const RECT r = PixelRect(c);
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    const DWORD visible = c.visible ? WS_VISIBLE : 0;
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS | visible;
    const char* cls = nullptr;
    DWORD style = child, exStyle = 0;
    HMENU menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    switch (c.kind) {
        case layout::Kind::TabStrip: cls = WC_TABCONTROLA; style |= TCS_BOTTOM | WS_TABSTOP | TCS_FOCUSONBUTTONDOWN; break;
        case layout::Kind::Frame:
        case layout::Kind::BareFrame:
            cls = kContainerClass;
            style |= WS_CLIPCHILDREN;
            exStyle = WS_EX_CONTROLPARENT;
            break;
        case layout::Kind::ReadOnlyText: cls = "EDIT"; style |= ES_MULTILINE | ES_READONLY; break;
        case layout::Kind::StatusField:
            cls = "EDIT";
            style |= ES_AUTOHSCROLL | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case layout::Kind::Button: cls = "BUTTON"; style |= BS_PUSHBUTTON | WS_TABSTOP; break;
        case layout::Kind::Label: cls = "STATIC"; style |= SS_LEFT | SS_NOPREFIX; break;
        case layout::Kind::Picture: cls = kPictureClass; break;
        case layout::Kind::Link: {
            // The link loads its text and address from its stored properties.
            PropertySet stored;
            for (const auto& [key, value] : c.properties) stored.Set(key, value);
            return URLLinkWindow::Create(parent, r.left, r.top, cx, cy, stored, id);
        }
        default: return nullptr;
    }
    HWND hwnd = CreateWindowExA(exStyle, cls, c.caption.c_str(), style, r.left, r.top, cx, cy, parent, menuId,
                                instance_, nullptr);
    if (!hwnd) return nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font.face == std::string("Verdana") ? verdana_ : font_),
                 FALSE);
    if (c.kind == layout::Kind::TabStrip) {
        DrawUnthemed(hwnd);
        int index = 0;
        for (const auto& caption : layout::TabCaptions()) {
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            std::string text = caption;
            item.pszText = &text[0];
            SendMessageA(hwnd, TCM_INSERTITEMA, index++, reinterpret_cast<LPARAM>(&item));
        }
    }
    if (c.kind == layout::Kind::ReadOnlyText) {
        // No margins beyond the edit control's own; the text starts at the
        // box's corner like static text.
        SendMessageA(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    }
    if (c.tooltip[0] && tooltip_) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the size every comctl32 version accepts
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
        tool.lpszText = const_cast<char*>(c.tooltip);
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return hwnd;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    return self->Handle(msg, wParam, lParam);
}

LRESULT MainWindow::Forwarded(HWND from, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == TCN_SELCHANGE && header->hwndFrom == Child("TabStrip1")) {
                try {
                    app_->TabStrip1_Click();
                } catch (...) {
                }
                return 0;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const auto it = specs_.find(reinterpret_cast<HWND>(lParam));
            COLORREF text = GetSysColor(COLOR_BTNTEXT);
            if (it != specs_.end()) {
                if (it->second->kind == layout::Kind::ReadOnlyText) text = GetSysColor(COLOR_WINDOWTEXT);
                if (it->second->foreColour != layout::kNoColour && it->second->kind == layout::Kind::Label)
                    text = ToColorRef(it->second->foreColour);
            }
            SetTextColor(dc, text);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(faceBrush_);
        }
        default: break;
    }
    (void)from;
    handled = false;
    return 0;
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    const LRESULT forwarded = Forwarded(hwnd_, msg, wParam, lParam, handled);
    if (handled) return forwarded;
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !GetFocus()) SetFocus(Child("TabStrip1"));
            return 0;
        case WM_CLOSE: DestroyWindow(hwnd_); return 0;
        case WM_DESTROY:
            if (oleReady_) {
                pictures_.clear();
                OleUninitialize();
                oleReady_ = false;
            }
            PostQuitMessage(0);
            return 0;
        default: return DefWindowProcA(hwnd_, msg, wParam, lParam);
    }
}

LRESULT CALLBACK MainWindow::ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) {
        bool handled = false;
        const LRESULT result = self->Forwarded(hwnd, msg, wParam, lParam, handled);
        if (handled) return result;
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            self->PaintContainer(hwnd, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        if (msg == WM_ERASEBKGND) return 1;  // WM_PAINT fills everything
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void MainWindow::PaintContainer(HWND container, HDC dc) {
    RECT client;
    GetClientRect(container, &client);
    FillRect(dc, &client, faceBrush_);
    const auto it = specs_.find(container);
    if (it == specs_.end()) return;
    const layout::Control& spec = *it->second;
    if (spec.kind == layout::Kind::Frame) {
        // A group box: an etched border with the caption in its top edge.
        HGDIOBJ oldFont = SelectObject(dc, font_);
        SIZE text = {0, 0};
        GetTextExtentPoint32A(dc, spec.caption.c_str(), static_cast<int>(spec.caption.size()), &text);
        RECT border = client;
        border.top += text.cy / 2;
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
        const int pad = MulDiv(2, dpi_, 96);
        RECT label = {MulDiv(8, dpi_, 96), 0, MulDiv(8, dpi_, 96) + text.cx + 2 * pad, text.cy};
        FillRect(dc, &label, faceBrush_);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TextOutA(dc, label.left + pad, 0, spec.caption.c_str(), static_cast<int>(spec.caption.size()));
        SelectObject(dc, oldFont);
    }
    // Lines of this container, beneath its windowed controls: the table lists
    // the topmost first, so they are drawn from the end.
    const auto& all = layout::Controls();
    for (auto line = all.rbegin(); line != all.rend(); ++line) {
        if (line->kind != layout::Kind::Line || spec.name != std::string(line->container)) continue;
        HPEN pen = CreatePen(PS_SOLID, MulDiv(line->lineWidth, dpi_, 96), ToColorRef(line->foreColour));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, Px(line->left), Px(line->top), nullptr);
        LineTo(dc, Px(line->width), Px(line->height));
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

LRESULT CALLBACK MainWindow::PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, self->faceBrush_);
        const auto it = self->specs_.find(hwnd);
        if (it != self->specs_.end()) {
            const auto image = static_cast<std::size_t>(it->second->image);
            if (image >= 1 && image <= self->pictures_.size() && self->pictures_[image - 1])
                self->pictures_[image - 1]->Draw(dc, self->dpi_);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (self && msg == WM_ERASEBKGND) return 1;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void MainWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    const auto& all = layout::Controls();
    const int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(all.size())) return;
    const std::string name = all[static_cast<std::size_t>(index)].name;
    // The handlers report nothing; an error inside one must not unwind
    // through the window procedure.
    try {
        if (name == "Exit_Button")
            app_->Exit_Button_Click();
        else if (name == "AVI_New")
            app_->AVI_New_Click();
        else if (name == "AVI_Default")
            app_->AVI_Default_Click();
        else if (name == "Increase_Folders")
            app_->Increase_Folders_Click();
        else if (name == "Default_Folders")
            app_->Default_Folders_Click();
        else if (name == "Reset_Folders")
            app_->Reset_Folders_Click();
    } catch (...) {
    }
}

void MainWindow::MoveFocus(bool forward) {
    std::vector<std::pair<int, HWND>> order;
    for (const auto& [hwnd, spec] : specs_) {
        if (CanTakeFocus(spec->kind) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
            order.emplace_back(spec->tabIndex, hwnd);
    }
    if (order.empty()) return;
    std::sort(order.begin(), order.end());
    HWND focus = GetFocus();
    // Where the focus sits in the sequence: a control of the table (even one
    // that Tab skips, such as a clicked text area) by its TabIndex.
    int current = -1;
    for (HWND w = focus; w && w != hwnd_; w = GetParent(w)) {
        const auto it = specs_.find(w);
        if (it != specs_.end()) {
            current = it->second->tabIndex;
            break;
        }
    }
    HWND next = nullptr;
    if (forward) {
        for (const auto& entry : order)
            if (entry.first > current) {
                next = entry.second;
                break;
            }
        if (!next) next = order.front().second;
    } else {
        for (auto it = order.rbegin(); it != order.rend(); ++it)
            if (current < 0 || it->first < current) {
                next = it->second;
                break;
            }
        if (!next) next = order.back().second;
    }
    SetFocus(next);
    const auto spec = specs_.find(next);
    if (spec != specs_.end() && spec->second->kind == layout::Kind::StatusField)
        SendMessageA(next, EM_SETSEL, 0, -1);
}

void MainWindow::ChooseTab(int index) {
    HWND tab = Child("TabStrip1");
    SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetFocus(tab);
    try {
        app_->TabStrip1_Click();
    } catch (...) {
    }
}

bool MainWindow::PreTranslate(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
        MoveFocus(GetKeyState(VK_SHIFT) >= 0);
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        const auto it = specs_.find(GetFocus());
        if (it != specs_.end() && it->second->kind == layout::Kind::Button) {
            SendMessageA(it->first, BM_CLICK, 0, 0);
            return true;
        }
    }
    // Alt + an access key: the tabs' A, V, F and Exit's E.
    if (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1L << 29))) {
        switch (msg.wParam) {
            case 'A': ChooseTab(0); return true;
            case 'V': ChooseTab(1); return true;
            case 'F': ChooseTab(2); return true;
            case 'E':
                SendMessageA(Child("Exit_Button"), BM_CLICK, 0, 0);
                return true;
            default: break;
        }
    }
    if (msg.message == WM_SYSCHAR && (msg.lParam & (1L << 29))) {
        // The character message of a key handled above: swallowed, no beep.
        switch (msg.wParam) {
            case 'a': case 'A': case 'v': case 'V': case 'f': case 'F': case 'e': case 'E': return true;
            default: break;
        }
    }
    return false;
}

void MainWindow::lblVersion(const std::string& caption) {
    SetWindowTextA(Child("lblVersion"), caption.c_str());
}

void MainWindow::FrameVisible(Frame frame, bool visible) {
    const char* name = frame == Frame::frAbout ? "frAbout" : frame == Frame::frVideo ? "frVideo" : "frFolders";
    HWND hwnd = Child(name);
    if (!hwnd) return;
    // A page that hides the focus hands it to the tab strip.
    if (!visible && IsChild(hwnd, GetFocus())) SetFocus(Child("TabStrip1"));
    ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
}

std::string MainWindow::SelectedTabCaption() const {
    HWND tab = Child("TabStrip1");
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
    SendMessageA(Child("TabStrip1"), TCM_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
}

void MainWindow::EndProgram() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void MainWindow::AVI_Output_Text1(const std::string& text) {
    SetWindowTextA(Child("AVI_Output_Text1"), text.c_str());
}

void MainWindow::AVI_Output_Text2(const std::string& text) {
    SetWindowTextA(Child("AVI_Output_Text2"), text.c_str());
}
