// State shared by the parts of the in-memory stand-in (registry, shell and
// environment, test controls): the registries of the computers, the open
// handles, the environment, the recorded message boxes and shell opens, and
// the per-function call counts and named key paths with the test hook.
// Private to platform/.
#pragma once

#ifndef _WIN32

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/names.h"
#include "standin_control.h"

namespace standin::detail {

// Registry names compare without regard to case and enumerate as their
// lower-case forms sort (measured under Wine: "[b" < "_u" < "a" < "B").
struct LessNoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        const std::size_t n = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < n; ++i) {
            const auto x = static_cast<unsigned char>(names::AsciiLower(a[i]));
            const auto y = static_cast<unsigned char>(names::AsciiLower(b[i]));
            if (x != y) return x < y;
        }
        return a.size() < b.size();
    }
};

struct Value {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct Key {
    std::string name;
    std::string className;  // given by RegCreateKeyExA when it creates the key
    Key* parent = nullptr;
    bool deleted = false;
    bool link = false;  // created with REG_OPTION_CREATE_LINK
    std::map<std::string, std::shared_ptr<Key>, LessNoCase> subkeys;
    std::map<std::string, Value, LessNoCase> values;
    REGSAM refuseOpen = 0;
    bool refuseDelete = false;
    bool refuseWrite = false;
};

struct Computer {
    std::shared_ptr<Key> hkcu, hklm, hku;
    bool refuses = false;
};

struct Handle {
    std::shared_ptr<Key> key;
    REGSAM access = 0;
    std::string computer;  // "" for the local one
};

inline constexpr char kLocalName[] = "STANDIN-PC";
// The user whose HKEY_CURRENT_USER is \REGISTRY\USER\<this SID> in full names.
inline constexpr char kUserSid[] = "S-1-5-21-1111-2222-3333-1001";

struct State {
    std::map<std::string, Computer, LessNoCase> computers;  // "" is the local computer
    std::map<std::uintptr_t, Handle> handles;
    std::uintptr_t nextHandle = 0x1000;
    std::map<std::string, unsigned long> calls;
    std::vector<standin::KeyPathRecord> keyPaths;
    std::map<std::string, std::string, LessNoCase> env;
    std::vector<standin::MessageBoxRecord> boxes;
    std::vector<standin::ShellExecuteRecord> shells;
    std::vector<standin::PostedMessageRecord> posted;
    INT_PTR shellResult = 42;
    std::size_t tokens = 0;  // open token handles
    TOKEN_ELEVATION_TYPE elevation = TokenElevationTypeDefault;
    bool elevated = false;  // a default token's TokenIsElevated
    bool wow64 = false;     // a 32-bit process on 64-bit Windows
    bool elevationAccepted = true;
    DWORD copyExitCode = 0;
    std::size_t processes = 0;  // open process handles
    HRESULT comResult = S_OK;
    std::vector<std::string> hidden;  // "dll!function", "dll!" for a whole DLL
    std::vector<standin::ThreadWindow> threadWindows;
    HWND activeWindow = nullptr;
    standin::CallHook hook;
    bool inHook = false;
};

// The state as after standin::Reset (standin_control.cpp).
void ResetState(State& s);

inline State& S() {
    static State state;
    static bool ready = false;
    if (!ready) {
        ready = true;
        ResetState(state);
    }
    return state;
}

// Records the key path a call names (not for calls made from the hook).
inline void RecordPath(const char* fn, HKEY root, const char* path) {
    if (!S().inHook) S().keyPaths.push_back({fn, root, path ? path : "<null>"});
}

// Counts the call and runs the test hook. Returns a non-zero code when the
// hook wants the call to fail.
inline LONG Enter(const char* fn) {
    State& s = S();
    if (s.inHook) return ERROR_SUCCESS;
    const unsigned long n = ++s.calls[fn];
    if (!s.hook) return ERROR_SUCCESS;
    s.inHook = true;
    const LONG r = s.hook(fn, n);
    s.inHook = false;
    return r;
}

// A computer's registry as it starts: HKCU\Software, HKLM\Software\Classes
// and an empty HKU (standin_registry.cpp).
Computer NewComputer();

// The key root\path of the local computer (a link there itself, not its
// target), or null when there is none.
std::shared_ptr<Key> KeyAt(HKEY root, const std::string& path);

}  // namespace standin::detail

#endif
