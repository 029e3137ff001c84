#include "registry/registry_routines.h"

#include <algorithm>
#include <vector>

#include "registry/key_handle.h"
#include "registry/value_codec.h"

bool RegistryRoutines::KeyExists() const {
    KeyHandle key;
    return key.Open(hKey_, FullPath(), KEY_READ | View_) == ERROR_SUCCESS;
}

std::string RegistryRoutines::CreateKey(const std::optional<TaggedValue>& KeyName) const {
    const std::string name = KeyName ? KeyName->ToText() : Subkey_;
    const std::string path = KeyRoot_ + "\\" + name;
    HKEY created = nullptr;
    DWORD disposition = 0;  // not looked at: opening an existing key is success too
    char noClass[] = "";
    SECURITY_ATTRIBUTES security = security_;  // the API takes it non-const
    const LONG status = RegCreateKeyExA(hKey_, path.c_str(), 0 /* reserved */, noClass, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS | View_, &security, &created, &disposition);
    if (status != ERROR_SUCCESS) return std::string();
    KeyHandle owner;
    owner.Reset(created);
    return std::to_string(0);
}

std::int32_t RegistryRoutines::DeleteKey(const std::string& KeyName) const {
    const std::string path = KeyRoot_ + "\\" + KeyName;
    return RegDeleteKeyA(hKey_, path.c_str());
}

std::int32_t RegistryRoutines::DeleteValue(const std::string& ValueName) const {
    KeyHandle key;
    // The right to set values is all a value's deletion needs: a key the user
    // may change but not administer (no DELETE or WRITE_DAC) loses it too.
    const LONG opened = key.Open(hKey_, FullPath(), KEY_SET_VALUE | View_);
    if (opened != ERROR_SUCCESS) return opened;
    return RegDeleteValueA(key.get(), ValueName.c_str());
}

namespace {
// The key an enumeration lists: KeyName below hKey, opened for reading into
// `opened`, or hKey itself when KeyName is empty; nullptr when it won't open.
HKEY KeyToList(HKEY hKey, const std::string& KeyName, REGSAM view, KeyHandle& opened) {
    if (KeyName.empty()) return hKey;
    return opened.Open(hKey, KeyName, KEY_READ | view) == ERROR_SUCCESS ? opened.get() : nullptr;
}
}  // namespace

KeyedCollection RegistryRoutines::EnumRegistryKeys(HKEY hKey, const std::string& KeyName) const {
    KeyedCollection names;
    KeyHandle opened;
    const HKEY key = KeyToList(hKey, KeyName, View_, opened);
    if (!key) return names;
    // Registry key names have at most 255 characters; 260 holds any of them
    // with its NUL. Any status but success ends the list (259 at its end).
    // No class is asked for: a subkey's class name that did not fit a class
    // buffer would end the list there.
    for (DWORD index = 0;; ++index) {
        std::vector<char> name(260, ' ');
        DWORD nameSize = static_cast<DWORD>(name.size());
        FILETIME lastWrite{};  // not used
        const LONG status = RegEnumKeyExA(key, index, name.data(), &nameSize, nullptr /* reserved */,
                                          nullptr /* no class */, nullptr, &lastWrite);
        if (status != ERROR_SUCCESS) break;
        if (nameSize > name.size()) nameSize = static_cast<DWORD>(name.size());
        std::string text(name.data(), nameSize);
        TrimNull(text);
        names.Add(text, TaggedValue(text));
    }
    return names;
}

KeyedCollection RegistryRoutines::EnumRegistryValues(HKEY hKey, const std::string& KeyName) const {
    KeyedCollection values;
    KeyHandle opened;
    const HKEY key = KeyToList(hKey, KeyName, View_, opened);
    if (!key) return values;
    // Size the name buffer for the longest name the key reports, so that no
    // name needs a second call; EnumValue still grows it should a longer one
    // appear meanwhile.
    DWORD longestName = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr /* reserved */, nullptr, nullptr, nullptr, nullptr,
                         &longestName, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        longestName = 0;
    DWORD nameCapacity = std::max<DWORD>(260, std::min(longestName, value_codec::kMaxNameCapacity - 1) + 1);
    // Any status but success ends the list (259 at its end).
    for (DWORD index = 0;; ++index) {
        std::string name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        if (value_codec::EnumValue(key, index, nameCapacity, name, type, data) != ERROR_SUCCESS) break;
        TaggedValue item(TaggedValue::List{TaggedValue(name), value_codec::ListedValue(type, data)});
        values.Add(name, std::move(item));
    }
    return values;
}

TaggedValue RegistryRoutines::GetRegistryValue(const std::string& ValueName,
                                               const std::optional<TaggedValue>& DefaultValue) const {
    const TaggedValue fallback = DefaultValue ? *DefaultValue : TaggedValue();
    KeyHandle key;
    if (key.Open(hKey_, FullPath(), KEY_READ | View_) != ERROR_SUCCESS) return fallback;
    return value_codec::ReadDecoded(key.get(), ValueName, fallback);
}

bool RegistryRoutines::SetRegistryValue(const std::string& ValueName, const TaggedValue& Value,
                                        std::int32_t DType) const {
    return WriteRegistryValue(ValueName, Value, DType) == ERROR_SUCCESS;
}

std::int32_t RegistryRoutines::WriteRegistryValue(const std::string& ValueName, const TaggedValue& Value,
                                                  std::int32_t DType) const {
    const auto type = static_cast<DWORD>(DType);
    if (!value_codec::IsWritableType(type)) return ERROR_INVALID_PARAMETER;
    KeyHandle key;
    const LONG opened = key.Open(hKey(), FullPath(), KEY_WRITE | View_);
    if (opened != ERROR_SUCCESS) return opened;
    return value_codec::WriteValue(key.get(), ValueName, Value, type);
}

namespace {

// Connects to the registry root `root` of `computer` and opens `path` below it
// with `access`. `remoteRoot` owns the connection's handle, so it is released
// on every path. For this computer the platform may hand back the very key it
// was given (a predefined root, or even the caller's open key): that one is
// not ours to close. Returns the connection's status; the open's status goes
// to `opened`.
LONG OpenRemoteKey(const std::string& computer, HKEY root, const std::string& path, REGSAM access,
                   KeyHandle& remoteRoot, KeyHandle& key, LONG& opened) {
    HKEY connected = nullptr;
    const LONG status = RegConnectRegistryA(computer.c_str(), root, &connected);
    if (status != ERROR_SUCCESS) return status;
    if (connected != root) remoteRoot.Reset(connected);
    opened = key.Open(connected, path, access);
    return status;
}

}  // namespace

TaggedValue RegistryRoutines::ReadRemoteRegistryValue(const std::string& sRemoteComputer, HKEY hKey,
                                                      const std::string& ValueName,
                                                      const std::optional<std::string>& KeyPath) const {
    // Declared before `key` so that the key is closed before its connection.
    KeyHandle remoteRoot;
    KeyHandle key;
    LONG opened = ERROR_SUCCESS;
    // Reading needs read access only: a key the caller may read but not
    // change is read like any other.
    if (OpenRemoteKey(sRemoteComputer, hKey, KeyPath ? *KeyPath : FullPath(), KEY_READ | View_, remoteRoot, key,
                      opened) != ERROR_SUCCESS)
        return TaggedValue("Error!");
    if (opened != ERROR_SUCCESS) return TaggedValue();
    return value_codec::ReadDecoded(key.get(), ValueName, TaggedValue());
}

bool RegistryRoutines::WriteRemoteRegistryValue(const std::string& sRemoteComputer, HKEY hKey,
                                                const std::string& ValueName, const TaggedValue& Value,
                                                std::int32_t DType, const std::optional<std::string>& KeyPath) const {
    const auto type = static_cast<DWORD>(DType);
    // A type that is never written is a failure, reported before connecting.
    if (!value_codec::IsWritableType(type)) return false;
    KeyHandle remoteRoot;
    KeyHandle key;
    LONG opened = ERROR_SUCCESS;
    // Write access is all a value write needs (as SetRegistryValue asks).
    if (OpenRemoteKey(sRemoteComputer, hKey, KeyPath ? *KeyPath : FullPath(), KEY_WRITE | View_, remoteRoot, key,
                      opened) != ERROR_SUCCESS ||
        opened != ERROR_SUCCESS)
        return false;
    return value_codec::WriteValue(key.get(), ValueName, Value, type) == ERROR_SUCCESS;
}

std::string RegistryRoutines::TrimNull(std::string& item) const {
    const std::size_t nul = item.find('\0');
    if (nul != std::string::npos) item.erase(nul);
    return item;
}
