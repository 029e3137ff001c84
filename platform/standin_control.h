// Test controls of the in-memory platform stand-in (non-Windows hosts only).
//
// Tests use these to start from a known registry, to make a key refuse access
// the way a key with a restrictive ACL does, to count the platform calls an
// operation makes and see the key paths it names, to check that no handle
// leaked, and to see the message boxes and shell-open requests the program
// would have shown or made.
//
// The declarations compile on Windows too, so that one test source serves
// both platforms; there the test support defines them to throw, and tests
// that use them are skipped (STANDIN_ONLY).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform.h"

namespace standin {

// Empties every registry (local and remote computers), forgets refusals,
// counters, records, hooks and handles, and restores the default environment
// (SystemRoot and windir are "C:\WINDOWS"). The local registry starts with
// HKCU\Software, HKLM\Software\Classes and HKU.
void Reset();

// Makes the key root\path (which must exist; a link there is that key, not
// its target) refuse with ERROR_ACCESS_DENIED: an open or create whose
// requested access shares a bit with `mask`.
void RefuseOpen(HKEY root, const std::string& path, REGSAM mask);
// ... RegDeleteKeyA or NtDeleteKey of the key itself.
void RefuseDelete(HKEY root, const std::string& path);
// ... writing to it: RegSetValueExA, RegDeleteValueA and creating subkeys.
void RefuseWrite(HKEY root, const std::string& path);

// Number of calls made to one platform function (by its Win32 name) since the
// last Reset or ResetCallCounts.
unsigned long CallCount(const std::string& function);
// Calls to all registry functions (names starting with "Reg").
unsigned long RegistryCallCount();
// Forgets the counts and the recorded key paths.
void ResetCallCounts();

// The paths handed to RegOpenKeyExA, RegCreateKeyExA and RegDeleteKeyA since
// the last Reset or ResetCallCounts, in call order, each with the key it is
// relative to and exactly as written: the registry ignores case, these do not.
struct KeyPathRecord {
    std::string function;
    HKEY root;
    std::string path;  // "<null>" when the pointer was null
};
const std::vector<KeyPathRecord>& KeyPaths();

// Handles currently open: registry keys and remote roots (never the
// predefined roots), process tokens and started processes.
std::size_t OpenHandles();

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
const std::vector<MessageBoxRecord>& MessageBoxes();

struct ShellExecuteRecord {
    HWND owner;
    std::string operation;  // "<null>" when the pointer was null
    std::string file;
    std::string parameters;  // "<null>" when the pointer was null
    std::string directory;   // "<null>" when the pointer was null
    int show;
    ULONG mask = 0;  // ShellExecuteExA's fMask (none for ShellExecuteA)
};
const std::vector<ShellExecuteRecord>& ShellExecutes();
// The messages PostMessageA was given, in order; none is delivered.
struct PostedMessageRecord {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
const std::vector<PostedMessageRecord>& PostedMessages();
// The value ShellExecuteA returns from now on (42, a success, after Reset).
void SetShellExecuteResult(INT_PTR result);
// The window GetActiveWindow answers (none after Reset).
void SetActiveWindow(HWND window);
// The top-level windows of the thread, in the order EnumThreadWindows
// visits them (none after Reset).
struct ThreadWindow {
    HWND hwnd;
    bool visible;
    HWND owner;
};
void SetThreadWindows(std::vector<ThreadWindow> windows);

// The elevation type of the process token (TokenElevationTypeDefault after
// Reset: no split token), and whether a default token is elevated (not after
// Reset; a full token always is).
void SetElevationType(TOKEN_ELEVATION_TYPE type, bool elevatedDefault = false);
// Whether the process is a 32-bit one on 64-bit Windows (IsWow64Process;
// not after Reset: 32-bit Windows, where the registry view flags are
// refused). With it, HKLM\Software\Classes\CLSID has a 32-bit copy below
// Classes\Wow6432Node, which opens without KEY_WOW64_64KEY reach.
void SetWow64(bool wow64);
// How an elevation prompt of ShellExecuteExA is answered (accepted after
// Reset), and the exit code of the process it starts (0 after Reset).
void SetElevationAnswer(bool accepted, DWORD exitCode = 0);
// What CoInitializeEx answers (S_OK after Reset).
void SetComResult(HRESULT result);
// Makes platform::SystemFunction miss `function` of `dll` (127), or with ""
// the whole DLL (126). The functions it finds: shell32's ShellExecuteA and
// ShellExecuteExA, kernel32's IsWow64Process, ole32's CoInitializeEx and
// CoUninitialize, ntdll's NtDeleteKey, NtQueryKey and RtlNtStatusToDosError.
void HideSystemFunction(const std::string& dll, const std::string& function);

// Named computers for RegConnectRegistryA. The local computer is reachable
// by the empty name and by its own name (GetComputerNameA), with or without a
// leading "\\". A computer added here has a registry of its own (HKLM with
// Software, HKU); one that refuses answers ERROR_ACCESS_DENIED. Any other name
// is unreachable and answers ERROR_BAD_NETPATH, as the real call does.
void AddComputer(const std::string& name, bool refusesConnection = false);
const char* LocalComputerName();

// A hook run before every counted platform call, with the function's name and
// its call number (1-based, per function). Returning a non-zero code makes
// that call fail with it, without effect. The hook may change the registry
// through the normal functions: calls made from inside the hook are neither
// counted nor hooked. Pass an empty function to remove it.
using CallHook = std::function<LONG(const std::string& function, unsigned long number)>;
void SetCallHook(CallHook hook);

}  // namespace standin
