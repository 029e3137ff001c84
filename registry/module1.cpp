#include "registry/module1.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "desktop/message_box.h"
#include "registry/key_handle.h"
#include "platform/names.h"

namespace Module1 {

LONG LastResult = ERROR_SUCCESS;

namespace {

// Registry key names have at most 255 characters; with its NUL every name
// fits a buffer of 256, so one enumeration call per subkey always suffices.
constexpr DWORD kNameBuffer = 256;

// Windows' registry holds keys to a depth of 512 levels at most, so no real
// tree below any key is deeper. The deletion enters no key deeper than that
// below its top: however a registry answers, the recursion ends.
constexpr unsigned kMaxLevels = 512;

// ntdll's key functions, which no header of the program declares. ntdll is
// in every process; it is looked up, never imported.
using NtStatus = LONG;
using NtDeleteKeyFn = NtStatus(WINAPI*)(HANDLE key);
using NtQueryKeyFn = NtStatus(WINAPI*)(HANDLE key, ULONG infoClass, void* info, ULONG length, ULONG* resultLength);
using RtlNtStatusToDosErrorFn = ULONG(WINAPI*)(NtStatus status);
constexpr ULONG kKeyNameInformation = 3;  // KEY_NAME_INFORMATION: the name's length in bytes, then its UTF-16 units
constexpr NtStatus kStatusBufferOverflow = static_cast<NtStatus>(0x80000005);
constexpr NtStatus kStatusBufferTooSmall = static_cast<NtStatus>(0xC0000023);

// A key is deleted through a handle that was opened with
// REG_OPTION_OPEN_LINK, by NtDeleteKey: a delete by name, or through a
// handle opened without that option, would follow a registry link and
// delete the key it points at instead.
struct Deleter {
    NtDeleteKeyFn deleteKey = platform::SystemFunction<NtDeleteKeyFn>("ntdll.dll", "NtDeleteKey");
    RtlNtStatusToDosErrorFn toWin32 =
        platform::SystemFunction<RtlNtStatusToDosErrorFn>("ntdll.dll", "RtlNtStatusToDosError");

    LONG Delete(HKEY key) const {
        LastResult = static_cast<LONG>(toWin32(deleteKey(key)));
        return LastResult;
    }
};

bool OnlySeparators(const std::string& path) {
    return path.find_first_not_of('\\') == std::string::npos;
}

LONG Open(HKEY parent, std::string& path, HKEY& key, REGSAM access, DWORD options) {
    std::size_t lead = 0;
    while (lead < path.size() && path[lead] == '\\') ++lead;
    path.erase(0, lead);
    LastResult = RegOpenKeyExA(parent, path.c_str(), options, access, &key);
    return LastResult;
}

// Whether `key` is a hive's root or above one, which no empty path may
// delete: a predefined root, a key whose full name ("\REGISTRY\USER\<SID>",
// "\REGISTRY\MACHINE\SOFTWARE") has at most three levels, not counting a
// last "Wow6432Node" (a root's 32-bit view, which a 32-bit process on 64-bit
// Windows gets for HKEY_LOCAL_MACHINE\SOFTWARE), or a key whose name cannot
// be read (a connected remote computer's, which is no handle of this process).
bool IsHiveRootOrAbove(HKEY key) {
    if (IsPredefinedKey(key)) return true;
    const auto query = platform::SystemFunction<NtQueryKeyFn>("ntdll.dll", "NtQueryKey");
    if (!query) return true;
    std::vector<BYTE> info(512);
    ULONG needed = 0;
    NtStatus status = query(key, kKeyNameInformation, info.data(), static_cast<ULONG>(info.size()), &needed);
    // Once more with the size it asks for, up to the longest name a counted
    // UTF-16 string holds (65,534 bytes). A name that grows meanwhile (the
    // key renamed) counts as unreadable.
    if ((status == kStatusBufferOverflow || status == kStatusBufferTooSmall) && needed > info.size() &&
        needed <= 0x10004) {
        info.resize(needed);
        status = query(key, kKeyNameInformation, info.data(), static_cast<ULONG>(info.size()), &needed);
    }
    if (status != 0) return true;
    ULONG bytes = 0;
    std::memcpy(&bytes, info.data(), sizeof bytes);
    const std::size_t units = std::min<std::size_t>(bytes, info.size() - sizeof bytes) / 2;

    // The name's levels, in ASCII lower case: only the separators and the
    // view's name count here.
    std::vector<std::string> levels(1);
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned unit = info[sizeof bytes + 2 * i] | info[sizeof bytes + 2 * i + 1] << 8;
        if (unit != '\\')
            levels.back() += unit < 0x80 ? names::AsciiLower(static_cast<char>(unit)) : '?';
        else if (!levels.back().empty())
            levels.emplace_back();
    }
    if (levels.back().empty()) levels.pop_back();
    if (!levels.empty() && levels.back() == "wow6432node") levels.pop_back();
    return levels.size() <= 3;
}

LONG DeleteTree(const Deleter& deleter, HKEY parent, const std::string& path, unsigned level) {
    // Every key is opened as it is: a registry link is opened itself, never
    // the key it points at, and what is listed and entered below it are its
    // own subkeys (Windows gives a link none), so the deletion never leaves
    // the tree, however links lead back into it or out of it.
    std::string openPath = path;
    HKEY key = nullptr;
    Open(parent, openPath, key, KEY_ALL_ACCESS, REG_OPTION_OPEN_LINK);
    if (LastResult == ERROR_ACCESS_DENIED) {
        // A key without full access may still allow its own deletion (a
        // leaf then goes); else, or when it has subkeys, it stays and the box
        // says so. The box belongs to the program's window, also when the
        // user works in another program meanwhile: while it shows, that
        // window takes no input, so no second deletion, tab switch or exit
        // can start inside this one. It waits for the user: the normal
        // pointer shows.
        if (Open(parent, openPath, key, DELETE, REG_OPTION_OPEN_LINK) == ERROR_SUCCESS) {
            KeyHandle owned;
            owned.Reset(key);
            const LONG deleted = deleter.Delete(key);
            owned.Close();
            LastResult = deleted;
        }
        if (LastResult != ERROR_ACCESS_DENIED) return LastResult;
        desktop::ShowBox("Access denied to delete registry key.", "Access Denied", MB_OK | MB_ICONHAND);
        LastResult = ERROR_ACCESS_DENIED;
        return LastResult;
    }
    if (LastResult != ERROR_SUCCESS) return LastResult;
    // Closed on every way out, a throw in the recursion below included.
    KeyHandle owned;
    owned.Reset(key);

    // A key without subkeys goes at once; any answer but "access denied"
    // (which is also the answer for a key with subkeys) ends here, and so
    // does the deepest level allowed, where no subkey is entered.
    LONG deleted = deleter.Delete(key);
    if (deleted == ERROR_ACCESS_DENIED && level + 1 < kMaxLevels) {
        // The subkeys from the highest index down, each name read just
        // before its deletion. Deleting index i never moves the names below
        // it, so a subkey that stays does not disturb its siblings.
        KeyInfo info;
        QueryKeyInfo(key, info);
        std::string name;
        for (DWORD i = info.SubKeys; i >= 1; --i) {
            name.assign(kNameBuffer, ' ');
            if (EnumSubkeyName(key, i - 1, name) != ERROR_SUCCESS || name.empty()) {
                // No name to delete: never hand the unread buffer (or an
                // empty name, which would mean the key itself) to the recursion.
                continue;
            }
            DeleteTree(deleter, key, name, level + 1);
        }
        // The emptied key is deleted through its own handle, once more. When
        // a subkey stayed (it refused, or could not be read) this fails, and
        // the key is left: opening it again would find the same subkey forever.
        deleted = deleter.Delete(key);
    }
    owned.Close();
    LastResult = deleted;
    return deleted;
}

}  // namespace

LONG OpenKey(HKEY parent, std::string& path, HKEY& key, REGSAM access) {
    return Open(parent, path, key, access, 0 /* options */);
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
    if (OnlySeparators(path) && IsHiveRootOrAbove(parent)) {
        LastResult = ERROR_INVALID_PARAMETER;
        return LastResult;
    }
    const Deleter deleter;
    if (!deleter.deleteKey || !deleter.toWin32) {
        // Without them no key can be deleted without following links.
        LastResult = ERROR_PROC_NOT_FOUND;
        return LastResult;
    }
    return DeleteTree(deleter, parent, path, 0);
}

LONG CloseKey(HKEY key) {
    LastResult = RegCloseKey(key);
    return LastResult;
}

}  // namespace Module1
