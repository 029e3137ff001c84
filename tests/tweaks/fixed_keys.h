// FixedKeysTest: the fixture of the tests that drive the program's handlers
// on the fixed registry keys they edit, which no per-test key can stand in
// for: the media extension's class key below HKEY_LOCAL_MACHINE and the
// current user's Shell and ShellNoRoam keys.
//
// Before each test it saves those keys with everything below them (under
// Wine the prefix may hold some of them already); afterwards it removes what
// the test left there and puts the saved trees back, or removes the first
// level that did not exist. The helpers work through raw Win32 calls and
// absolute paths, and create keys one level at a time relative to the
// parent's handle (the ANSI functions refuse paths over 260 characters).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "test_key.h"

namespace fixed {

// Below HKEY_LOCAL_MACHINE.
constexpr char kClassKey[] = "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";
constexpr char kAviKey[] = "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}\\InProcServer32";
// Below HKEY_CURRENT_USER.
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows";
constexpr char kShellKey[] = "Software\\Microsoft\\Windows\\Shell";
constexpr char kShellNoRoamKey[] = "Software\\Microsoft\\Windows\\ShellNoRoam";

// String data with its terminating NUL, as the platform stores a text.
std::vector<BYTE> Sz(const std::string& text);

}  // namespace fixed

class FixedKeysTest : public RegistryTest {
protected:
    FixedKeysTest();
    ~FixedKeysTest() override;
    void SetUp() override;
    void TearDown() override;

    // Creates root\path and every missing level above it.
    static void MakeKeyAt(HKEY root, const std::string& path);
    static bool KeyPresentAt(HKEY root, const std::string& path);
    // Removes root\path with everything below it.
    static void RemoveKeyAt(HKEY root, const std::string& path);
    // Writes exactly `data` (no terminator is added) into an existing key.
    static void SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type,
                           std::vector<BYTE> data);
    static bool ValuePresentAt(HKEY root, const std::string& path, const std::string& name);
    // Type and bytes of a value; fails the test when it is missing.
    static std::vector<BYTE> GetValueAt(HKEY root, const std::string& path, const std::string& name,
                                        DWORD* type = nullptr);

private:
    struct Guard;
    std::vector<std::unique_ptr<Guard>> guards_;
};
