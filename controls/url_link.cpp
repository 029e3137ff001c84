#include "controls/url_link.h"

#include "controls/shell_open.h"
#include "desktop/mouse_pointer.h"

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

URLLink::~URLLink() {
    if (destroyedWhileOpening_) *destroyedWhileOpening_ = true;
}

void URLLink::lblURL_MouseDown(std::int16_t button, std::int16_t /*shift*/, int /*x*/, int /*y*/) {
    if (destroyedWhileOpening_ || (button & 1) == 0) return;
    // The open's state lives here, not in the control, which may be
    // destroyed before the open returns: by the GoToURL handler too, which
    // may close the window or dispatch messages (a press on the link among
    // them, ignored while this open runs).
    bool destroyed = false;
    struct Watch {
        bool*& slot;
        const bool& destroyed;
        ~Watch() {
            if (!destroyed) slot = nullptr;
        }
    } watch{destroyedWhileOpening_, destroyed};
    destroyedWhileOpening_ = &destroyed;
    std::string u = url_;
    bool cancel = false;
    // A copy: destroying the control destroys its handler, which may still
    // be running.
    if (const auto handler = GoToURL) handler(u, cancel);
    // A cancelled open leaves the pointer as the handler left it.
    if (cancel || destroyed) return;
    // The hourglass from before the shell call until the shell returned and
    // any error box was closed, however the open ended.
    const MousePointer::Busy busy;
    Open(u, destroyed);
}

bool URLLink::DoDefaultAction(bool enabled) {
    if (!enabled) return false;
    try {
        return PostMessageA(site_.WindowHandle(), kOpenMessage, 0, 0) != FALSE;
    } catch (const std::exception&) {
        return false;  // no window to post to
    }
}

void URLLink::OnPress(std::int16_t button, std::int16_t shift, int x, int y, bool secondOfDoubleClick) {
    if (!secondOfDoubleClick) lblURL_MouseDown(button, shift, x, y);
}

bool URLLink::OnKey(Key key, bool autoRepeat) {
    if (key == Key::Other) return false;
    if (!autoRepeat) lblURL_MouseDown(1, 0, 0, 0);
    return true;
}

void URLLink::Open(const std::string& u, const bool& destroyed) {
    HWND owner = nullptr;
    ShellOpen::Failure failure;
    bool failed = false;
    try {
        owner = site_.WindowHandle();
        failed = !ShellOpen::Open(owner, u, failure);
    } catch (const LinkOpenError& e) {
        failed = true;
        failure = {e.number(), e.what()};
    } catch (const std::exception& e) {
        failed = true;
        failure = {kUnnumberedError, e.what()};
    }
    // Closed while the shell ran: the control is gone, and so is the window
    // the box would belong to. Nothing of the control is touched from here.
    if (!failed || destroyed) return;
    MessageBoxA(owner, LinkOpenErrorMessage(u, failure.description, failure.number).c_str(), kErrorCaption, MB_OK);
}

std::string LinkOpenErrorMessage(const std::string& u, const std::string& description, std::int32_t number) {
    return "Unable to load '" + u + "' : " + NumberedError(description, number);
}
