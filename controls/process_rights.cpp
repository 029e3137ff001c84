#include "controls/process_rights.h"

ProcessRights QueryProcessRights() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return ProcessRights::Unknown;
    const HandleOwner token(opened);
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
