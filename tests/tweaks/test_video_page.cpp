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
    std::string text1 = "<unset>", text2 = "<unset>";
    int writes = 0;
};

class VideoPageTest : public FixedKeysTest {
protected:
    void SetUp() override {
        FixedKeysTest::SetUp();
        aviKey_.hKey(HKEY_LOCAL_MACHINE);
        aviKey_.KeyRoot(kClassKey);
        aviKey_.Subkey("InProcServer32");
        RemoveKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
        MakeKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
        SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "", REG_EXPAND_SZ, Sz("C:\\old\\server.dll"));
        SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "ThreadingModel", REG_SZ, Sz("Apartment"));
    }
    std::vector<std::string> ClassKey() const { return Snapshot(HKEY_LOCAL_MACHINE, kClassKey); }
    RegistryRoutines aviKey_;
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
    EXPECT_EQ(std::string::npos, view_.text1.find('%'));
    EXPECT_EQ("Both", view_.text2);
}

TEST_F(VideoPageTest, NeitherButtonCreatesAMissingKey) {
    RemoveKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
    const auto before = ClassKey();
    VideoPage::AVI_New_Click(aviKey_, view_);
    VideoPage::AVI_Default_Click(aviKey_, view_);
    EXPECT_EQ(before, ClassKey());
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
// button changes it, and the fields show what it holds.
TEST_F(VideoPageTest, WithoutWriteAccessBothButtonsChangeNothing) {
    STANDIN_ONLY();
    standin::RefuseOpen(HKEY_LOCAL_MACHINE, kAviKey, KEY_SET_VALUE);
    const auto before = ClassKey();
    for (auto click : {&VideoPage::AVI_New_Click, &VideoPage::AVI_Default_Click}) {
        view_.text1 = view_.text2 = "stale";
        click(aviKey_, view_);
        EXPECT_EQ(before, ClassKey());
        EXPECT_EQ("C:\\old\\server.dll", view_.text1);
        EXPECT_EQ("Apartment", view_.text2);
    }
    EXPECT_TRUE(standin::MessageBoxes().empty());
}

}  // namespace
