// Module1: OpenKey, QueryKeyInfo, EnumSubkeyName, CloseKey and the tree
// deletion DeleteKeyTree.
#include "registry/module1.h"

#include "platform/app_pointer.h"

#include "test_key.h"

namespace {

using namespace Module1;
using B = std::vector<BYTE>;

// A key that refuses these refuses full access but can still be read, so
// the test can look at it afterwards.
constexpr REGSAM kWriteBits = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

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
    EXPECT_EQ(ERROR_INVALID_HANDLE, QueryKeyInfo(reinterpret_cast<HKEY>(std::uintptr_t{0x4321}), untouched));
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

TEST_F(Module1Test, EmptyPathBelowARootDeletesNothing) {
    MakeKey("Canary\\child");
    const auto before = Snapshot(HKEY_CURRENT_USER, "Software");
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const char* path : {"", "\\\\"}) {
            EXPECT_EQ(ERROR_INVALID_PARAMETER, DeleteKeyTree(root, path)) << '"' << path << '"';
            EXPECT_EQ(ERROR_INVALID_PARAMETER, LastResult);
        }
    }
    EXPECT_EQ(before, Snapshot(HKEY_CURRENT_USER, "Software"));
}

TEST_F(Module1Test, EmptyPathOnAnOpenedKeyDeletesThatKey) {
    MakeKey("Self\\a\\b");
    const KeyPtr self = Open("Self", KEY_ALL_ACCESS);
    ASSERT_TRUE(self);
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(self.get(), ""));
    EXPECT_FALSE(KeyPresent("Self"));
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
    standin::RefuseDelete(HKEY_CURRENT_USER, locked);
    standin::RefuseOpen(HKEY_CURRENT_USER, locked, kWriteBits);
    for (const HWND active : {program, HWND{}}) {
        standin::ResetCallCounts();
        standin::SetActiveWindow(active);
        // A tooltip (owned) and a hidden window are not the program's window.
        standin::SetThreadWindows(
            {{window(0x10), true, program}, {window(0x20), false, nullptr}, {program, true, nullptr}});
        bool busyAtBox = true;
        standin::SetCallHook([&](const std::string& function, unsigned long) {
            if (function == "MessageBoxA") busyAtBox = AppPointer::IsBusy();
            return ERROR_SUCCESS;
        });
        const AppPointer::Busy busy;
        DeleteKeyTree(HKEY_CURRENT_USER, Path("T"));
        EXPECT_EQ(ERROR_ACCESS_DENIED, LastResult) << "T itself could not be deleted";
        ASSERT_EQ(active ? 1u : 2u, standin::MessageBoxes().size());
        const auto& box = standin::MessageBoxes().back();
        EXPECT_EQ("Access denied to delete registry key.", box.text);
        EXPECT_EQ("Access Denied", box.caption);
        EXPECT_EQ(16u, box.type);
        EXPECT_EQ(program, box.owner) << "modal for the program's window";
        EXPECT_FALSE(busyAtBox);
        EXPECT_TRUE(AppPointer::IsBusy()) << "the busy period goes on after the box";
        EXPECT_LT(standin::RegistryCallCount(), 40u);
        standin::SetCallHook(nullptr);
    }
}

TEST_F(Module1Test, KeyThatRefusesOnlyDeletionIsEmptiedThenLeft) {
    STANDIN_ONLY();
    // Opening with full access works, so no box; the emptied key still
    // refuses, and the procedure ends instead of trying again.
    MakeKey("T\\stubborn\\child");
    standin::RefuseDelete(HKEY_CURRENT_USER, Path("T\\stubborn"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteKeyTree(HKEY_CURRENT_USER, Path("T")));
    EXPECT_TRUE(standin::MessageBoxes().empty());
    EXPECT_TRUE(KeyPresent("T\\stubborn"));
    EXPECT_FALSE(KeyPresent("T\\stubborn\\child"));
    EXPECT_LT(standin::RegistryCallCount(), 40u);
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
