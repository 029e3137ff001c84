// The test controls of the in-memory stand-in (standin_control.h): reset,
// refusals, call counts and named key paths, open handles, the recorded
// message boxes and shell opens, the computers for RegConnectRegistryA and
// the call hook.
#ifndef _WIN32

#include <cstdio>
#include <cstdlib>

#include "standin_state.h"

using namespace standin::detail;

namespace standin::detail {

void ResetState(State& s) {
    s.computers.clear();
    s.computers[""] = NewComputer();
    s.handles.clear();
    s.nextHandle = 0x1000;
    s.calls.clear();
    s.keyPaths.clear();
    s.env.clear();
    s.env["SystemRoot"] = "C:\\WINDOWS";
    s.env["windir"] = "C:\\WINDOWS";
    s.boxes.clear();
    s.shells.clear();
    s.posted.clear();
    s.shellResult = 42;
    s.tokens = 0;
    s.elevation = TokenElevationTypeDefault;
    s.elevated = false;
    s.wow64 = false;
    s.elevationAccepted = true;
    s.copyExitCode = 0;
    s.processes = 0;
    s.comResult = S_OK;
    s.hidden.clear();
    s.threadWindows.clear();
    s.activeWindow = nullptr;
    s.hook = nullptr;
    s.inHook = false;
}

}  // namespace standin::detail

namespace standin {

void Reset() {
    ResetState(S());
}

namespace {
Key& MustFind(HKEY root, const std::string& path) {
    auto key = KeyAt(root, path);
    if (!key) {
        std::fprintf(stderr, "standin: no key %s to configure\n", path.c_str());
        std::abort();
    }
    return *key;
}
}  // namespace

void RefuseOpen(HKEY root, const std::string& path, REGSAM mask) {
    MustFind(root, path).refuseOpen = mask;
}

void RefuseDelete(HKEY root, const std::string& path) {
    MustFind(root, path).refuseDelete = true;
}

void RefuseWrite(HKEY root, const std::string& path) {
    MustFind(root, path).refuseWrite = true;
}

unsigned long CallCount(const std::string& function) {
    auto it = S().calls.find(function);
    return it == S().calls.end() ? 0 : it->second;
}

unsigned long RegistryCallCount() {
    unsigned long total = 0;
    for (const auto& [name, n] : S().calls)
        if (name.compare(0, 3, "Reg") == 0) total += n;
    return total;
}

void ResetCallCounts() {
    S().calls.clear();
    S().keyPaths.clear();
}

const std::vector<KeyPathRecord>& KeyPaths() {
    return S().keyPaths;
}

std::size_t OpenHandles() {
    return S().handles.size() + S().tokens + S().processes;
}

const std::vector<MessageBoxRecord>& MessageBoxes() {
    return S().boxes;
}

const std::vector<ShellExecuteRecord>& ShellExecutes() {
    return S().shells;
}

const std::vector<PostedMessageRecord>& PostedMessages() {
    return S().posted;
}

void SetShellExecuteResult(INT_PTR result) {
    S().shellResult = result;
}

void SetActiveWindow(HWND window) {
    S().activeWindow = window;
}

void SetThreadWindows(std::vector<ThreadWindow> windows) {
    S().threadWindows = std::move(windows);
}

void SetElevationType(TOKEN_ELEVATION_TYPE type, bool elevatedDefault) {
    S().elevation = type;
    S().elevated = elevatedDefault;
}

void SetWow64(bool wow64) {
    S().wow64 = wow64;
}

void SetElevationAnswer(bool accepted, DWORD exitCode) {
    S().elevationAccepted = accepted;
    S().copyExitCode = exitCode;
}

void SetComResult(HRESULT result) {
    S().comResult = result;
}

void HideSystemFunction(const std::string& dll, const std::string& function) {
    S().hidden.push_back(dll + "!" + function);
}

void AddComputer(const std::string& name, bool refusesConnection) {
    Computer c = NewComputer();
    c.refuses = refusesConnection;
    S().computers[name] = std::move(c);
}

const char* LocalComputerName() {
    return kLocalName;
}

void SetCallHook(CallHook hook) {
    S().hook = std::move(hook);
}

}  // namespace standin

#endif
