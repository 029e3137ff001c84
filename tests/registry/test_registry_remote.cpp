// ReadRemoteRegistryValue and WriteRemoteRegistryValue. This computer is
// reached by its own name on both platforms; other computers exist only in
// the stand-in. Conversions are in test_malformed_data.cpp.
#include "registry/registry_routines.h"
#include "test_key.h"

namespace {

using B = std::vector<BYTE>;
using namespace std::string_literals;

class RegistryRemote : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        MakeKey("Target");
        MakeKey("Other");
        // The object's hKey plays no part; only KeyRoot\Subkey does.
        reg_.hKey(HKEY_LOCAL_MACHINE);
        reg_.KeyRoot(Base());
        reg_.Subkey("Target");
        char name[256] = {0};
        DWORD size = sizeof name;
        ASSERT_TRUE(GetComputerNameA(name, &size));
        me_ = "\\\\"s + name;
    }
    TaggedValue Read(const std::string& name, const std::optional<std::string>& path = std::nullopt) {
        return reg_.ReadRemoteRegistryValue(me_, HKEY_CURRENT_USER, name, path);
    }
    bool Write(const std::string& name, const TaggedValue& value, std::int32_t type,
               const std::optional<std::string>& path = std::nullopt) {
        return reg_.WriteRemoteRegistryValue(me_, HKEY_CURRENT_USER, name, value, type, path);
    }

    RegistryRoutines reg_;
    std::string me_;
};

TEST_F(RegistryRemote, AddressesTheObjectsPathOrTheGivenKeyPath) {
    EXPECT_EQ(TaggedValue(), Read("absent"));
    EXPECT_EQ(TaggedValue(), Read("", Path("NoSuchKey")));
    SetRaw("Target", "v", REG_SZ, Bytes("target\0"s));
    SetRaw("Other", "v", REG_SZ, Bytes("other\0"s));
    EXPECT_EQ(TaggedValue("target"), Read("v"));
    EXPECT_EQ(TaggedValue("other"), Read("v", Path("Other")));
    EXPECT_TRUE(Write("w", TaggedValue("to target"), REG_SZ));
    EXPECT_TRUE(Write("w", TaggedValue("to other"), REG_SZ, Path("Other")));
    EXPECT_EQ(Bytes("to target\0"s), GetRaw("Target", "w"));
    EXPECT_EQ(Bytes("to other\0"s), GetRaw("Other", "w"));
    EXPECT_TRUE(Write("", TaggedValue(12), REG_DWORD));  // the default value
    EXPECT_EQ((B{12, 0, 0, 0}), GetRaw("Target", ""));
    EXPECT_EQ(TaggedValue(12), Read(""));
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

// The remote write shares SetRegistryValue's conversion (tested there).
TEST_F(RegistryRemote, WritesThroughTheSharedConversion) {
    const struct {
        TaggedValue value;
        std::int32_t type;
        B stored;
    } cases[] = {
        {TaggedValue("%SystemRoot%\\x"), REG_EXPAND_SZ, Bytes("%SystemRoot%\\x\0"s)},
        {TaggedValue("4000"), REG_DWORD, {0xA0, 0x0F, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Write("w", c.value, c.type)) << c.value.Describe();
        DWORD type = 0;
        EXPECT_EQ(c.stored, GetRaw("Target", "w", &type)) << c.value.Describe();
        EXPECT_EQ(static_cast<DWORD>(c.type), type);
        ExpectNoOpenHandles();
    }
}

TEST_F(RegistryRemote, WriteFailuresWriteNothing) {
    for (std::int32_t type : {0, 11}) EXPECT_FALSE(Write("t", TaggedValue("1"), type)) << type;
    EXPECT_FALSE(ValuePresent("Target", "t"));
    EXPECT_FALSE(Write("v", TaggedValue("x"), REG_SZ, Path("Missing")));
    EXPECT_FALSE(KeyPresent("Missing")) << "the key is never created";
    // Conversion errors propagate, with every handle closed.
    EXPECT_THROW(Write("bad", TaggedValue("4294967296"), REG_DWORD), Overflow);
    EXPECT_FALSE(ValuePresent("Target", "bad"));
    ExpectNoOpenHandles();
}

TEST_F(RegistryRemote, OnlyThisComputersOwnNamesReachIt) {
    SetRaw("Target", "v", REG_SZ, Bytes("here\0"s));
    for (const std::string& name : {me_, me_.substr(2), std::string()}) {
        EXPECT_EQ(TaggedValue("here"), reg_.ReadRemoteRegistryValue(name, HKEY_CURRENT_USER, "v")) << name;
        ExpectNoOpenHandles();
    }
    // One or four backslashes, or two alone, name some other computer.
    for (const std::string& name : {"\\\\qt-no-such-host"s, "\\" + me_.substr(2), "\\\\" + me_, "\\\\"s}) {
        EXPECT_EQ(TaggedValue("Error!"), reg_.ReadRemoteRegistryValue(name, HKEY_CURRENT_USER, "v")) << name;
        EXPECT_FALSE(reg_.WriteRemoteRegistryValue(name, HKEY_CURRENT_USER, "w", TaggedValue("x"), REG_SZ)) << name;
    }
    EXPECT_FALSE(ValuePresent("Target", "w"));
}

TEST_F(RegistryRemote, OpenKeyAsRootOfThisComputerStaysOpen) {
    SetRaw("Target", "v", REG_SZ, Bytes("below\0"s));
    HKEY base = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Base().c_str(), 0, KEY_ALL_ACCESS, &base));
    EXPECT_EQ(TaggedValue("below"), reg_.ReadRemoteRegistryValue(me_, base, "v", "Target"s));
    EXPECT_TRUE(reg_.WriteRemoteRegistryValue(me_, base, "w", TaggedValue("x"), REG_SZ, "Target"s));
    HKEY child = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(base, "Target", 0, KEY_READ, &child)) << "the caller's key was closed";
    if (child) RegCloseKey(child);
    EXPECT_EQ(Bytes("x\0"s), GetRaw("Target", "w"));
    RegCloseKey(base);
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
        if (!kStandIn) GTEST_SKIP() << "needs a named computer of the stand-in";
        standin::AddComputer("FARPC");
        standin::AddComputer("LOCKED", true);
        HKEY root = nullptr, key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegConnectRegistryA("\\\\FARPC", HKEY_LOCAL_MACHINE, &root));
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(root, "Software\\Far", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        const B data = Bytes("far away\0"s);
        RegSetValueExA(key, "v", 0, REG_SZ, data.data(), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
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
    ExpectNoOpenHandles();
    // The object's path does not exist there.
    EXPECT_EQ(TaggedValue(), reg_.ReadRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "v"));
    EXPECT_FALSE(reg_.WriteRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "v", TaggedValue("x"), REG_SZ));
    ExpectNoOpenHandles();
    // A conversion error after connecting still releases the connection.
    EXPECT_THROW(
        reg_.WriteRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "n", TaggedValue("x"), REG_DWORD, farKey),
        TypeMismatch);
    ExpectNoOpenHandles();
}

TEST_F(RegistryRemoteComputer, RefusedConnectionOrRootGivesErrorAndFalse) {
    // HKCU is not reachable remotely.
    for (const auto& [computer, root] :
         {std::pair("\\\\LOCKED", HKEY_LOCAL_MACHINE), {"\\\\FARPC", HKEY_CURRENT_USER}}) {
        EXPECT_EQ(TaggedValue("Error!"), reg_.ReadRemoteRegistryValue(computer, root, "v", "Software"s)) << computer;
        EXPECT_FALSE(reg_.WriteRemoteRegistryValue(computer, root, "v", TaggedValue("x"), REG_SZ, "Software"s))
            << computer;
        ExpectNoOpenHandles();
    }
}

}  // namespace
