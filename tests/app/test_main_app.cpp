// Main_App through a recording fake of the window, and its page buttons on
// the keys start-up aimed at.
#include "app/main_app.h"

#include <functional>
#include <map>
#include <cstring>
#include <set>

#include "app/version.h"
#include "fixed_keys.h"
#include "desktop/mouse_pointer.h"

namespace {

using Frame = MainView::Frame;

constexpr char kUnset[] = "<unset>";
// The text of a number as the generated header spells it.
#define QT_TEXT_OF(number) #number
#define QT_TEXT(number) QT_TEXT_OF(number)

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
    void EndProgram() noexcept override { ++ended; }
    void AVI_Output_Text1(const std::string& text) override { text1 = text; }
    void AVI_Output_Text2(const std::string& text) override { text2 = text; }
    void AviShield(bool) override {}
    std::vector<bool> Visible() const {
        return {shown.at(Frame::frAbout), shown.at(Frame::frVideo), shown.at(Frame::frFolders)};
    }

    std::vector<std::string> tabs = {"&About", "&Video", "&Folders"}, log;
    int selected = 1, ended = 0;
    std::map<Frame, bool> shown = {{Frame::frAbout, false}, {Frame::frVideo, false}, {Frame::frFolders, true}};
    std::string version = "Version", text1 = kUnset, text2 = kUnset;
};

class MainAppTest : public FixedKeysTest {
protected:
    void Choose(int index) {  // the tab control selects, then notifies
        window_.selected = index;
        app_.TabStrip1_Click();
    }
    // In the view the program reads: on 64-bit Windows the 64-bit one.
    void StoreAvi(const std::string& server, const std::string& model) {
        const std::string key = std::string(fixed::kAviKey).substr(std::strlen("Software\\Classes\\CLSID\\"));
        MakeKeyAt(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID");
        HKEY opened = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID", 0,
                                               KEY_ALL_ACCESS | CurrentRegistryViews().native, &opened));
        const KeyPtr clsid(opened, &RegCloseKey);
        MakeKeyAt(clsid.get(), key);
        SetValueAt(clsid.get(), key, "", REG_SZ, Sz(server));
        SetValueAt(clsid.get(), key, "ThreadingModel", REG_SZ, Sz(model));
    }
    FakeWindow window_;
    Main_App app_{window_};
};

TEST_F(MainAppTest, StartUpShowsOnlyAboutWithTheVersion) {
    app_.Form_Load();
    EXPECT_EQ("Version " QT_TEXT(QT_VERSION_MAJOR) "." QT_TEXT(QT_VERSION_MINOR) "." QT_TEXT(QT_VERSION_REVISION),
              window_.version);
    EXPECT_EQ("Version 10.0.1234", Main_App::VersionCaption(10, 0, 1234)) << "plain decimal, no build number";
    // Frames by number, in the order of the tabs: About 0, Video 1, Folders 2.
    EXPECT_EQ(std::vector<std::string>({"select 1", "hide 1", "hide 2", "show 0"}), window_.log);
    EXPECT_EQ(kUnset, window_.text1);
}

TEST_F(MainAppTest, TabCaptionPicksThePageAndVideoRereadsTheRegistry) {
    StoreAvi("C:\\srv.dll", "Both");
    app_.Form_Load();
    // The page tab 2's caption picks (0: the page shown before stays); each
    // page is reached from each of the other two.
    const std::pair<const char*, int> cases[] = {{"&VIDEO", 2}, {"&Folders", 3}, {"&video", 2},
                                                 {"&aBOUT", 1}, {"&FOLDERS", 3}, {"&about", 1},
                                                 {"Video", 0},  {"&Video ", 0},  {"&&Video", 0}};
    std::vector<bool> shown = window_.Visible();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        window_.tabs[1] = c.first;
        window_.text1 = kUnset;
        Choose(2);
        const bool video = c.second == 2;
        EXPECT_EQ((c.second ? std::vector<bool>{c.second == 1, video, c.second == 3} : shown), window_.Visible());
        EXPECT_EQ(video ? "C:\\srv.dll" : kUnset, window_.text1);
        shown = window_.Visible();
    }
    window_.tabs[1] = "&Video";
    StoreAvi("C:\\second.dll", "Apartment");  // changed outside the program
    Choose(2);
    EXPECT_EQ("C:\\second.dll", window_.text1);
    EXPECT_EQ("Apartment", window_.text2);
}

// The Exit button's command ends the program at once (one path, any page).
TEST_F(MainAppTest, ExitEndsAtOnce) {
    app_.Form_Load();
    const auto visible = window_.Visible();
    app_.Run(layout::Find("Exit_Button")->command);
    EXPECT_EQ(1, window_.ended);
    EXPECT_EQ(visible, window_.Visible()) << "no page hidden or shown first";
}

TEST_F(MainAppTest, ResetViewsShowsTheBusyPointerWhileItDeletes) {
    STANDIN_ONLY();
    MakeKeyAt(HKEY_CURRENT_USER, std::string(fixed::kShellNoRoamKey) + "\\Bags\\1");
    std::string busy;
    standin::SetCallHook([&](const std::string& function, unsigned long) {
        const bool hourglass = GetCursor() == MousePointer::SystemPointer(MousePointer::Shape::Hourglass);
        if (function == "NtDeleteKey") busy += MousePointer::IsBusy() && hourglass ? "+" : "-";
        return ERROR_SUCCESS;
    });
    app_.Reset_Folders_Click();
    standin::SetCallHook(nullptr);
    EXPECT_EQ(std::string(busy.size(), '+'), busy);
    EXPECT_GE(busy.size(), 2u) << "Bags\\1 and Bags";
    EXPECT_FALSE(MousePointer::IsBusy());
}

// The registry ignores case, so only the texts handed to it show a wrong
// letter in a key path; neither start-up nor tab switches nor exit name any.
// Each button runs its row's command, and every button of the layout is here.
TEST_F(MainAppTest, EachButtonNamesExactlyItsKeys) {
    if (!kStandIn) GTEST_SKIP() << "needs the stand-in's record of the key paths named";
    using Paths = std::set<std::pair<HKEY, std::string>>;
    const std::string noRoam = fixed::kShellNoRoamKey;
    const Paths avi = {{HKEY_LOCAL_MACHINE, fixed::kAviKey}};
    const Paths shells = {{HKEY_CURRENT_USER, fixed::kShellKey}, {HKEY_CURRENT_USER, noRoam}};
    const Paths trees = {{HKEY_CURRENT_USER, noRoam + "\\BagMRU"}, {HKEY_CURRENT_USER, noRoam + "\\Bags"}};
    std::set<std::string> clicked, buttons;
    auto click = [&](const char* button) {
        return [&, button] { clicked.insert(button), app_.Run(layout::Find(button)->command); };
    };
    const std::pair<std::function<void()>, Paths> steps[] = {
        {[&] { app_.Form_Load(); }, {}},    {[&] { Choose(1), Choose(3), click("Exit_Button")(); }, {}},
        {[&] { Choose(2); }, avi},          {click("AVI_New"), avi},
        {click("AVI_Default"), avi},        {click("Increase_Folders"), shells},
        {click("Default_Folders"), shells}, {click("Reset_Folders"), trees},
    };
    for (std::size_t step = 0; step < std::size(steps); ++step) {
        standin::ResetCallCounts();
        steps[step].first();
        Paths named;
        for (const auto& call : standin::KeyPaths())
            if (IsPredefinedKey(call.root)) named.emplace(call.root, call.path);
        EXPECT_EQ(steps[step].second, named) << "step " << step;
        EXPECT_EQ(named.empty(), standin::RegistryCallCount() == 0) << "step " << step;
    }
    for (const layout::Control& row : layout::Controls())
        if (row.kind == layout::Kind::Button) buttons.insert(row.name);
    EXPECT_EQ(buttons, clicked);
}

}  // namespace
