// Module1: OpenKey, QueryKeyInfo, EnumSubkeyName, CloseKey and the tree
// deletion DeleteKeyTree.
#include "registry/module1.h"

#include "desktop/mouse_pointer.h"

#include "test_key.h"

namespace {

using namespace Module1;
using B = std::vector<BYTE>;

// A key that refuses these refuses full access but can still be read, so
// the test can look at it afterwards.
constexpr REGSAM kWriteBits = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// HKCU\path made a registry link to HKCU\target: created with
// REG_OPTION_CREATE_LINK, the target's full name (from NtQueryKey) in its
// REG_LINK "SymbolicLinkValue". The fixture's cleanup would follow it, so it
// deletes itself through a handle that does not, also when the test fails
// (volatile, it would not outlive the registry's next start either).
class Link {
public:
    Link(std::string path, const std::string& target) : path_(std::move(path)) {
        using NtQueryKeyFn = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
        BYTE name[1024] = {};  // KeyNameInformation (3): the name's length in bytes, then the name
        ULONG size = 0, length = 0;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, target.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            platform::SystemFunction<NtQueryKeyFn>("ntdll.dll", "NtQueryKey")(key, 3, name, sizeof name, &size);
            RegCloseKey(key);
        }
        std::memcpy(&length, name, sizeof length);
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            throw SetupError("cannot make the link " + path_);
        const LONG set = RegSetValueExA(key, "SymbolicLinkValue", 0, REG_LINK, name + sizeof length, length);
        RegCloseKey(key);
        if (set == ERROR_SUCCESS && length > 0) return;
        Remove();
        throw SetupError("cannot point the link " + path_ + " at " + target);
    }
    ~Link() { Remove(); }

private:
    void Remove() const {
        using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), REG_OPTION_OPEN_LINK, DELETE, &key) != ERROR_SUCCESS)
            return;
        platform::SystemFunction<NtDeleteKeyFn>("ntdll.dll", "NtDeleteKey")(key);
        RegCloseKey(key);
    }
    std::string path_;
};

class Module1Test : public RegistryTest {};

TEST_F(Module1Test, OpenKeyStripsLeadingSeparatorsFromTheCallersPath) {
    MakeKey("a");
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"\\a", "a"}, {"\\\\\\a", "a"}, {"a", "a"}, {"\\\\", ""}, {"", ""},
    };
    const KeyPtr base = Open("");
    ASSERT_TRUE(base);
    for (const auto& c : cases) {
        std::string path = c.in;
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, OpenKey(base.get(), path, key, KEY_READ)) << c.in;
        EXPECT_EQ(c.out, path);
        EXPECT_EQ(ERROR_SUCCESS, CloseKey(key));
    }
    std::string missing = "\\nope";
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, OpenKey(base.get(), missing, key, KEY_READ));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, LastResult);
}

TEST_F(Module1Test, QueryKeyInfoCounts) {
    MakeKey("k\\abc");
    MakeKey("k\\abcde");
    SetRaw("k", "v1", REG_BINARY, {1, 2, 3});
    SetRaw("k", "value2", REG_BINARY, B(10, 0));
    const KeyPtr key = Open("k");
    ASSERT_TRUE(key);
    KeyInfo info;
    EXPECT_EQ(ERROR_SUCCESS, QueryKeyInfo(key.get(), info));
    EXPECT_EQ(2u, info.SubKeys);
    EXPECT_EQ(5u, info.MaxSubKeyLen);
    EXPECT_EQ(2u, info.Values);
    EXPECT_EQ(6u, info.MaxValueNameLen);
    EXPECT_EQ(10u, info.MaxValueLen);

    KeyInfo untouched;
    untouched.SubKeys = 77;
    EXPECT_EQ(ERROR_INVALID_HANDLE, QueryKeyInfo(reinterpret_cast<HKEY>(std::uintptr_t{0x3}), untouched));
    EXPECT_EQ(ERROR_INVALID_HANDLE, LastResult);
    EXPECT_EQ(77u, untouched.SubKeys);
}

TEST_F(Module1Test, EnumSubkeyNameUsesTheStringLengthAsBuffer) {
    const std::string clsid = "{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";
    MakeKey("k\\" + clsid);
    const KeyPtr key = Open("k");
    ASSERT_TRUE(key);
    std::string name(40, ' ');
    EXPECT_EQ(ERROR_SUCCESS, EnumSubkeyName(key.get(), 0, name));
    EXPECT_EQ(clsid, name);

    std::string tight(38, ' ');  // no room for the NUL
    EXPECT_EQ(ERROR_MORE_DATA, EnumSubkeyName(key.get(), 0, tight));
    EXPECT_EQ(std::string(38, ' '), tight) << "left as it was";
    std::string empty;
    EXPECT_EQ(ERROR_MORE_DATA, EnumSubkeyName(key.get(), 0, empty));

    std::string past(40, ' ');
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, EnumSubkeyName(key.get(), 1, past));
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, LastResult);
}

TEST_F(Module1Test, DeletesANestedTreeAndNothingElse) {
    MakeKey("Parent\\Target\\a\\b\\c");
    MakeKey("Parent\\Target\\a\\d");
    MakeKey("Parent\\Target\\b", "klass");  // a subkey with a class name goes like any other
    // Subkey names fill the name buffer up to the longest the registry allows.
    MakeKey("Parent\\Target\\" + std::string(255, 'e') + "\\Shell");
    MakeKey("Parent\\Targets");  // a name that starts like the target
    MakeKey("Parent\\Sibling\\x");
    SetRaw("Parent", "keep", REG_SZ, Bytes(std::string("v\0", 2)));
    SetRaw("Parent\\Target\\a", "gone", REG_DWORD, {1, 0, 0, 0});
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(HKEY_CURRENT_USER, Path("Parent\\Target")));
    EXPECT_EQ(ERROR_SUCCESS, LastResult);
    const std::vector<std::string> expected = {
        "[" + Path("Parent") + "]",          "  \"keep\" type 1 = 76 00",
        "[" + Path("Parent\\Sibling") + "]", "[" + Path("Parent\\Sibling\\x") + "]",
        "[" + Path("Parent\\Targets") + "]",
    };
    EXPECT_EQ(expected, Snapshot(HKEY_CURRENT_USER, Path("Parent")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteKeyTree(HKEY_CURRENT_USER, Path("Parent\\Missing\\Deeper")));
}

// A link is a key of its own to the deletion: one in the tree, or the
// tree's top itself, goes, and the key it points at stays whole, outside the
// tree or above it (where following it would find the tree again, without end).
TEST_F(Module1Test, LinksAreDeletedNeverFollowed) {
    MakeKey("T\\a\\b");
    MakeKey("Outside\\child");
    SetRaw("Outside", "keep", REG_DWORD, {1, 0, 0, 0});
    SetRaw("", "keep", REG_DWORD, {2, 0, 0, 0});
    const auto outside = Snapshot(HKEY_CURRENT_USER, Path("Outside"));
    const Link out(Path("T\\a\\out"), Path("Outside")), up(Path("T\\up"), Path("")), top(Path("Top"), Path("Outside"));
    // On the stand-in that link refuses full access too: its deletion alone does not follow it either.
    if (kStandIn) standin::RefuseOpen(HKEY_CURRENT_USER, Path("T\\a\\out"), kWriteBits);
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(HKEY_CURRENT_USER, Path("T")));
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(HKEY_CURRENT_USER, Path("Top")));
    EXPECT_FALSE(KeyPresent("T"));
    EXPECT_FALSE(KeyPresent("Top")) << "the link, which opens Outside";
    EXPECT_EQ(outside, Snapshot(HKEY_CURRENT_USER, Path("Outside")));
    EXPECT_EQ((B{2, 0, 0, 0}), GetRaw("", "keep"));
}

// Windows' registry is at most 512 levels deep. Of a deeper tree (only the
// stand-in holds one) 512 levels are entered; what lies deeper stays, with
// the keys above it.
TEST_F(Module1Test, EntersNoMoreThan512Levels) {
    STANDIN_ONLY();
    std::string chain = "Top";
    for (int level = 1; level < 513; ++level) chain += "\\L";
    MakeKey(chain);
    MakeKey("Top\\Side");
    EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteKeyTree(HKEY_CURRENT_USER, Path("Top")));
    EXPECT_TRUE(KeyPresent(chain));
    EXPECT_FALSE(KeyPresent("Top\\Side"));
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(HKEY_CURRENT_USER, Path("Top\\L")));  // 512 levels
    EXPECT_FALSE(KeyPresent("Top\\L")) << "the whole chain";
}

// The size is the point: an index or count held in 16 signed bits wraps
// past 32767 subkeys, which no smaller key shows.
TEST_F(Module1Test, DeletesAKeyWithMoreThan32767Subkeys) {
    STANDIN_ONLY();  // seconds natively, minutes through a real registry
    MakeKey("Many");
    const KeyPtr many = Open("Many", KEY_ALL_ACCESS);
    ASSERT_TRUE(many);
    for (int i = 0; i < 32769; ++i) MakeKeyAt(many.get(), std::to_string(i));
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(HKEY_CURRENT_USER, Path("Many")));
}

// The empty path (or one of separators) names the parent itself, which is
// never a hive's root nor above one: a predefined root, a key directly below
// HKEY_USERS (a user's hive; Wine and the stand-in let a test make one), the
// 32-bit view of one, a connected computer's root. Any other opened key goes
// with its tree.
TEST_F(Module1Test, EmptyPathDeletesNoHiveRoot) {
    // Against a real registry a fault here would delete the tester's hives:
    // the predefined roots are tried on the stand-in only.
    if (kStandIn) {
        MakeKey("Canary\\child");
        const auto before = Snapshot(HKEY_CURRENT_USER, "Software");
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            for (const char* path : {"", "\\\\"}) {
                EXPECT_EQ(ERROR_INVALID_PARAMETER, DeleteKeyTree(root, path)) << '"' << path << '"';
                EXPECT_EQ(ERROR_INVALID_PARAMETER, LastResult);
            }
        }
        EXPECT_EQ(before, Snapshot(HKEY_CURRENT_USER, "Software"));
        standin::AddComputer("PEER");
        HKEY peer = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegConnectRegistryA("\\\\PEER", HKEY_LOCAL_MACHINE, &peer));
        EXPECT_EQ(ERROR_INVALID_PARAMETER, DeleteKeyTree(peer, ""));
        RegCloseKey(peer);
    }

    // The view goes first: under Wine a 32-bit program opening its parent gets it.
    const std::string hive = Base().substr(Base().rfind('\\') + 1), view = hive + ".view\\Wow6432Node";
    const auto removeAll = [&] {
        for (const std::string& key : {view, view.substr(0, view.rfind('\\')), hive}) RemoveTree(HKEY_USERS, key);
    };
    try {
        MakeKeyAt(HKEY_USERS, hive + "\\Below\\x");
        MakeKeyAt(HKEY_USERS, view + "\\x");
    } catch (const SetupError&) {
        removeAll();
        GTEST_SKIP() << "no key can be made directly below HKEY_USERS here";
    }
    const struct {
        std::string key, path;
        LONG status;
    } cases[] = {
        {hive, "", ERROR_INVALID_PARAMETER},
        {hive, "\\", ERROR_INVALID_PARAMETER},
        {view, "", ERROR_INVALID_PARAMETER},
        {hive + "\\Below", "", ERROR_SUCCESS},
    };
    for (const auto& c : cases) {
        HKEY key = nullptr;  // no ASSERT: the keys below HKEY_USERS must go in the end
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_USERS, c.key.c_str(), 0, KEY_READ, &key)) << c.key;
        EXPECT_EQ(c.status, DeleteKeyTree(key, c.path)) << c.key << " \"" << c.path << '"';
        EXPECT_EQ(c.status != ERROR_SUCCESS, KeyPresentAt(HKEY_USERS, c.key)) << c.key;
        if (key) RegCloseKey(key);
    }
    removeAll();
}

// Which keys stay around a refusing key, what the call returns and one box
// per refusal are checked over random trees in tests/reliability/test_nothing_lost.cpp.
// The box belongs to the program's window, also when another program is
// active, and shows the normal pointer inside a busy period.
TEST_F(Module1Test, RefusingKeyShowsTheBoxAndTheDeletionEnds) {
    STANDIN_ONLY();
    const auto window = [](std::uintptr_t n) { return reinterpret_cast<HWND>(n); };
    const HWND program = window(0x5150);
    MakeKey("T\\locked\\inner");
    const std::string locked = Path("T\\locked");
    Lock(HKEY_CURRENT_USER, locked);
    for (const HWND active : {program, HWND{}}) {
        standin::ResetCallCounts();
        standin::SetActiveWindow(active);
        // A tooltip (owned) and a hidden window are not the program's window.
        standin::SetThreadWindows(
            {{window(0x10), true, program}, {window(0x20), false, nullptr}, {program, true, nullptr}});
        bool busyAtBox = true;
        standin::SetCallHook([&](const std::string& function, unsigned long) {
            if (function == "MessageBoxA") busyAtBox = MousePointer::IsBusy();
            return ERROR_SUCCESS;
        });
        const MousePointer::Busy busy;
        DeleteKeyTree(HKEY_CURRENT_USER, Path("T"));
        EXPECT_EQ(ERROR_ACCESS_DENIED, LastResult) << "T itself could not be deleted";
        ASSERT_EQ(active ? 1u : 2u, standin::MessageBoxes().size());
        const auto& box = standin::MessageBoxes().back();
        EXPECT_EQ("Access denied to delete registry key.", box.text);
        EXPECT_EQ("Access Denied", box.caption);
        EXPECT_EQ(16u, box.type);
        EXPECT_EQ(program, box.owner) << "modal for the program's window";
        EXPECT_FALSE(busyAtBox);
        EXPECT_TRUE(MousePointer::IsBusy()) << "the busy period goes on after the box";
        EXPECT_LT(standin::RegistryCallCount(), 40u);
        standin::SetCallHook(nullptr);
    }
}

TEST_F(Module1Test, KeyThatRefusesOnlyDeletionOrOnlyFullAccessGoesAsFarAsItCan) {
    STANDIN_ONLY();
    // No box for either. Opened with full access, the stubborn key is
    // emptied; it still refuses, and the procedure ends instead of trying
    // again. The read-only leaf allows its deletion alone, and goes.
    MakeKey("T\\stubborn\\child");
    MakeKey("T\\readonly");
    standin::RefuseDelete(HKEY_CURRENT_USER, Path("T\\stubborn"));
    standin::RefuseOpen(HKEY_CURRENT_USER, Path("T\\readonly"), kWriteBits);
    EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteKeyTree(HKEY_CURRENT_USER, Path("T")));
    EXPECT_TRUE(standin::MessageBoxes().empty());
    EXPECT_TRUE(KeyPresent("T\\stubborn"));
    EXPECT_FALSE(KeyPresent("T\\stubborn\\child"));
    EXPECT_FALSE(KeyPresent("T\\readonly"));
    EXPECT_LT(standin::RegistryCallCount(), 40u);
}

// Without NtDeleteKey only a delete that follows links would be left: none.
TEST_F(Module1Test, WithoutNtDeleteKeyNothingIsDeleted) {
    STANDIN_ONLY();
    MakeKey("T\\a");
    standin::HideSystemFunction("ntdll.dll", "NtDeleteKey");
    EXPECT_EQ(ERROR_PROC_NOT_FOUND, DeleteKeyTree(HKEY_CURRENT_USER, Path("T")));
    EXPECT_TRUE(KeyPresent("T\\a"));
}

TEST_F(Module1Test, UnreadableSubkeyNameLeavesItAndItsAncestors) {
    STANDIN_ONLY();
    for (const char* k : {"T\\a", "T\\b", "T\\c"}) MakeKey(k);
    // The second enumeration (index 1, "b") fails.
    standin::SetCallHook([](const std::string& fn, unsigned long n) -> LONG {
        return fn == "RegEnumKeyExA" && n == 2 ? ERROR_NOT_ENOUGH_MEMORY : ERROR_SUCCESS;
    });
    EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteKeyTree(HKEY_CURRENT_USER, Path("T")));
    EXPECT_TRUE(KeyPresent("T\\b"));
    EXPECT_FALSE(KeyPresent("T\\a"));
    EXPECT_FALSE(KeyPresent("T\\c"));
    EXPECT_TRUE(standin::MessageBoxes().empty());
}

}  // namespace
