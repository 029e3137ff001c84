// Fault injection on the stand-in: every registry operation of the program
// is first run once to count the registry calls it makes on a representative
// set-up; then, for each call number k, that call meets a fault:
//   refused   - the call fails with ERROR_ACCESS_DENIED;
//   vanished  - the operation's key disappears just before the call;
//   grown     - the key's values are rewritten larger just before the call
//               (between the two queries of a read, for instance);
//   growing   - the same before call k and every call after it.
// Every run must end with a defined result (no exception but a documented
// conversion error), within a bounded number of calls, with no registry
// handle open, and with nothing outside the operation's keys changed.
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
using reliability::Listing;
using reliability::MakeKeyAt;
using reliability::SetValueAt;

const std::string kBase = "Software\\QorvelTweakerTests\\Faults";
const std::string kTarget = kBase + "\\Target";
const std::string kOutside = kBase + "\\Outside";
const std::string kAvi = kBase + "\\Avi\\InProcServer32";
const std::string kWindows = "Software\\Microsoft\\Windows";
const std::string kRemoteComputer = "REMOTEPC";
const std::string kRemotePath = "Software\\Faults";

// A runaway operation is stopped here (every later call is refused) and
// reported, rather than left to spin.
constexpr unsigned long kCallCap = 4000;

B Sz(const std::string& text) {
    B out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

// The values every target key starts with: each type the program converts,
// one value past the first read buffer and one past the first list buffer.
void FillValues(HKEY root, const std::string& path) {
    SetValueAt(root, path, "", REG_SZ, Sz("default"));
    SetValueAt(root, path, "sz", REG_SZ, Sz("hello"));
    SetValueAt(root, path, "expand", REG_EXPAND_SZ, Sz("%SystemRoot%\\x"));
    SetValueAt(root, path, "dword", REG_DWORD, {1, 2, 3, 4});
    SetValueAt(root, path, "multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
    SetValueAt(root, path, "bin", REG_BINARY, B(5000, 0xAB));
    SetValueAt(root, path, "big", REG_SZ, Sz(std::string(3000, 'q')));
}

void BuildRegistry() {
    standin::Reset();
    standin::AddComputer(kRemoteComputer);
    for (const char* sub : {"Child1\\Grand\\Great", "Child2", "Leaf"}) MakeKeyAt(HKEY_CURRENT_USER, kTarget + "\\" + sub);
    FillValues(HKEY_CURRENT_USER, kTarget);
    SetValueAt(HKEY_CURRENT_USER, kTarget + "\\Child1\\Grand", "g", REG_DWORD, {7, 0, 0, 0});
    MakeKeyAt(HKEY_CURRENT_USER, kOutside + "\\Below");
    SetValueAt(HKEY_CURRENT_USER, kOutside, "keep", REG_SZ, Sz("me"));
    MakeKeyAt(HKEY_CURRENT_USER, kAvi);
    SetValueAt(HKEY_CURRENT_USER, kAvi, "", REG_EXPAND_SZ, Sz("%SystemRoot%\\System32\\shmedia.dll"));
    SetValueAt(HKEY_CURRENT_USER, kAvi, "ThreadingModel", REG_SZ, Sz("Both"));
    // The Folders page's keys, with the remembered views to reset.
    for (const char* sub : {"Shell\\BagMRU\\0", "ShellNoRoam\\BagMRU\\0\\1", "ShellNoRoam\\Bags\\1\\Shell",
                            "ShellNoRoam\\Bags\\2"})
        MakeKeyAt(HKEY_CURRENT_USER, kWindows + "\\" + sub);
    SetValueAt(HKEY_CURRENT_USER, kWindows + "\\Shell", "BagMRU Size", REG_DWORD, {0xA0, 0x0F, 0, 0});
    SetValueAt(HKEY_CURRENT_USER, kWindows + "\\ShellNoRoam", "BagMRU Size", REG_DWORD, {0xA0, 0x0F, 0, 0});
    SetValueAt(HKEY_CURRENT_USER, kWindows + "\\ShellNoRoam\\Bags\\1\\Shell", "v", REG_BINARY, B(40, 1));
    // The remote computer's registry.
    HKEY remote = nullptr;
    if (RegConnectRegistryA(("\\\\" + kRemoteComputer).c_str(), HKEY_LOCAL_MACHINE, &remote) == ERROR_SUCCESS) {
        MakeKeyAt(remote, kRemotePath);
        FillValues(remote, kRemotePath);
        RegCloseKey(remote);
    }
}

// A registry operation of the program and the key its faults aim at.
struct Operation {
    const char* name;
    bool remote;         // the key lies in the remote computer's HKLM
    std::string target;  // below HKCU (or the remote HKLM)
    std::function<void()> run;
    // The keys outside which nothing may change (below HKCU).
    std::vector<std::string> untouched;
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

void RefreshChecked(void (*handler)(const RegistryRoutines&, AviStatusView&)) {
    RecordingView view;
    handler(Aimed(kBase + "\\Avi", "InProcServer32"), view);
    // Whatever failed, both fields were given a text, once each, in order.
    if (view.texts.size() != 2 || view.texts[0].compare(0, 2, "1:") != 0 || view.texts[1].compare(0, 2, "2:") != 0)
        throw std::logic_error("status fields not both refreshed");
}

std::vector<Operation> Operations() {
    const RegistryRoutines target = Aimed(kBase, "Target");
    const RegistryRoutines shell = Aimed(kWindows, "Shell");
    const RegistryRoutines noRoam = Aimed(kWindows, "ShellNoRoam");
    const std::string remoteName = "\\\\" + kRemoteComputer;
    const std::string local = std::string("\\\\") + standin::LocalComputerName();
    const std::vector<std::string> outside = {kOutside, kAvi, kWindows};
    std::vector<Operation> ops = {
        {"KeyExists", false, kTarget, [=] { target.KeyExists(); }, outside},
        {"CreateKey", false, kTarget, [=] { target.CreateKey(TaggedValue("Target\\New\\Deeper")); }, outside},
        {"DeleteKey", false, kTarget, [=] { target.DeleteKey("Target\\Leaf"); }, outside},
        {"DeleteValue", false, kTarget, [=] { target.DeleteValue("sz"); }, outside},
        {"EnumRegistryKeys", false, kTarget, [=] { target.EnumRegistryKeys(HKEY_CURRENT_USER, kTarget); }, outside},
        {"EnumRegistryValues", false, kTarget, [=] { target.EnumRegistryValues(HKEY_CURRENT_USER, kTarget); },
         outside},
        {"GetRegistryValue(sz)", false, kTarget, [=] { target.GetRegistryValue("sz", TaggedValue("d")); }, outside},
        {"GetRegistryValue(big)", false, kTarget, [=] { target.GetRegistryValue("big"); }, outside},
        {"GetRegistryValue(expand)", false, kTarget, [=] { target.GetRegistryValue("expand"); }, outside},
        {"SetRegistryValue", false, kTarget, [=] { target.SetRegistryValue("sz", TaggedValue("new"), REG_SZ); },
         outside},
        {"ReadRemoteRegistryValue(remote)", true, kRemotePath,
         [=] { target.ReadRemoteRegistryValue(remoteName, HKEY_LOCAL_MACHINE, "big", kRemotePath); }, outside},
        {"ReadRemoteRegistryValue(local)", false, kTarget,
         [=] { target.ReadRemoteRegistryValue(local, HKEY_CURRENT_USER, "bin"); }, outside},
        {"WriteRemoteRegistryValue(remote)", true, kRemotePath,
         [=] {
             target.WriteRemoteRegistryValue(remoteName, HKEY_LOCAL_MACHINE, "dword", TaggedValue(5), REG_DWORD,
                                             kRemotePath);
         },
         outside},
        {"WriteRemoteRegistryValue(local)", false, kTarget,
         [=] { target.WriteRemoteRegistryValue("", HKEY_CURRENT_USER, "sz", TaggedValue("w"), REG_SZ); }, outside},
        {"DeleteKeyTree", false, kTarget, [] { Module1::DeleteKeyTree(HKEY_CURRENT_USER, kTarget); }, outside},
        {"AVI_New_Click", false, kAvi, [] { RefreshChecked(VideoPage::AVI_New_Click); },
         {kOutside, kTarget, kWindows}},
        {"AVI_Default_Click", false, kAvi, [] { RefreshChecked(VideoPage::AVI_Default_Click); },
         {kOutside, kTarget, kWindows}},
        {"RefreshAviStatus", false, kAvi, [] { RefreshChecked(VideoPage::RefreshAviStatus); },
         {kOutside, kTarget, kWindows}},
        {"Increase_Folders_Click", false, kWindows + "\\ShellNoRoam",
         [=] { FoldersPage::Increase_Folders_Click(shell, noRoam); },
         {kOutside, kTarget, kAvi, kWindows + "\\Shell\\BagMRU"}},
        {"Default_Folders_Click", false, kWindows + "\\Shell",
         [=] { FoldersPage::Default_Folders_Click(shell, noRoam); },
         {kOutside, kTarget, kAvi, kWindows + "\\ShellNoRoam\\Bags"}},
        {"Reset_Folders_Click", false, kWindows + "\\ShellNoRoam\\Bags", [] { FoldersPage::Reset_Folders_Click(); },
         {kOutside, kTarget, kAvi, kWindows + "\\Shell"}},
    };
    return ops;
}

// Runs `fn` on the operation's root key (HKCU, or the remote HKLM).
void OnRoot(const Operation& op, const std::function<void(HKEY)>& fn) {
    if (!op.remote) {
        fn(HKEY_CURRENT_USER);
        return;
    }
    HKEY remote = nullptr;
    if (RegConnectRegistryA(("\\\\" + kRemoteComputer).c_str(), HKEY_LOCAL_MACHINE, &remote) != ERROR_SUCCESS) return;
    fn(remote);
    RegCloseKey(remote);
}

// Rewrites every value of the target key `by` bytes longer, same type.
void GrowValues(HKEY root, const std::string& path, std::size_t by = 1000) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        std::vector<char> name(16384 + 1);
        DWORD size = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key, i, name.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name.data(), size);
    }
    for (const auto& name : names) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) continue;
        B data(size + by, 'g');
        RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data() + by, &size);
        RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    }
    RegCloseKey(key);
}

enum class Fault { Refused, Vanished, Grown, Growing };
const char* FaultName(Fault f) {
    switch (f) {
        case Fault::Refused: return "refused";
        case Fault::Vanished: return "vanished";
        case Fault::Grown: return "grown";
        case Fault::Growing: return "growing";
    }
    return "?";
}

bool IsRegistryCall(const std::string& function) {
    return function.compare(0, 3, "Reg") == 0;
}

struct RunResult {
    unsigned long calls = 0;
    bool runaway = false;
    std::string error;  // an exception other than a conversion error
};

// Runs the operation once, with `fault` at registry call `k` (0: none).
RunResult RunWith(const Operation& op, Fault fault, unsigned long k) {
    RunResult result;
    standin::SetCallHook([&](const std::string& function, unsigned long) -> LONG {
        if (!IsRegistryCall(function)) return ERROR_SUCCESS;
        const unsigned long n = ++result.calls;
        if (n > kCallCap) {
            result.runaway = true;
            return ERROR_ACCESS_DENIED;
        }
        if (k == 0 || n < k) return ERROR_SUCCESS;
        switch (fault) {
            case Fault::Refused:
                // A close that fails leaves the handle open whatever the
                // caller does: only the other calls are refused.
                return n == k && function != "RegCloseKey" ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
            case Fault::Vanished:
                if (n == k) OnRoot(op, [&](HKEY root) { RemoveTree(root, op.target); });
                return ERROR_SUCCESS;
            case Fault::Grown:
            case Fault::Growing:
                if (n == k || fault == Fault::Growing) OnRoot(op, [&](HKEY root) { GrowValues(root, op.target); });
                return ERROR_SUCCESS;
        }
        return ERROR_SUCCESS;
    });
    try {
        op.run();
    } catch (const ConversionError&) {
        // Documented: conversions may throw; nothing here should reach one,
        // but it is a defined result.
    } catch (const std::exception& e) {
        result.error = e.what();
    } catch (...) {
        result.error = "unknown exception";
    }
    standin::SetCallHook({});
    return result;
}

class FaultInjectionTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (kStandIn) standin::Reset();
    }
};

TEST_F(FaultInjectionTest, EveryCallOfEveryOperationMayFail) {
    STANDIN_ONLY();
    unsigned long runs = 0;
    for (const Operation& op : Operations()) {
        BuildRegistry();
        const RunResult clean = RunWith(op, Fault::Refused, 0);
        ASSERT_TRUE(clean.error.empty()) << op.name << ": " << clean.error;
        ASSERT_FALSE(clean.runaway) << op.name;
        ASSERT_GT(clean.calls, 0u) << op.name << " makes no registry call";
        ASSERT_EQ(0u, standin::OpenHandles()) << op.name;
        // A retry per call is allowed (reading a value that grew takes up to
        // 16 rounds of an enumeration); anything beyond that is a loop.
        const unsigned long bound = 17 * clean.calls + 16;
        for (Fault fault : {Fault::Refused, Fault::Vanished, Fault::Grown, Fault::Growing}) {
            for (unsigned long k = 1; k <= clean.calls; ++k) {
                BuildRegistry();
                std::vector<std::vector<std::string>> before;
                for (const auto& key : op.untouched) before.push_back(Listing(HKEY_CURRENT_USER, key));
                const RunResult got = RunWith(op, fault, k);
                ++runs;
                const std::string where =
                    std::string(op.name) + ", " + FaultName(fault) + " at call " + std::to_string(k);
                EXPECT_TRUE(got.error.empty()) << where << ": threw " << got.error;
                EXPECT_FALSE(got.runaway) << where << ": more than " << kCallCap << " calls";
                EXPECT_LE(got.calls, bound) << where;
                EXPECT_EQ(0u, standin::OpenHandles()) << where << ": handle left open";
                for (std::size_t i = 0; i < op.untouched.size(); ++i)
                    EXPECT_EQ(before[i], Listing(HKEY_CURRENT_USER, op.untouched[i]))
                        << where << ": changed " << op.untouched[i];
                if (::testing::Test::HasFailure()) return;  // one report per fault is enough
            }
        }
    }
    EXPECT_GT(runs, 200u);
}

// A key that keeps growing while it is enumerated is given up after a few
// rounds: the enumeration ends instead of spinning or growing its buffer
// without end.
TEST_F(FaultInjectionTest, AValueThatAlwaysGrowsEndsTheEnumeration) {
    STANDIN_ONLY();
    BuildRegistry();
    unsigned long calls = 0;
    standin::SetCallHook([&](const std::string& function, unsigned long) -> LONG {
        if (function == "RegEnumValueA" && ++calls < 1000) GrowValues(HKEY_CURRENT_USER, kTarget, 5000);
        return ERROR_SUCCESS;
    });
    RegistryRoutines r;
    const KeyedCollection values = r.EnumRegistryValues(HKEY_CURRENT_USER, kTarget);
    standin::SetCallHook({});
    EXPECT_LT(calls, 1000u);
    EXPECT_EQ(0u, standin::OpenHandles());
    // The very first value outgrows every buffer (the first is 4,096 bytes):
    // nothing is listed.
    EXPECT_EQ(0u, values.Count());
}

}  // namespace
