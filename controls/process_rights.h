// What the process token says about the rights this process runs with, read
// once per question (the token is opened, queried and closed each time).
//
// Windows Vista and later split an administrator's rights into two linked
// tokens under UAC: the program normally runs with the limited one and the
// full one is reached only through an elevation prompt. Windows XP knows no
// elevation and refuses the query. Nothing here throws. HandleOwner owns
// the kernel handles of the token and of a started process.
#pragma once

#include "platform/platform.h"

enum class ProcessRights {
    NoElevation,     // the system knows no elevation (Windows XP): rights are what they are
    Unknown,         // the process token could not be opened
    Standard,        // not elevated, UAC can raise it (a limited or a standard user's token)
    ElevatedLinked,  // elevated with a linked limited token: an administrator who answered the prompt
    ElevatedAlone,   // elevated without a linked token (UAC off, the built-in Administrator)
};

ProcessRights QueryProcessRights();

// Owns one kernel handle (a token, a process), closed on every way out.
class HandleOwner {
public:
    explicit HandleOwner(HANDLE handle) noexcept : handle_(handle) {}
    ~HandleOwner() {
        if (handle_) CloseHandle(handle_);
    }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;
    HANDLE get() const noexcept { return handle_; }

private:
    HANDLE handle_;
};

// True when what the process starts would get more rights than the signed-in
// user normally has: elevated with a linked token, or rights that cannot be
// read (treated as the worst case).
inline bool RunsAboveTheUser(ProcessRights rights) {
    return rights == ProcessRights::ElevatedLinked || rights == ProcessRights::Unknown;
}

// True when a write refused for lack of rights may succeed after UAC asks the
// user: the token is not elevated and the system offers elevation.
inline bool CanAskForElevation(ProcessRights rights) {
    return rights == ProcessRights::Standard;
}
