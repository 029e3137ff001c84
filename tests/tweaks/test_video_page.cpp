// The Video page's handlers on the real class key below HKEY_LOCAL_MACHINE:
// what "New" and "Default" leave in the registry, what the status fields show
// afterwards, and that a missing or write-protected key changes nothing.
#include "tweaks/video_page.h"

#include "fixed_keys.h"

namespace {

using B = std::vector<BYTE>;
using fixed::kAviKey;
using fixed::kClassKey;
using fixed::Sz;

constexpr char kUnset[] = "<unset>";

class RecordingStatus : public AviStatusView {
public:
    void AVI_Output_Text1(const std::string& text) override {
        text1 = text;
        ++writes;
    }
    void AVI_Output_Text2(const std::string& text) override {
        text2 = text;
        ++writes;
    }
    std::string text1 = kUnset;
    std::string text2 = kUnset;
    int writes = 0;
};

// What the platform makes of the stored server path on this system.
std::string ExpandedServerPath() {
    char buffer[1024];
    const DWORD n = ExpandEnvironmentStringsA(VideoPage::kServerPath, buffer, sizeof buffer);
    EXPECT_GT(n, 0u);
    EXPECT_LE(n, sizeof buffer);
    return buffer;
}

class VideoPageTest : public FixedKeysTest {
protected:
    void SetUp() override {
        FixedKeysTest::SetUp();
        MakeKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
        aviKey_.hKey(HKEY_LOCAL_MACHINE);
        aviKey_.KeyRoot(kClassKey);
        aviKey_.Subkey("InProcServer32");
    }
    std::vector<std::string> ClassKey() const { return Snapshot(HKEY_LOCAL_MACHINE, kClassKey); }
    void Store(const std::string& server, const std::string& model) {
        SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "", REG_EXPAND_SZ, Sz(server));
        SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "ThreadingModel", REG_SZ, Sz(model));
    }

    RegistryRoutines aviKey_;
    RecordingStatus view_;
};

TEST_F(VideoPageTest, NewBlanksBothValuesInPlaceAndTouchesNothingElse) {
    Store(VideoPage::kServerPath, "Both");
    SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "Other", REG_DWORD, {7, 0, 0, 0});
    MakeKeyAt(HKEY_LOCAL_MACHINE, std::string(kClassKey) + "\\ProgID");
    const std::string key = "[" + std::string(kClassKey);
    const std::vector<std::string> expected = {
        key + "]",
        key + "\\InProcServer32]",
        "  \"\" type 2 = 00",
        "  \"Other\" type 4 = 07 00 00 00",
        "  \"ThreadingModel\" type 1 = 00",
        key + "\\ProgID]",
    };

    VideoPage::AVI_New_Click(aviKey_, view_);
    EXPECT_EQ(expected, ClassKey());
    EXPECT_EQ("", view_.text1);
    EXPECT_EQ("", view_.text2);

    // Again: the same state, and the fields are written again.
    VideoPage::AVI_New_Click(aviKey_, view_);
    EXPECT_EQ(expected, ClassKey());
    EXPECT_EQ(4, view_.writes);
    if (kStandIn) {
        EXPECT_TRUE(standin::MessageBoxes().empty());
    }
}

TEST_F(VideoPageTest, DefaultStoresThePathUnexpandedAndShowsItExpanded) {
    for (const bool blankFirst : {true, false}) {  // after "New", and with no values at all
        SCOPED_TRACE(blankFirst ? "after New" : "without values");
        RemoveKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
        MakeKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
        if (blankFirst) VideoPage::AVI_New_Click(aviKey_, view_);

        VideoPage::AVI_Default_Click(aviKey_, view_);
        DWORD type = 0;
        EXPECT_EQ(Sz("%SystemRoot%\\System32\\shmedia.dll"), GetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "", &type));
        EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
        EXPECT_EQ(B({'B', 'o', 't', 'h', 0}), GetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "ThreadingModel", &type));
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

        EXPECT_EQ(ExpandedServerPath(), view_.text1);
        EXPECT_EQ(std::string::npos, view_.text1.find('%')) << view_.text1;
        const std::string tail = "\\System32\\shmedia.dll";
        ASSERT_GT(view_.text1.size(), tail.size());
        EXPECT_EQ(tail, view_.text1.substr(view_.text1.size() - tail.size()));
        EXPECT_EQ("Both", view_.text2);
    }
}

TEST_F(VideoPageTest, NeitherButtonCreatesAMissingKey) {
    const struct {
        const char* what;
        const char* removed;
    } cases[] = {
        {"InProcServer32 missing", kAviKey},
        {"class key missing", kClassKey},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveKeyAt(HKEY_LOCAL_MACHINE, c.removed);
        const auto before = ClassKey();
        view_.text1 = view_.text2 = "stale";
        VideoPage::AVI_New_Click(aviKey_, view_);
        VideoPage::AVI_Default_Click(aviKey_, view_);
        EXPECT_FALSE(KeyPresentAt(HKEY_LOCAL_MACHINE, kAviKey));
        EXPECT_EQ(before, ClassKey());
        EXPECT_EQ("", view_.text1);
        EXPECT_EQ("", view_.text2);
    }
}

TEST_F(VideoPageTest, WithoutWriteAccessBothButtonsChangeNothing) {
    STANDIN_ONLY();
    const std::string aviPath = kAviKey;
    const struct {
        const char* what;
        void (*refuse)(const std::string& path);
    } cases[] = {
        {"writes refused", [](const std::string& p) { standin::RefuseWrite(HKEY_LOCAL_MACHINE, p); }},
        {"open for writing refused",
         [](const std::string& p) { standin::RefuseOpen(HKEY_LOCAL_MACHINE, p, KEY_SET_VALUE); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
        MakeKeyAt(HKEY_LOCAL_MACHINE, kAviKey);
        Store("C:\\old\\server.dll", "Apartment");
        c.refuse(aviPath);
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
}

// Other programs may have left any type in the two values; the readout shows
// a text for each, never ends the program.
TEST_F(VideoPageTest, ReadoutShowsWhateverTypeTheValuesHold) {
    const std::string big(100000, 'x');
    const struct {
        const char* what;
        DWORD type;
        B data;
        std::string shown;
    } cases[] = {
        {"REG_SZ", REG_SZ, Sz("C:\\x.dll"), "C:\\x.dll"},
        {"REG_SZ of 100,000 characters", REG_SZ, Sz(big), big},
        {"REG_DWORD", REG_DWORD, {0xA0, 0x0F, 0, 0}, "4000"},
        {"REG_DWORD -1", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, "-1"},
        {"REG_BINARY", REG_BINARY, {1, 2, 3}, ""},
        {"REG_BINARY of 5,000 bytes", REG_BINARY, B(5000, 0x41), ""},
        {"REG_QWORD", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, ""},
        {"REG_NONE", REG_NONE, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "", c.type, c.data);
        SetValueAt(HKEY_LOCAL_MACHINE, kAviKey, "ThreadingModel", c.type, c.data);
        view_.text1 = view_.text2 = kUnset;
        ASSERT_NO_THROW(VideoPage::RefreshAviStatus(aviKey_, view_));
        EXPECT_EQ(c.shown, view_.text1);
        EXPECT_EQ(c.shown, view_.text2);
    }
}

}  // namespace
