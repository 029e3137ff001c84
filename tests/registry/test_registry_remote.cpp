// Remote value reading and writing of RegistryRoutines:
// ReadRemoteRegistryValue and WriteRemoteRegistryValue. This computer is
// reached by its own name ("\\NAME"), on both platforms; other named
// computers, and ones that refuse, exist only in the stand-in.
#include "registry/registry_routines.h"
#include "test_key.h"

namespace {

using B = std::vector<BYTE>;

std::string Str(const char* s, std::size_t n) {
    return std::string(s, n);
}

// This computer as a remote name: two backslashes and its own name.
std::string ThisComputer() {
    char name[256] = {0};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) ADD_FAILURE() << "GetComputerNameA failed";
    return std::string("\\\\") + name;
}

const char kUnreachable[] = "\\\\qt-no-such-host";

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
        me_ = ThisComputer();
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

TEST_F(RegistryRemote, ReadsAsGetRegistryValueDoes) {
    RegistryRoutines local;
    local.hKey(HKEY_CURRENT_USER);
    local.KeyRoot(Base());
    local.Subkey("Target");
    const struct {
        const char* what;
        DWORD type;
        B data;
    } cases[] = {
        {"REG_SZ", REG_SZ, Bytes(Str("Both\0", 5))},
        {"REG_SZ of zero bytes", REG_SZ, {}},
        {"REG_SZ unterminated", REG_SZ, Bytes("abc")},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, Bytes(Str("%SystemRoot%\\System32\\shmedia.dll\0", 34))},
        {"REG_BINARY", REG_BINARY, {0, 1, 0xFE, 0xFF}},
        {"REG_BINARY of zero bytes", REG_BINARY, {}},
        {"REG_BINARY of 5000 bytes", REG_BINARY, B(5000, 0x5A)},
        {"REG_DWORD", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"REG_DWORD of 2 bytes", REG_DWORD, {1, 2}},
        {"REG_MULTI_SZ", REG_MULTI_SZ, Bytes(Str("a\0b\0\0", 5))},
        {"REG_MULTI_SZ of one NUL", REG_MULTI_SZ, {0}},
        {"REG_MULTI_SZ empty first string", REG_MULTI_SZ, Bytes(Str("\0b\0\0", 4))},
        {"REG_QWORD", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SetRawExact("Target", "v", c.type, c.data);
        const TaggedValue expected = local.GetRegistryValue("v");
        EXPECT_EQ(expected, Read("v")) << c.what;
        ExpectNoOpenHandles();
    }
    // Spot checks that the shared conversions did convert.
    SetRaw("Target", "d", REG_DWORD, {0xA0, 0x0F, 0, 0});
    EXPECT_EQ(TaggedValue(4000), Read("d"));
    SetRaw("Target", "m", REG_MULTI_SZ, Bytes(Str("a\0b\0\0", 5)));
    EXPECT_EQ(TaggedValue(Str("a\0b", 3)), Read("m"));
}

TEST_F(RegistryRemote, MissingValueOrKeyReadsAsEmpty) {
    EXPECT_EQ(TaggedValue(), Read("absent"));
    EXPECT_EQ(TaggedValue(), Read("", Path("NoSuchKey")));
    // A stored "Error!" reads like a failed connection.
    SetRaw("Target", "e", REG_SZ, Bytes(Str("Error!\0", 7)));
    EXPECT_EQ(TaggedValue("Error!"), Read("e"));
}

TEST_F(RegistryRemote, AddressesTheObjectsPathOrTheGivenKeyPath) {
    SetRaw("Target", "v", REG_SZ, Bytes(Str("target\0", 7)));
    SetRaw("Other", "v", REG_SZ, Bytes(Str("other\0", 6)));
    EXPECT_EQ(TaggedValue("target"), Read("v"));
    EXPECT_EQ(TaggedValue("other"), Read("v", Path("Other")));

    EXPECT_TRUE(Write("w", TaggedValue("to target"), REG_SZ));
    EXPECT_TRUE(Write("w", TaggedValue("to other"), REG_SZ, Path("Other")));
    EXPECT_EQ(Bytes(Str("to target\0", 10)), GetRaw("Target", "w"));
    EXPECT_EQ(Bytes(Str("to other\0", 9)), GetRaw("Other", "w"));

    // The default value, by the empty name.
    EXPECT_TRUE(Write("", TaggedValue(12), REG_DWORD));
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

TEST_F(RegistryRemote, WritesEachTypeAsSetRegistryValueDoes) {
    const struct {
        TaggedValue value;
        std::int32_t type;
        B stored;
    } cases[] = {
        {TaggedValue("Both"), REG_SZ, {'B', 'o', 't', 'h', 0}},
        {TaggedValue("%SystemRoot%\\x"), REG_EXPAND_SZ, Bytes(Str("%SystemRoot%\\x\0", 15))},
        {TaggedValue("4000"), REG_DWORD, {0xA0, 0x0F, 0, 0}},
        {TaggedValue(TaggedValue::Bytes{0, 7, 0xFF}), REG_BINARY, {0, 7, 0xFF}},
        {TaggedValue(Str("a\0b\0\0", 5)), REG_MULTI_SZ, Bytes(Str("a\0b\0\0", 5))},
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
    // Types that are never written: false, not a reported success.
    for (std::int32_t type : {0, 5, 11, -1}) {
        EXPECT_FALSE(Write("t", TaggedValue("1"), type)) << type;
        EXPECT_FALSE(ValuePresent("Target", "t")) << type;
    }
    // The key is never created.
    EXPECT_FALSE(Write("v", TaggedValue("x"), REG_SZ, Path("Missing")));
    EXPECT_FALSE(KeyPresent("Missing"));
    // Conversion errors propagate, with every handle closed.
    EXPECT_THROW(Write("bad", TaggedValue("abc"), REG_DWORD), TypeMismatch);
    EXPECT_THROW(Write("bad", TaggedValue("4294967296"), REG_DWORD), Overflow);
    EXPECT_FALSE(ValuePresent("Target", "bad"));
    ExpectNoOpenHandles();
}

TEST_F(RegistryRemote, UnreachableComputerGivesErrorAndFalse) {
    // Only "\\NAME" or the bare name reach this computer: one or four
    // backslashes, or two alone, name some other computer.
    const std::string unreachable[] = {kUnreachable, "\\" + me_.substr(2), "\\\\" + me_, "\\\\"};
    for (const std::string& name : unreachable) {
        EXPECT_EQ(TaggedValue("Error!"), reg_.ReadRemoteRegistryValue(name, HKEY_CURRENT_USER, "v")) << name;
        EXPECT_FALSE(reg_.WriteRemoteRegistryValue(name, HKEY_CURRENT_USER, "v", TaggedValue("x"), REG_SZ)) << name;
    }
    EXPECT_FALSE(ValuePresent("Target", "v"));
}

TEST_F(RegistryRemote, ThisComputerByEveryName) {
    SetRaw("Target", "v", REG_SZ, Bytes(Str("here\0", 5)));
    for (const std::string& name : {me_, me_.substr(2), std::string()}) {
        EXPECT_EQ(TaggedValue("here"), reg_.ReadRemoteRegistryValue(name, HKEY_CURRENT_USER, "v")) << name;
        ExpectNoOpenHandles();
    }
}

TEST_F(RegistryRemote, OpenKeyAsRootOfThisComputerStaysOpen) {
    SetRaw("Target", "v", REG_SZ, Bytes(Str("below\0", 6)));
    HKEY base = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Base().c_str(), 0, KEY_ALL_ACCESS, &base));
    EXPECT_EQ(TaggedValue("below"), reg_.ReadRemoteRegistryValue(me_, base, "v", std::string("Target")));
    EXPECT_TRUE(reg_.WriteRemoteRegistryValue(me_, base, "w", TaggedValue("x"), REG_SZ, std::string("Target")));
    // Where the platform hands the caller's key back as the connection, it
    // must not have been closed.
    HKEY child = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(base, "Target", 0, KEY_READ, &child)) << "the caller's key was closed";
    if (child) RegCloseKey(child);
    EXPECT_EQ(Bytes(Str("x\0", 2)), GetRaw("Target", "w"));
    RegCloseKey(base);
}

TEST_F(RegistryRemote, ReadOnlyKeyIsReadButNotWritten) {
    STANDIN_ONLY();
    SetRaw("Target", "v", REG_SZ, Bytes(Str("readable\0", 9)));
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("Target"), KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
    EXPECT_EQ(TaggedValue("readable"), Read("v"));
    EXPECT_FALSE(Write("v", TaggedValue("changed"), REG_SZ));
    EXPECT_EQ(Bytes(Str("readable\0", 9)), GetRaw("Target", "v"));
}

TEST_F(RegistryRemote, KeyThatOnlyLetsValuesChangeIsWritten) {
    STANDIN_ONLY();
    // No rights to delete the key or change its security: a value write
    // needs neither.
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("Target"), DELETE | 0x00040000L /* WRITE_DAC */);
    EXPECT_TRUE(Write("v", TaggedValue("x"), REG_SZ));
    EXPECT_EQ(Bytes(Str("x\0", 2)), GetRaw("Target", "v"));
}

class RegistryRemoteComputer : public RegistryRemote {
protected:
    void SetUp() override {
        RegistryRemote::SetUp();
        if (!kStandIn) GTEST_SKIP() << "needs a named computer of the stand-in";
        standin::AddComputer("FARPC");
        standin::AddComputer("LOCKED", true);
        HKEY root = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegConnectRegistryA("\\\\FARPC", HKEY_LOCAL_MACHINE, &root));
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(root, "Software\\Far", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        const B data = Bytes(Str("far away\0", 9));
        RegSetValueExA(key, "v", 0, REG_SZ, data.data(), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
        RegCloseKey(root);
    }
};

TEST_F(RegistryRemoteComputer, ReadsAndWritesThatComputersRegistryOnly) {
    const auto before = Snapshot(HKEY_LOCAL_MACHINE, "Software");
    EXPECT_EQ(TaggedValue("far away"),
              reg_.ReadRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "v", std::string("Software\\Far")));
    ExpectNoOpenHandles();
    EXPECT_TRUE(reg_.WriteRemoteRegistryValue("\\\\farpc", HKEY_LOCAL_MACHINE, "n", TaggedValue(5), REG_DWORD,
                                              std::string("Software\\Far")));
    ExpectNoOpenHandles();
    EXPECT_EQ(TaggedValue(5),
              reg_.ReadRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "n", std::string("Software\\Far")));
    EXPECT_EQ(before, Snapshot(HKEY_LOCAL_MACHINE, "Software")) << "this computer's registry changed";
    // The object's path does not exist there.
    EXPECT_EQ(TaggedValue(), reg_.ReadRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "v"));
    EXPECT_FALSE(reg_.WriteRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "v", TaggedValue("x"), REG_SZ));
    ExpectNoOpenHandles();
    // A conversion error after connecting still releases the connection.
    EXPECT_THROW(reg_.WriteRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "n", TaggedValue("x"), REG_DWORD,
                                               std::string("Software\\Far")),
                 TypeMismatch);
    ExpectNoOpenHandles();
}

TEST_F(RegistryRemoteComputer, RefusedConnectionOrRootGivesErrorAndFalse) {
    const struct {
        const char* computer;
        HKEY root;
    } cases[] = {
        {"\\\\LOCKED", HKEY_LOCAL_MACHINE}, {"\\\\FARPC", HKEY_CURRENT_USER},  // not reachable remotely
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TaggedValue("Error!"), reg_.ReadRemoteRegistryValue(c.computer, c.root, "v", std::string("Software")))
            << c.computer;
        EXPECT_FALSE(
            reg_.WriteRemoteRegistryValue(c.computer, c.root, "v", TaggedValue("x"), REG_SZ, std::string("Software")))
            << c.computer;
        ExpectNoOpenHandles();
    }
}

TEST_F(RegistryRemoteComputer, EveryCallReleasesItsConnection) {
    standin::ResetCallCounts();
    for (int i = 0; i < 3; ++i) {
        reg_.ReadRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "v", std::string("Software\\Far"));
        reg_.ReadRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "v", std::string("Software\\Missing"));
        reg_.WriteRemoteRegistryValue("\\\\FARPC", HKEY_LOCAL_MACHINE, "v", TaggedValue("x"), REG_SZ,
                                      std::string("Software\\Far"));
        EXPECT_EQ(0u, standin::OpenHandles()) << "round " << i;
    }
    EXPECT_EQ(9u, standin::CallCount("RegConnectRegistryA"));
    // Every connection and every opened key was closed: 9 roots, 6 keys.
    EXPECT_EQ(15u, standin::CallCount("RegCloseKey"));
}

}  // namespace
