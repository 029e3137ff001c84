// Declarations of the Win32 subset the program uses, for hosts without
// Windows. The behaviour behind them is the in-memory stand-in (standin_*.cpp):
// a registry tree, environment expansion and recording message boxes.
// Names, types, constants and result codes follow the Win32 headers so that
// the same sources compile against either.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPVOID = void*;
using PLONG = LONG*;
using REGSAM = DWORD;
using LSTATUS = LONG;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using INT = int;
using HRESULT = LONG;
using HANDLE = void*;
using PHANDLE = HANDLE*;

#define WINAPI
#define CALLBACK

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

#define TRUE 1
#define FALSE 0

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000000))))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000001))))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000002))))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000003))))

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_BAD_NETPATH 53L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BUFFER_OVERFLOW 111L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_KEY_DELETED 1018L
#define ERROR_CANCELLED 1223L

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7
#define REG_QWORD 11

#define REG_OPTION_NON_VOLATILE 0
#define REG_OPTION_VOLATILE 1     // accepted; every key of the stand-in lives in memory only
#define REG_OPTION_CREATE_LINK 2  // the new key is a link: its REG_LINK "SymbolicLinkValue" names the target
#define REG_OPTION_OPEN_LINK 8    // a link at the end of the path is opened itself, not followed
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

#define DELETE 0x00010000L
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200

#define MB_OK 0x0
#define MB_ICONHAND 0x10
#define MB_ICONERROR 0x10
#define IDOK 1

// advapi32
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                     LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition);
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPSTR lpClass,
                   LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
                      LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime);
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
LONG RegCloseKey(HKEY hKey);
LONG RegConnectRegistryA(LPCSTR lpMachineName, HKEY hKey, PHKEY phkResult);

// kernel32
DWORD ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize);
BOOL SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue);
DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize);
DWORD GetCurrentProcessId();
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// advapi32: the process token, for its elevation type (standin_shell.cpp).
#define TOKEN_QUERY 0x0008
enum TOKEN_INFORMATION_CLASS { TokenElevationType = 18, TokenElevation = 20 };
enum TOKEN_ELEVATION_TYPE { TokenElevationTypeDefault = 1, TokenElevationTypeFull, TokenElevationTypeLimited };
struct TOKEN_ELEVATION {
    DWORD TokenIsElevated;
};
HANDLE GetCurrentProcess();
BOOL OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle);
BOOL GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass, LPVOID TokenInformation,
                         DWORD TokenInformationLength, LPDWORD ReturnLength);
BOOL CloseHandle(HANDLE hObject);

// ole32 (looked up through platform::SystemFunction, as on Windows).
#define S_OK 0L
#define S_FALSE 1L
#define E_FAIL (static_cast<HRESULT>(0x80004005L))
#define RPC_E_CHANGED_MODE (static_cast<HRESULT>(0x80010106L))
#define SUCCEEDED(hr) ((hr) >= 0)
#define FAILED(hr) ((hr) < 0)
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void CoUninitialize();

// ntdll (looked up through platform::SystemFunction, as on Windows, where no
// header of the program declares them; standin_registry.cpp): a key deleted
// through its handle, a key's full name (information class 3,
// KeyNameInformation: its length in bytes, then its UTF-16 units) and the
// Win32 code of a status. The class is a ULONG here, as the program passes it
// (KEY_INFORMATION_CLASS, an enumeration of that size, on Windows).
using NTSTATUS = LONG;
NTSTATUS NtDeleteKey(HANDLE KeyHandle);
NTSTATUS NtQueryKey(HANDLE KeyHandle, ULONG KeyInformationClass, LPVOID KeyInformation, ULONG Length,
                    ULONG* ResultLength);
ULONG RtlNtStatusToDosError(NTSTATUS Status);

BOOL GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize);

// user32: message boxes, the active window, the mouse pointer, and the
// message and key codes of a link's input (standin_shell.cpp). Cursors are
// plain handles; the stand-in only remembers which one is set.
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
struct HICON__;
using HCURSOR = HICON__*;
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
HWND GetActiveWindow();
// The thread's top-level windows, as a test sets them (standin::SetThreadWindows).
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
#define GW_OWNER 4
DWORD GetCurrentThreadId();
BOOL EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam);
BOOL IsWindowVisible(HWND hWnd);
HWND GetWindow(HWND hWnd, UINT uCmd);
#define IDC_ARROW (reinterpret_cast<LPCSTR>(std::uintptr_t{32512}))
#define IDC_WAIT (reinterpret_cast<LPCSTR>(std::uintptr_t{32514}))
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR GetCursor();
// A posted message is recorded, never delivered (standin::PostedMessages).
#define WM_USER 0x0400
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// oleacc: the roles and states an accessible object reports.
#define ROLE_SYSTEM_GROUPING 0x14
#define ROLE_SYSTEM_LINK 0x1e
#define ROLE_SYSTEM_GRAPHIC 0x28
#define STATE_SYSTEM_UNAVAILABLE 0x00000001
#define STATE_SYSTEM_FOCUSED 0x00000004
#define STATE_SYSTEM_FOCUSABLE 0x00100000
#define STATE_SYSTEM_LINKED 0x00400000

// shell32
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        int nShowCmd);
// The fields the program fills; the stand-in records them and, as asked
// (standin::SetElevationAnswer), hands back a process handle or fails with
// ERROR_CANCELLED as a declined prompt does.
#define SEE_MASK_NOCLOSEPROCESS 0x00000040
#define SEE_MASK_FLAG_NO_UI 0x00000400
#define SEE_MASK_NOASYNC 0x00000100
struct SHELLEXECUTEINFOA {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCSTR lpVerb;
    LPCSTR lpFile;
    LPCSTR lpParameters;
    LPCSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    void* lpIDList;
    LPCSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;
};
BOOL ShellExecuteExA(SHELLEXECUTEINFOA* pExecInfo);

// kernel32: the program's own file, the system folder, the 64-bit Windows a
// 32-bit process may run on, and a started process's end.
#define MAX_PATH 260
DWORD GetModuleFileNameA(HINSTANCE hModule, LPSTR lpFilename, DWORD nSize);
UINT GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize);
BOOL IsWow64Process(HANDLE hProcess, BOOL* Wow64Process);
BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);

// kernel32: system message texts (standin_shell.cpp). Only
// FORMAT_MESSAGE_FROM_SYSTEM into a caller's buffer, for the few error codes
// the program reports; other codes have no text (0).
#include <cstdarg>
using LPCVOID = const void*;
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId, LPSTR lpBuffer,
                     DWORD nSize, va_list* Arguments);
