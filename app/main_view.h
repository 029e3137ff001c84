// MainView: the window as the main window's handlers see it. The Win32
// window implements it with real controls; tests implement it with a
// recording fake. Texts are in the system ANSI code page.
//
// It extends the Video page's view with what start-up, tab switching and
// exit need: the version caption, the three page frames, the tab strip's
// selection and ending the program.
#pragma once

#include <string>

#include "tweaks/video_page.h"

class MainView : public AviStatusView {
public:
    // The three page frames, one per tab, in the order of the tabs
    // (layout::Tabs).
    enum class Frame { frAbout, frVideo, frFolders };

    // Caption of the label lblVersion.
    virtual void lblVersion(const std::string& caption) = 0;
    // Shows or hides one page frame.
    virtual void FrameVisible(Frame frame, bool visible) = 0;
    // Caption of TabStrip1's selected tab, access-key "&" included.
    virtual std::string SelectedTabCaption() const = 0;
    // Makes tab `index` (1-based) of TabStrip1 the selected one. It must not
    // run the tab-click handler itself: a tab control does not notify when
    // selected from code, and the caller runs that handler afterwards.
    virtual void SelectTab(int index) = 0;
    // Ends the program; the window does no unload processing of its own,
    // and nothing that goes wrong while it ends reaches the caller.
    virtual void EndProgram() noexcept = 0;
};
