#include "app/layout.h"

#include "controls/units.h"

namespace layout {

namespace {

const char kCrLf[] = "\r\n";

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += kCrLf;
    }
    return text;
}

const char kSite[] = "http://www.valdrin.net/";

std::vector<std::pair<std::string, TaggedValue>> LinkProperties(const char* text, const char* path, int width,
                                                                int height) {
    std::vector<std::pair<std::string, TaggedValue>> props = {
        {"_extentx", TaggedValue(units::TwipsToHimetric(width))},
        {"_extenty", TaggedValue(units::TwipsToHimetric(height))},
    };
    if (text) props.emplace_back("text", TaggedValue(text));
    if (path) props.emplace_back("url", TaggedValue(std::string(kSite) + path));
    return props;
}

std::vector<Control> Build() {
    std::vector<Control> c;
    // Children of the window, top of the stacking order first: the three
    // pages and the header lie over the tab strip, whose row of tabs stays
    // uncovered below the pages.
    c.push_back({"frFolders", Kind::Frame, "", "Folders", 360, 1800, 4935, 4095, 19, true});
    c.push_back({"frAbout", Kind::Frame, "", "About", 360, 1800, 4935, 4095, 2, false});
    c.push_back({"frVideo", Kind::Frame, "", "Video", 360, 1800, 4935, 4095, 1, false});
    c.push_back({"frStatic", Kind::BareFrame, "", "Static", 240, 240, 5055, 1575, 8, true});
    c.push_back({"TabStrip1", Kind::TabStrip, "", "", 120, 120, 5415, 6375, 0, true});

    // Header area.
    {
        Control banner{"Qorvel_Picture", Kind::Picture, "frStatic", "", 120, 0, 3735, 735, 26, true};
        banner.image = Image::Banner;
        banner.foreColour = kWindowText;
        c.push_back(banner);
    }
    c.push_back({"Title_Text", Kind::ReadOnlyText, "frStatic",
                 Lines({"Click on the Tabs at the bottom to begin.", "This was designed for Microsoft Windows XP"}),
                 120, 720, 3615, 735, 23, true});
    c.push_back({"Exit_Button", Kind::Button, "frStatic", "&Exit", 4080, 1080, 975, 375, 10, true});
    {
        Control portrait{"Picture1", Kind::Picture, "frStatic", "", 4080, 0, 950, 985, 9, true};
        portrait.image = Image::Portrait;
        portrait.tooltip = "Zombies love pudding!";
        portrait.font = Font{"Verdana", 8.25};
        c.push_back(portrait);
    }

    // Video page.
    c.push_back({"AVI_Text", Kind::ReadOnlyText, "frVideo",
                 Lines({"This will prevent Windows XP from scanning AVI files. When ",
                        "you have a large AVI file and try to delete it, Windows will ",
                        "sometimes say the file can not be deleted as it is in use by ", "something else. ", "",
                        "Click on a button to either change the setting or restore it.", "",
                        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID",
                        "\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}\\InProcServer32"}),
                 120, 240, 4695, 2055, 18, true});
    c.push_back({"AVI_Default", Kind::Button, "frVideo", "Default", 1560, 2400, 1215, 375, 17, true});
    c.push_back({"AVI_New", Kind::Button, "frVideo", "New", 240, 2400, 1215, 375, 16, true});
    c.push_back({"AVI_Output_Text2", Kind::StatusField, "frVideo", "", 120, 3480, 4335, 375, 15, true});
    c.push_back({"AVI_Output_Text1", Kind::StatusField, "frVideo", "", 120, 3000, 4335, 375, 14, true});

    // Folders page.
    c.push_back({"Default_Folders", Kind::Button, "frFolders", "Default Folders", 3240, 3600, 1455, 375, 25, true});
    c.push_back({"Increase_Folders", Kind::Button, "frFolders", "Increase Folders", 1680, 3600, 1455, 375, 24, true});
    c.push_back({"Reset_Folders", Kind::Button, "frFolders", "Reset Views", 120, 3600, 1455, 375, 21, true});
    c.push_back({"Folders_Test", Kind::ReadOnlyText, "frFolders",
                 Lines({"By default, Windows XP only remembers so many folder views. ",
                        "Once you have reached this limit, Windows no longer saves ", "some folder views.", "",
                        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows", "\\ShellNoRoam\\BagMRU", "",
                        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows", "\\ShellNoRoam\\Bags", "",
                        "Windows defaults to 400 views saved. This can increase that ",
                        "amount to 4000, or clear out the current views if Windows won't save any more."}),
                 120, 240, 4695, 3135, 20, true});

    // About page.
    {
        Control link{"URLLink4", Kind::Link, "frAbout", "Qorvel Message Forum", 2640, 3360, 1695, 255, 13, true};
        link.properties = LinkProperties("Qorvel Message Forum", "forum/", 1695, 255);
        c.push_back(link);
        link = {"URLLink3", Kind::Link, "frAbout", "Qorvel PHP Programming", 2640, 3720, 1815, 255, 12, true};
        link.properties = LinkProperties("Qorvel PHP Programming", "programming/php/", 1815, 255);
        c.push_back(link);
    }
    c.push_back({"About_Text", Kind::ReadOnlyText, "frAbout",
                 Lines({"This program is provided AS IS.", "It is currently NOT SUPPORTED in any way.",
                        "You agree to use this program at your OWN RISK.",
                        "If you do not accept this, then DO NOT use this program.", "",
                        "Back up your registry before you tweak it."}),
                 240, 1320, 4335, 1455, 11, true});
    {
        Control mascot{"picIcon", Kind::Picture, "frAbout", "", 150, 360, 810, 810, 5, true};
        mascot.image = Image::Mascot;
        mascot.tooltip = "Drawn by Moth";
        c.push_back(mascot);
        Control link{"URLLink2", Kind::Link, "frAbout", "Qorvel VB Programming", 120, 3720, 2535, 255, 3, true};
        link.properties = LinkProperties("Qorvel VB Programming", "programming/vb/", 2535, 255);
        c.push_back(link);
        // The first link stores neither text nor address: it shows the
        // control's defaults.
        link = {"URLLink1", Kind::Link, "frAbout", "", 120, 3360, 2175, 255, 4, true};
        link.properties = LinkProperties(nullptr, nullptr, 2175, 255);
        c.push_back(link);
    }
    c.push_back({"Label1", Kind::Label, "frAbout", "Simple and to the point!", 1230, 600, 3015, 255, 22, true});
    {
        Control notice{"lblDisclaimer",
                       Kind::Label,
                       "frAbout",
                       "(c) 2005-2006 Ansel Varga, Valdrin dot Net",
                       120,
                       3000,
                       4095,
                       225,
                       7,
                       true};
        notice.foreColour = Rgb(0, 0, 0);
        c.push_back(notice);
    }
    c.push_back({"lblVersion", Kind::Label, "frAbout", "Version", 1230, 360, 2925, 225, 6, true});
    {
        // The separator: a grey 1-pixel line over a white 2-pixel one.
        Control grey{"Line1(1)", Kind::Line, "frAbout", "", 120, 2880, 4560, 2880, -1, true};
        grey.lineWidth = 1;
        grey.foreColour = Rgb(128, 128, 128);
        c.push_back(grey);
        Control white{"Line1(2)", Kind::Line, "frAbout", "", 120, 2880, 4560, 2880, -1, true};
        white.lineWidth = 2;
        white.foreColour = Rgb(255, 255, 255);
        c.push_back(white);
    }
    return c;
}

}  // namespace

const Window& MainWindow() {
    static const Window window{"Main_App", "Qorvel Tweaker", 5685, 6600};
    return window;
}

const std::vector<Control>& Controls() {
    static const std::vector<Control> controls = Build();
    return controls;
}

const Control* Find(const std::string& name) {
    for (const auto& control : Controls())
        if (name == control.name) return &control;
    return nullptr;
}

const std::vector<std::string>& TabCaptions() {
    static const std::vector<std::string> captions = {"&About", "&Video", "&Folders"};
    return captions;
}

}  // namespace layout
