// Raw Win32 registry set-up by absolute path for the reliability suites.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace reliability {
bool MakeKeyAt(HKEY root, const std::string& path);  // level by level
// Writes exactly `data` (no terminator added) into the existing key.
bool SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::vector<BYTE>& data);
std::vector<BYTE> Sz(const std::string& text);  // with its NUL
}  // namespace reliability
