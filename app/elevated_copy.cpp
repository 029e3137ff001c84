#include "app/elevated_copy.h"

#ifdef _WIN32
#include <shellapi.h>  // SHELLEXECUTEINFOA; the function is looked up, not imported
#endif

#include <cstring>
#include <string>

#include "controls/process_rights.h"
#include "desktop/mouse_pointer.h"

namespace {

using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);

constexpr char kNewArgument[] = "/avi-new";
constexpr char kDefaultArgument[] = "/avi-default";

// A full path of the system's; "" when it cannot be had whole.
template <class Fill>
std::string PathFrom(Fill fill) {
    char path[MAX_PATH];
    const DWORD length = fill(path, static_cast<DWORD>(sizeof path));
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

}  // namespace

bool ElevatedCopy::CanAsk() {
    return CanAskForElevation(QueryProcessRights());
}

void ElevatedCopy::WriteRaised(VideoPage::Action action) {
    // This very executable, by its full path; started in the system folder,
    // so that the elevated copy's current folder is none the user can
    // write to.
    const std::string program = PathFrom([](char* p, DWORD n) { return GetModuleFileNameA(nullptr, p, n); });
    const std::string folder = PathFrom([](char* p, DWORD n) { return GetSystemDirectoryA(p, n); });
    const auto execute = platform::SystemFunction<ShellExecuteExFn>("shell32.dll", "ShellExecuteExA");
    if (program.empty() || !execute) return;
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // The process handle to wait for; no box of the shell's when the user
    // declines (ERROR_CANCELLED) or the copy cannot start.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner_;
    info.lpVerb = "runas";
    info.lpFile = program.c_str();
    info.lpParameters = Argument(action);
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_HIDE;
    if (!execute(&info) || !info.hProcess) return;
    const HandleOwner process(info.hProcess);
    const MousePointer::Busy busy;
    wait_(process.get());
}

const char* ElevatedCopy::Argument(VideoPage::Action action) {
    return action == VideoPage::Action::New ? kNewArgument : kDefaultArgument;
}

std::optional<VideoPage::Action> ElevatedCopy::ActionOf(const char* commandLine) {
    if (!commandLine) return std::nullopt;
    std::string line(commandLine);
    const char* const blanks = " \t";
    const std::size_t first = line.find_first_not_of(blanks);
    if (first == std::string::npos) return std::nullopt;
    line = line.substr(first, line.find_last_not_of(blanks) - first + 1);
    for (const auto action : {VideoPage::Action::New, VideoPage::Action::Default})
        if (line == Argument(action)) return action;
    return std::nullopt;
}

int ElevatedCopy::Run(VideoPage::Action action) {
    VideoPage::AviKeys keys;
    VideoPage::Aim(keys, CurrentRegistryViews());
    return static_cast<int>(VideoPage::WriteValues(action, keys));
}
