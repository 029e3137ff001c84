#include "registry/module1.h"

#include <vector>

#include "platform/app_pointer.h"

namespace Module1 {

LONG LastResult = ERROR_SUCCESS;

namespace {

// Registry key names have at most 255 characters; with its NUL every name
// fits a buffer of 256, so one enumeration call per subkey always suffices.
constexpr DWORD kNameBuffer = 256;

bool OnlySeparators(const std::string& path) {
    return path.find_first_not_of('\\') == std::string::npos;
}

LONG DeleteTree(HKEY parent, const std::string& path) {
    // A key without subkeys goes at once; any answer but "access denied"
    // (which is also the answer for a key with subkeys) ends here.
    LastResult = RegDeleteKeyA(parent, path.c_str());
    if (LastResult != ERROR_ACCESS_DENIED) return LastResult;

    // Open the key to empty it. The box belongs to the program's window, also
    // when the user works in another program meanwhile: while it shows, that
    // window takes no input, so no second deletion, tab switch or exit can
    // start inside this one. It waits for the user: the normal pointer shows.
    std::string openPath = path;
    HKEY key = nullptr;
    OpenKey(parent, openPath, key, KEY_ALL_ACCESS);
    if (LastResult == ERROR_ACCESS_DENIED) {
        const AppPointer::Waiting waiting;
        MessageBoxA(platform::ProgramWindow(), "Access denied to delete registry key.", "Access Denied",
                    MB_OK | MB_ICONHAND);
        return ERROR_ACCESS_DENIED;
    }
    if (LastResult != ERROR_SUCCESS) return LastResult;

    // The subkeys from the highest index down, each name read just before
    // its deletion. Deleting index i never moves the names below it, so a
    // subkey that stays does not disturb its siblings.
    KeyInfo info;
    QueryKeyInfo(key, info);
    std::string name;
    for (DWORD i = info.SubKeys; i >= 1; --i) {
        name.assign(kNameBuffer, ' ');
        if (EnumSubkeyName(key, i - 1, name) != ERROR_SUCCESS || name.empty()) {
            // No name to delete: never hand the unread buffer (or an empty
            // name, which would mean the key itself) to the recursion.
            continue;
        }
        DeleteTree(key, name);
    }

    // The emptied key is deleted through its own handle, once. When a
    // subkey stayed (it refused, or could not be read) this fails, and the
    // key is left: opening it again would find the same subkey forever.
    const LONG deleted = RegDeleteKeyA(key, "");
    CloseKey(key);
    LastResult = deleted;
    return deleted;
}

}  // namespace

LONG OpenKey(HKEY parent, std::string& path, HKEY& key, REGSAM access) {
    std::size_t lead = 0;
    while (lead < path.size() && path[lead] == '\\') ++lead;
    path.erase(0, lead);
    LastResult = RegOpenKeyExA(parent, path.c_str(), 0 /* options */, access, &key);
    return LastResult;
}

LONG QueryKeyInfo(HKEY key, KeyInfo& info) {
    KeyInfo got;
    DWORD classLength = 0;   // discarded
    DWORD securitySize = 0;  // discarded
    FILETIME lastWrite{};    // discarded
    LastResult = RegQueryInfoKeyA(key, nullptr /* no class buffer */, &classLength, nullptr /* reserved */,
                                  &got.SubKeys, &got.MaxSubKeyLen, nullptr, &got.Values, &got.MaxValueNameLen,
                                  &got.MaxValueLen, &securitySize, &lastWrite);
    if (LastResult == ERROR_SUCCESS) info = got;
    return LastResult;
}

LONG EnumSubkeyName(HKEY key, DWORD index, std::string& name) {
    if (name.empty()) {
        // No room even for the NUL: the platform would answer "more data".
        LastResult = ERROR_MORE_DATA;
        return LastResult;
    }
    std::vector<char> buffer(name.begin(), name.end());
    DWORD length = static_cast<DWORD>(buffer.size());
    FILETIME lastWrite{};  // discarded
    LastResult = RegEnumKeyExA(key, index, buffer.data(), &length, nullptr /* reserved */, nullptr /* no class */,
                               nullptr, &lastWrite);
    if (LastResult == ERROR_SUCCESS) {
        if (length > buffer.size()) length = static_cast<DWORD>(buffer.size());
        name.assign(buffer.data(), length);
    }
    return LastResult;
}

LONG DeleteKeyTree(HKEY parent, const std::string& path) {
    if (IsPredefinedKey(parent) && OnlySeparators(path)) {
        LastResult = ERROR_INVALID_PARAMETER;
        return LastResult;
    }
    return DeleteTree(parent, path);
}

LONG CloseKey(HKEY key) {
    LastResult = RegCloseKey(key);
    return LastResult;
}

}  // namespace Module1
