// The Video handlers on the real class key below HKLM. How data of each shape
// reads is the table in tests/reliability/test_malformed_data.cpp; here only
// what the status fields make of it.
#include "tweaks/video_page.h"

#include "fixed_keys.h"

namespace {

using fixed::kAviKey;
using fixed::kClassKey;

struct RecordingStatus : AviStatusView {
    void AVI_Output_Text1(const std::string& text) override { text1 = text, ++writes; }
    void AVI_Output_Text2(const std::string& text) override { text2 = text, ++writes; }
    void AviShield(bool shown) override { shield = shown; }
    bool shield = true;
    std::string text1 = "<unset>", text2 = "<unset>";
    int writes = 0;
};

// Records what it is asked to write with more rights; writes nothing.
struct FakeElevation : VideoPage::AviElevation {
    bool CanAsk() override { return canAsk; }
    void WriteRaised(VideoPage::Action action) override { raised.push_back(action); }
    bool canAsk = true;
    std::vector<VideoPage::Action> raised;
};

class VideoPageTest : public FixedKeysTest {
protected:
    void SetUp() override {
        FixedKeysTest::SetUp();
        VideoPage::Aim(aviKey_, RegistryViews{});
        RemoveKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
        MakeKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
        SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "", REG_EXPAND_SZ, Sz("C:\\old\\server.dll"));
        SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "ThreadingModel", REG_SZ, Sz("Apartment"));
    }
    std::vector<std::string> ClassKey() const { return Snapshot(HKEY_LOCAL_MACHINE, kClassKey); }
    VideoPage::AviKeys aviKey_;
    RecordingStatus view_;
};

TEST_F(VideoPageTest, NewBlanksInPlaceThenDefaultStoresUnexpandedAndShowsExpanded) {
    SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "Other", REG_DWORD, {7, 0, 0, 0});
    MakeKeyAt(HKEY_LOCAL_MACHINE, std::string(kClassKey) + "\\ProgID");
    const std::string key = "[" + std::string(kClassKey);
    const std::vector<std::string> blank = {key + "]",
                                            key + "\\InProcServer32]",
                                            "  \"\" type 2 = 00",
                                            "  \"Other\" type 4 = 07 00 00 00",
                                            "  \"ThreadingModel\" type 1 = 00",
                                            key + "\\ProgID]"};
    VideoPage::AVI_New_Click(aviKey_, view_);
    EXPECT_EQ(blank, ClassKey());
    EXPECT_EQ("", view_.text1);
    EXPECT_EQ("", view_.text2);
    EXPECT_EQ(2, view_.writes);
    char expanded[1024];
    ASSERT_GT(ExpandEnvironmentStringsA(VideoPage::kServerPath, expanded, sizeof expanded), 0u);
    VideoPage::AVI_Default_Click(aviKey_, view_);
    DWORD server = 0, model = 0;
    EXPECT_EQ(Sz("%SystemRoot%\\System32\\shmedia.dll"), ValueAt(HKEY_LOCAL_MACHINE, kAviKey, "", &server));
    EXPECT_EQ(Sz("Both"), ValueAt(HKEY_LOCAL_MACHINE, kAviKey, "ThreadingModel", &model));
    EXPECT_EQ(DWORD(REG_EXPAND_SZ), server);
    EXPECT_EQ(DWORD(REG_SZ), model);
    EXPECT_EQ(expanded, view_.text1);
    EXPECT_EQ("Both", view_.text2);
}

TEST_F(VideoPageTest, NeitherButtonCreatesAMissingKey) {
    RemoveKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
    const auto before = ClassKey();
    FakeElevation elevation;  // rights would not make the key
    VideoPage::AVI_New_Click(aviKey_, view_, &elevation);
    VideoPage::AVI_Default_Click(aviKey_, view_, &elevation);
    EXPECT_EQ(before, ClassKey());
    EXPECT_TRUE(elevation.raised.empty());
    EXPECT_FALSE(view_.shield);
    EXPECT_EQ("", view_.text1);
    EXPECT_EQ("", view_.text2);
}

// Data with no text form, as another program may store it, shows as empty.
TEST_F(VideoPageTest, BinaryDataShowsAsEmpty) {
    for (const char* name : {"", "ThreadingModel"}) SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, name, REG_BINARY, {1, 2});
    VideoPage::RefreshAviStatus(aviKey_, view_);
    EXPECT_EQ("", view_.text1);
    EXPECT_EQ("", view_.text2);
}

// A key the user may read but not change (HKLM for a limited user): neither
// button changes it, and the fields show what it holds. Where Windows can
// ask for rights, the refused writes are made again with them, and the
// buttons carry the shield; never for a key the user may write.
TEST_F(VideoPageTest, RefusedWritesAreRaisedOnlyWhereWindowsCanAsk) {
    STANDIN_ONLY();
    using VideoPage::Action;
    const struct {
        bool refused, canAsk;
        std::vector<Action> raised;
    } rows[] = {
        {false, true, {}},
        {true, false, {}},
        {true, true, {Action::New, Action::Default}},
    };
    for (const auto& row : rows) {
        if (row.refused) standin::RefuseOpen(HKEY_LOCAL_MACHINE, kAviKey, KEY_SET_VALUE);
        const auto before = ClassKey();
        FakeElevation elevation;
        elevation.canAsk = row.canAsk;
        for (auto click : {&VideoPage::AVI_New_Click, &VideoPage::AVI_Default_Click}) {
            view_.text1 = view_.text2 = "stale";
            click(aviKey_, view_, &elevation);
            EXPECT_EQ(row.refused && row.canAsk, view_.shield) << row.refused << row.canAsk;
        }
        if (row.refused) {
            EXPECT_EQ(before, ClassKey());
        }
        EXPECT_EQ("Both", view_.text2) << "as the key holds it";
        EXPECT_EQ(row.raised, elevation.raised);
    }
    EXPECT_TRUE(standin::MessageBoxes().empty());
}

// On 64-bit Windows a 32-bit process reaches the shell's key through the
// 64-bit view and writes the 32-bit programs' copy too, where that exists.
TEST_F(VideoPageTest, BothViewsOfA64BitWindowsAreWritten) {
    STANDIN_ONLY();
    const std::string copy = "Software\\Classes\\Wow6432Node\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";
    standin::SetWow64(true);
    VideoPage::Aim(aviKey_, CurrentRegistryViews());
    EXPECT_EQ(ERROR_SUCCESS, VideoPage::WriteValues(VideoPage::Action::New, aviKey_)) << "no copy: no failure";
    MakeKeyAt(HKEY_LOCAL_MACHINE, copy + "\\InProcServer32");
    VideoPage::AVI_Default_Click(aviKey_, view_);
    for (const std::string& key : {std::string(kAviKey), copy + "\\InProcServer32"})
        EXPECT_EQ(Sz("Both"), ValueAt(HKEY_LOCAL_MACHINE, key, "ThreadingModel")) << key;
    EXPECT_EQ("Both", view_.text2);
    standin::RefuseOpen(HKEY_LOCAL_MACHINE, copy + "\\InProcServer32", KEY_SET_VALUE);
    EXPECT_EQ(ERROR_ACCESS_DENIED, VideoPage::WriteValues(VideoPage::Action::New, aviKey_));
    VideoPage::Aim(aviKey_, RegistryViews{});
    EXPECT_FALSE(aviKey_.AviKey32) << "32-bit Windows has one view";
}

}  // namespace
