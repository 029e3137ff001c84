// MainWindow: the program's one window, Main_App's view made of real Win32
// controls. It creates every control from the layout table (app/layout.h) at
// the monitor's DPI (the hidden pages' controls just after the first paint),
// runs Form_Load while it is created, dispatches the
// buttons' clicks and the tab strip's selection to the Main_App handlers, and
// does the keyboard work of the window: Tab along the layout's TabIndex
// sequence, Enter on a button, and the access keys of its accelerator table
// (Alt+A/V/F for the tabs, Alt+E for Exit).
//
// Messages reach the window, its page frames and its picture boxes through
// ui::RoutedProc (controls/window_kit.h): the window and each frame or box is
// an object bound at WM_NCCREATE and released at WM_NCDESTROY.
//
// Ownership: the window owns its controls, fonts, pictures and the
// Main_App behind it; all are released when the window
// is destroyed. Destroying the window ends the message loop.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

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
    bool PreTranslate(MSG& msg);
    HWND hwnd() const { return hwnd_; }

    // MainView
    void lblVersion(const std::string& caption) override;
    void FrameVisible(Frame frame, bool visible) override;
    std::string SelectedTabCaption() const override;
    void SelectTab(int index) override;
    void EndProgram() override;
    void AVI_Output_Text1(const std::string& text) override;
    void AVI_Output_Text2(const std::string& text) override;

    // Routing (ui::RoutedProc).
    static MainWindow* Attach(HWND hwnd, const CREATESTRUCTA& create);
    static void Detach(MainWindow* self);
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    class Panel;
    using Command = void (Main_App::*)();
    // A control made from the layout table.
    struct Child {
        HWND hwnd;
        const layout::Control* spec;
        Command command;  // the handler its click runs, or nullptr
    };

    LRESULT OnCreate();
    LRESULT OnCommand(int id, int code, HWND from);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT OnControlColour(HDC dc, HWND control);
    LRESULT OnSetCursor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam);
    LRESULT OnColoursChanged(UINT message, WPARAM wParam, LPARAM lParam);

    // Posted after the first paint: creates what CreateControls left out.
    static constexpr UINT kCompleteControls = WM_APP + 1;
    bool CreateControls();
    void CompleteControls();
    bool CreateChildren(const char* container);
    void LoadPictures();
    void ReportPageFailure(DWORD error);
    HWND CreateControl(const layout::Control& control, int id);
    const Child* Find(HWND hwnd) const;
    HWND Control(const char* name) const;
    int Px(int twips) const;
    void MoveFocus(bool forward);
    void ChooseTab(int index);

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    HACCEL accelerators_ = nullptr;
    int dpi_ = 96;
    std::array<std::unique_ptr<Picture>, 4> pictures_;  // by layout::Image
    ui::FontOwner font_;
    ui::FontOwner verdana_;
    HWND tooltip_ = nullptr;
    HWND focusWhenInactive_ = nullptr;
    std::vector<Child> children_;
    std::vector<std::string> created_;  // containers whose controls exist ("": the window's own)
    std::vector<std::unique_ptr<Panel>> panels_;
    std::unique_ptr<Main_App> app_;
};
