// What assistive technology (screen readers, automation through MSAA's
// IAccessible) is told of the program's own window classes: what a sighted
// user sees of each, decided here, free of any window and of COM, so that
// the native tests reach it. The Win32 object that reports it lives in
// controls/win32/accessible_object.
#pragma once

#include "controls/url_link.h"
#include "platform/platform.h"

#ifdef _WIN32
#include <oleacc.h>  // ROLE_SYSTEM_*, STATE_SYSTEM_*
#endif

namespace a11y {

// What one object says of itself: its role (ROLE_SYSTEM_*), name, value,
// state (STATE_SYSTEM_* bits) and the text of its default action; "" for
// none. The texts belong to the control described and stay valid until it
// changes: a report is read at once, and making one allocates nothing.
struct Report {
    long role = 0;
    const char* name = "";
    const char* value = "";
    long state = 0;
    const char* defaultAction = "";
};

// The default action of a link, as a screen reader reads it out.
constexpr const char kLinkAction[] = "Click";

// A link: role link, named by its text as shown, its address as value,
// focusable and linked, focused while it has the focus, unavailable while
// disabled; its default action opens it (URLLink::DoDefaultAction).
Report OfLink(const URLLink& link, bool focused, bool enabled);

}  // namespace a11y
