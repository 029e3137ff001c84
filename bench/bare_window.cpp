// The start-up benchmark's baseline: a bare Win32 program that registers one
// window class, creates one fixed-size window, shows and paints it, and
// runs a message loop. Built with the same compiler, flags and static
// runtime as the program it is compared with.
//
// Command line:
//   (none)  the baseline, titled "Bare Window";
//   dlls    the same, after loading the system DLLs the program loads at
//           start beyond this one's (registry, common controls, visual
//           styles; the shell only when a link opens): tells how much of
//           the difference those DLLs make. Loaded at run time, so that the
//           baseline's import table stays bare;
//   keeper  titled "BenchDesktopKeeper": kept open during the measurement so
//           that Wine's desktop process stays up between runs, as a Windows
//           desktop does.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
            TextOutA(dc, 8, 8, "Bare window", 11);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void LoadProgramDlls() {
    LoadLibraryA("advapi32.dll");
    LoadLibraryA("comctl32.dll");
    LoadLibraryA("uxtheme.dll");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QorvelBenchBareWindow";
    if (!RegisterClassExA(&wc)) return 1;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    // lstrcmpA, not std::string: the baseline stays free of the C++ library.
    const char* mode = commandLine ? commandLine : "";
    if (lstrcmpA(mode, "dlls") == 0) LoadProgramDlls();
    const char* title = lstrcmpA(mode, "keeper") == 0 ? "BenchDesktopKeeper" : "Bare Window";
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, title, style, CW_USEDEFAULT, CW_USEDEFAULT, 480, 360, nullptr,
                                nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, showCommand);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
