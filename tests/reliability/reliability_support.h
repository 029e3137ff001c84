// Raw registry set-up by absolute path for the reliability suites (Win32
// calls only, never the code under test).
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace reliability {

// Creates root\path one level at a time; false when a level could not be made.
bool MakeKeyAt(HKEY root, const std::string& path);
// Writes exactly `data` (no terminator added) into the existing key root\path.
bool SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::vector<BYTE>& data);
// String data with its terminating NUL.
std::vector<BYTE> Sz(const std::string& text);

}  // namespace reliability
