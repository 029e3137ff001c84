// The shell and environment of the in-memory stand-in: environment variables
// and their expansion, the computer's name, message boxes and shell opens
// (recorded, never shown or started), and the system message texts.
#ifndef _WIN32

#include <algorithm>
#include <cstring>

#include "standin_state.h"

using namespace standin::detail;

DWORD ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize) {
    Enter("ExpandEnvironmentStringsA");
    std::string out;
    const std::string src = lpSrc ? lpSrc : "";
    for (std::size_t i = 0; i < src.size();) {
        if (src[i] == '%') {
            const std::size_t end = src.find('%', i + 1);
            if (end != std::string::npos) {
                auto it = S().env.find(src.substr(i + 1, end - i - 1));
                if (it != S().env.end()) {
                    out += it->second;
                    i = end + 1;
                    continue;
                }
                // An unknown name stays as written; its closing '%' may open
                // the next reference.
                out.append(src, i, end - i);
                i = end;
                continue;
            }
        }
        out += src[i++];
    }
    const DWORD needed = static_cast<DWORD>(out.size() + 1);
    if (lpDst && nSize >= needed) std::memcpy(lpDst, out.c_str(), needed);
    return needed;
}

BOOL SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue) {
    Enter("SetEnvironmentVariableA");
    if (!lpName || !*lpName) return FALSE;
    if (lpValue)
        S().env[lpName] = lpValue;
    else
        S().env.erase(lpName);
    return TRUE;
}

DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
    Enter("GetEnvironmentVariableA");
    auto it = S().env.find(lpName ? lpName : "");
    if (it == S().env.end()) return 0;
    const DWORD len = static_cast<DWORD>(it->second.size());
    if (!lpBuffer || nSize <= len) return len + 1;
    std::memcpy(lpBuffer, it->second.c_str(), len + 1);
    return len;
}

DWORD GetCurrentProcessId() {
    return 4242;
}

namespace {
DWORD g_lastError = 0;
}  // namespace

DWORD GetLastError() {
    return g_lastError;
}

void SetLastError(DWORD dwErrCode) {
    g_lastError = dwErrCode;
}

BOOL GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) {
    const DWORD len = sizeof(kLocalName) - 1;
    if (!nSize) return FALSE;
    if (!lpBuffer || *nSize <= len) {
        *nSize = len + 1;
        return FALSE;
    }
    std::memcpy(lpBuffer, kLocalName, len + 1);
    *nSize = len;
    return TRUE;
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    Enter("MessageBoxA");
    S().boxes.push_back({hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType});
    return IDOK;
}

namespace {
HCURSOR g_cursor = nullptr;
}  // namespace

HWND GetActiveWindow() {
    return S().activeWindow;
}

DWORD GetCurrentThreadId() {
    return 4243;
}

BOOL EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam) {
    Enter("EnumThreadWindows");
    if (dwThreadId != GetCurrentThreadId()) return FALSE;
    const auto windows = S().threadWindows;  // the callback may change them
    for (const auto& window : windows)
        if (!lpfn(window.hwnd, lParam)) break;
    return TRUE;
}

namespace {
const standin::ThreadWindow* FindThreadWindow(HWND hWnd) {
    for (const auto& window : S().threadWindows)
        if (window.hwnd == hWnd) return &window;
    return nullptr;
}
}  // namespace

BOOL IsWindowVisible(HWND hWnd) {
    const auto* window = FindThreadWindow(hWnd);
    return window && window->visible;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
    const auto* window = FindThreadWindow(hWnd);
    return window && uCmd == GW_OWNER ? window->owner : nullptr;
}

// A cursor handle is its resource number: enough to tell the hourglass from
// the arrow.
HCURSOR LoadCursorA(HINSTANCE, LPCSTR lpCursorName) {
    return reinterpret_cast<HCURSOR>(const_cast<char*>(lpCursorName));
}

HCURSOR SetCursor(HCURSOR hCursor) {
    const HCURSOR previous = g_cursor;
    g_cursor = hCursor;
    return previous;
}

HCURSOR GetCursor() {
    return g_cursor;
}

HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        int nShowCmd) {
    Enter("ShellExecuteA");
    auto text = [](LPCSTR s) { return s ? std::string(s) : std::string("<null>"); };
    S().shells.push_back({hwnd, text(lpOperation), text(lpFile), text(lpParameters), text(lpDirectory), nShowCmd});
    return reinterpret_cast<HINSTANCE>(S().shellResult);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Enter("PostMessageA");
    S().posted.push_back({hWnd, Msg, wParam, lParam});
    return TRUE;
}

// The process token and started processes: handles of their own kinds,
// counted among the open handles until closed.

namespace {
const HANDLE kToken = reinterpret_cast<HANDLE>(std::uintptr_t{0x7000});
const HANDLE kProcess = reinterpret_cast<HANDLE>(std::uintptr_t{0x7100});
}  // namespace

BOOL ShellExecuteExA(SHELLEXECUTEINFOA* pExecInfo) {
    Enter("ShellExecuteExA");
    if (!pExecInfo || pExecInfo->cbSize != sizeof(SHELLEXECUTEINFOA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto text = [](LPCSTR s) { return s ? std::string(s) : std::string("<null>"); };
    const SHELLEXECUTEINFOA& i = *pExecInfo;
    S().shells.push_back(
        {i.hwnd, text(i.lpVerb), text(i.lpFile), text(i.lpParameters), text(i.lpDirectory), i.nShow, i.fMask});
    pExecInfo->hProcess = nullptr;
    if (!S().elevationAccepted) {
        SetLastError(ERROR_CANCELLED);
        return FALSE;
    }
    if (i.fMask & SEE_MASK_NOCLOSEPROCESS) {
        ++S().processes;
        pExecInfo->hProcess = kProcess;
    }
    return TRUE;
}

BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
    if (hProcess != kProcess || S().processes == 0 || !lpExitCode) return FALSE;
    *lpExitCode = S().copyExitCode;
    return TRUE;
}

DWORD GetModuleFileNameA(HINSTANCE hModule, LPSTR lpFilename, DWORD nSize) {
    static const char kProgram[] = "C:\\Program Files\\Qorvel Tweaker\\qorvel-tweaker.exe";
    if (hModule || !lpFilename || nSize == 0) return 0;
    // Windows cuts a name that does not fit and answers the buffer's size.
    const DWORD length = static_cast<DWORD>(std::min<std::size_t>(sizeof kProgram - 1, nSize - 1));
    std::memcpy(lpFilename, kProgram, length);
    lpFilename[length] = '\0';
    return length == sizeof kProgram - 1 ? length : nSize;
}

UINT GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) {
    static const char kSystem[] = "C:\\WINDOWS\\system32";
    if (!lpBuffer || uSize < sizeof kSystem) return sizeof kSystem;
    std::memcpy(lpBuffer, kSystem, sizeof kSystem);
    return sizeof kSystem - 1;
}

BOOL IsWow64Process(HANDLE hProcess, BOOL* Wow64Process) {
    if (hProcess != GetCurrentProcess() || !Wow64Process) return FALSE;
    *Wow64Process = S().wow64 ? TRUE : FALSE;
    return TRUE;
}

HANDLE GetCurrentProcess() {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
}

BOOL OpenProcessToken(HANDLE ProcessHandle, DWORD, PHANDLE TokenHandle) {
    if (Enter("OpenProcessToken") || ProcessHandle != GetCurrentProcess() || !TokenHandle) return FALSE;
    ++S().tokens;
    *TokenHandle = kToken;
    return TRUE;
}

BOOL GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass, LPVOID TokenInformation,
                         DWORD TokenInformationLength, LPDWORD ReturnLength) {
    if (Enter("GetTokenInformation") || TokenHandle != kToken) return FALSE;
    // An elevated token is a full one, or a default one whose owner S().elevated says is.
    const TOKEN_ELEVATION_TYPE type = S().elevation;
    const TOKEN_ELEVATION elevation{type == TokenElevationTypeFull || S().elevated ? 1u : 0u};
    const void* answer = &type;
    DWORD size = sizeof type;
    if (TokenInformationClass == TokenElevation) {
        answer = &elevation;
        size = sizeof elevation;
    } else if (TokenInformationClass != TokenElevationType) {
        return FALSE;
    }
    if (ReturnLength) *ReturnLength = size;
    if (!TokenInformation || TokenInformationLength < size) return FALSE;
    std::memcpy(TokenInformation, answer, size);
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
    Enter("CloseHandle");
    std::size_t& open = hObject == kProcess ? S().processes : S().tokens;
    if ((hObject != kToken && hObject != kProcess) || open == 0) return FALSE;
    --open;
    return TRUE;
}

// COM.

HRESULT CoInitializeEx(LPVOID, DWORD) {
    Enter("CoInitializeEx");
    return S().comResult;
}

void CoUninitialize() {
    Enter("CoUninitialize");
}

// The system DLLs' functions the program looks up.

void* platform::SystemFunctionAddress(const char* dll, const char* function) {
    const struct {
        const char* dll;
        const char* function;
        void* address;
    } kExports[] = {
        {"shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(&::ShellExecuteA)},
        {"shell32.dll", "ShellExecuteExA", reinterpret_cast<void*>(&::ShellExecuteExA)},
        {"kernel32.dll", "IsWow64Process", reinterpret_cast<void*>(&::IsWow64Process)},
        {"ole32.dll", "CoInitializeEx", reinterpret_cast<void*>(&::CoInitializeEx)},
        {"ole32.dll", "CoUninitialize", reinterpret_cast<void*>(&::CoUninitialize)},
        {"ntdll.dll", "NtDeleteKey", reinterpret_cast<void*>(&::NtDeleteKey)},
        {"ntdll.dll", "NtQueryKey", reinterpret_cast<void*>(&::NtQueryKey)},
        {"ntdll.dll", "RtlNtStatusToDosError", reinterpret_cast<void*>(&::RtlNtStatusToDosError)},
    };
    const auto& hidden = S().hidden;
    const std::string name = std::string(dll) + "!";
    if (std::find(hidden.begin(), hidden.end(), name) != hidden.end()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    for (const auto& e : kExports) {
        if (name != std::string(e.dll) + "!" || std::strcmp(function, e.function) != 0) continue;
        if (std::find(hidden.begin(), hidden.end(), name + function) != hidden.end()) break;
        return e.address;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

// System message texts: the Windows wording, with its trailing line break,
// for the error codes a failed shell open reports.

namespace {

struct SystemText {
    DWORD code;
    const char* text;
};

const SystemText kSystemTexts[] = {
    {2, "The system cannot find the file specified.\r\n"},
    {3, "The system cannot find the path specified.\r\n"},
    {5, "Access is denied.\r\n"},
    {8, "Not enough memory resources are available to process this command.\r\n"},
    {11, "An attempt was made to load a program with an incorrect format.\r\n"},
    {127, "The specified procedure could not be found.\r\n"},
    {static_cast<DWORD>(E_FAIL), "Unspecified error\r\n"},
};

}  // namespace

DWORD FormatMessageA(DWORD dwFlags, LPCVOID /*lpSource*/, DWORD dwMessageId, DWORD /*dwLanguageId*/, LPSTR lpBuffer,
                     DWORD nSize, va_list* /*Arguments*/) {
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || !lpBuffer) return 0;
    for (const SystemText& entry : kSystemTexts) {
        if (entry.code != dwMessageId) continue;
        const std::size_t length = std::strlen(entry.text);
        if (length >= nSize) return 0;  // the real call fails too: no partial text
        std::memcpy(lpBuffer, entry.text, length + 1);
        return static_cast<DWORD>(length);
    }
    return 0;
}

#endif
