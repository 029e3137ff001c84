// The main window's stored layout: every control, its container, caption or
// text, place and size in twips, keyboard order, visibility when created,
// font, colours, tooltip and stored properties. The Win32 window creates its
// controls from this table and nothing else; sizes become pixels once, at the
// monitor's DPI (15 twips a pixel at 96 DPI; controls/units.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "registry/tagged_value.h"

namespace layout {

enum class Kind {
    Window,
    TabStrip,
    Frame,         // a group box with its caption in the top border
    BareFrame,     // a container drawn with neither border nor caption
    ReadOnlyText,  // multi-line, word-wrapped, no scroll bars, 3-D face background
    StatusField,   // an ordinary single-line edit box
    Button,
    Label,
    Line,
    Picture,
    Link,  // a hyperlink label
};

// OLE colour convention: the top bit set names a system colour by the index
// in the low byte; otherwise an RGB value with red in the low byte.
constexpr std::uint32_t SystemColour(int index) {
    return 0x80000000u | static_cast<std::uint32_t>(index);
}
constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}
constexpr std::uint32_t kButtonFace = SystemColour(15);
constexpr std::uint32_t kWindowText = SystemColour(8);
constexpr std::uint32_t kNoColour = 0xFFFFFFFFu;

struct Font {
    const char* face;
    double points;
};
constexpr Font kWindowFont{"Tahoma", 8.25};

// Which picture resource a picture box shows.
enum class Image { None, Banner, Mascot, Portrait };

struct Control {
    const char* name;
    Kind kind;
    const char* container;         // "" for children of the window
    std::string caption;           // caption or text
    int left, top, width, height;  // twips; for a line: x1, y1, x2, y2
    int tabIndex;                  // -1 for controls outside the sequence
    bool visible;                  // when created
    int lineWidth = 0;             // pixels, lines only
    std::uint32_t foreColour = kNoColour;
    std::uint32_t backColour = kNoColour;
    const char* tooltip = "";
    Image image = Image::None;
    Font font = kWindowFont;
    // Stored properties of a hyperlink label (keys as stored, lower case).
    std::vector<std::pair<std::string, TaggedValue>> properties = {};
};

// The window itself.
struct Window {
    const char* name;
    const char* caption;
    int clientWidth, clientHeight;  // twips
};
const Window& MainWindow();

// Every control, per container from the top of the stacking order down.
const std::vector<Control>& Controls();

// The control of that name, or nullptr.
const Control* Find(const std::string& name);

// The tab captions, in order.
const std::vector<std::string>& TabCaptions();

}  // namespace layout
