#include "controls/url_link.h"

#include "controls/app_pointer.h"
#include "controls/units.h"

namespace {

// The persisted keys, and the texts of their notices.
const char kTextKey[] = "Text";
const char kURLKey[] = "URL";
const char kShowToolTipKey[] = "ShowToolTip";

}  // namespace

void URLLink::SetText(const std::string& sText) {
    text_ = sText;
    site_.SetLabelCaption(text_);
    const URLLinkSite::Extent extent = site_.MeasureText(text_);
    // The label grows with its text; the control keeps its own size, so a
    // text longer than the control is clipped.
    site_.PlaceLabel(0, 0, extent.width, extent.height);
    site_.PropertyChanged(kTextKey);
}

void URLLink::SetURL(const std::string& sURL) {
    url_ = sURL;
    UpdateToolTip();
    site_.PropertyChanged(kURLKey);
}

void URLLink::SetShowToolTip(bool bShowToolTip) {
    showToolTip_ = bShowToolTip;
    UpdateToolTip();
    site_.PropertyChanged(kShowToolTipKey);
}

void URLLink::UpdateToolTip() {
    site_.SetToolTipText(showToolTip_ ? url_ : std::string());
}

void URLLink::InitProperties() {
    SetText(kDefaultText);
    // The field directly: the tooltip follows from the ShowToolTip setter.
    url_ = kDefaultURL;
    SetShowToolTip(false);
}

void URLLink::ReadProperties(const PropertySet& set) {
    try {
        SetText(set.Read(kTextKey, TaggedValue(kDefaultText)).ToText());
        url_ = set.Read(kURLKey, TaggedValue(kDefaultURL)).ToText();
        SetShowToolTip(set.Read(kShowToolTipKey, TaggedValue(false)).ToBool());
    } catch (const ConversionError&) {
        // Stored data is not trusted: one unreadable value gives the whole
        // instance its defaults, including values already taken.
        InitProperties();
    }
}

void URLLink::WriteProperties(PropertySet& set) const {
    set.Write(kTextKey, TaggedValue(text_), TaggedValue(kDefaultText));
    set.Write(kURLKey, TaggedValue(url_), TaggedValue(kDefaultURL));
    set.Write(kShowToolTipKey, TaggedValue(showToolTip_), TaggedValue(false));
}

void URLLink::lblURL_MouseDown(std::int16_t button, std::int16_t /*shift*/, int /*x*/, int /*y*/) {
    if (opening_) return;
    if ((button & 1) == 0) {
        AppPointer::Restore();
        return;
    }
    std::string u = url_;
    bool cancel = false;
    if (GoToURL) GoToURL(u, cancel);
    // A cancelled open leaves the pointer as the handler left it.
    if (cancel) return;
    // The pointer comes back once the shell returned and any error box was
    // closed, however the open ended.
    struct Done {
        bool& opening;
        ~Done() {
            opening = false;
            AppPointer::Restore();
        }
    } done{opening_};
    opening_ = true;
    Open(u);
}

bool URLLink::HandleInput(UINT message, WPARAM wParam, LPARAM lParam, int dpi) {
    std::int16_t button = 0;
    switch (message) {
        case WM_LBUTTONDOWN: button = 1; break;
        case WM_RBUTTONDOWN: button = 2; break;
        case WM_MBUTTONDOWN: button = 4; break;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: return true;
        case WM_KEYDOWN: {
            const bool repeat = (lParam & (1L << 30)) != 0;  // the key was already down
            if (wParam != VK_RETURN && wParam != VK_SPACE) return false;
            if (!repeat) lblURL_MouseDown(1, 0, 0, 0);
            return true;
        }
        default: return false;
    }
    std::int16_t shift = 0;
    if (wParam & MK_SHIFT) shift |= 1;
    if (wParam & MK_CONTROL) shift |= 2;
    const auto x = static_cast<std::int16_t>(lParam & 0xFFFF);
    const auto y = static_cast<std::int16_t>((lParam >> 16) & 0xFFFF);
    lblURL_MouseDown(button, shift, units::PixelsToTwips(x, dpi), units::PixelsToTwips(y, dpi));
    return true;
}

void URLLink::Open(const std::string& u) {
    HWND owner = nullptr;
    bool failed = false;
    std::string description;
    std::int32_t number = 0;
    try {
        AppPointer::SetBusy();
        owner = site_.WindowHandle();
        const HINSTANCE result = platform::ShellExecuteA(owner, "open", u.c_str(), nullptr /* parameters */,
                                                         nullptr /* directory */, SW_SHOWNORMAL);
        // ShellExecuteA reports failure only in its result: a code of 32 or
        // less. The user hears of it like any other failed open.
        const auto code = reinterpret_cast<std::uintptr_t>(result);
        if (code <= 32) {
            failed = true;
            number = static_cast<std::int32_t>(code);
            description = ShellErrorDescription(number);
        }
    } catch (const LinkOpenError& e) {
        failed = true;
        description = e.what();
        number = e.number();
    } catch (const std::exception& e) {
        failed = true;
        description = e.what();
        number = kUnnumberedError;
    }
    // The box is modal; the caller restores the pointer once it is closed.
    if (failed) MessageBoxA(owner, LinkOpenErrorMessage(u, description, number).c_str(), kErrorCaption, MB_OK);
}

std::string LinkOpenErrorMessage(const std::string& u, const std::string& description, std::int32_t number) {
    return "Unable to load '" + u + "' : " + description + " (Error " + std::to_string(number) + ")";
}

std::string ShellErrorDescription(std::int32_t code) {
    // ShellExecuteA's own codes, which mean something else as system error
    // codes (0 would read "The operation completed successfully").
    switch (code) {
        case 0: return "The operating system is out of memory or resources.";
        case 26: return "A sharing violation occurred.";
        case 27: return "The file name association is incomplete or invalid.";
        case 28: return "The request timed out.";
        case 29: return "The DDE transaction failed.";
        case 30:
            return "The DDE transaction could not be completed because other DDE transactions were being processed.";
        case 31: return "There is no application associated with the given file name extension.";
        case 32: return "The specified DLL was not found.";
        default: break;
    }
    // The rest (file or path not found, access denied, out of memory, bad
    // format) are system error codes with the same meaning.
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(code), 0 /* default language */, text, sizeof text, nullptr);
    if (length >= sizeof text) length = 0;
    // System texts end in a line break.
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
    if (length == 0) return "The shell could not open the address.";
    return std::string(text, length);
}
