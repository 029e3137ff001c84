#include "controls/accessible.h"

a11y::Report a11y::OfLink(const URLLink& link, bool focused, bool enabled) {
    Report report;
    report.role = ROLE_SYSTEM_LINK;
    report.name = link.Text().c_str();
    report.value = link.URL().c_str();
    report.state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
    if (focused) report.state |= STATE_SYSTEM_FOCUSED;
    if (!enabled) report.state |= STATE_SYSTEM_UNAVAILABLE;
    report.defaultAction = kLinkAction;
    return report;
}
