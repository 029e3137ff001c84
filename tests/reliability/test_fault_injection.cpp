// Fault injection on the stand-in: each operation is run clean to count its
// registry calls, then once per call k with a fault there: refused, key
// vanished, values grown, or values growing from k on. Each run must end
// defined, within bounded calls, with no handle open and nothing else changed.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "registry/module1.h"
#include "registry/registry_routines.h"
#include "test_key.h"
#include "tweaks/folders_page.h"
#include "tweaks/video_page.h"

namespace {

using B = std::vector<BYTE>;

const std::string kBase = "Software\\QorvelTweakerTests\\Faults";
const std::string kTarget = kBase + "\\Target";
const std::string kOutside = kBase + "\\Outside";
const std::string kAvi = kBase + "\\Avi\\InProcServer32";
const std::string kWindows = "Software\\Microsoft\\Windows";
const std::string kRemote = "\\\\REMOTEPC";
const std::string kRemotePath = "Software\\Faults";
constexpr unsigned long kCallCap = 4000;  // past this every call is refused

// Each converted type, plus values past the first read and list buffers.
void FillValues(HKEY root, const std::string& path) {
    const std::tuple<const char*, DWORD, B> values[] = {{"", REG_SZ, Sz("default")},
                                                        {"sz", REG_SZ, Sz("hello")},
                                                        {"expand", REG_EXPAND_SZ, Sz("%SystemRoot%\\x")},
                                                        {"dword", REG_DWORD, {1, 2, 3, 4}},
                                                        {"multi", REG_MULTI_SZ, {'a', 0, 0}},
                                                        {"bin", REG_BINARY, B(5000, 0xAB)},
                                                        {"big", REG_SZ, Sz(std::string(3000, 'q'))}};
    for (const auto& [name, type, data] : values) SetValueAt(root, path, name, type, data);
}

void OnRoot(bool remote, const std::function<void(HKEY)>& fn) {
    if (!remote) return fn(HKEY_CURRENT_USER);
    HKEY key = nullptr;
    if (RegConnectRegistryA(kRemote.c_str(), HKEY_LOCAL_MACHINE, &key) != ERROR_SUCCESS)
        throw SetupError("cannot connect to " + kRemote);
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
    bool remote;  // target in the remote HKLM
    std::string target;
    std::function<void()> run;
    std::vector<std::string> untouched;  // below HKCU
};

RegistryRoutines Aimed(const std::string& root, const std::string& sub) {
    RegistryRoutines r;
    r.hKey(HKEY_CURRENT_USER);
    r.KeyRoot(root);
    r.Subkey(sub);
    return r;
}

struct RecordingView : AviStatusView {
    void AVI_Output_Text1(const std::string& text) override { texts.push_back("1:" + text); }
    void AVI_Output_Text2(const std::string& text) override { texts.push_back("2:" + text); }
    std::vector<std::string> texts;
};

// Whatever failed, both fields get a text, once each, in order.
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
    const std::vector<std::string> out = {kOutside, kAvi, kWindows};
    auto L = [&](const char* n, std::function<void()> f, bool remote = false) {
        return Operation{n, remote, remote ? kRemotePath : kTarget, f, out};
    };
    auto V = [](const char* n, void (*h)(const RegistryRoutines&, AviStatusView&)) {
        return Operation{n, false, kAvi, [h] { RefreshChecked(h); }, {kOutside, kTarget, kWindows}};
    };
    auto W = [](const char* n, const std::string& target, const std::string& spared, std::function<void()> f) {
        return Operation{n, false, kWindows + target, f, {kOutside, kTarget, kAvi, kWindows + spared}};
    };
    return {
        L("KeyExists", [=] { t.KeyExists(); }),
        L("CreateKey", [=] { t.CreateKey(TaggedValue("Target\\New\\Deeper")); }),
        L("DeleteKey", [=] { t.DeleteKey("Target\\Leaf"); }),
        L("DeleteValue", [=] { t.DeleteValue("sz"); }),
        L("EnumRegistryKeys", [=] { t.EnumRegistryKeys(HKEY_CURRENT_USER, kTarget); }),
        L("EnumRegistryValues", [=] { t.EnumRegistryValues(HKEY_CURRENT_USER, kTarget); }),
        L("GetRegistryValue(sz)", [=] { t.GetRegistryValue("sz", TaggedValue("d")); }),
        L("GetRegistryValue(big)", [=] { t.GetRegistryValue("big"); }),
        L("GetRegistryValue(expand)", [=] { t.GetRegistryValue("expand"); }),
        L("SetRegistryValue", [=] { t.SetRegistryValue("sz", TaggedValue("new"), REG_SZ); }),
        L(
            "ReadRemote", [=] { t.ReadRemoteRegistryValue(kRemote, HKEY_LOCAL_MACHINE, "big", kRemotePath); }, true),
        L("ReadRemote(local)", [=] { t.ReadRemoteRegistryValue(local, HKEY_CURRENT_USER, "bin"); }),
        L(
            "WriteRemote",
            [=] { t.WriteRemoteRegistryValue(kRemote, HKEY_LOCAL_MACHINE, "dword", TaggedValue(5), 4, kRemotePath); },
            true),
        L("WriteRemote(local)", [=] { t.WriteRemoteRegistryValue("", HKEY_CURRENT_USER, "sz", TaggedValue("w"), 1); }),
        L("DeleteKeyTree", [] { Module1::DeleteKeyTree(HKEY_CURRENT_USER, kTarget); }),
        V("AVI_New_Click", VideoPage::AVI_New_Click),
        V("AVI_Default_Click", VideoPage::AVI_Default_Click),
        V("RefreshAviStatus", VideoPage::RefreshAviStatus),
        W("Increase", "\\ShellNoRoam", "\\Shell\\BagMRU", [=] { FoldersPage::Increase_Folders_Click(shell, noRoam); }),
        W("Default", "\\Shell", "\\ShellNoRoam\\Bags", [=] { FoldersPage::Default_Folders_Click(shell, noRoam); }),
        W("Reset", "\\ShellNoRoam\\Bags", "\\Shell", [] { FoldersPage::Reset_Folders_Click(); }),
    };
}

// Rewrites every value of root\\path 1,000 bytes longer.
void GrowValues(HKEY root, const std::string& path) {
    const auto key = ReadTree(root, path);
    for (const auto& value : key ? key->values : std::vector<StoredValue>{}) {
        B data(1000, 'g');
        data.insert(data.end(), value.data.begin(), value.data.end());
        SetValueAt(root, path, value.name, value.type, data);
    }
}

enum Fault { kRefused, kVanished, kGrown, kGrowing };
const char* const kFaultNames[] = {"refused", "vanished", "grown", "growing"};

struct RunResult {
    unsigned long calls = 0;
    bool runaway = false;
    std::string error;  // any exception but a ConversionError
};

// One run with `fault` at registry call `k` (0: none).
RunResult RunWith(const Operation& op, Fault fault, unsigned long k) {
    RunResult result;
    standin::SetCallHook([&](const std::string& function, unsigned long) -> LONG {
        if (function.compare(0, 3, "Reg") != 0) return ERROR_SUCCESS;
        const unsigned long n = ++result.calls;
        if (n > kCallCap) return result.runaway = true, ERROR_ACCESS_DENIED;
        if (k == 0 || n < k) return ERROR_SUCCESS;
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
        // A grown value may take up to 16 retries per call.
        const unsigned long bound = 17 * clean.calls + 16;
        for (Fault fault : {kRefused, kVanished, kGrown, kGrowing}) {
            for (unsigned long k = 1; k <= clean.calls; ++k) {
                BuildRegistry();
                std::vector<std::vector<std::string>> before;
                for (const auto& key : op.untouched) before.push_back(RegistrySnapshot(HKEY_CURRENT_USER, key));
                const RunResult got = RunWith(op, fault, k);
                ++runs;
                const std::string where = std::string(op.name) + " " + kFaultNames[fault] + "@" + std::to_string(k);
                EXPECT_TRUE(got.error.empty()) << where << ": threw " << got.error;
                EXPECT_FALSE(got.runaway) << where;
                EXPECT_LE(got.calls, bound) << where;
                EXPECT_EQ(0u, standin::OpenHandles()) << where;
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
