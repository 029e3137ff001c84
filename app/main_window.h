// MainWindow: the program's one window, Main_App's view made of real Win32
// controls. It registers, creates and centres the window, makes the
// controls of the layout table (app/layout.h) at the system DPI (the hidden
// pages' controls just after the first paint), runs Form_Load while it is
// created, and routes: the buttons' clicks and the tab strip's selection to
// the Main_App handlers, the access keys to the tabs and the Exit button,
// Main_App's view calls to the controls. The containers are Panels
// (app/panel.h); the keyboard is KeyboardNavigation's
// (app/keyboard_navigation.h).
//
// Messages reach the window through ui::RoutedProc (controls/window_kit.h):
// the window is an object bound at WM_NCCREATE and released at WM_NCDESTROY.
//
// Ownership: the window owns its controls, fonts, pictures and the
// Main_App behind it; all are released when the window is destroyed.
// Destroying the window ends the message loop.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/child_windows.h"
#include "app/elevated_copy.h"
#include "app/keyboard_navigation.h"
#include "app/layout.h"
#include "app/main_app.h"
#include "app/main_view.h"
#include "app/picture.h"
#include "controls/window_kit.h"

class MainWindow final : public MainView {
public:
    MainWindow();
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its controls (running Form_Load) and shows it.
    // False when the window could not be created.
    bool Create(HINSTANCE instance, int showCommand);
    // The window's keyboard interface, for the message loop: true when the
    // message was consumed (the loop then neither translates nor dispatches
    // it).
    bool PreTranslate(MSG& msg) { return keyboard_.PreTranslate(msg); }
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
    using Command = void (Main_App::*)();

    LRESULT OnCreate();
    LRESULT OnCommand(int id, int code, HWND from);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT OnControlColour(HDC dc, HWND control);
    LRESULT OnSetCursor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnColoursChanged(UINT message, WPARAM wParam, LPARAM lParam);

    // Posted after the first paint: creates what CreateControls left out.
    static constexpr UINT kCompleteControls = WM_APP + 1;
    bool CreateControls();
    void CompleteControls();
    bool CreateChildren(const char* container);
    HWND CreateControl(const layout::Control& row);
    void Bind(const layout::Control& row, HWND hwnd);
    HFONT FontFor(const layout::Font& font);
    void LoadPictures();
    void ReportPageFailure(DWORD error);
    int Px(int twips) const;
    // Selects tab `number` (from 1) as a click on it would.
    void ChooseTab(int number);
    // Until the elevated copy's process ends: the window paints, takes no
    // input and runs no command.
    void WaitForCopy(HANDLE process);

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    int dpi_ = 96;
    std::array<std::unique_ptr<Picture>, 4> pictures_;  // by layout::Image
    std::vector<std::pair<layout::Font, ui::FontOwner>> fonts_;
    ui::WindowOwner tooltip_;
    ChildWindows children_;
    std::vector<Command> commands_;     // a click's handler, by row; nullptr for none
    std::vector<std::string> created_;  // containers whose controls exist ("": the window's own)
    KeyboardNavigation keyboard_{children_};
    std::unique_ptr<ElevatedCopy> elevation_;
    std::unique_ptr<Main_App> app_;
    bool waiting_ = false;  // for the elevated copy

    // The controls the window talks to, bound as they are created.
    HWND tabStrip_ = nullptr, exitButton_ = nullptr, lblVersion_ = nullptr;
    HWND aviOutputText1_ = nullptr, aviOutputText2_ = nullptr, aviNew_ = nullptr, aviDefault_ = nullptr;
    std::array<HWND, 3> pages_{};  // by MainView::Frame
};
