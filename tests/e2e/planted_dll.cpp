// A stand-in for a system DLL planted where the loader must not look (the
// program's folder, the current folder), for the end-to-end test. Built once
// per name it stands in for. When a process loads it, it appends one line,
//   <the process's exe path> TAB <this DLL's path>
// to the file named by QT_PLANTED_LOG (when set), and lets the load succeed.
// It exports nothing: a process that uses it in place of the real DLL finds
// none of the functions it looks for. DllMain keeps its C name: the C
// runtime's DLL entry point calls it by that name.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char log[MAX_PATH];
    const DWORD log_length = GetEnvironmentVariableA("QT_PLANTED_LOG", log, sizeof log);
    if (log_length == 0 || log_length >= sizeof log) return TRUE;
    char line[2 * MAX_PATH + 2];
    DWORD length = GetModuleFileNameA(nullptr, line, MAX_PATH);
    line[length++] = '\t';
    length += GetModuleFileNameA(self, line + length, MAX_PATH);
    line[length++] = '\n';
    // One write to a file opened for appending: lines of processes that load
    // it at the same time do not mix.
    const HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    DWORD written = 0;
    WriteFile(file, line, length, &written, nullptr);
    CloseHandle(file);
    return TRUE;
}
