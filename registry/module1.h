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
// A key that refuses deletion and also refuses to be opened with full access
// gets the "Access Denied" message box, once, owned by the active window
// (modal for the program), and the deletion goes on with its siblings; the
// keys above it stay. Always ends. Returns the status of
// the deletion of `path` itself (0 when it is gone).
//
// The empty path (or one of only "\") directly below a predefined root would
// name the root itself: nothing is deleted and the result is
// ERROR_INVALID_PARAMETER. On an opened key the empty path deletes that key.
LONG DeleteKeyTree(HKEY parent, const std::string& path);

// Closes `key` with RegCloseKey.
LONG CloseKey(HKEY key);

}  // namespace Module1
