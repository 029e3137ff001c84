#include "controls/process_rights.h"

namespace {

// A token handle, closed on scope exit.
class Token {
public:
    Token() {
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &handle_)) handle_ = nullptr;
    }
    ~Token() {
        if (handle_) CloseHandle(handle_);
    }
    Token(const Token&) = delete;
    Token& operator=(const Token&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace

ProcessRights QueryProcessRights() {
    const Token token;
    if (!token.get()) return ProcessRights::Unknown;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size))
        return ProcessRights::NoElevation;
    if (type == TokenElevationTypeFull) return ProcessRights::ElevatedLinked;
    if (type == TokenElevationTypeLimited) return ProcessRights::Standard;
    // A default token belongs to a standard user, or to an administrator
    // with UAC off or the built-in Administrator, who is elevated already.
    TOKEN_ELEVATION elevation{};
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
        return ProcessRights::NoElevation;
    return elevation.TokenIsElevated ? ProcessRights::ElevatedAlone : ProcessRights::Standard;
}
