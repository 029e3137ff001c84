#include "app/main_app.h"

#include "app/layout.h"
#include "app/version.h"
#include "desktop/mouse_pointer.h"
#include "platform/names.h"
#include "tweaks/folders_page.h"
#include "tweaks/video_page.h"

namespace {

constexpr char kShellKeyRoot[] = "Software\\Microsoft\\Windows";
constexpr char kShellSubkey[] = "Shell";
constexpr char kShellNoRoamSubkey[] = "ShellNoRoam";

void Aim(RegistryRoutines& object, HKEY root, const char* keyRoot, const char* subkey) {
    object.hKey(root);
    object.KeyRoot(keyRoot);
    object.Subkey(subkey);
}

}  // namespace

std::string Main_App::VersionCaption(std::uint16_t major, std::uint16_t minor, std::uint16_t revision) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

void Main_App::Form_Load() {
    view_.lblVersion(VersionCaption(QT_VERSION_MAJOR, QT_VERSION_MINOR, QT_VERSION_REVISION));

    // Aiming stores a target only; nothing is opened here.
    VideoPage::Aim(avi_, CurrentRegistryViews());
    Aim(ShellKey_, HKEY_CURRENT_USER, kShellKeyRoot, kShellSubkey);
    Aim(ShellNoRoamKey_, HKEY_CURRENT_USER, kShellKeyRoot, kShellNoRoamSubkey);

    // The tab control does not notify when selected from code, least of all
    // when tab 1 already counts as selected; so the click logic runs here, and
    // the window always opens on the About page alone.
    view_.SelectTab(1);
    TabStrip1_Click();
}

void Main_App::TabStrip1_Click() {
    using Frame = MainView::Frame;
    const std::string caption = names::LowerCase(view_.SelectedTabCaption());
    const auto& tabs = layout::Tabs();
    for (std::size_t chosen = 0; chosen < tabs.size(); ++chosen) {
        if (caption != names::LowerCase(tabs[chosen].caption)) continue;
        // The other two pages are hidden first, in the tabs' order.
        for (std::size_t other = 0; other < tabs.size(); ++other)
            if (other != chosen) view_.FrameVisible(static_cast<Frame>(other), false);
        view_.FrameVisible(static_cast<Frame>(chosen), true);
        if (static_cast<Frame>(chosen) == Frame::frVideo) RefreshAviStatus();
        return;
    }
}

void Main_App::Run(layout::Command command) {
    using layout::Command;
    switch (command) {
        case Command::None: break;
        case Command::Exit: Exit_Button_Click(); break;
        case Command::AviNew: AVI_New_Click(); break;
        case Command::AviDefault: AVI_Default_Click(); break;
        case Command::IncreaseFolders: Increase_Folders_Click(); break;
        case Command::DefaultFolders: Default_Folders_Click(); break;
        case Command::ResetFolders: Reset_Folders_Click(); break;
    }
}

void Main_App::Exit_Button_Click() noexcept {
    view_.EndProgram();
}

void Main_App::AVI_New_Click() {
    VideoPage::AVI_New_Click(avi_, view_, elevation_);
}

void Main_App::AVI_Default_Click() {
    VideoPage::AVI_Default_Click(avi_, view_, elevation_);
}

void Main_App::RefreshAviStatus() {
    VideoPage::RefreshAviStatus(avi_, view_, elevation_);
}

void Main_App::Increase_Folders_Click() {
    FoldersPage::Increase_Folders_Click(ShellKey_, ShellNoRoamKey_);
}

void Main_App::Default_Folders_Click() {
    FoldersPage::Default_Folders_Click(ShellKey_, ShellNoRoamKey_);
}

void Main_App::Reset_Folders_Click() {
    // A large store of views takes seconds to delete.
    const MousePointer::Busy busy;
    FoldersPage::Reset_Folders_Click();
}
