// Main_App through a recording fake of the window, and its page buttons on
// the keys start-up aimed at.
#include "app/main_app.h"

#include <map>
#include <stdexcept>

#include "fixed_keys.h"

namespace {

using B = std::vector<BYTE>;
using Frame = MainView::Frame;
using fixed::Sz;

constexpr char kUnset[] = "<unset>";

// As the stored layout creates it: Folders visible, tab 1 already selected.
class FakeWindow : public MainView {
public:
    void lblVersion(const std::string& caption) override { version = caption; }
    void FrameVisible(Frame frame, bool visible) override {
        shown[frame] = visible;
        log.push_back((visible ? "show " : "hide ") + std::to_string(static_cast<int>(frame)));
    }
    std::string SelectedTabCaption() const override { return tabs.at(selected - 1); }
    void SelectTab(int index) override { selected = index, log.push_back("select " + std::to_string(index)); }
    void EndProgram() override {
        ++ended;
        if (failToEnd) throw std::runtime_error("cannot end");
    }
    void AVI_Output_Text1(const std::string& text) override { text1 = text; }
    void AVI_Output_Text2(const std::string& text) override { text2 = text; }
    std::vector<bool> Visible() const {
        return {shown.at(Frame::frAbout), shown.at(Frame::frVideo), shown.at(Frame::frFolders)};
    }

    std::vector<std::string> tabs = {"&About", "&Video", "&Folders"}, log;
    int selected = 1, ended = 0;
    std::map<Frame, bool> shown = {{Frame::frAbout, false}, {Frame::frVideo, false}, {Frame::frFolders, true}};
    std::string version = "Version", text1 = kUnset, text2 = kUnset;
    bool failToEnd = false;
};

class MainAppTest : public FixedKeysTest {
protected:
    void Choose(int index) {  // the tab control selects, then notifies
        window_.selected = index;
        app_.TabStrip1_Click();
    }
    void StoreAvi(const std::string& server, const std::string& model) {
        MakeKeyAt(HKEY_LOCAL_MACHINE, fixed::kAviKey);
        SetValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, "", REG_SZ, Sz(server));
        SetValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, "ThreadingModel", REG_SZ, Sz(model));
    }
    unsigned long Calls() const { return kStandIn ? standin::RegistryCallCount() : 0; }
    void ResetCalls() const {
        if (kStandIn) standin::ResetCallCounts();
    }
    FakeWindow window_;
    Main_App app_{window_};
};

TEST_F(MainAppTest, StartUpShowsOnlyAboutWithTheVersionAndOpensNoKey) {
    ResetCalls();
    app_.Form_Load();
    EXPECT_EQ("Version 0.3.6", window_.version);
    const std::string v = std::to_string(static_cast<int>(Frame::frVideo)),
                      f = std::to_string(static_cast<int>(Frame::frFolders)),
                      a = std::to_string(static_cast<int>(Frame::frAbout));
    EXPECT_EQ(std::vector<std::string>({"select 1", "hide " + v, "hide " + f, "show " + a}), window_.log);
    EXPECT_EQ(std::vector<bool>({true, false, false}), window_.Visible());
    EXPECT_EQ(kUnset, window_.text1);
    EXPECT_EQ(0u, Calls());
}

TEST_F(MainAppTest, TabCaptionPicksThePageAndVideoRereadsTheRegistry) {
    StoreAvi("C:\\srv.dll", "Both");
    app_.Form_Load();
    // The page tab 2's caption picks (0: the page shown before stays).
    const std::pair<const char*, int> cases[] = {{"&VIDEO", 2}, {"&aBOUT", 1},  {"&Folders", 3},
                                                 {"Video", 0},  {"&Video ", 0}, {"&&Video", 0}};
    std::vector<bool> shown = window_.Visible();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        window_.tabs[1] = c.first;
        window_.text1 = kUnset;
        ResetCalls();
        Choose(2);
        const bool video = c.second == 2;
        EXPECT_EQ((c.second ? std::vector<bool>{c.second == 1, video, c.second == 3} : shown), window_.Visible());
        EXPECT_EQ(video ? "C:\\srv.dll" : kUnset, window_.text1);
        EXPECT_TRUE(!kStandIn || video == (Calls() > 0));
        shown = window_.Visible();
    }
    window_.tabs[1] = "&Video";
    StoreAvi("C:\\second.dll", "Apartment");  // changed outside the program
    Choose(2);
    EXPECT_EQ("C:\\second.dll", window_.text1);
    EXPECT_EQ("Apartment", window_.text2);
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
        Choose(tab);
        const auto visible = window_.Visible();
        window_.ended = 0;
        window_.failToEnd = tab == 2;
        ResetCalls();
        EXPECT_NO_THROW(app_.Exit_Button_Click()) << tab;
        EXPECT_EQ(1, window_.ended) << tab;
        EXPECT_EQ(visible, window_.Visible()) << tab;
        EXPECT_EQ(0u, Calls()) << tab;
    }
}

// A mis-aimed registry object would leave these keys as they were.
TEST_F(MainAppTest, PageButtonsActOnTheAimedKeys) {
    const std::string noRoam = fixed::kShellNoRoamKey;
    MakeKeyAt(HKEY_LOCAL_MACHINE, fixed::kAviKey);
    MakeKeyAt(HKEY_CURRENT_USER, fixed::kShellKey);
    MakeKeyAt(HKEY_CURRENT_USER, noRoam + "\\Bags\\1");
    MakeKeyAt(HKEY_CURRENT_USER, noRoam + "\\BagMRU\\0");
    app_.Form_Load();
    app_.AVI_Default_Click();
    EXPECT_EQ(Sz("%SystemRoot%\\System32\\shmedia.dll"), GetValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, ""));
    EXPECT_EQ("Both", window_.text2);
    app_.AVI_New_Click();
    EXPECT_EQ(B{0}, GetValueAt(HKEY_LOCAL_MACHINE, fixed::kAviKey, "ThreadingModel"));
    EXPECT_EQ("", window_.text2);
    app_.Increase_Folders_Click();
    for (const char* key : {fixed::kShellKey, fixed::kShellNoRoamKey})
        EXPECT_EQ(B({0xA0, 0x0F, 0, 0}), GetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size")) << key;
    app_.Default_Folders_Click();
    for (const char* key : {fixed::kShellKey, fixed::kShellNoRoamKey}) {
        bool present = true;
        GetValueAt(HKEY_CURRENT_USER, key, "BagMRU Size", nullptr, &present);
        EXPECT_FALSE(present) << key;
    }
    app_.Reset_Folders_Click();
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, noRoam + "\\Bags"));
    EXPECT_FALSE(KeyPresentAt(HKEY_CURRENT_USER, noRoam + "\\BagMRU"));
    EXPECT_TRUE(KeyPresentAt(HKEY_CURRENT_USER, noRoam));
}

}  // namespace
