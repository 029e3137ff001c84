// The main window's stored layout: one row per control, saying what the
// control is, where it lives, what it shows and where the Tab key reaches
// it. The Win32 window creates its controls from this table and nothing
// else; sizes are twips and become pixels once, at the system's DPI (15
// twips a pixel at 96 DPI; controls/units.h). Portable data, read by the
// window, the tests and qt-probe.
//
// A row's position in the table is its control's identity: the window gives
// the control the ID kFirstControlId plus that position (IdOf, ById), and
// within each container the rows run from the top of the stacking order
// down.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "controls/property_set.h"

namespace layout {

enum class Kind {
    TabStrip,
    Frame,         // a group box with its caption in the top border
    BareFrame,     // a container drawn with neither border nor caption
    ReadOnlyText,  // multi-line, word-wrapped, no scroll bars, 3-D face background
    StatusField,   // an ordinary single-line edit box
    Button,
    Label,
    Line,     // drawn by its container beneath the windowed controls
    Picture,  // a picture box
    Link,     // a hyperlink label
};

// An RGB colour as stored, red in the low byte (a COLORREF); kNoColour: the
// system's colour for that kind of control.
constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}
constexpr std::uint32_t kNoColour = 0xFFFFFFFFu;

struct Font {
    const char* face;
    int hundredths;  // of a point: 825 is 8.25 points
};
// The window's font, which every control uses unless its row names another.
constexpr Font kWindowFont{"Tahoma", 825};

// What a click on a button runs (Main_App::Run); None for every other row.
enum class Command { None, Exit, AviNew, AviDefault, IncreaseFolders, DefaultFolders, ResetFolders };

// Which picture resource a picture box shows.
enum class Image { None, Banner, Mascot, Portrait };

// Twips from the container's top-left corner (a frame's outer corner).
struct Place {
    int left, top, width, height;
};

struct Control {
    const char* name;
    Kind kind;
    const char* container;  // "": a child of the window itself
    std::string caption;    // caption or text; links keep theirs in `properties`
    Place place;            // a line runs from (left, top) to (left + width, top + height)
    int tabIndex;           // place in the one keyboard sequence; -1: none (lines)
    bool visible = true;    // when created
    Font font = kWindowFont;
    std::uint32_t colour = kNoColour;  // a label's text, a line's ink
    int lineWidth = 0;                 // pixels, lines only
    const char* tooltip = "";
    Image image = Image::None;
    Command command = Command::None;
    // A link's stored property set (keys as stored, lower case).
    PropertySet properties = {};
    // The row of `container`, resolved once with the table; nullptr for a
    // child of the window.
    const Control* parent = nullptr;
};

// Whether the Tab key stops at a control of this kind (the tab strip, the
// status fields, the buttons and the links; not frames, labels, lines,
// pictures or the read-only texts).
bool TakesFocus(Kind kind);

// The window itself: its caption and the size of its client area in twips.
struct Window {
    const char* caption;
    int clientWidth, clientHeight;
};
const Window& MainWindow();

// Every control, per container from the top of the stacking order down.
const std::vector<Control>& Controls();

// The rows the window talks to, resolved once.
struct Rows {
    const Control &tabStrip, &exitButton, &version, &aviOutput1, &aviOutput2, &aviNew, &aviDefault, &header;
};
const Rows& Named();

// The control of that name, or nullptr.
const Control* Find(const std::string& name);
// The position of a control of the table, its ID, and the control with an ID
// (nullptr for any other).
std::size_t RowOf(const Control& control);
int IdOf(const Control& control);
const Control* ById(int id);

// What assistive technology is told a container of ours is (role and name;
// controls/accessible): a page frame is a grouping named by its caption, the
// header a grouping without a name (its stored caption is never drawn), a
// picture box a graphic named by its tooltip, or without a name where it has
// none. Role 0 for every other row: system controls keep the standard
// objects, links answer for themselves.
struct Accessible {
    long role;
    const char* name;  // the row's own text
};
Accessible AccessibleOf(const Control& row);

// The tab strip's tabs in order (tab 1 first, as the strip counts them): the
// caption the strip shows and the row of the page frame that belongs to it.
struct Tab {
    const char* caption;
    const Control& page;
};
const std::array<Tab, 3>& Tabs();

}  // namespace layout
