// Main_App: start-up, tab switching and exit through a recording fake of the
// window, and its page buttons acting on the keys start-up aimed at.
#include "app/main_app.h"

#include <map>
#include <stdexcept>

#include "app/version.h"
#include "fixed_keys.h"

namespace {

using B = std::vector<BYTE>;
using Frame = MainView::Frame;
using fixed::Sz;

constexpr char kUnset[] = "<unset>";

// The window as it is created from its stored layout: Folders is the visible
// page, tab 1 already counts as selected, the caption reads "Version".
class FakeWindow : public MainView {
public:
    void lblVersion(const std::string& caption) override { version = caption; }
    void FrameVisible(Frame frame, bool visible) override {
        visibleFrames[frame] = visible;
        log.push_back(std::string(visible ? "show " : "hide ") + Name(frame));
    }
    std::string SelectedTabCaption() const override { return tabs.at(selected - 1); }
    void SelectTab(int index) override {
        selected = index;
        log.push_back("select " + std::to_string(index));
    }
    void EndProgram() override {
        ++ended;
        if (failToEnd) throw std::runtime_error("cannot end");
    }
    void AVI_Output_Text1(const std::string& text) override { text1 = text; }
    void AVI_Output_Text2(const std::string& text) override { text2 = text; }

    // Visibility of frAbout, frVideo and frFolders, in that order.
    std::vector<bool> Visible() const {
        return {visibleFrames.at(Frame::frAbout), visibleFrames.at(Frame::frVideo), visibleFrames.at(Frame::frFolders)};
    }
    static const char* Name(Frame frame) {
        switch (frame) {
            case Frame::frAbout: return "frAbout";
            case Frame::frVideo: return "frVideo";
            case Frame::frFolders: return "frFolders";
        }
        return "?";
    }

    std::vector<std::string> tabs = {"&About", "&Video", "&Folders"};
    int selected = 1;
    std::map<Frame, bool> visibleFrames = {{Frame::frAbout, false}, {Frame::frVideo, false}, {Frame::frFolders, true}};
    std::string version = "Version";
    std::string text1 = kUnset;
    std::string text2 = kUnset;
    std::vector<std::string> log;
    int ended = 0;
    bool failToEnd = false;
};

class MainAppTest : public FixedKeysTest {
protected:
    // The user clicks tab `index`: the tab control selects it and notifies.
    void Choose(int index) {
        window_.selected = index;
        app_.TabStrip1_Click();
    }
    void StoreAvi(const std::string& server, const std::string& model) {
        MakeKeyAt(HKEY_LOCAL_MACHINE, fixed::kAviKey);
        SetValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, "", REG_SZ, Sz(server));
        SetValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, "ThreadingModel", REG_SZ, Sz(model));
    }
    unsigned long RegistryCalls() const { return kStandIn ? standin::RegistryCallCount() : 0; }
    void ResetCounts() const {
        if (kStandIn) standin::ResetCallCounts();
    }

    FakeWindow window_;
    Main_App app_{window_};
};

TEST_F(MainAppTest, StartUpShowsOnlyAboutWithTheVersionAndOpensNoKey) {
    ResetCounts();
    app_.Form_Load();
    EXPECT_EQ("Version 0.3.6", window_.version);
    EXPECT_EQ(std::vector<bool>({true, false, false}), window_.Visible());
    // Tab 1 counted as selected already; the page switch ran all the same.
    const std::vector<std::string> log = {"select 1", "hide frVideo", "hide frFolders", "show frAbout"};
    EXPECT_EQ(log, window_.log);
    EXPECT_EQ(kUnset, window_.text1);
    EXPECT_EQ(0u, RegistryCalls());
}

TEST_F(MainAppTest, VersionCaptionIsPlainDecimalWithoutTheBuildNumber) {
    const struct {
        std::uint16_t major, minor, revision;
        const char* caption;
    } cases[] = {
        {0, 3, 6, "Version 0.3.6"},
        {1, 0, 0, "Version 1.0.0"},
        {10, 20, 300, "Version 10.20.300"},
        {65535, 65535, 65535, "Version 65535.65535.65535"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.caption, Main_App::VersionCaption(c.major, c.minor, c.revision));

    // The generated header the version resource shares.
    EXPECT_EQ(std::vector<int>({0, 3, 0, 6}),
              std::vector<int>({QT_VERSION_MAJOR, QT_VERSION_MINOR, QT_VERSION_BUILD, QT_VERSION_REVISION}));
    EXPECT_STREQ("0.03.0006", QT_VERSION_TEXT);
}

TEST_F(MainAppTest, StartUpAimsTheThreeRegistryObjects) {
    app_.Form_Load();
    const struct {
        const char* what;
        const RegistryRoutines& object;
        HKEY root;
        const char* keyRoot;
        const char* subkey;
    } cases[] = {
        {"AviKey", app_.AviKey(), HKEY_LOCAL_MACHINE,
         "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}", "InProcServer32"},
        {"ShellKey", app_.ShellKey(), HKEY_CURRENT_USER, "Software\\Microsoft\\Windows", "Shell"},
        {"ShellNoRoamKey", app_.ShellNoRoamKey(), HKEY_CURRENT_USER, "Software\\Microsoft\\Windows", "ShellNoRoam"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.root, c.object.hKey());
        EXPECT_EQ(c.keyRoot, c.object.KeyRoot());
        EXPECT_EQ(c.subkey, c.object.Subkey());
    }
}

TEST_F(MainAppTest, TabCaptionPicksThePageRegardlessOfCapitals) {
    StoreAvi("C:\\srv.dll", "Both");
    app_.Form_Load();
    const struct {
        const char* caption;
        std::vector<bool> visible;  // frAbout, frVideo, frFolders; empty: as they were
        bool readsRegistry;
    } cases[] = {
        {"&Video", {false, true, false}, true},
        {"&About", {true, false, false}, false},
        {"&Folders", {false, false, true}, false},
        {"&VIDEO", {false, true, false}, true},
        {"&aBOUT", {true, false, false}, false},
        {"&FOLDERS", {false, false, true}, false},
        {"About", {}, false},
        {"Video", {}, false},
        {"", {}, false},
        {"&Video ", {}, false},
        {"&&Video", {}, false},
        {"Folders&", {}, false},
        {"&Abou", {}, false},
        {"&Aboutx", {}, false},
    };
    // Every page in turn is the one shown before an unmatched caption.
    std::vector<bool> shown = window_.Visible();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        window_.tabs[1] = c.caption;
        window_.text1 = kUnset;
        ResetCounts();
        Choose(2);
        EXPECT_EQ(c.visible.empty() ? shown : c.visible, window_.Visible());
        EXPECT_EQ(c.readsRegistry ? "C:\\srv.dll" : kUnset, window_.text1);
        if (kStandIn) {
            EXPECT_EQ(c.readsRegistry, standin::RegistryCallCount() > 0);
        }
        shown = window_.Visible();
    }
}

TEST_F(MainAppTest, PagesAreSwitchedInTheirOrder) {
    app_.Form_Load();
    const struct {
        int tab;
        std::vector<std::string> log;
    } cases[] = {
        {2, {"hide frAbout", "hide frFolders", "show frVideo"}},
        {3, {"hide frAbout", "hide frVideo", "show frFolders"}},
        {1, {"hide frVideo", "hide frFolders", "show frAbout"}},
    };
    for (const auto& c : cases) {
        window_.log.clear();
        Choose(c.tab);
        EXPECT_EQ(c.log, window_.log) << "tab " << c.tab;
    }
}

TEST_F(MainAppTest, VideoTabReadsTheRegistryEachTime) {
    StoreAvi("C:\\first.dll", "Apartment");
    app_.Form_Load();
    Choose(2);
    EXPECT_EQ("C:\\first.dll", window_.text1);
    EXPECT_EQ("Apartment", window_.text2);

    // Changed outside the program while another page was shown.
    Choose(3);
    StoreAvi("C:\\second.dll", "Both");
    Choose(2);
    EXPECT_EQ("C:\\second.dll", window_.text1);
    EXPECT_EQ("Both", window_.text2);

    // The key removed: both fields empty, and it is not created again.
    RemoveKeyAt(HKEY_LOCAL_MACHINE, fixed::kClassKey);
    Choose(1);
    Choose(2);
    EXPECT_EQ("", window_.text1);
    EXPECT_EQ("", window_.text2);
    EXPECT_FALSE(KeyPresentAt(HKEY_LOCAL_MACHINE, fixed::kClassKey));
}

TEST_F(MainAppTest, ExitEndsAtOnceOnEveryPageAndIgnoresErrors) {
    app_.Form_Load();
    for (const int tab : {1, 2, 3}) {
        for (const bool fail : {false, true}) {
            SCOPED_TRACE("tab " + std::to_string(tab) + (fail ? ", ending fails" : ""));
            Choose(tab);
            const auto visible = window_.Visible();
            window_.ended = 0;
            window_.failToEnd = fail;
            ResetCounts();
            EXPECT_NO_THROW(app_.Exit_Button_Click());
            EXPECT_EQ(1, window_.ended);
            EXPECT_EQ(visible, window_.Visible());
            EXPECT_EQ(0u, RegistryCalls());
        }
    }
}

// The page buttons go through the objects start-up aimed: a mis-aimed object
// would write somewhere else, and these keys would stay as they were.
TEST_F(MainAppTest, PageButtonsActOnTheAimedKeys) {
    MakeKeyAt(HKEY_LOCAL_MACHINE, fixed::kAviKey);
    MakeKeyAt(HKEY_CURRENT_USER, fixed::kShellKey);
    MakeKeyAt(HKEY_CURRENT_USER, std::string(fixed::kShellNoRoamKey) + "\\Bags\\1\\Shell");
    MakeKeyAt(HKEY_CURRENT_USER, std::string(fixed::kShellNoRoamKey) + "\\BagMRU\\0");
    app_.Form_Load();

    app_.AVI_Default_Click();
    EXPECT_EQ(Sz("%SystemRoot%\\System32\\shmedia.dll"), GetValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, ""));
    EXPECT_EQ("Both", window_.text2);
    app_.AVI_New_Click();
    EXPECT_EQ(B{0}, GetValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, "ThreadingModel"));
    EXPECT_EQ("", window_.text2);
    SetValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, "ThreadingModel", REG_SZ, Sz("Free"));
    app_.RefreshAviStatus();
    EXPECT_EQ("Free", window_.text2);

    app_.Increase_Folders_Click();
    for (const char* key : {fixed::kShellKey, fixed::kShellNoRoamKey}) {
        EXPECT_EQ(B({0xA0, 0x0F, 0, 0}), GetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size")) << key;
    }
    app_.Default_Folders_Click();
    for (const char* key : {fixed::kShellKey, fixed::kShellNoRoamKey}) {
        EXPECT_FALSE(ValuePresentAt(HKEY_CURRENT_USER, key, "BagMRU Size")) << key;
    }
    app_.Reset_Folders_Click();
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, std::string(fixed::kShellNoRoamKey) + "\\Bags"));
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, std::string(fixed::kShellNoRoamKey) + "\\BagMRU"));
    EXPECT_TRUE(KeyPresentAt(HKEY_CURRENT_USER, fixed::kShellNoRoamKey));
}

}  // namespace
