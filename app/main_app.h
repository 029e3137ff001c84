// Main_App: the main window's behaviour, free of any window. It owns the
// three registry access objects the tweak pages work through and routes the
// window's events to the page handlers.
//
// Ownership: the view is borrowed and must outlive the object. The registry
// objects hold targets only, never an open handle, so start-up and tab
// switching to About or Folders touch no registry key.
//
// Errors: the handlers check no results and show no message; ending the
// program ignores any error.
#pragma once

#include <cstdint>
#include <string>

#include "app/layout.h"
#include "app/main_view.h"
#include "registry/registry_routines.h"

class Main_App {
public:
    // `elevation`, when given, makes the Video page's writes that the user's
    // rights refuse (it must outlive the object).
    explicit Main_App(MainView& view, VideoPage::AviElevation* elevation = nullptr)
        : view_(view), elevation_(elevation) {}

    Main_App(const Main_App&) = delete;
    Main_App& operator=(const Main_App&) = delete;

    // Start-up: the version caption, the registry objects' targets, then
    // tab 1 (About), whose page is then the only one shown.
    void Form_Load();
    // Shows the page whose tab caption (layout::Tabs, compared lower-cased)
    // is selected and hides the other two; the Video page re-reads its status
    // fields. Other captions change nothing.
    void TabStrip1_Click();
    // Ends the program at once, without asking; the view lets no error of
    // ending out.
    void Exit_Button_Click() noexcept;

    // A click on a button: the handler of its row's command (nothing for
    // None).
    void Run(layout::Command command);

    // The Video page's buttons and readout, on AviKey.
    void AVI_New_Click();
    void AVI_Default_Click();
    void RefreshAviStatus();
    // The Folders page's buttons, on ShellKey and ShellNoRoamKey.
    void Increase_Folders_Click();
    void Default_Folders_Click();
    void Reset_Folders_Click();

    // HKEY_LOCAL_MACHINE\Software\Classes\CLSID\{87D62D94-...}\InProcServer32,
    // in the view the shell reads (and the 32-bit programs' copy).
    const RegistryRoutines& AviKey() const { return avi_.AviKey; }
    const VideoPage::AviKeys& AviKeys() const { return avi_; }
    // HKEY_CURRENT_USER\Software\Microsoft\Windows\Shell.
    const RegistryRoutines& ShellKey() const { return ShellKey_; }
    // HKEY_CURRENT_USER\Software\Microsoft\Windows\ShellNoRoam.
    const RegistryRoutines& ShellNoRoamKey() const { return ShellNoRoamKey_; }

    // "Version " and major.minor.revision in plain decimal ("Version 0.3.6").
    static std::string VersionCaption(std::uint16_t major, std::uint16_t minor, std::uint16_t revision);

private:
    MainView& view_;
    VideoPage::AviElevation* elevation_;
    VideoPage::AviKeys avi_;
    RegistryRoutines ShellKey_;
    RegistryRoutines ShellNoRoamKey_;
};
