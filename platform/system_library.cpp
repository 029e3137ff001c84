// DLLs the program loads itself: from the system folder, by full path.
#include "platform/platform.h"

HMODULE platform::LoadSystemLibrary(const char* dll) {
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    const int name = lstrlenA(dll);
    if (folder == 0 || folder + 1 + static_cast<UINT>(name) >= MAX_PATH) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    path[folder] = '\\';
    lstrcpynA(path + folder + 1, dll, name + 1);
    // Loaded once: later calls find the module by its full path. The DLL's
    // own imports are looked for beside it, in the system folder, before the
    // folders of the program's search order.
    if (const HMODULE loaded = GetModuleHandleA(path)) return loaded;
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE platform::LoadSideBySideLibrary(const char* dll) {
    // The activation context comes before every folder of the search: a name
    // it redirects is loaded from the side-by-side store, never from the
    // program's folder. A name it does not redirect is loaded by full path.
    ACTCTX_SECTION_KEYED_DATA redirection{};
    redirection.cbSize = sizeof redirection;
    if (FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, dll, &redirection))
        return LoadLibraryExA(dll, nullptr, 0);
    return LoadSystemLibrary(dll);
}

void* platform::SystemFunctionAddress(const char* dll, const char* function) {
    const HMODULE module = LoadSystemLibrary(dll);
    return module ? reinterpret_cast<void*>(GetProcAddress(module, function)) : nullptr;
}

void platform::RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
    if (const auto restrict = SystemFunction<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories"))
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (const auto directory = SystemFunction<SetDllDirectoryFn>("kernel32.dll", "SetDllDirectoryA")) directory("");
}
