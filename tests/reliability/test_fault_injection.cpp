// Fault injection on the stand-in: each registry operation is run clean to
// count its registry calls, then once per call k with a fault there: refused,
// key vanished, values grown, or values growing from k on. Each run must end
// defined, within bounded calls, with no handle open and nothing else changed.
// The Video and Folders handlers only chain these operations, with no error
// handling of their own: a fault that breaks them breaks one of these.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "registry/module1.h"
#include "registry/registry_routines.h"
#include "test_key.h"

namespace {

using B = std::vector<BYTE>;

const std::string kBase = "Software\\QorvelTweakerTests\\Faults";
const std::string kTarget = kBase + "\\Target";
const std::string kOutside = kBase + "\\Outside";  // no operation may change it
const std::string kRemote = "\\\\REMOTEPC";
const std::string kRemotePath = "Software\\Faults";
constexpr unsigned long kCallCap = 4000;  // the most calls a run without faults may make

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
    OnRoot(true, [](HKEY remote) {
        MakeKeyAt(remote, kRemotePath);
        FillValues(remote, kRemotePath);
    });
}

struct Operation {
    const char* name;
    std::function<void()> run;
    bool remote = false;  // aimed at kRemotePath on kRemote, else at kTarget
};

std::vector<Operation> Operations() {
    const RegistryRoutines t = Aimed(HKEY_CURRENT_USER, kBase, "Target");
    const std::string local = std::string("\\\\") + standin::LocalComputerName();
    return {
        {"KeyExists", [=] { t.KeyExists(); }},
        {"CreateKey", [=] { t.CreateKey(TaggedValue("Target\\New\\Deeper")); }},
        {"DeleteKey", [=] { t.DeleteKey("Target\\Leaf"); }},
        {"DeleteValue", [=] { t.DeleteValue("sz"); }},
        {"EnumRegistryKeys", [=] { t.EnumRegistryKeys(HKEY_CURRENT_USER, kTarget); }},
        {"EnumRegistryValues", [=] { t.EnumRegistryValues(HKEY_CURRENT_USER, kTarget); }},
        {"GetRegistryValue(big)", [=] { t.GetRegistryValue("big"); }},
        {"GetRegistryValue(expand)", [=] { t.GetRegistryValue("expand"); }},
        {"SetRegistryValue", [=] { t.SetRegistryValue("sz", TaggedValue("new"), REG_SZ); }},
        {"ReadRemote", [=] { t.ReadRemoteRegistryValue(kRemote, HKEY_LOCAL_MACHINE, "big", kRemotePath); }, true},
        {"ReadRemote(local)", [=] { t.ReadRemoteRegistryValue(local, HKEY_CURRENT_USER, "bin"); }},
        {"WriteRemote",
         [=] { t.WriteRemoteRegistryValue(kRemote, HKEY_LOCAL_MACHINE, "dword", TaggedValue(5), 4, kRemotePath); },
         true},
        {"WriteRemote(local)", [=] { t.WriteRemoteRegistryValue("", HKEY_CURRENT_USER, "sz", TaggedValue("w"), 1); }},
        {"DeleteKeyTree", [] { Module1::DeleteKeyTree(HKEY_CURRENT_USER, kTarget); }},
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
    std::string error;  // any exception but a ConversionError
};

// One run with `fault` at registry call `k` (0: none); every call past `cap`
// is refused, which ends a run that would not end.
RunResult RunWith(const Operation& op, Fault fault, unsigned long k, unsigned long cap) {
    RunResult result;
    standin::SetCallHook([&](const std::string& function, unsigned long) -> LONG {
        if (function.compare(0, 3, "Reg") != 0) return ERROR_SUCCESS;
        const unsigned long n = ++result.calls;
        if (n > cap) return ERROR_ACCESS_DENIED;
        if (k == 0 || n < k) return ERROR_SUCCESS;
        if (fault == kRefused) return n == k && function != "RegCloseKey" ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
        const std::string& target = op.remote ? kRemotePath : kTarget;
        if (fault == kVanished && n == k) OnRoot(op.remote, [&](HKEY root) { RemoveTree(root, target); });
        if ((fault == kGrown && n == k) || fault == kGrowing)
            OnRoot(op.remote, [&](HKEY root) { GrowValues(root, target); });
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
    for (const Operation& op : Operations()) {
        BuildRegistry();
        const RunResult clean = RunWith(op, kRefused, 0, kCallCap);
        ASSERT_TRUE(clean.error.empty()) << op.name << ": " << clean.error;
        ASSERT_GT(clean.calls, 0u) << op.name;
        ASSERT_LE(clean.calls, kCallCap) << op.name;
        ASSERT_EQ(0u, standin::OpenHandles()) << op.name;
        // A grown value may take up to 16 retries per call.
        const unsigned long bound = 17 * clean.calls + 16;
        for (Fault fault : {kRefused, kVanished, kGrown, kGrowing}) {
            for (unsigned long k = 1; k <= clean.calls; ++k) {
                BuildRegistry();
                const auto before = RegistrySnapshot(HKEY_CURRENT_USER, kOutside);
                const RunResult got = RunWith(op, fault, k, bound);
                const std::string where = std::string(op.name) + " " + kFaultNames[fault] + "@" + std::to_string(k);
                EXPECT_TRUE(got.error.empty()) << where << ": threw " << got.error;
                EXPECT_LE(got.calls, bound) << where;
                EXPECT_EQ(0u, standin::OpenHandles()) << where;
                EXPECT_EQ(before, RegistrySnapshot(HKEY_CURRENT_USER, kOutside)) << where;
                if (::testing::Test::HasFailure()) {
                    standin::Reset();
                    return;
                }
            }
        }
    }
    standin::Reset();
}

}  // namespace
