// Module1: procedures on raw registry key handles, below RegistryRoutines.
// Their purpose is DeleteKeyTree, which deletes a key with every key below
// it; the others are thin wrappers around one platform call each.
//
// Every procedure stores the status of its platform call in LastResult and
// returns it. LastResult is plain module state: use these procedures from one
// thread only (the user-interface thread).
//
// Handles: OpenKey hands its handle to the caller, who closes it with
// CloseKey. DeleteKeyTree closes every handle it opens before it returns.
#pragma once

#include <string>

#include "platform/platform.h"

namespace Module1 {

// Counts of a key, as RegQueryInfoKeyA reports them.
struct KeyInfo {
    DWORD SubKeys = 0;          // number of subkeys
    DWORD MaxSubKeyLen = 0;     // length of the longest subkey name
    DWORD Values = 0;           // number of values
    DWORD MaxValueNameLen = 0;  // length of the longest value name
    DWORD MaxValueLen = 0;      // size of the largest value data
};

// The status of the last platform call made by these procedures.
extern LONG LastResult;

// Opens `path` below `parent` with `access`. Leading "\" characters are
// stripped from the caller's `path` first (a path of only "\" opens the
// parent itself).
LONG OpenKey(HKEY parent, std::string& path, HKEY& key, REGSAM access);

// Fills `info` from RegQueryInfoKeyA; on failure `info` is left as it was.
LONG QueryKeyInfo(HKEY key, KeyInfo& info);

// Reads the name of the subkey at `index`. `name` gives the buffer size by
// its length; on success it is cut to the name's length, on failure it is
// left as it was.
LONG EnumSubkeyName(HKEY key, DWORD index, std::string& name);

// Deletes `path` below `parent` with every subkey below it, deepest first.
// Every key is opened with REG_OPTION_OPEN_LINK and deleted through that
// handle (ntdll's NtDeleteKey): a registry link in the tree, or `path`
// itself when it is one, is deleted as a key of its own, and the key it
// points at is never entered, changed or deleted. No key more than 512
// levels below `path` is entered (Windows' registry is no deeper); a key
// there goes only if it has no subkeys.
//
// A key that refuses to be opened with full access is deleted when it has
// no subkeys and allows its deletion (DELETE). One that refuses both gets
// the "Access Denied" message box, once, owned by the program's window
// (modal for the program), and the deletion goes on with its siblings; the
// keys above it stay. Always ends. Returns the status of the deletion of
// `path` itself (0 when it is gone); ERROR_PROC_NOT_FOUND, with nothing
// deleted, when ntdll lacks NtDeleteKey or RtlNtStatusToDosError. Only this
// computer's registry: the keys of a connected remote computer are no
// handles of this process, and none of them is deleted (ERROR_INVALID_HANDLE).
//
// The empty path (or one of only "\") would name `parent` itself. Below a
// hive's root or a key above one, nothing is deleted and the result is
// ERROR_INVALID_PARAMETER: a predefined root, a key whose full name
// ("\REGISTRY\USER\<SID>", "\REGISTRY\MACHINE\SOFTWARE") has at most
// three levels, a last "Wow6432Node" (the 32-bit view) not counted, and a
// key whose name cannot be read (a connected remote computer's). On any
// other opened key the empty path deletes that key with its tree.
LONG DeleteKeyTree(HKEY parent, const std::string& path);

// Closes `key` with RegCloseKey.
LONG CloseKey(HKEY key);

}  // namespace Module1
