// FixedKeysTest: for handlers on the program's fixed keys (the media class
// key below HKLM, HKCU's Shell and ShellNoRoam). Each key is saved with its
// subtree before the test and put back after, or its first missing level
// removed. On a real Windows machine these are the user's live keys (the
// shell writes them meanwhile; a killed run would lose the user's views) and
// HKLM needs full rights: the tests run only natively, under Wine in the
// test prefix, or where QT_THROWAWAY_MACHINE=1 says the machine is a
// throw-away one (a VM), and are skipped elsewhere.
#pragma once

#include "test_key.h"

namespace fixed {
constexpr char kClassKey[] = "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";  // HKLM
constexpr char kAviKey[] = "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}\\InProcServer32";
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows";  // HKCU
constexpr char kShellKey[] = "Software\\Microsoft\\Windows\\Shell";
constexpr char kShellNoRoamKey[] = "Software\\Microsoft\\Windows\\ShellNoRoam";
}  // namespace fixed

class FixedKeysTest : public RegistryTest {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    struct Saved {
        HKEY root;
        std::string path, firstMissing;
        std::optional<KeyTree> tree;
    };
    std::vector<Saved> saved_;
};
