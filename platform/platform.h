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

#ifdef _WIN32
// shell32's ShellExecuteA, with shell32 loaded the first time it is called
// rather than with the program: it is the costliest of the program's DLLs to
// load and only opening a link needs it. When shell32 cannot be loaded the
// result is ShellExecuteA's own "DLL not found" code, 32.
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show);
#else
using ::ShellExecuteA;
#endif

}  // namespace platform
