// The one header through which product code reaches the Win32 platform.
//
// On Windows (and under Wine) it is <windows.h>: every call goes to the real
// DLLs. On any other host it declares the same names, implemented by the
// in-memory stand-in of standin_*.cpp, so the portable core builds and is tested
// natively. Test-only controls of the stand-in live in standin_control.h.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "standin.h"
#endif

#include <cstdint>

// True for the predefined root keys (HKEY_CLASSES_ROOT ... HKEY_NLSTEXT):
// handles that are never closed and that must never be deleted "through
// themselves". Their values are 32-bit constants, sign-extended on 64-bit.
inline bool IsPredefinedKey(HKEY key) {
    const auto raw = reinterpret_cast<std::uintptr_t>(key);
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(raw));
    if (reinterpret_cast<HKEY>(static_cast<std::intptr_t>(low)) != key) return false;
    const auto u = static_cast<std::uint32_t>(low);
    return u >= 0x80000000u && u <= 0x80000060u;
}

namespace platform {

// The address of `function` in the system DLL `dll` ("shell32.dll"), which
// is loaded from the system folder by its full path the first time, never
// from the program's folder or the current folder, and stays loaded. nullptr
// when the DLL cannot be loaded (GetLastError: 126, or why) or lacks the
// function (127). On other hosts the stand-in answers for the few functions
// the program looks up.
void* SystemFunctionAddress(const char* dll, const char* function);
template <class Fn>
Fn SystemFunction(const char* dll, const char* function) {
    // Through void*: a looked-up address does not convert to a function type
    // without a warning.
    return reinterpret_cast<Fn>(SystemFunctionAddress(dll, function));
}

#ifdef _WIN32
// At start, before any window exists: DLLs loaded by name from now on (the
// common controls load uxtheme for themes) come from the system folder only,
// where kernel32 offers the means (Windows 7 with its update, 8 and later;
// SetDllDirectoryA alone from XP SP1: the current folder is left out).
void RestrictDllSearch();
// The system DLL `dll`, loaded by its full path (see SystemFunctionAddress).
HMODULE LoadSystemLibrary(const char* dll);
// The version of the system DLL `dll` that the program's manifest names from
// the side-by-side store (comctl32 6), else the system folder's.
HMODULE LoadSideBySideLibrary(const char* dll);
#endif

}  // namespace platform
