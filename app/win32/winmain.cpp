// The program's entry point: the main window is the start-up object; there
// is no other start-up logic, except for the elevated copy that makes the
// Video page's writes (app/elevated_copy.h), which is recognised first.
#include <windows.h>
#include <commctrl.h>  // ICC_*

#include "app/elevated_copy.h"
#include "app/win32/main_window.h"
#include "controls/shell_open.h"
#include "controls/win32/window_kit.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    // Before anything else: no DLL from the program's folder or the current
    // one. The elevated copy then makes its writes and ends, having loaded
    // nothing the program does not import.
    platform::RestrictDllSearch();
    if (const auto action = ElevatedCopy::ActionOf(commandLine)) return ElevatedCopy::Run(*action);

    // Before any window exists: uxtheme loaded from the system folder before
    // the common controls (loaded here, not imported) look for it by name
    // for themes: they then find it loaded.
    platform::LoadSystemLibrary("uxtheme.dll");
    ui::LoadCommonControls(ICC_TAB_CLASSES | ICC_BAR_CLASSES);

    // COM, if a link or assistive technology started it, ends after the
    // window.
    const ShellOpen::ComScope com;
    MainWindow window;
    if (!window.Create(instance, showCommand)) return 1;
    return window.Run();
}
