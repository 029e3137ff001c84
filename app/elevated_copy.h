// ElevatedCopy: the Video page's writes that the user's rights refuse, made
// by a second, short-lived copy of the program started with the rights UAC
// grants after asking (the consent prompt for an administrator, the
// credentials prompt for a standard user). The program itself always runs
// with the user's own rights.
//
// The copy is this executable started with one fixed argument naming the
// action (Argument); WinMain recognises it before anything else (ActionOf)
// and then does nothing but that action's writes (Run): no window, no common
// controls, no shell, no COM. Its exit code is the writes' status.
//
// Ownership: the process handle of the copy is closed on every path. The
// owner window is borrowed. Nothing here throws.
#pragma once

#include <functional>
#include <optional>

#include "platform/platform.h"
#include "tweaks/video_page.h"

class ElevatedCopy final : public VideoPage::AviElevation {
public:
    // Waits for the copy's process to end while the owner window keeps
    // painting and takes no command of the user.
    using Wait = std::function<void(HANDLE process)>;

    ElevatedCopy(HWND owner, Wait wait) : owner_(owner), wait_(std::move(wait)) {}

    // Only where the process token is not elevated and Windows offers
    // elevation: not on Windows XP, not when the program already runs with
    // full rights.
    bool CanAsk() override;
    // Starts the copy with the verb "runas", owned by the owner window, and
    // waits for it under the busy pointer. A declined prompt or a copy that
    // cannot start shows nothing.
    void WriteRaised(VideoPage::Action action) override;

    // The command-line argument that names `action`.
    static const char* Argument(VideoPage::Action action);
    // The action a command line (WinMain's, without the program's name)
    // names: exactly one of the two arguments, with nothing around it but
    // blanks. Any other command line names none.
    static std::optional<VideoPage::Action> ActionOf(const char* commandLine);
    // The copy's whole work: the action's writes, with the keys aimed as the
    // window aims them. 0 when every write succeeded, else the Win32 status
    // of the first that failed.
    static int Run(VideoPage::Action action);

private:
    HWND owner_;
    Wait wait_;
};
