// MainWindow: the program's one window, Main_App's view made of real Win32
// controls. It creates every control from the layout table (app/layout.h) at
// the monitor's DPI, routes the controls' notifications to the Main_App
// handlers, and does the keyboard work a dialog manager would: Tab along the
// global TabIndex sequence, Alt+A/V/F for the tabs, Alt+E for Exit.
//
// Ownership: the window owns its controls, fonts, brushes, pictures and the
// Main_App behind it; all are released when the window is destroyed.
// Destroying the window ends the message loop.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/layout.h"
#include "app/main_app.h"
#include "app/main_view.h"

class MainWindow : public MainView {
public:
    MainWindow();
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its controls and runs Form_Load; the window is
    // shown afterwards. False when the window could not be created.
    bool Create(HINSTANCE instance, int showCommand);
    // Handles the window's keyboard interface; true when the message was
    // consumed (the message loop then neither translates nor dispatches it).
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

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    // Messages every container passes on to the window: notifications and
    // colours of the controls inside it.
    LRESULT Forwarded(HWND from, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    void CreateControls();
    HWND CreateControl(const layout::Control& control, int id);
    HWND Child(const char* name) const;
    RECT PixelRect(const layout::Control& control) const;
    int Px(int twips) const;
    void OnCommand(int id, int code);
    void PaintContainer(HWND container, HDC dc);
    void MoveFocus(bool forward);
    void ChooseTab(int index);
    void LoadPictures();

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    int dpi_ = 96;
    HFONT font_ = nullptr;
    HFONT verdana_ = nullptr;
    HBRUSH faceBrush_ = nullptr;
    HWND tooltip_ = nullptr;
    std::map<std::string, HWND> controls_;  // by layout name
    std::map<HWND, const layout::Control*> specs_;
    std::vector<std::unique_ptr<class PictureImage>> pictures_;
    std::unique_ptr<Main_App> app_;
    bool oleReady_ = false;
};
