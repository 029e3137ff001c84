// Helpers shared by the reliability suites: raw registry set-up by absolute
// path and a full listing for before/after comparisons. Like the fixture's
// helpers they use the raw Win32 calls only, never the code under test.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace reliability {

// Creates root\path and every missing level above it, one level at a time
// relative to its parent's handle. False when a level could not be made.
bool MakeKeyAt(HKEY root, const std::string& path);
// Writes exactly `data` as `type` into the existing key root\path.
bool SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const std::vector<BYTE>& data);
// Every key below root\path (itself included) with its values, types and
// bytes, one line each, in the platform's order; empty when it is missing.
std::vector<std::string> Listing(HKEY root, const std::string& path);

}  // namespace reliability
