// In-memory stand-in of the Win32 registry for hosts without Windows.
// Behaviour follows what the program relies on and what was measured under
// Wine: case-insensitive names enumerated in lower-case order, ERROR_MORE_DATA
// with the needed size, 259 at the end of an enumeration, RegDeleteKeyA
// refusing a key with subkeys (5) and deleting a key through its own handle
// with the empty path, 161 for a path with a leading "\", and a terminating
// NUL added to string data whose caller forgot to count it. Registry links
// (REG_OPTION_CREATE_LINK) are followed unless opened with
// REG_OPTION_OPEN_LINK; ntdll's NtDeleteKey and NtQueryKey work on the
// handles.
#ifndef _WIN32

#include <cstring>
#include <iterator>

#include "platform/names.h"
#include "standin_state.h"

using namespace standin::detail;

namespace {

std::shared_ptr<Key> NewRoot(const char* name) {
    auto k = std::make_shared<Key>();
    k->name = name;
    return k;
}

std::shared_ptr<Key> AddChild(Key& parent, const std::string& name) {
    auto k = std::make_shared<Key>();
    k->name = name;
    k->parent = &parent;
    parent.subkeys[name] = k;
    return k;
}

std::shared_ptr<Key> RootOf(const Computer& c, HKEY h) {
    if (h == HKEY_CURRENT_USER) return c.hkcu;
    if (h == HKEY_LOCAL_MACHINE) return c.hklm;
    if (h == HKEY_USERS) return c.hku;
    if (h == HKEY_CLASSES_ROOT) return c.hklm->subkeys["Software"]->subkeys["Classes"];
    return nullptr;
}

struct Resolved {
    LONG status = ERROR_SUCCESS;
    std::shared_ptr<Key> key;
    REGSAM access = 0;
    bool predefined = false;
    std::string computer;
};

Resolved Resolve(HKEY h) {
    Resolved r;
    if (IsPredefinedKey(h)) {
        r.key = RootOf(S().computers[""], h);
        r.access = KEY_ALL_ACCESS;
        r.predefined = true;
        if (!r.key) r.status = ERROR_INVALID_HANDLE;
        return r;
    }
    auto it = S().handles.find(reinterpret_cast<std::uintptr_t>(h));
    if (it == S().handles.end()) {
        r.status = ERROR_INVALID_HANDLE;
        return r;
    }
    r.key = it->second.key;
    r.access = it->second.access;
    r.computer = it->second.computer;
    if (r.key->deleted) r.status = ERROR_KEY_DELETED;
    return r;
}

std::vector<std::string> Split(const char* path) {
    std::vector<std::string> parts;
    if (!path) return parts;
    std::string cur;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += *p;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

// The key a link leads to, through further links (up to 16, as Wine's
// server allows; a loop of links leads nowhere); any other key itself. The
// target is the full name in the link's REG_LINK "SymbolicLinkValue", UTF-16
// without a terminating NUL (one makes the name not found, as on Windows):
// \REGISTRY\USER\<kUserSid> is HKEY_CURRENT_USER, \REGISTRY\USER and
// \REGISTRY\MACHINE are HKEY_USERS and HKEY_LOCAL_MACHINE.
std::shared_ptr<Key> Follow(std::shared_ptr<Key> key, int hops = 0) {
    if (!key || !key->link) return key;
    const auto value = key->values.find("SymbolicLinkValue");
    if (hops >= 16 || value == key->values.end() || value->second.type != REG_LINK) return nullptr;
    std::string target;
    for (std::size_t i = 0; i + 1 < value->second.data.size(); i += 2) {
        const unsigned unit = value->second.data[i] | value->second.data[i + 1] << 8;
        if (unit == 0) return nullptr;
        target += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    const auto parts = Split(target.c_str());
    const Computer& local = S().computers[""];
    if (parts.size() < 2 || !names::Same(parts[0], "REGISTRY")) return nullptr;
    std::size_t next = 2;
    if (names::Same(parts[1], "MACHINE")) {
        key = local.hklm;
    } else if (!names::Same(parts[1], "USER")) {
        return nullptr;
    } else if (parts.size() > 2 && names::Same(parts[2], kUserSid)) {
        key = local.hkcu, next = 3;
    } else {
        key = local.hku;
    }
    for (; key && next < parts.size(); ++next) {
        const auto it = key->subkeys.find(parts[next]);
        key = it == key->subkeys.end() ? nullptr : Follow(it->second, hops + 1);
    }
    return key;
}

// The key at `parts` below `from`. Links on the way are followed, and so is
// one at the end (`from` itself for an empty path: Windows crashes or
// follows it, Wine 8 opens the link) unless `openLink` (REG_OPTION_OPEN_LINK).
std::shared_ptr<Key> Walk(std::shared_ptr<Key> from, const std::vector<std::string>& parts, bool openLink = false) {
    for (const auto& p : parts) {
        auto it = from->subkeys.find(p);
        if (it == from->subkeys.end()) return nullptr;
        from = &p == &parts.back() && openLink ? it->second : Follow(it->second);
        if (!from) return nullptr;
    }
    return parts.empty() && !openLink ? Follow(from) : from;
}

// The registry views of 64-bit Windows, as far as the program meets them:
// with S().wow64 the stand-in is a 32-bit process there, and
// HKLM\Software\Classes\CLSID opened without KEY_WOW64_64KEY, or with
// KEY_WOW64_32KEY, is the copy at HKLM\Software\Classes\Wow6432Node\CLSID.
// Without it the stand-in is 32-bit Windows, which knows no views: the two
// flags are refused there, as Windows 2000 refuses them.
LONG InView(HKEY root, std::vector<std::string>& parts, REGSAM access) {
    const REGSAM flags = access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY);
    if (!S().wow64) return flags ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (flags == (KEY_WOW64_64KEY | KEY_WOW64_32KEY)) return ERROR_INVALID_PARAMETER;
    const bool redirected = (access & KEY_WOW64_32KEY) || !(access & KEY_WOW64_64KEY);
    const char* const shared[] = {"Software", "Classes", "CLSID"};
    if (!redirected || root != HKEY_LOCAL_MACHINE || parts.size() < 3) return ERROR_SUCCESS;
    for (std::size_t i = 0; i < 3; ++i)
        if (names::LowerCase(parts[i]) != names::LowerCase(shared[i])) return ERROR_SUCCESS;
    parts.insert(parts.begin() + 2, "Wow6432Node");
    return ERROR_SUCCESS;
}

HKEY NewHandle(std::shared_ptr<Key> key, REGSAM access, const std::string& computer) {
    State& s = S();
    const std::uintptr_t value = s.nextHandle;
    s.nextHandle += 4;
    s.handles[value] = Handle{std::move(key), access, computer};
    return reinterpret_cast<HKEY>(value);
}

// Takes a deleted key out of its parent; handles to it stay, and see it deleted.
void Detach(Key& key) {
    key.deleted = true;
    Key* parent = key.parent;
    key.parent = nullptr;
    parent->subkeys.erase(key.name);
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

namespace standin::detail {

Computer NewComputer() {
    Computer c;
    c.hkcu = NewRoot("HKEY_CURRENT_USER");
    c.hklm = NewRoot("HKEY_LOCAL_MACHINE");
    c.hku = NewRoot("HKEY_USERS");
    AddChild(*c.hkcu, "Software");
    AddChild(*AddChild(*c.hklm, "Software"), "Classes");
    return c;
}

std::shared_ptr<Key> KeyAt(HKEY root, const std::string& path) {
    const Resolved r = Resolve(root);
    if (r.status != ERROR_SUCCESS) return nullptr;
    return Walk(r.key, Split(path.c_str()), true /* a link there is that key */);
}

}  // namespace standin::detail

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult) {
    RecordPath("RegOpenKeyExA", hKey, lpSubKey);
    if (LONG f = Enter("RegOpenKeyExA")) return f;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    if (lpSubKey && lpSubKey[0] == '\\') return ERROR_BAD_PATHNAME;
    // The empty path on a root gives the root back; on an opened key, a new
    // handle to the same key (or to a link's target, see Walk).
    if (r.predefined && (!lpSubKey || !*lpSubKey)) {
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    auto parts = Split(lpSubKey);
    if (LONG view = InView(hKey, parts, samDesired)) return view;
    auto key = Walk(r.key, parts, ulOptions & REG_OPTION_OPEN_LINK);
    if (!key) return ERROR_FILE_NOT_FOUND;
    if (key->refuseOpen & samDesired) return ERROR_ACCESS_DENIED;
    *phkResult = NewHandle(key, samDesired, r.computer);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                     LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    RecordPath("RegCreateKeyExA", hKey, lpSubKey);
    if (LONG f = Enter("RegCreateKeyExA")) return f;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    if (lpSubKey[0] == '\\') return ERROR_BAD_PATHNAME;
    auto parts = Split(lpSubKey);
    if (LONG view = InView(hKey, parts, samDesired)) return view;
    std::shared_ptr<Key> key = r.key;
    DWORD disposition = REG_OPENED_EXISTING_KEY;
    for (const auto& p : parts) {
        // Links are followed as by RegOpenKeyExA; only a new last level
        // becomes a link, and a link is never made over an existing key.
        const bool last = &p == &parts.back();
        auto it = key->subkeys.find(p);
        if (it != key->subkeys.end()) {
            if (last && (dwOptions & REG_OPTION_CREATE_LINK)) return ERROR_ALREADY_EXISTS;
            key = last && (dwOptions & REG_OPTION_OPEN_LINK) ? it->second : Follow(it->second);
            if (!key) return ERROR_FILE_NOT_FOUND;
            continue;
        }
        if (key->refuseWrite) return ERROR_ACCESS_DENIED;
        key = AddChild(*key, p);
        key->link = last && (dwOptions & REG_OPTION_CREATE_LINK);
        disposition = REG_CREATED_NEW_KEY;
    }
    // The class goes to the key named by the path, and only when this call
    // creates it: an existing key is opened "without being changed", as the
    // documentation says (Wine replaces the class of an existing key).
    if (disposition == REG_CREATED_NEW_KEY && lpClass) key->className = lpClass;
    if (key->refuseOpen & samDesired) return ERROR_ACCESS_DENIED;
    *phkResult = NewHandle(key, samDesired, r.computer);
    if (lpdwDisposition) *lpdwDisposition = disposition;
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    RecordPath("RegDeleteKeyA", hKey, lpSubKey);
    if (LONG f = Enter("RegDeleteKeyA")) return f;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    if (lpSubKey[0] == '\\') return ERROR_BAD_PATHNAME;
    // As on Windows, the key is opened without REG_OPTION_OPEN_LINK: a link
    // named here, or the key of the handle when it is a link, is followed.
    auto key = Walk(r.key, Split(lpSubKey));
    if (!key) return ERROR_FILE_NOT_FOUND;
    // A root cannot be deleted, and neither can a key that still has subkeys.
    if (!key->parent || key->refuseDelete || !key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    Detach(*key);
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    if (LONG f = Enter("RegDeleteValueA")) return f;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    if (!(r.access & KEY_SET_VALUE) || r.key->refuseWrite) return ERROR_ACCESS_DENIED;
    auto it = r.key->values.find(lpValueName ? lpValueName : "");
    if (it == r.key->values.end()) return ERROR_FILE_NOT_FOUND;
    r.key->values.erase(it);
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR lpClass,
                   LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    if (LONG f = Enter("RegEnumKeyExA")) return f;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    if (!(r.access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    if (!lpName || !lpcchName) return ERROR_INVALID_PARAMETER;
    if (dwIndex >= r.key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    auto it = r.key->subkeys.begin();
    std::advance(it, dwIndex);
    const Key& sub = *it->second;
    // The name and, when the caller passes a class buffer, the class must both
    // fit with their NULs, else ERROR_MORE_DATA with nothing written (measured
    // under Wine: both buffers and both counts stay as they were; a plain key
    // needs a class buffer of one character for its empty class).
    const bool withClass = lpClass && lpcchClass;
    if (*lpcchName <= sub.name.size() || (withClass && *lpcchClass <= sub.className.size())) return ERROR_MORE_DATA;
    std::memcpy(lpName, sub.name.c_str(), sub.name.size() + 1);
    *lpcchName = static_cast<DWORD>(sub.name.size());
    if (withClass) {
        std::memcpy(lpClass, sub.className.c_str(), sub.className.size() + 1);
        *lpcchClass = static_cast<DWORD>(sub.className.size());
    }
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD, LPDWORD lpType,
                   LPBYTE lpData, LPDWORD lpcbData) {
    if (LONG f = Enter("RegEnumValueA")) return f;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    if (!(r.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (!lpValueName || !lpcchValueName) return ERROR_INVALID_PARAMETER;
    if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
    if (dwIndex >= r.key->values.size()) return ERROR_NO_MORE_ITEMS;
    auto it = r.key->values.begin();
    std::advance(it, dwIndex);
    const Value& v = it->second;
    if (*lpcchValueName <= v.name.size()) {
        // Measured under Wine: a name that does not fit still reports the
        // value's type and data size.
        if (lpType) *lpType = v.type;
        if (lpcbData) *lpcbData = static_cast<DWORD>(v.data.size());
        return ERROR_MORE_DATA;
    }
    if (lpData && *lpcbData < v.data.size()) {
        *lpcbData = static_cast<DWORD>(v.data.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(lpValueName, v.name.c_str(), v.name.size() + 1);
    *lpcchValueName = static_cast<DWORD>(v.name.size());
    if (lpType) *lpType = v.type;
    if (lpData && !v.data.empty()) std::memcpy(lpData, v.data.data(), v.data.size());
    if (lpcbData) *lpcbData = static_cast<DWORD>(v.data.size());
    return ERROR_SUCCESS;
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
                      LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    if (LONG f = Enter("RegQueryInfoKeyA")) return f;
    if (lpClass && !lpcchClass) return ERROR_INVALID_PARAMETER;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    const Key& k = *r.key;
    DWORD maxSub = 0, maxClass = 0, maxName = 0, maxData = 0;
    for (const auto& [n, sub] : k.subkeys) {
        maxSub = std::max<DWORD>(maxSub, static_cast<DWORD>(sub->name.size()));
        maxClass = std::max<DWORD>(maxClass, static_cast<DWORD>(sub->className.size()));
    }
    for (const auto& [n, v] : k.values) {
        maxName = std::max<DWORD>(maxName, static_cast<DWORD>(v.name.size()));
        maxData = std::max<DWORD>(maxData, static_cast<DWORD>(v.data.size()));
    }
    // The key's own class: its length (without the NUL) in *lpcchClass, and
    // ERROR_MORE_DATA when a class buffer is too small for it and its NUL.
    // Measured under Wine: a buffer size of 0 counts as no buffer (0, with
    // the length), and a small buffer receives a truncated class and a count
    // one less than its size; the documentation gives the class's length.
    LONG status = ERROR_SUCCESS;
    if (lpcchClass) {
        const DWORD length = static_cast<DWORD>(k.className.size());
        if (lpClass && *lpcchClass > length)
            std::memcpy(lpClass, k.className.c_str(), length + 1);
        else if (lpClass && *lpcchClass > 0)
            status = ERROR_MORE_DATA;
        *lpcchClass = length;
    }
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(k.subkeys.size());
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = maxSub;
    if (lpcbMaxClassLen) *lpcbMaxClassLen = maxClass;
    if (lpcValues) *lpcValues = static_cast<DWORD>(k.values.size());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = maxName;
    if (lpcbMaxValueLen) *lpcbMaxValueLen = maxData;
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
    return status;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    if (LONG f = Enter("RegQueryValueExA")) return f;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    if ((lpData && !lpcbData) || lpReserved) return ERROR_INVALID_PARAMETER;
    if (!(r.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    auto it = r.key->values.find(lpValueName ? lpValueName : "");
    if (it == r.key->values.end()) return ERROR_FILE_NOT_FOUND;
    const Value& v = it->second;
    if (lpType) *lpType = v.type;
    const DWORD size = static_cast<DWORD>(v.data.size());
    if (lpData && *lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (lpData && size) std::memcpy(lpData, v.data.data(), size);
    if (lpcbData) *lpcbData = size;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
    if (LONG f = Enter("RegSetValueExA")) return f;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    if (!(r.access & KEY_SET_VALUE) || r.key->refuseWrite) return ERROR_ACCESS_DENIED;
    const std::string name = lpValueName ? lpValueName : "";
    if (name.size() > 16383) return ERROR_INVALID_PARAMETER;
    if (cbData && !lpData) return ERROR_INVALID_PARAMETER;
    // Like the real call, string data whose terminator the caller did not
    // count gets it added when it follows the data.
    if (cbData && IsStringType(dwType) && lpData[cbData - 1] != 0 && lpData[cbData] == 0) ++cbData;
    Value v;
    v.name = name;
    v.type = dwType;
    if (cbData) v.data.assign(lpData, lpData + cbData);
    r.key->values[name] = std::move(v);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY hKey) {
    if (LONG f = Enter("RegCloseKey")) return f;
    if (IsPredefinedKey(hKey)) return ERROR_SUCCESS;
    return S().handles.erase(reinterpret_cast<std::uintptr_t>(hKey)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegConnectRegistryA(LPCSTR lpMachineName, HKEY hKey, PHKEY phkResult) {
    if (LONG f = Enter("RegConnectRegistryA")) return f;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    std::string name = lpMachineName ? lpMachineName : "";
    // Measured under Wine: only the empty name means "this computer"; exactly
    // one leading "\\" is skipped, and a name with one or with four
    // backslashes, or "\\" alone, is some other, unreachable computer.
    const bool unnamed = name.empty();
    if (name.compare(0, 2, "\\\\") == 0) name.erase(0, 2);
    if (unnamed || names::Same(name, kLocalName)) {
        // The local computer: the given key itself, as Wine answers (an
        // opened key as well as a predefined one).
        if (Resolve(hKey).status != ERROR_SUCCESS) return ERROR_INVALID_HANDLE;
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    auto it = name.empty() ? S().computers.end() : S().computers.find(name);
    if (it == S().computers.end()) return ERROR_BAD_NETPATH;
    if (it->second.refuses) return ERROR_ACCESS_DENIED;
    // Only HKEY_LOCAL_MACHINE and HKEY_USERS can be reached remotely.
    if (hKey != HKEY_LOCAL_MACHINE && hKey != HKEY_USERS) return ERROR_INVALID_HANDLE;
    *phkResult = NewHandle(RootOf(it->second, hKey), KEY_ALL_ACCESS, name);
    return ERROR_SUCCESS;
}

// ntdll's key functions work on the kernel's key handles only: a predefined
// root is advapi32's pseudo-handle and a remote key is a connection of
// advapi32's, and both are invalid handles to them (measured under Wine for
// the roots; Windows' remote keys are no handles of the process at all).

namespace {

constexpr NTSTATUS kStatusBufferOverflow = static_cast<NTSTATUS>(0x80000005);
constexpr NTSTATUS kStatusInvalidHandle = static_cast<NTSTATUS>(0xC0000008);
constexpr NTSTATUS kStatusInvalidParameter = static_cast<NTSTATUS>(0xC000000D);
constexpr NTSTATUS kStatusAccessDenied = static_cast<NTSTATUS>(0xC0000022);
constexpr NTSTATUS kStatusBufferTooSmall = static_cast<NTSTATUS>(0xC0000023);
constexpr NTSTATUS kStatusCannotDelete = static_cast<NTSTATUS>(0xC0000121);
constexpr NTSTATUS kStatusKeyDeleted = static_cast<NTSTATUS>(0xC000017C);

// The key of a kernel handle; null with the status to answer otherwise.
std::shared_ptr<Key> KernelKey(HANDLE handle, REGSAM* access, NTSTATUS& status) {
    const HKEY h = static_cast<HKEY>(handle);
    const Resolved r = Resolve(h);
    status = r.status == ERROR_KEY_DELETED ? kStatusKeyDeleted : kStatusInvalidHandle;
    if (r.status != ERROR_SUCCESS || r.predefined || !r.computer.empty()) return nullptr;
    if (access) *access = r.access;
    return r.key;
}

// The key's full name as the kernel gives it: \REGISTRY\USER\<SID>\... for
// HKEY_CURRENT_USER, \REGISTRY\USER\... and \REGISTRY\MACHINE\...
std::string FullName(const Key& key) {
    const Computer& local = S().computers[""];
    if (&key == local.hkcu.get()) return std::string("\\REGISTRY\\USER\\") + kUserSid;
    if (&key == local.hku.get()) return "\\REGISTRY\\USER";
    if (&key == local.hklm.get()) return "\\REGISTRY\\MACHINE";
    return key.parent ? FullName(*key.parent) + "\\" + key.name : std::string();
}

}  // namespace

// Deletes the handle's own key: a link itself, never its target. Windows
// answers STATUS_CANNOT_DELETE for a key with subkeys or a root (Wine:
// STATUS_ACCESS_DENIED; both are ERROR_ACCESS_DENIED in Win32 terms).
NTSTATUS NtDeleteKey(HANDLE KeyHandle) {
    if (LONG f = Enter("NtDeleteKey")) return f;
    REGSAM access = 0;
    NTSTATUS status = 0;
    const auto key = KernelKey(KeyHandle, &access, status);
    if (!key) return status;
    if (!(access & DELETE) || key->refuseDelete) return kStatusAccessDenied;
    if (!key->parent || !key->subkeys.empty()) return kStatusCannotDelete;
    Detach(*key);
    return 0;
}

// Only KeyNameInformation. Measured under Wine as on Windows: the size
// needed is always reported; a buffer too small for the name gets its
// length and as much of it as fits (STATUS_BUFFER_OVERFLOW), one too small
// for the length nothing (STATUS_BUFFER_TOO_SMALL).
NTSTATUS NtQueryKey(HANDLE KeyHandle, ULONG KeyInformationClass, LPVOID KeyInformation, ULONG Length,
                    ULONG* ResultLength) {
    if (LONG f = Enter("NtQueryKey")) return f;
    NTSTATUS status = 0;
    const auto key = KernelKey(KeyHandle, nullptr, status);
    if (!key) return status;
    if (KeyInformationClass != 3 || !ResultLength || (Length && !KeyInformation)) return kStatusInvalidParameter;
    const std::string name = FullName(*key);
    const ULONG bytes = static_cast<ULONG>(2 * name.size());
    *ResultLength = sizeof bytes + bytes;
    if (Length < sizeof bytes) return kStatusBufferTooSmall;
    auto* out = static_cast<BYTE*>(KeyInformation);
    std::memcpy(out, &bytes, sizeof bytes);
    for (std::size_t i = 0; i < name.size() && sizeof bytes + 2 * i + 1 < Length; ++i) {
        out[sizeof bytes + 2 * i] = static_cast<BYTE>(name[i]);
        out[sizeof bytes + 2 * i + 1] = 0;
    }
    return Length < *ResultLength ? kStatusBufferOverflow : 0;
}

// The codes the stand-in answers, as Windows maps them; any other is
// ERROR_MR_MID_NOT_FOUND (317), as Windows answers a status it does not know.
ULONG RtlNtStatusToDosError(NTSTATUS Status) {
    const struct {
        NTSTATUS status;
        ULONG error;
    } kErrors[] = {
        {0, ERROR_SUCCESS},
        {kStatusBufferOverflow, ERROR_MORE_DATA},
        {kStatusInvalidHandle, ERROR_INVALID_HANDLE},
        {kStatusInvalidParameter, ERROR_INVALID_PARAMETER},
        {kStatusAccessDenied, ERROR_ACCESS_DENIED},
        {kStatusBufferTooSmall, 122 /* ERROR_INSUFFICIENT_BUFFER */},
        {kStatusCannotDelete, ERROR_ACCESS_DENIED},
        {kStatusKeyDeleted, ERROR_KEY_DELETED},
    };
    for (const auto& e : kErrors)
        if (e.status == Status) return e.error;
    return 317;
}

#endif
