// The elevated copy: which command lines name it, when the window may ask for
// it, how it is started (on the stand-in, which records the start instead of
// prompting) and what it writes and answers.
#include "app/elevated_copy.h"

#ifdef _WIN32
#include <shellapi.h>
#endif

#include "fixed_keys.h"
#include "desktop/mouse_pointer.h"

namespace {

using VideoPage::Action;
const HWND kOwner = reinterpret_cast<HWND>(std::uintptr_t{0x10000});

TEST(ElevatedCopy, OnlyEitherArgumentAloneNamesAnAction) {
    const struct {
        const char* line;
        std::optional<Action> action;
    } rows[] = {
        {"/avi-new", Action::New},
        {" \t/avi-default  ", Action::Default},
        {"", std::nullopt},
        {nullptr, std::nullopt},
        {"/AVI-NEW", std::nullopt},
        {"/avi-new /avi-default", std::nullopt},
        {"\"/avi-new\"", std::nullopt},
        {"x/avi-new", std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(row.action, ElevatedCopy::ActionOf(row.line)) << (row.line ? row.line : "");
}

class ElevatedCopyTest : public FixedKeysTest {
protected:
    std::vector<HANDLE> waited;
    bool busyWhileWaiting = false;
    ElevatedCopy copy{kOwner, [this](HANDLE process) {
                          waited.push_back(process);
                          busyWhileWaiting = MousePointer::IsBusy();
                      }};
};

// Only a token that is not elevated, on a Windows that knows elevation: not
// XP (the query is refused), not a process that runs with full rights
// already, not one whose token cannot be read. TearDown finds the token closed.
TEST_F(ElevatedCopyTest, AsksOnlyWhereUacCanRaiseTheRights) {
    STANDIN_ONLY();
    const struct {
        TOKEN_ELEVATION_TYPE type;
        bool elevatedDefault, canAsk;
        const char* failing;  // the token call that fails
    } rows[] = {
        {TokenElevationTypeLimited, false, true, nullptr},
        {TokenElevationTypeDefault, false, true, nullptr},
        {TokenElevationTypeDefault, true, false, nullptr},
        {TokenElevationTypeFull, false, false, nullptr},
        {TokenElevationTypeLimited, false, false, "OpenProcessToken"},
        {TokenElevationTypeLimited, false, false, "GetTokenInformation"},
    };
    for (const auto& row : rows) {
        standin::SetElevationType(row.type, row.elevatedDefault);
        standin::SetCallHook([&row](const std::string& function, unsigned long) -> LONG {
            return row.failing && function == row.failing ? 1 : 0;
        });
        EXPECT_EQ(row.canAsk, copy.CanAsk()) << row.type << " " << row.elevatedDefault << " " << row.failing;
        standin::SetCallHook(nullptr);
    }
}

// The copy is this program by its full path, with the action's argument,
// "runas", owned by the window, started in the system folder and waited for
// under the busy pointer; a declined prompt shows nothing and waits for
// nothing. The process handle is closed.
TEST_F(ElevatedCopyTest, StartsThisProgramElevatedAndWaitsForIt) {
    STANDIN_ONLY();
    for (const bool accepted : {true, false}) {
        standin::Reset();
        standin::SetElevationAnswer(accepted);
        copy.WriteRaised(accepted ? Action::Default : Action::New);
        ASSERT_EQ(1u, standin::ShellExecutes().size());
        const auto& start = standin::ShellExecutes()[0];
        EXPECT_EQ(kOwner, start.owner);
        EXPECT_EQ("runas", start.operation);
        EXPECT_EQ("C:\\Program Files\\Qorvel Tweaker\\qorvel-tweaker.exe", start.file);
        EXPECT_EQ(accepted ? "/avi-default" : "/avi-new", start.parameters);
        EXPECT_EQ("C:\\WINDOWS\\system32", start.directory);
        EXPECT_EQ(SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI,
                  start.mask & (SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI));
        EXPECT_EQ(accepted ? 1u : 0u, waited.size());
        EXPECT_EQ(accepted, busyWhileWaiting);
        EXPECT_FALSE(MousePointer::IsBusy());
        EXPECT_TRUE(standin::MessageBoxes().empty());
        EXPECT_EQ(0u, standin::OpenHandles());
        waited.clear();
        busyWhileWaiting = false;
    }
    standin::Reset();
    standin::HideSystemFunction("shell32.dll", "ShellExecuteExA");
    copy.WriteRaised(Action::New);
    EXPECT_TRUE(standin::ShellExecutes().empty() && waited.empty()) << "a shell without it starts nothing";
}

// The copy's whole work: both values written as the buttons write them, and
// the first failure's status as its exit code.
TEST_F(ElevatedCopyTest, RunWritesBothValuesAndAnswersTheirStatus) {
    STANDIN_ONLY();
    MakeKeyAt(HKEY_LOCAL_MACHINE, fixed::kAviKey);
    EXPECT_EQ(0, ElevatedCopy::Run(Action::Default));
    EXPECT_EQ(Sz("Both"), ValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, "ThreadingModel"));
    standin::RefuseOpen(HKEY_LOCAL_MACHINE, fixed::kAviKey, KEY_SET_VALUE);
    EXPECT_EQ(ERROR_ACCESS_DENIED, ElevatedCopy::Run(Action::New));
    EXPECT_EQ(Sz("Both"), ValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, "ThreadingModel"));
    EXPECT_TRUE(standin::ShellExecutes().empty()) << "the copy starts nothing";
}

}  // namespace
