#include "controls/shell_open.h"

#include "controls/process_rights.h"

#ifdef _WIN32
#include <objbase.h>  // COINIT_*
#endif

namespace {

using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFn = void(WINAPI*)();
using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

enum class Com { NotTried, Started, Unavailable };
Com g_com = Com::NotTried;

#ifdef _WIN32
constexpr DesktopShell::Opener kDefaultDesktop = &DesktopShell::Open;
#else
constexpr DesktopShell::Opener kDefaultDesktop = nullptr;
#endif
DesktopShell::Opener g_desktop = kDefaultDesktop;

ShellOpen::Failure SystemFailure(std::int32_t number) {
    std::string description = SystemErrorText(static_cast<DWORD>(number));
    if (description.empty()) description = "The shell could not open the address.";
    return {number, description};
}

}  // namespace

// Once per thread: S_FALSE (COM already running here) is still one
// initialisation to undo; RPC_E_CHANGED_MODE (another apartment type) is
// none.
void ShellOpen::StartCom() {
    if (g_com != Com::NotTried) return;
    g_com = Com::Unavailable;
    const auto initialise = platform::SystemFunction<CoInitializeExFn>("ole32.dll", "CoInitializeEx");
    if (initialise && SUCCEEDED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
        g_com = Com::Started;
}

bool ShellOpen::Open(HWND owner, const std::string& file, Failure& failure) {
    StartCom();
    if (RunsAboveTheUser(QueryProcessRights())) {
        // Elevated, or rights that cannot be read: what this process started
        // would inherit its full rights, and its ShellExecuteA would find the
        // handler through HKCU\Software\Classes, which the user's unelevated
        // processes may write. Only the desktop shell's process opens the
        // address, with the user's normal rights; without it nothing opens.
        HRESULT result = S_OK;
        if (!g_desktop || !g_desktop("open", file.c_str(), SW_SHOWNORMAL, result)) {
            failure = SystemFailure(ERROR_ACCESS_DENIED);
            return false;
        }
        if (SUCCEEDED(result)) return true;
        failure = SystemFailure(static_cast<std::int32_t>(result));
        return false;
    }
    // shell32 is loaded when a link first opens, not with the program: it is
    // the costliest of its DLLs to load.
    const auto execute = platform::SystemFunction<ShellExecuteFn>("shell32.dll", "ShellExecuteA");
    if (!execute) {
        // A shell32 without the entry point says so; one that cannot be
        // loaded at all is the shell's "DLL not found".
        failure = GetLastError() == ERROR_PROC_NOT_FOUND ? SystemFailure(ERROR_PROC_NOT_FOUND)
                                                         : Failure{32, ShellErrorDescription(32)};
        return false;
    }
    const auto code = reinterpret_cast<std::uintptr_t>(
        execute(owner, "open", file.c_str(), nullptr /* parameters */, nullptr /* directory */, SW_SHOWNORMAL));
    // ShellExecuteA reports failure only in its result: a code of 32 or less.
    if (code > 32) return true;
    failure = {static_cast<std::int32_t>(code), ShellErrorDescription(static_cast<std::int32_t>(code))};
    return false;
}

void ShellOpen::UseDesktopShell(DesktopShell::Opener opener) {
    g_desktop = opener ? opener : kDefaultDesktop;
}

void ShellOpen::Shutdown() {
    const bool started = g_com == Com::Started;
    g_com = Com::NotTried;
    if (!started) return;
    if (const auto uninitialise = platform::SystemFunction<CoUninitializeFn>("ole32.dll", "CoUninitialize"))
        uninitialise();
}

std::string ShellErrorDescription(std::int32_t code) {
    // ShellExecuteA's own codes, which mean something else as system error
    // codes (0 would read "The operation completed successfully").
    switch (code) {
        case 0: return "The operating system is out of memory or resources.";
        case 26: return "A sharing violation occurred.";
        case 27: return "The file name association is incomplete or invalid.";
        case 28: return "The request timed out.";
        case 29: return "The DDE transaction failed.";
        case 30:
            return "The DDE transaction could not be completed because other DDE transactions were being processed.";
        case 31: return "There is no application associated with the given file name extension.";
        case 32: return "The specified DLL was not found.";
        default: break;
    }
    // The rest (file or path not found, access denied, out of memory, bad
    // format) are system error codes with the same meaning.
    return SystemFailure(code).description;
}

std::string SystemErrorText(DWORD code) {
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  0 /* default language */, text, sizeof text, nullptr);
    if (length >= sizeof text) length = 0;
    // System texts end in a line break.
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
    return std::string(text, length);
}

std::string NumberedError(const std::string& description, std::int64_t number) {
    return description + " (Error " + std::to_string(number) + ")";
}
