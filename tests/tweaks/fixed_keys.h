// FixedKeysTest: fixture for the handlers that edit fixed keys no per-test
// key can stand in for (the media class key below HKLM, HKCU's Shell and
// ShellNoRoam). Each key is saved before the test with everything below it
// and put back afterwards (or its first missing level removed). Raw Win32
// calls only, with absolute paths.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "test_key.h"

namespace fixed {

constexpr char kClassKey[] = "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";  // below HKLM
constexpr char kAviKey[] = "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}\\InProcServer32";
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows";  // below HKCU
constexpr char kShellKey[] = "Software\\Microsoft\\Windows\\Shell";
constexpr char kShellNoRoamKey[] = "Software\\Microsoft\\Windows\\ShellNoRoam";

// String data with its terminating NUL.
std::vector<BYTE> Sz(const std::string& text);

}  // namespace fixed

class FixedKeysTest : public RegistryTest {
protected:
    FixedKeysTest();
    ~FixedKeysTest() override;
    void SetUp() override;
    void TearDown() override;

    // Creates root\path level by level (the ANSI calls refuse long paths).
    static void MakeKeyAt(HKEY root, const std::string& path);
    static bool KeyPresentAt(HKEY root, const std::string& path);
    static void RemoveKeyAt(HKEY root, const std::string& path);
    // Writes exactly `data` (no terminator added) into an existing key.
    static void SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type,
                           std::vector<BYTE> data);
    static bool ValuePresentAt(HKEY root, const std::string& path, const std::string& name);
    // Fails the test when the value is missing.
    static std::vector<BYTE> GetValueAt(HKEY root, const std::string& path, const std::string& name,
                                        DWORD* type = nullptr);

private:
    struct Guard;
    std::vector<std::unique_ptr<Guard>> guards_;
};
