#include "app/layout.h"

#include "app/control_ids.h"
#include "controls/accessible.h"
#include "controls/units.h"

#include <cstring>

namespace layout {

namespace {

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// One constructor per kind of row, so that each row says what it is.
struct TabIndex {
    int value;
};
constexpr bool kShown = true, kHidden = false;

Control TabStrip(const char* name, Place place, TabIndex tab) {
    return {name, Kind::TabStrip, "", "", place, tab.value};
}
Control Page(const char* name, const char* caption, Place place, TabIndex tab, bool visible) {
    return {name, Kind::Frame, "", caption, place, tab.value, visible};
}
// The caption of a bare frame is stored, never drawn.
Control BareFrame(const char* name, const char* caption, Place place, TabIndex tab) {
    return {name, Kind::BareFrame, "", caption, place, tab.value};
}
Control Text(const char* name, const char* container, std::string text, Place place, TabIndex tab) {
    return {name, Kind::ReadOnlyText, container, std::move(text), place, tab.value};
}
Control StatusField(const char* name, const char* container, Place place, TabIndex tab) {
    return {name, Kind::StatusField, container, "", place, tab.value};
}
Control Button(const char* name, const char* container, const char* caption, Place place, TabIndex tab,
               Command command) {
    Control row{name, Kind::Button, container, caption, place, tab.value};
    row.command = command;
    return row;
}
Control Label(const char* name, const char* container, const char* caption, Place place, TabIndex tab,
              std::uint32_t colour = kNoColour) {
    Control row{name, Kind::Label, container, caption, place, tab.value};
    row.colour = colour;
    return row;
}
Control PictureBox(const char* name, const char* container, Image image, Place place, TabIndex tab,
                   const char* tooltip = "", Font font = kWindowFont) {
    Control row{name, Kind::Picture, container, "", place, tab.value};
    row.image = image, row.tooltip = tooltip, row.font = font;
    return row;
}
// A line from one end to the other, `pixels` wide.
Control Line(const char* name, const char* container, int x1, int y1, int x2, int y2, int pixels,
             std::uint32_t colour) {
    Control row{name, Kind::Line, container, "", {x1, y1, x2 - x1, y2 - y1}, -1};
    row.lineWidth = pixels, row.colour = colour;
    return row;
}
// A hyperlink label: its size as stored (HIMETRIC) and, unless nullptr, its
// text and the address of `path` on the maker's site.
Control Link(const char* name, const char* container, Place place, TabIndex tab, const char* text, const char* path) {
    Control row{name, Kind::Link, container, "", place, tab.value};
    row.properties.Set("_extentx", TaggedValue(units::TwipsToHimetric(place.width)));
    row.properties.Set("_extenty", TaggedValue(units::TwipsToHimetric(place.height)));
    if (text) row.properties.Set("text", TaggedValue(text));
    if (path) row.properties.Set("url", TaggedValue(std::string("http://www.valdrin.net/") + path));
    return row;
}

constexpr Place kPage{360, 1800, 4935, 4095};

std::vector<Control> Build() {
    return {
        // Children of the window, top of the stacking order first: the three
        // pages and the header lie over the tab strip, whose row of tabs stays
        // uncovered below the pages.
        Page("frFolders", "Folders", kPage, TabIndex{19}, kShown),
        Page("frAbout", "About", kPage, TabIndex{2}, kHidden),
        Page("frVideo", "Video", kPage, TabIndex{1}, kHidden),
        BareFrame("frStatic", "Static", {240, 240, 5055, 1575}, TabIndex{8}),
        TabStrip("TabStrip1", {120, 120, 5415, 6375}, TabIndex{0}),

        // Header area.
        PictureBox("Qorvel_Picture", "frStatic", Image::Banner, {120, 0, 3735, 735}, TabIndex{26}),
        Text("Title_Text", "frStatic",
             Lines({"Click on the Tabs at the bottom to begin.", "This was designed for Microsoft Windows XP"}),
             {120, 720, 3615, 735}, TabIndex{23}),
        Button("Exit_Button", "frStatic", "&Exit", {4080, 1080, 975, 375}, TabIndex{10}, Command::Exit),
        PictureBox("Picture1", "frStatic", Image::Portrait, {4080, 0, 950, 985}, TabIndex{9}, "Zombies love pudding!",
                   Font{"Verdana", 825}),

        // Video page.
        Text("AVI_Text", "frVideo",
             Lines({"This will prevent Windows XP from scanning AVI files. When ",
                    "you have a large AVI file and try to delete it, Windows will ",
                    "sometimes say the file can not be deleted as it is in use by ", "something else. ", "",
                    "Click on a button to either change the setting or restore it.", "",
                    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID",
                    "\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}\\InProcServer32"}),
             {120, 240, 4695, 2055}, TabIndex{18}),
        Button("AVI_Default", "frVideo", "Default", {1560, 2400, 1215, 375}, TabIndex{17}, Command::AviDefault),
        Button("AVI_New", "frVideo", "New", {240, 2400, 1215, 375}, TabIndex{16}, Command::AviNew),
        StatusField("AVI_Output_Text2", "frVideo", {120, 3480, 4335, 375}, TabIndex{15}),
        StatusField("AVI_Output_Text1", "frVideo", {120, 3000, 4335, 375}, TabIndex{14}),

        // Folders page.
        Button("Default_Folders", "frFolders", "Default Folders", {3240, 3600, 1455, 375}, TabIndex{25},
               Command::DefaultFolders),
        Button("Increase_Folders", "frFolders", "Increase Folders", {1680, 3600, 1455, 375}, TabIndex{24},
               Command::IncreaseFolders),
        Button("Reset_Folders", "frFolders", "Reset Views", {120, 3600, 1455, 375}, TabIndex{21},
               Command::ResetFolders),
        Text("Folders_Test", "frFolders",
             Lines({"By default, Windows XP only remembers so many folder views. ",
                    "Once you have reached this limit, Windows no longer saves ", "some folder views.", "",
                    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows", "\\ShellNoRoam\\BagMRU", "",
                    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows", "\\ShellNoRoam\\Bags", "",
                    "Windows defaults to 400 views saved. This can increase that ",
                    "amount to 4000, or clear out the current views if Windows won't save any more."}),
             {120, 240, 4695, 3135}, TabIndex{20}),

        // About page.
        Link("URLLink4", "frAbout", {2640, 3360, 1695, 255}, TabIndex{13}, "Qorvel Message Forum", "forum/"),
        Link("URLLink3", "frAbout", {2640, 3720, 1815, 255}, TabIndex{12}, "Qorvel PHP Programming",
             "programming/php/"),
        Text("About_Text", "frAbout",
             Lines({"This program is provided AS IS.", "It is currently NOT SUPPORTED in any way.",
                    "You agree to use this program at your OWN RISK.",
                    "If you do not accept this, then DO NOT use this program.", "",
                    "Back up your registry before you tweak it."}),
             {240, 1320, 4335, 1455}, TabIndex{11}),
        PictureBox("picIcon", "frAbout", Image::Mascot, {150, 360, 810, 810}, TabIndex{5}, "Drawn by Moth"),
        Link("URLLink2", "frAbout", {120, 3720, 2535, 255}, TabIndex{3}, "Qorvel VB Programming", "programming/vb/"),
        // The first link stores neither text nor address: it shows the
        // control's defaults.
        Link("URLLink1", "frAbout", {120, 3360, 2175, 255}, TabIndex{4}, nullptr, nullptr),
        Label("Label1", "frAbout", "Simple and to the point!", {1230, 600, 3015, 255}, TabIndex{22}),
        Label("lblDisclaimer", "frAbout", "(c) 2005-2006 Ansel Varga, Valdrin dot Net", {120, 3000, 4095, 225},
              TabIndex{7}, Rgb(0, 0, 0)),
        Label("lblVersion", "frAbout", "Version", {1230, 360, 2925, 225}, TabIndex{6}),
        // The separator: a grey 1-pixel line over a white 2-pixel one.
        Line("Line1(1)", "frAbout", 120, 2880, 4560, 2880, 1, Rgb(128, 128, 128)),
        Line("Line1(2)", "frAbout", 120, 2880, 4560, 2880, 2, Rgb(255, 255, 255)),
    };
}

// The table with each row's container resolved: a container comes before
// the rows inside it.
std::vector<Control> Resolved() {
    std::vector<Control> rows = Build();
    for (Control& row : rows)
        for (const Control& container : rows)
            if (row.container[0] && std::strcmp(row.container, container.name) == 0) row.parent = &container;
    return rows;
}

const Control& Row(const char* name) {
    return *Find(name);  // a name of the table above
}

}  // namespace

const Window& MainWindow() {
    static const Window window{"Qorvel Tweaker", 5685, 6600};
    return window;
}

bool TakesFocus(Kind kind) {
    return kind == Kind::TabStrip || kind == Kind::StatusField || kind == Kind::Button || kind == Kind::Link;
}

const std::vector<Control>& Controls() {
    static const std::vector<Control> controls = Resolved();
    return controls;
}

const Rows& Named() {
    static const Rows rows{Row("TabStrip1"),        Row("Exit_Button"), Row("lblVersion"),  Row("AVI_Output_Text1"),
                           Row("AVI_Output_Text2"), Row("AVI_New"),     Row("AVI_Default"), Row("frStatic")};
    return rows;
}

const Control* Find(const std::string& name) {
    for (const auto& control : Controls())
        if (name == control.name) return &control;
    return nullptr;
}

std::size_t RowOf(const Control& control) {
    return static_cast<std::size_t>(&control - Controls().data());
}

int IdOf(const Control& control) {
    return kFirstControlId + static_cast<int>(RowOf(control));
}

const Control* ById(int id) {
    const auto& all = Controls();
    const int row = id - kFirstControlId;
    return row >= 0 && row < static_cast<int>(all.size()) ? &all[static_cast<std::size_t>(row)] : nullptr;
}

Accessible AccessibleOf(const Control& row) {
    switch (row.kind) {
        case Kind::Frame: return {ROLE_SYSTEM_GROUPING, row.caption.c_str()};
        case Kind::BareFrame: return {ROLE_SYSTEM_GROUPING, ""};
        case Kind::Picture: return {ROLE_SYSTEM_GRAPHIC, row.tooltip};
        default: return {0, ""};
    }
}

const std::array<Tab, 3>& Tabs() {
    static const std::array<Tab, 3> tabs = {
        {{"&About", Row("frAbout")}, {"&Video", Row("frVideo")}, {"&Folders", Row("frFolders")}}};
    return tabs;
}

}  // namespace layout
