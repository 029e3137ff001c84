#include "controls/win32/window_kit.h"

#include <commctrl.h>

#include "controls/units.h"
#include "desktop/mouse_pointer.h"
#include "platform/platform.h"

namespace ui {

namespace {

TTTOOLINFOA ToolInfo(HWND owner, HWND tool) {
    TTTOOLINFOA info{};
    // The size comctl32 5.8 (Windows XP without the manifest) accepts; the
    // full structure of the 0x0501 headers is refused there.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    return info;
}

}  // namespace

bool RegisterWindowClass(const char* name, WNDPROC proc, HCURSOR cursor, UINT style, int bytes) {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(module, name, &wc)) return true;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = bytes;
    wc.hInstance = module;
    wc.hCursor = cursor;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

bool LoadCommonControls(DWORD classes) {
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const auto initialise = reinterpret_cast<InitCommonControlsExFn>(reinterpret_cast<void*>(
        GetProcAddress(platform::LoadSideBySideLibrary("comctl32.dll"), "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX wanted{sizeof wanted, classes};
    return initialise && initialise(&wanted);
}

int ScreenDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

FontOwner CreateLayoutFont(const char* face, int hundredths, int dpi, bool underline) {
    LOGFONTA lf{};
    lf.lfHeight = -units::PointsToPixels(hundredths, dpi);  // negative: the character height
    lf.lfWeight = FW_NORMAL;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfCharSet = ANSI_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return FontOwner(CreateFontIndirectA(&lf));
}

void WaitAsModal(HWND window, HANDLE process) {
    const HWND focus = GetFocus();
    const bool wasEnabled = !EnableWindow(window, FALSE);
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
    if (wasEnabled) EnableWindow(window, TRUE);
    if (focus && IsWindow(focus)) SetFocus(focus);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

LRESULT SetCursorFor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (MousePointer::OnSetCursor()) return TRUE;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

WindowOwner CreateToolTip(HWND window) {
    return WindowOwner(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       GetAncestor(window, GA_ROOT), nullptr /* no menu */, GetModuleHandleA(nullptr),
                                       nullptr));
}

bool SetToolText(HWND tooltip, HWND owner, HWND tool, const std::string& text) {
    if (!tooltip) return false;
    TTTOOLINFOA info = ToolInfo(owner, tool);
    const bool known = SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
    info = ToolInfo(owner, tool);
    if (text.empty()) {
        if (known) SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
        return true;
    }
    info.lpszText = const_cast<char*>(text.c_str());  // copied by the tooltip
    if (known) {
        SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
        return true;
    }
    return SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

}  // namespace ui
