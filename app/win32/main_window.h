// MainWindow: the program's one window, Main_App's view made of real Win32
// controls. It registers, creates and centres the window, has the controls
// of the layout table (app/layout.h) made by ControlFactory
// (app/win32/control_factory.h) container by container (the hidden pages' just
// after the first paint), runs Form_Load while it is created, and routes:
// the buttons' clicks (each row's command) and the tab strip's selection to
// Main_App, the access keys to the tabs and the Exit button, Main_App's view
// calls to the controls. It runs the program's message loop, which ends when
// the window is gone. The containers are Panels (app/win32/panel.h); the keyboard
// is KeyboardNavigation's (app/win32/keyboard_navigation.h).
//
// Messages reach the window through ui::RoutedProc (controls/win32/window_kit.h):
// the window is an object bound at WM_NCCREATE and released at WM_NCDESTROY.
//
// Ownership: the window owns its controls, the factory with their fonts and
// pictures, the tooltips and the Main_App behind it; all are released when
// the window is destroyed. Destroying the window ends the message loop.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/win32/child_windows.h"
#include "app/win32/control_factory.h"
#include "app/elevated_copy.h"
#include "app/win32/keyboard_navigation.h"
#include "app/layout.h"
#include "app/main_app.h"
#include "app/main_view.h"
#include "controls/win32/window_kit.h"

class MainWindow final : public MainView {
public:
    MainWindow() = default;
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its controls (running Form_Load) and shows it.
    // False when the window could not be created.
    bool Create(HINSTANCE instance, int showCommand);
    // The program's message loop, until the window is gone (also when it was
    // closed inside another loop, the shell's while a link opens). The exit
    // code.
    int Run();
    HWND hwnd() const { return hwnd_; }

    // MainView
    void lblVersion(const std::string& caption) override;
    void FrameVisible(Frame frame, bool visible) override;
    std::string SelectedTabCaption() const override;
    void SelectTab(int number) override;
    void EndProgram() noexcept override;
    void AVI_Output_Text1(const std::string& text) override;
    void AVI_Output_Text2(const std::string& text) override;
    void AviShield(bool shown) override;

    // Routing (ui::RoutedProc).
    static MainWindow* Attach(HWND hwnd, const CREATESTRUCTA& create);
    static void Detach(MainWindow* self);
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // The program's icon at the size of `metric` as the window's icon `which`.
    void SetIcon(WPARAM which, int metric);
    LRESULT OnCreate();
    LRESULT OnCommand(int id, int code, HWND from);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT OnControlColour(HDC dc, HWND control);
    LRESULT OnColoursChanged(UINT message, WPARAM wParam, LPARAM lParam);

    // Posted after the first paint: creates what OnCreate left out.
    static constexpr UINT kCompleteControls = WM_APP + 1;
    void CompleteControls();
    // The controls inside `container` (nullptr: the window's own), once.
    // ERROR_SUCCESS, or the error of the call that failed.
    DWORD CreateChildren(const layout::Control* container);
    void ShowToolTips();
    HWND Of(const layout::Control& row) const { return children_.Of(row); }
    // Selects tab `number` (from 1) as a click on it would.
    void ChooseTab(int number);
    // Until the elevated copy's process ends: the window paints, takes no
    // input and runs no command.
    void WaitForCopy(HANDLE process);

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    std::unique_ptr<ControlFactory> factory_;
    ui::WindowOwner tooltip_;
    ChildWindows children_;
    std::vector<const layout::Control*> created_;  // containers whose controls exist (nullptr: the window's own)
    KeyboardNavigation keyboard_{children_};
    std::unique_ptr<ElevatedCopy> elevation_;
    std::unique_ptr<Main_App> app_;
    bool waiting_ = false;  // for the elevated copy
};
