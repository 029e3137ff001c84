// In-memory stand-in of the Win32 registry for hosts without Windows.
// Behaviour follows what the program relies on and what was measured under
// Wine: case-insensitive names enumerated in lower-case order, ERROR_MORE_DATA
// with the needed size, 259 at the end of an enumeration, RegDeleteKeyA
// refusing a key with subkeys (5) and deleting a key through its own handle
// with the empty path, 161 for a path with a leading "\", and a terminating
// NUL added to string data whose caller forgot to count it.
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

std::shared_ptr<Key> Walk(std::shared_ptr<Key> from, const std::vector<std::string>& parts) {
    for (const auto& p : parts) {
        auto it = from->subkeys.find(p);
        if (it == from->subkeys.end()) return nullptr;
        from = it->second;
    }
    return from;
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
    return Walk(r.key, Split(path.c_str()));
}

}  // namespace standin::detail

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    RecordPath("RegOpenKeyExA", hKey, lpSubKey);
    if (LONG f = Enter("RegOpenKeyExA")) return f;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    const Resolved r = Resolve(hKey);
    if (r.status != ERROR_SUCCESS) return r.status;
    if (lpSubKey && lpSubKey[0] == '\\') return ERROR_BAD_PATHNAME;
    // The empty path on a root gives the root back; on an opened key, a new
    // handle to the same key.
    if (r.predefined && (!lpSubKey || !*lpSubKey)) {
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    auto parts = Split(lpSubKey);
    if (LONG view = InView(hKey, parts, samDesired)) return view;
    auto key = Walk(r.key, parts);
    if (!key) return ERROR_FILE_NOT_FOUND;
    if (key->refuseOpen & samDesired) return ERROR_ACCESS_DENIED;
    *phkResult = NewHandle(key, samDesired, r.computer);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR lpClass, DWORD, REGSAM samDesired, LPSECURITY_ATTRIBUTES,
                     PHKEY phkResult, LPDWORD lpdwDisposition) {
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
        auto it = key->subkeys.find(p);
        if (it != key->subkeys.end()) {
            key = it->second;
            continue;
        }
        if (key->refuseWrite) return ERROR_ACCESS_DENIED;
        key = AddChild(*key, p);
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
    auto key = Walk(r.key, Split(lpSubKey));
    if (!key) return ERROR_FILE_NOT_FOUND;
    // A root cannot be deleted, and neither can a key that still has subkeys.
    if (!key->parent || key->refuseDelete || !key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    key->deleted = true;
    Key* parent = key->parent;
    key->parent = nullptr;
    parent->subkeys.erase(key->name);
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

#endif
