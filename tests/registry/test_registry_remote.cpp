// ReadRemoteRegistryValue and WriteRemoteRegistryValue: what is particular
// to the remote path (the connection, the key it addresses, the rights it
// asks for). Conversions are shared with GetRegistryValue and
// SetRegistryValue and tested there and in test_malformed_data.cpp. This
// computer is reached as "" on both platforms; other computers exist only in
// the stand-in. Windows promises a connection to HKEY_LOCAL_MACHINE, HKEY_USERS
// and the performance data only: these tests, which reach the test's keys
// through HKEY_CURRENT_USER, run under Wine and natively.
#include "registry/registry_routines.h"
#include "test_key.h"

namespace {

using B = std::vector<BYTE>;
using namespace std::string_literals;

class RegistryRemote : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        if (!kStandIn && !OnWine()) GTEST_SKIP() << "connects to HKEY_CURRENT_USER, which Windows does not promise";
        MakeKey("Target");
        MakeKey("Other");
        // The object's hKey plays no part; only KeyRoot\Subkey does.
        reg_ = Aimed(HKEY_LOCAL_MACHINE, Base(), "Target");
    }
    TaggedValue Read(const std::string& name, const std::optional<std::string>& path = std::nullopt) {
        return reg_.ReadRemoteRegistryValue("", HKEY_CURRENT_USER, name, path);
    }
    bool Write(const std::string& name, const TaggedValue& value, std::int32_t type,
               const std::optional<std::string>& path = std::nullopt) {
        return reg_.WriteRemoteRegistryValue("", HKEY_CURRENT_USER, name, value, type, path);
    }

    RegistryRoutines reg_;
};

TEST_F(RegistryRemote, AddressesTheObjectsPathOrTheGivenKeyPath) {
    EXPECT_EQ(TaggedValue(), Read("absent"));
    EXPECT_EQ(TaggedValue(), Read("", Path("NoSuchKey")));
    SetRaw("Target", "v", REG_SZ, Bytes("target\0"s));
    SetRaw("Other", "v", REG_SZ, Bytes("other\0"s));
    EXPECT_EQ(TaggedValue("target"), Read("v"));
    EXPECT_EQ(TaggedValue("other"), Read("v", Path("Other")));
    EXPECT_TRUE(Write("w", TaggedValue("to target"), REG_SZ));
    EXPECT_TRUE(Write("w", TaggedValue(12), REG_DWORD, Path("Other")));
    EXPECT_EQ(Bytes("to target\0"s), GetRaw("Target", "w"));
    DWORD type = 0;
    EXPECT_EQ((B{12, 0, 0, 0}), GetRaw("Other", "w", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type) << "the type reaches the write";
}

TEST_F(RegistryRemote, EmptyKeyPathAddressesTheRootItself) {
    const std::string name = "QorvelTweakerTests.RemoteRoot." + std::to_string(GetCurrentProcessId());
    EXPECT_TRUE(Write(name, TaggedValue("at the root"), REG_SZ, std::string()));
    EXPECT_EQ(TaggedValue("at the root"), Read(name, std::string()));
    DWORD type = 0, size = 0;
    const LONG stored = RegQueryValueExA(HKEY_CURRENT_USER, name.c_str(), nullptr, &type, nullptr, &size);
    RegDeleteValueA(HKEY_CURRENT_USER, name.c_str());
    EXPECT_EQ(ERROR_SUCCESS, stored);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(12u, size);
}

TEST_F(RegistryRemote, WriteFailuresWriteNothing) {
    EXPECT_FALSE(Write("t", TaggedValue("1"), 11)) << "a type that is never written";
    EXPECT_FALSE(ValuePresent("Target", "t"));
    EXPECT_FALSE(Write("v", TaggedValue("x"), REG_SZ, Path("Missing")));
    EXPECT_FALSE(KeyPresent("Missing")) << "the key is never created";
}

// This computer by its name is read in fuzz/fuzz_registry_value.cpp.
TEST_F(RegistryRemote, UnreachableComputerGivesErrorAndWritesNothing) {
    SetRaw("Target", "v", REG_SZ, Bytes("here\0"s));
    EXPECT_EQ(TaggedValue("Error!"), reg_.ReadRemoteRegistryValue("\\\\qt-no-such-host", HKEY_CURRENT_USER, "v"));
    EXPECT_FALSE(
        reg_.WriteRemoteRegistryValue("\\\\qt-no-such-host", HKEY_CURRENT_USER, "w", TaggedValue("x"), REG_SZ));
    EXPECT_FALSE(ValuePresent("Target", "w"));
}

// For this computer the platform hands back the very key it was given, even
// an opened one (seen on Wine only): the caller's key must stay open.
TEST_F(RegistryRemote, OpenKeyAsRootOfThisComputerStaysOpen) {
    SetRaw("Target", "v", REG_SZ, Bytes("below\0"s));
    const KeyPtr base = Open("", KEY_ALL_ACCESS);
    ASSERT_TRUE(base);
    EXPECT_EQ(TaggedValue("below"), reg_.ReadRemoteRegistryValue("", base.get(), "v", "Target"s));
    EXPECT_TRUE(KeyPresentAt(base.get(), "Target")) << "the caller's key was closed";
}

TEST_F(RegistryRemote, WriteAsksOnlyForTheRightToSetValues) {
    STANDIN_ONLY();
    // No rights to delete the key or change its security: a value write needs neither.
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("Other"), DELETE | 0x00040000L /* WRITE_DAC */);
    EXPECT_TRUE(Write("v", TaggedValue("x"), REG_SZ, Path("Other")));
    EXPECT_EQ(Bytes("x\0"s), GetRaw("Other", "v"));
    // A read-only key is read but not written.
    SetRaw("Target", "v", REG_SZ, Bytes("readable\0"s));
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("Target"), KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
    EXPECT_EQ(TaggedValue("readable"), Read("v"));
    EXPECT_FALSE(Write("v", TaggedValue("changed"), REG_SZ));
    EXPECT_EQ(Bytes("readable\0"s), GetRaw("Target", "v"));
}

class RegistryRemoteComputer : public RegistryRemote {
protected:
    void SetUp() override {
        RegistryRemote::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        if (!kStandIn) GTEST_SKIP() << "needs a named computer of the stand-in";
        standin::AddComputer("FARPC");
        HKEY root = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegConnectRegistryA("\\\\FARPC", HKEY_LOCAL_MACHINE, &root));
        MakeKeyAt(root, "Software\\Far");
        SetValueAt(root, "Software\\Far", "v", REG_SZ, Sz("far away"));
        RegCloseKey(root);
    }
};

TEST_F(RegistryRemoteComputer, ReadsAndWritesThatComputersRegistryOnly) {
    const auto before = Snapshot(HKEY_LOCAL_MACHINE, "Software");
    const std::string farKey = "Software\\Far";
    EXPECT_EQ(TaggedValue("far away"), reg_.ReadRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "v", farKey));
    EXPECT_TRUE(reg_.WriteRemoteRegistryValue("\\\\farpc", HKEY_LOCAL_MACHINE, "n", TaggedValue(5), REG_DWORD, farKey));
    EXPECT_EQ(TaggedValue(5), reg_.ReadRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "n", farKey));
    EXPECT_EQ(before, Snapshot(HKEY_LOCAL_MACHINE, "Software")) << "this computer's registry changed";
    // A conversion error after connecting and opening still closes both
    // (TearDown finds no handle open).
    EXPECT_THROW(
        reg_.WriteRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "n", TaggedValue("x"), REG_DWORD, farKey),
        TypeMismatch);
}

}  // namespace
