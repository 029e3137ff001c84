// FixedKeysTest: for handlers on fixed keys (the media class key below HKLM,
// HKCU's Shell and ShellNoRoam). Each key is saved with its subtree before the
// test and put back after (or its first missing level removed). Raw Win32 only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "test_key.h"

namespace fixed {
constexpr char kClassKey[] = "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";  // HKLM
constexpr char kAviKey[] = "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}\\InProcServer32";
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows";  // HKCU
constexpr char kShellKey[] = "Software\\Microsoft\\Windows\\Shell";
constexpr char kShellNoRoamKey[] = "Software\\Microsoft\\Windows\\ShellNoRoam";
std::vector<BYTE> Sz(const std::string& text);  // with its NUL
}  // namespace fixed

class FixedKeysTest : public RegistryTest {
protected:
    FixedKeysTest();
    ~FixedKeysTest() override;
    void SetUp() override;
    void TearDown() override;

    static void MakeKeyAt(HKEY root, const std::string& path);  // level by level
    static bool KeyPresentAt(HKEY root, const std::string& path);
    static void RemoveKeyAt(HKEY root, const std::string& path);
    // Writes exactly `data` (no terminator added) into an existing key.
    static void SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type,
                           std::vector<BYTE> data);
    // Missing value: empty data and *present false, or a test failure.
    static std::vector<BYTE> GetValueAt(HKEY root, const std::string& path, const std::string& name,
                                        DWORD* type = nullptr, bool* present = nullptr);

private:
    struct Guard;
    std::vector<std::unique_ptr<Guard>> guards_;
};
