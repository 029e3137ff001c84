// Fault injection on the stand-in: each registry operation of the program is
// run once to count its registry calls; then for each call k that call meets
// a fault: refused (ERROR_ACCESS_DENIED), vanished (the operation's key is
// deleted just before it), grown (its values are rewritten larger just
// before it) or growing (the same before k and every later call). Each run
// must end with a defined result, within bounded calls, with no handle open
// and nothing outside the operation's keys changed.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "registry/module1.h"
#include "registry/registry_routines.h"
#include "reliability_support.h"
#include "test_key.h"
#include "tweaks/folders_page.h"
#include "tweaks/video_page.h"

namespace {

using B = std::vector<BYTE>;
using reliability::MakeKeyAt;
using reliability::SetValueAt;
using reliability::Sz;

const std::string kBase = "Software\\QorvelTweakerTests\\Faults";
const std::string kTarget = kBase + "\\Target";
const std::string kOutside = kBase + "\\Outside";
const std::string kAvi = kBase + "\\Avi\\InProcServer32";
const std::string kWindows = "Software\\Microsoft\\Windows";
const std::string kRemote = "\\\\REMOTEPC";
const std::string kRemotePath = "Software\\Faults";
constexpr unsigned long kCallCap = 4000;  // past this every call is refused

// Each type the program converts, one value past the first read buffer and
// one past the first list buffer.
void FillValues(HKEY root, const std::string& path) {
    SetValueAt(root, path, "", REG_SZ, Sz("default"));
    SetValueAt(root, path, "sz", REG_SZ, Sz("hello"));
    SetValueAt(root, path, "expand", REG_EXPAND_SZ, Sz("%SystemRoot%\\x"));
    SetValueAt(root, path, "dword", REG_DWORD, {1, 2, 3, 4});
    SetValueAt(root, path, "multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
    SetValueAt(root, path, "bin", REG_BINARY, B(5000, 0xAB));
    SetValueAt(root, path, "big", REG_SZ, Sz(std::string(3000, 'q')));
}

// Runs `fn` on HKCU, or on the remote computer's HKLM.
void OnRoot(bool remote, const std::function<void(HKEY)>& fn) {
    if (!remote) return fn(HKEY_CURRENT_USER);
    HKEY key = nullptr;
    if (RegConnectRegistryA(kRemote.c_str(), HKEY_LOCAL_MACHINE, &key) != ERROR_SUCCESS) return;
    fn(key);
    RegCloseKey(key);
}

void BuildRegistry() {
    standin::Reset();
    standin::AddComputer(kRemote.substr(2));
    for (const char* sub : {"Child1\\Grand\\Great", "Child2", "Leaf"})
        MakeKeyAt(HKEY_CURRENT_USER, kTarget + "\\" + sub);
    FillValues(HKEY_CURRENT_USER, kTarget);
    SetValueAt(HKEY_CURRENT_USER, kTarget + "\\Child1\\Grand", "g", REG_DWORD, {7, 0, 0, 0});
    MakeKeyAt(HKEY_CURRENT_USER, kOutside + "\\Below");
    SetValueAt(HKEY_CURRENT_USER, kOutside, "keep", REG_SZ, Sz("me"));
    MakeKeyAt(HKEY_CURRENT_USER, kAvi);
    SetValueAt(HKEY_CURRENT_USER, kAvi, "", REG_EXPAND_SZ, Sz("%SystemRoot%\\System32\\shmedia.dll"));
    SetValueAt(HKEY_CURRENT_USER, kAvi, "ThreadingModel", REG_SZ, Sz("Both"));
    for (const char* sub :
         {"Shell\\BagMRU\\0", "ShellNoRoam\\BagMRU\\0\\1", "ShellNoRoam\\Bags\\1\\Shell", "ShellNoRoam\\Bags\\2"})
        MakeKeyAt(HKEY_CURRENT_USER, kWindows + "\\" + sub);
    for (const char* sub : {"\\Shell", "\\ShellNoRoam"})
        SetValueAt(HKEY_CURRENT_USER, kWindows + sub, "BagMRU Size", REG_DWORD, {0xA0, 0x0F, 0, 0});
    SetValueAt(HKEY_CURRENT_USER, kWindows + "\\ShellNoRoam\\Bags\\1\\Shell", "v", REG_BINARY, B(40, 1));
    OnRoot(true, [](HKEY remote) {
        MakeKeyAt(remote, kRemotePath);
        FillValues(remote, kRemotePath);
    });
}

struct Operation {
    const char* name;
    bool remote;         // the key lies in the remote HKLM
    std::string target;  // the key the faults aim at
    std::function<void()> run;
    std::vector<std::string> untouched;  // below HKCU, must not change
};

RegistryRoutines Aimed(const std::string& root, const std::string& sub) {
    RegistryRoutines r;
    r.hKey(HKEY_CURRENT_USER);
    r.KeyRoot(root);
    r.Subkey(sub);
    return r;
}

class RecordingView : public AviStatusView {
public:
    void AVI_Output_Text1(const std::string& text) override { texts.push_back("1:" + text); }
    void AVI_Output_Text2(const std::string& text) override { texts.push_back("2:" + text); }
    std::vector<std::string> texts;
};

// Whatever failed, both status fields are given a text, once each, in order.
void RefreshChecked(void (*handler)(const RegistryRoutines&, AviStatusView&)) {
    RecordingView view;
    handler(Aimed(kBase + "\\Avi", "InProcServer32"), view);
    if (view.texts.size() != 2 || view.texts[0].compare(0, 2, "1:") != 0 || view.texts[1].compare(0, 2, "2:") != 0)
        throw std::logic_error("status fields not both refreshed");
}

std::vector<Operation> Operations() {
    const RegistryRoutines t = Aimed(kBase, "Target");
    const RegistryRoutines shell = Aimed(kWindows, "Shell"), noRoam = Aimed(kWindows, "ShellNoRoam");
    const std::string local = std::string("\\\\") + standin::LocalComputerName();
    const std::vector<std::string> out = {kOutside, kAvi, kWindows}, avi = {kOutside, kTarget, kWindows};
    return {
        {"KeyExists", false, kTarget, [=] { t.KeyExists(); }, out},
        {"CreateKey", false, kTarget, [=] { t.CreateKey(TaggedValue("Target\\New\\Deeper")); }, out},
        {"DeleteKey", false, kTarget, [=] { t.DeleteKey("Target\\Leaf"); }, out},
        {"DeleteValue", false, kTarget, [=] { t.DeleteValue("sz"); }, out},
        {"EnumRegistryKeys", false, kTarget, [=] { t.EnumRegistryKeys(HKEY_CURRENT_USER, kTarget); }, out},
        {"EnumRegistryValues", false, kTarget, [=] { t.EnumRegistryValues(HKEY_CURRENT_USER, kTarget); }, out},
        {"GetRegistryValue(sz)", false, kTarget, [=] { t.GetRegistryValue("sz", TaggedValue("d")); }, out},
        {"GetRegistryValue(big)", false, kTarget, [=] { t.GetRegistryValue("big"); }, out},
        {"GetRegistryValue(expand)", false, kTarget, [=] { t.GetRegistryValue("expand"); }, out},
        {"SetRegistryValue", false, kTarget, [=] { t.SetRegistryValue("sz", TaggedValue("new"), REG_SZ); }, out},
        {"ReadRemote(remote)", true, kRemotePath,
         [=] { t.ReadRemoteRegistryValue(kRemote, HKEY_LOCAL_MACHINE, "big", kRemotePath); }, out},
        {"ReadRemote(local)", false, kTarget, [=] { t.ReadRemoteRegistryValue(local, HKEY_CURRENT_USER, "bin"); }, out},
        {"WriteRemote(remote)", true, kRemotePath,
         [=] {
             t.WriteRemoteRegistryValue(kRemote, HKEY_LOCAL_MACHINE, "dword", TaggedValue(5), REG_DWORD, kRemotePath);
         },
         out},
        {"WriteRemote(local)", false, kTarget,
         [=] { t.WriteRemoteRegistryValue("", HKEY_CURRENT_USER, "sz", TaggedValue("w"), REG_SZ); }, out},
        {"DeleteKeyTree", false, kTarget, [] { Module1::DeleteKeyTree(HKEY_CURRENT_USER, kTarget); }, out},
        {"AVI_New_Click", false, kAvi, [] { RefreshChecked(VideoPage::AVI_New_Click); }, avi},
        {"AVI_Default_Click", false, kAvi, [] { RefreshChecked(VideoPage::AVI_Default_Click); }, avi},
        {"RefreshAviStatus", false, kAvi, [] { RefreshChecked(VideoPage::RefreshAviStatus); }, avi},
        {"Increase_Folders_Click",
         false,
         kWindows + "\\ShellNoRoam",
         [=] { FoldersPage::Increase_Folders_Click(shell, noRoam); },
         {kOutside, kTarget, kAvi, kWindows + "\\Shell\\BagMRU"}},
        {"Default_Folders_Click",
         false,
         kWindows + "\\Shell",
         [=] { FoldersPage::Default_Folders_Click(shell, noRoam); },
         {kOutside, kTarget, kAvi, kWindows + "\\ShellNoRoam\\Bags"}},
        {"Reset_Folders_Click",
         false,
         kWindows + "\\ShellNoRoam\\Bags",
         [] { FoldersPage::Reset_Folders_Click(); },
         {kOutside, kTarget, kAvi, kWindows + "\\Shell"}},
    };
}

// Rewrites every value of root\path 1,000 bytes longer, same type.
void GrowValues(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> names;
    std::vector<char> name(16384 + 1);
    for (DWORD i = 0, size = 16385;
         RegEnumValueA(key, i, name.data(), &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = 16385)
        names.emplace_back(name.data(), size);
    for (const auto& n : names) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key, n.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) continue;
        B data(size + 1000, 'g');
        RegQueryValueExA(key, n.c_str(), nullptr, &type, data.data() + 1000, &size);
        RegSetValueExA(key, n.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    }
    RegCloseKey(key);
}

enum Fault { kRefused, kVanished, kGrown, kGrowing };
const char* const kFaultNames[] = {"refused", "vanished", "grown", "growing"};

struct RunResult {
    unsigned long calls = 0;
    bool runaway = false;
    std::string error;  // an exception other than a (documented) conversion error
};

// Runs the operation once, with `fault` at registry call `k` (0: none).
RunResult RunWith(const Operation& op, Fault fault, unsigned long k) {
    RunResult result;
    standin::SetCallHook([&](const std::string& function, unsigned long) -> LONG {
        if (function.compare(0, 3, "Reg") != 0) return ERROR_SUCCESS;
        const unsigned long n = ++result.calls;
        if (n > kCallCap) return result.runaway = true, ERROR_ACCESS_DENIED;
        if (k == 0 || n < k) return ERROR_SUCCESS;
        // A failed close leaves the handle open whatever the caller does.
        if (fault == kRefused) return n == k && function != "RegCloseKey" ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
        if (fault == kVanished && n == k) OnRoot(op.remote, [&](HKEY root) { RemoveTree(root, op.target); });
        if ((fault == kGrown && n == k) || fault == kGrowing)
            OnRoot(op.remote, [&](HKEY root) { GrowValues(root, op.target); });
        return ERROR_SUCCESS;
    });
    try {
        op.run();
    } catch (const ConversionError&) {
    } catch (const std::exception& e) {
        result.error = e.what();
    } catch (...) {
        result.error = "unknown exception";
    }
    standin::SetCallHook({});
    return result;
}

TEST(FaultInjectionTest, EveryCallOfEveryOperationMayFail) {
    STANDIN_ONLY();
    unsigned long runs = 0;
    for (const Operation& op : Operations()) {
        BuildRegistry();
        const RunResult clean = RunWith(op, kRefused, 0);
        ASSERT_TRUE(clean.error.empty() && !clean.runaway) << op.name << ": " << clean.error;
        ASSERT_GT(clean.calls, 0u) << op.name;
        ASSERT_EQ(0u, standin::OpenHandles()) << op.name;
        // A retry per call is allowed (a grown value takes up to 16 rounds).
        const unsigned long bound = 17 * clean.calls + 16;
        for (Fault fault : {kRefused, kVanished, kGrown, kGrowing}) {
            for (unsigned long k = 1; k <= clean.calls; ++k) {
                BuildRegistry();
                std::vector<std::vector<std::string>> before;
                for (const auto& key : op.untouched) before.push_back(RegistrySnapshot(HKEY_CURRENT_USER, key));
                const RunResult got = RunWith(op, fault, k);
                ++runs;
                const std::string where =
                    std::string(op.name) + ", " + kFaultNames[fault] + " at call " + std::to_string(k);
                EXPECT_TRUE(got.error.empty()) << where << ": threw " << got.error;
                EXPECT_FALSE(got.runaway) << where;
                EXPECT_LE(got.calls, bound) << where;
                EXPECT_EQ(0u, standin::OpenHandles()) << where << ": handle left open";
                for (std::size_t i = 0; i < op.untouched.size(); ++i)
                    EXPECT_EQ(before[i], RegistrySnapshot(HKEY_CURRENT_USER, op.untouched[i])) << where;
                if (::testing::Test::HasFailure()) {
                    standin::Reset();
                    return;
                }
            }
        }
    }
    standin::Reset();
    EXPECT_GT(runs, 200u);
}

}  // namespace
