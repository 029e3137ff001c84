// URLLink: the hyperlink label control's logic, free of any window.
//
// The control shows one line of underlined text (its inner label lblURL) and,
// on a left-button press on that text, asks the shell to open its URL. Before
// it opens anything it raises GoToURL, through which the host may rewrite the
// address or cancel. Its three properties persist in a PropertySet under the
// keys "Text", "URL" and "ShowToolTip" (matched without regard to case).
//
// Everything that needs a window - measuring text, placing the label, the
// tooltip, change notices and the window handle - goes through URLLinkSite,
// which the Win32 layer implements and tests fake. The shell and the message
// box are reached through the platform seam, the hourglass through the
// application-wide pointer (MousePointer). The control never owns its site; the
// site must outlive it. The host may destroy the control (and its site) from
// inside an open, GoToURL handler included: the handler, the shell and the
// error box may run message loops, in which the user may close the window.
// The open then finishes without touching either and shows no box.
//
// Failures: reading a stored set that holds an unreadable value restores all
// three defaults silently. A failed open (a site call that throws, or the
// shell refusing the request) is reported to the user in a message box; an
// exception thrown by a GoToURL handler goes back to the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "controls/property_set.h"
#include "platform/platform.h"

// What the control needs of the window it lives in. Sizes and positions are
// in twips (1/1440 inch).
class URLLinkSite {
public:
    struct Extent {
        std::int32_t width;
        std::int32_t height;
    };

    virtual ~URLLinkSite() = default;

    // Width and height of one line of `text` on the control's surface.
    virtual Extent MeasureText(const std::string& text) = 0;
    // The caption the label lblURL shows.
    virtual void SetLabelCaption(const std::string& text) = 0;
    // Moves and sizes lblURL inside the control; the control keeps its size.
    virtual void PlaceLabel(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) = 0;
    // The label's tooltip text; "" means no tooltip.
    virtual void SetToolTipText(const std::string& text) = 0;
    // The control's own window, the owner of the shell request.
    virtual HWND WindowHandle() = 0;
    // The persisted value under `key` has changed (for a designer saving the
    // layout; nothing acts on it while the program runs).
    virtual void PropertyChanged(const std::string& key) = 0;
};

// A failed open, with the description and number the error box shows. Site
// calls may throw it to report their own failure.
class LinkOpenError : public std::runtime_error {
public:
    LinkOpenError(const std::string& description, std::int32_t number)
        : std::runtime_error(description), number_(number) {}
    std::int32_t number() const { return number_; }

private:
    std::int32_t number_;
};

class URLLink {
public:
    static constexpr const char kProgId[] = "Qorvel_Tweaker.URLLink";
    static constexpr const char* kDefaultText = "Valdrin dot Net";
    static constexpr const char* kDefaultURL = "http://www.valdrin.net/";
    // The caption of the error box: the application's title.
    static constexpr const char* kErrorCaption = "Qorvel Tweaker";
    // Number shown for a failure that carries none of its own.
    static constexpr std::int32_t kUnnumberedError = -1;

    explicit URLLink(URLLinkSite& site) : site_(site) {}
    ~URLLink();
    URLLink(const URLLink&) = delete;
    URLLink& operator=(const URLLink&) = delete;

    // Text displayed in control.
    const std::string& Text() const { return text_; }
    // Sets the caption, sizes the label to the text and sends the notice "Text".
    void SetText(const std::string& sText);
    // URL loaded when mouse is clicked over text. May also be a data file that
    // has an extension registered by an application on your system.
    const std::string& URL() const { return url_; }
    // Stores the address, refreshes the tooltip and sends the notice "URL".
    void SetURL(const std::string& sURL);
    // Determines if the URL is displayed in a tooltip when the mouse is parked
    // over the text.
    bool ShowToolTip() const { return showToolTip_; }
    // Stores the flag, refreshes the tooltip and sends the notice "ShowToolTip".
    void SetShowToolTip(bool bShowToolTip);

    // A new instance without a stored set: all three defaults.
    void InitProperties();
    // An instance loaded from a stored set; an unreadable value gives all
    // three defaults instead.
    void ReadProperties(const PropertySet& set);
    // Saves the three properties, leaving out those equal to their defaults.
    void WriteProperties(PropertySet& set) const;

    // A mouse button went down on the label. `button` holds the button bits
    // (1 left, 2 right, 4 middle); only the left one opens. `shift`, `x` and
    // `y` are not used.
    void lblURL_MouseDown(std::int16_t button, std::int16_t shift, int x, int y);

    // A press of a mouse button on the label, as the window layer decodes it:
    // `button` and `shift` as for lblURL_MouseDown, the position in twips.
    // The second press of a double-click is part of one action and does
    // nothing.
    void OnPress(std::int16_t button, std::int16_t shift, int x, int y, bool secondOfDoubleClick);
    // A key went down on the control: Enter or Space (not its auto-repeat)
    // opens as a left press does, so that the keyboard alone can open a
    // link. True when the key is one of the link's (the window then does
    // nothing more with it).
    enum class Key { Enter, Space, Other };
    bool OnKey(Key key, bool autoRepeat);

    // The message that opens as a left press does, which DoDefaultAction
    // posts to the control's window: a private message of the control's
    // window class.
    static constexpr UINT kOpenMessage = WM_USER + 0x51;
    // The default action of assistive technology: posts kOpenMessage to the
    // control's window, so that the open starts from the message loop and
    // never inside the caller's request (the shell and the handler may run
    // message loops of their own). A disabled control posts nothing. True
    // when the message was posted.
    bool DoDefaultAction(bool enabled);

    // Raised on a left press before anything opens: the handler may replace
    // URL (the address opened; the URL property keeps its value) or set
    // Cancel to stop the open.
    std::function<void(std::string& URL, bool& Cancel)> GoToURL;

private:
    void UpdateToolTip();
    void Open(const std::string& u, const bool& destroyed);

    URLLinkSite& site_;
    std::string text_;  // the label's caption, as last set
    std::string url_;
    bool showToolTip_ = false;
    // While an open runs: the flag it watches, which the destructor sets.
    // The shell may dispatch messages meanwhile (a press on the link among
    // them): presses then are ignored, one press opens once.
    bool* destroyedWhileOpening_ = nullptr;
};

// The error box text for a failed open of `u`:
// Unable to load 'u' : description (Error number)
std::string LinkOpenErrorMessage(const std::string& u, const std::string& description, std::int32_t number);
