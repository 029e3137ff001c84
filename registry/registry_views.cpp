#include "registry/registry_views.h"

RegistryViews ViewsFor(bool process64, bool underWow64) {
    if (process64) return {0, KEY_WOW64_32KEY};
    if (underWow64) return {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    return {0, 0};
}

RegistryViews CurrentRegistryViews() {
#ifdef _WIN64
    return ViewsFor(true, false);
#else
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);
    BOOL wow64 = FALSE;
    const auto isWow64 = platform::SystemFunction<IsWow64ProcessFn>("kernel32.dll", "IsWow64Process");
    if (!isWow64 || !isWow64(GetCurrentProcess(), &wow64)) wow64 = FALSE;
    return ViewsFor(false, wow64 != FALSE);
#endif
}
