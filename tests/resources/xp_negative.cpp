// A program that Windows XP cannot load: it imports GetTickCount64 (Vista)
// and is linked for subsystem version 6.0. The XP check must reject it.
#include <windows.h>

extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64(void);

int main() {
    return GetTickCount64() == 0 ? 1 : 0;
}
