// The registry views of 64-bit Windows. There a 32-bit process sees a
// redirected copy of parts of HKEY_LOCAL_MACHINE\Software (among them
// Classes\CLSID, where in-process servers are registered), and a 64-bit
// process the native keys; KEY_WOW64_64KEY and KEY_WOW64_32KEY in an open's
// access choose a view explicitly. 32-bit Windows has one view, and Windows
// 2000 refuses both flags, so they are passed only on 64-bit Windows.
#pragma once

#include "platform/platform.h"

struct RegistryViews {
    // The view 64-bit programs (the shell among them) read, as this process
    // names it: 0 for its own, or KEY_WOW64_64KEY.
    REGSAM native = 0;
    // The 32-bit programs' view, when it is another one (KEY_WOW64_32KEY);
    // 0 on 32-bit Windows, where there is none.
    REGSAM wow64 = 0;
};

// The views for a process of the given bitness, on a 64-bit Windows when a
// 32-bit process runs under WOW64 or the process is a 64-bit one.
RegistryViews ViewsFor(bool process64, bool underWow64);

// The views of this process: its bitness, and IsWow64Process (looked up: it
// is missing before Windows XP SP2, which is 32-bit only).
RegistryViews CurrentRegistryViews();
