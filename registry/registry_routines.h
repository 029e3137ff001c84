// RegistryRoutines: the registry access object. One object names one target
// key: a key handle `hKey` (normally a predefined root) and the path
// `KeyRoot` + "\" + `Subkey` below it, joined exactly so, without trimming
// or adding separators elsewhere.
//
// Ownership: the object holds no registry handle between calls. Every
// operation opens what it needs, works and closes it before returning, on
// every path (KeyHandle). Copying an object copies its target.
//
// Errors: registry failures are reported in results, never thrown: a boolean,
// a Win32 status, the empty text, an empty collection or the caller's
// default. Only conversion failures (TypeMismatch, Overflow) throw.
//
// Texts are std::string in the system ANSI code page and go straight to the
// ANSI ("A") registry functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "registry/keyed_collection.h"
#include "registry/tagged_value.h"

class RegistryRoutines {
public:
    // The public members are declared in the object's fixed interface order.

    // The key below which the target lies.
    HKEY hKey() const { return hKey_; }
    void hKey(HKEY vData) { hKey_ = vData; }
    // First part of the path below hKey; may itself contain "\" separators.
    const std::string& KeyRoot() const { return KeyRoot_; }
    void KeyRoot(const std::string& vData) { KeyRoot_ = vData; }
    // Second part of the path.
    const std::string& Subkey() const { return Subkey_; }
    void Subkey(const std::string& vData) { Subkey_ = vData; }

    // True when the target key can be opened for reading.
    bool KeyExists() const;
    // Creates KeyRoot\KeyName (every missing level), or the target itself
    // when no name is given; an existing key counts as created. Returns "0"
    // on success, "" on failure.
    std::string CreateKey(const std::optional<TaggedValue>& KeyName = std::nullopt) const;
    // Deletes KeyRoot\KeyName, which must have no subkeys. Returns the Win32
    // status: 0 on success.
    std::int32_t DeleteKey(const std::string& KeyName) const;
    // Deletes a value of the target key ("" is the unnamed default value),
    // opened for setting values only. Returns the Win32 status of the failing
    // step, or 0.
    std::int32_t DeleteValue(const std::string& ValueName) const;
    // The names of the subkeys of hKey\KeyName (of hKey itself when KeyName
    // is empty), in the platform's order, each under its own name. The
    // object's own target plays no part. A key that cannot be opened gives an
    // empty collection; an enumeration failure ends the list.
    KeyedCollection EnumRegistryKeys(HKEY hKey, const std::string& KeyName) const;

    // Every value of hKey\KeyName (of hKey itself when KeyName is empty), in
    // the platform's order, each under its own name ("" for the unnamed
    // default value) as the two-item list [name, data]. The data are
    // converted for display: strings as text (expandable ones expanded),
    // REG_DWORD as integer, REG_BINARY as "01 AB 00", REG_MULTI_SZ joined
    // with ",", other types empty. Names and data of any length are listed
    // whole. The object's own target plays no part. A key that cannot be
    // opened gives an empty collection; an enumeration failure ends the list.
    KeyedCollection EnumRegistryValues(HKEY hKey, const std::string& KeyName) const;

    // Reads a value of the target key converted by its type; DefaultValue
    // (or the empty value) when the key or value is missing, unreadable, or
    // of a type other than 1, 2, 3, 4 and 7.
    TaggedValue GetRegistryValue(const std::string& ValueName,
                                 const std::optional<TaggedValue>& DefaultValue = std::nullopt) const;
    // Writes `Value` as registry type DType (1, 2, 3, 4 or 7) into the
    // existing target key; never creates the key. True when written. Throws
    // ConversionError when Value does not convert; the key is closed then too.
    bool SetRegistryValue(const std::string& ValueName, const TaggedValue& Value, std::int32_t DType) const;

    // Reads a value of the registry of computer sRemoteComputer ("\\NAME";
    // "" for this one), below its predefined root hKey, at KeyPath or, when
    // none is given, at the object's KeyRoot\Subkey ("" is the root itself).
    // Converted as GetRegistryValue does; the empty value when the key or
    // value is missing or unreadable; the text "Error!" when the connection
    // fails (a value holding "Error!" reads the same).
    TaggedValue ReadRemoteRegistryValue(const std::string& sRemoteComputer, HKEY hKey, const std::string& ValueName,
                                        const std::optional<std::string>& KeyPath = std::nullopt) const;
    // Writes a value there as SetRegistryValue does; never creates the key.
    // False when the connection, the open or the write fails, and for a
    // DType other than 1, 2, 3, 4 and 7. Throws ConversionError when Value
    // does not convert.
    bool WriteRemoteRegistryValue(const std::string& sRemoteComputer, HKEY hKey, const std::string& ValueName,
                                  const TaggedValue& Value, std::int32_t DType,
                                  const std::optional<std::string>& KeyPath = std::nullopt) const;

    // Cuts `item` before its first NUL character, in place, and returns it.
    std::string TrimNull(std::string& item) const;

    // Members added after the fixed interface.

    // The registry view the object works in on 64-bit Windows: 0 (the
    // process's own), KEY_WOW64_64KEY or KEY_WOW64_32KEY (registry_views.h),
    // added to the access of every key it opens or creates. DeleteKey
    // deletes in the process's own view (RegDeleteKeyA takes no view).
    REGSAM View() const { return View_; }
    void View(REGSAM vData) { View_ = vData; }
    // SetRegistryValue with the Win32 status of the step that failed: 0 when
    // written, ERROR_INVALID_PARAMETER for a DType that is never written.
    std::int32_t WriteRegistryValue(const std::string& ValueName, const TaggedValue& Value, std::int32_t DType) const;

private:
    std::string FullPath() const { return KeyRoot_ + "\\" + Subkey_; }

    HKEY hKey_ = nullptr;
    std::string KeyRoot_;
    std::string Subkey_;
    REGSAM View_ = 0;
    // Never changed; passed to RegCreateKeyExA (all zero: default security).
    SECURITY_ATTRIBUTES security_{};
};
