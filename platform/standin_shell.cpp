// The shell and environment of the in-memory stand-in: environment variables
// and their expansion, the computer's name, message boxes and shell opens
// (recorded, never shown or started), and the system message texts.
#ifndef _WIN32

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

DWORD GetLastError() {
    return 0;
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
HWND g_activeWindow = nullptr;
HCURSOR g_cursor = nullptr;
}  // namespace

HWND GetActiveWindow() {
    return g_activeWindow;
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

void standin::SetActiveWindow(HWND window) {
    g_activeWindow = window;
}

HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        int nShowCmd) {
    Enter("ShellExecuteA");
    auto text = [](LPCSTR s) { return s ? std::string(s) : std::string("<null>"); };
    S().shells.push_back({hwnd, text(lpOperation), text(lpFile), text(lpParameters), text(lpDirectory), nShowCmd});
    return reinterpret_cast<HINSTANCE>(S().shellResult);
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
