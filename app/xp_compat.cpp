// Windows XP has no GetTickCount64, yet the static threads runtime that
// libstdc++ uses (winpthreads) imports it, and an XP loader refuses a program
// that imports a function its kernel32 lacks. This definition of the import
// slot satisfies the runtime without an import: it calls the real function
// where kernel32 has it (Vista and later) and otherwise extends the 32-bit
// tick count across its 49.7-day wrap.
#if defined(_WIN32) && !defined(_WIN64)

#include <windows.h>

namespace {

ULONGLONG WINAPI TickCountFromXp() {
    // Single-threaded use in this program; the runtime only measures short
    // waits with it.
    static DWORD last = 0;
    static ULONGLONG high = 0;
    const DWORD now = GetTickCount();
    if (now < last) high += 0x100000000ULL;
    last = now;
    return high + now;
}

ULONGLONG WINAPI TickCount64() {
    using Fn = ULONGLONG(WINAPI*)();
    static const Fn real = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
    return real ? real() : TickCountFromXp();
}

}  // namespace

// The import slot the runtime calls through (i686 decoration).
extern "C" {
ULONGLONG(WINAPI* qt_GetTickCount64_slot)() __asm__("__imp__GetTickCount64@0") = TickCount64;
}

#endif
