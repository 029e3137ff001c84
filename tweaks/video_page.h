// The Video page: switches the shell's scanning of AVI files off ("New") and
// back on ("Default") by rewriting the two values of the media extension's
// InProcServer32 key, and shows what that key holds.
//
// The handlers work through the registry access objects they are given (the
// main window's AviKeys, aimed at that key in the registry view the shell
// reads and, on 64-bit Windows, in the 32-bit programs' view too) and report
// nothing but the two status fields: a write that failed shows only as
// unchanged data there. They never create the key. No registry handle stays
// open after a handler.
//
// Below HKEY_LOCAL_MACHINE a user's own rights usually do not reach: where
// Windows can grant more after asking (UAC), a refused write is made again by
// an AviElevation, and the two buttons carry the shield while that is so.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "registry/registry_routines.h"
#include "registry/registry_views.h"

// The Video page's controls, as the handlers see them.
class AviStatusView {
public:
    virtual ~AviStatusView() = default;
    // Text of AVI_Output_Text1: the key's default value (the server file).
    virtual void AVI_Output_Text1(const std::string& text) = 0;
    // Text of AVI_Output_Text2: the "ThreadingModel" value.
    virtual void AVI_Output_Text2(const std::string& text) = 0;
    // Whether AVI_New and AVI_Default carry the shield: pressing them will
    // ask for rights.
    virtual void AviShield(bool shown) = 0;
};

namespace VideoPage {

// The server file, stored unexpanded as REG_EXPAND_SZ.
constexpr char kServerPath[] = "%SystemRoot%\\System32\\shmedia.dll";
// The threading model, stored as REG_SZ.
constexpr char kThreadingModel[] = "Both";

// What a button writes.
enum class Action { New, Default };

// The media extension's InProcServer32 key: AviKey in the view the shell
// reads (the status fields, the first writes); AviKey32 in the 32-bit
// programs' view where that is another one (their file dialogs read it),
// written only where the key exists there.
struct AviKeys {
    RegistryRoutines AviKey;
    std::optional<RegistryRoutines> AviKey32;
};

// Aims the keys at the media extension's InProcServer32 key below
// HKEY_LOCAL_MACHINE\Software\Classes\CLSID in `views`; AviKey32 only where
// there is a second view.
void Aim(AviKeys& keys, const RegistryViews& views);

// Writes both values of `action`: the default value, then "ThreadingModel",
// into AviKey and then AviKey32. 0 when every write succeeded (a missing
// AviKey32 is none of its business), else the status of the first that
// failed (ERROR_ACCESS_DENIED without the rights).
std::int32_t WriteValues(Action action, const AviKeys& keys);

// Makes writes the user's own rights refuse with the rights Windows grants
// after asking the user.
class AviElevation {
public:
    virtual ~AviElevation() = default;
    // True when a refused write may succeed after asking (UAC, and a token
    // that is not elevated yet).
    virtual bool CanAsk() = 0;
    // Makes `action`'s writes with more rights, once the user agreed, and
    // returns when they are done; a declined prompt changes nothing.
    virtual void WriteRaised(Action action) = 0;
};

// "New": blanks the default value (REG_EXPAND_SZ "") and "ThreadingModel"
// (REG_SZ ""); "Default": writes kServerPath (REG_EXPAND_SZ) and
// kThreadingModel (REG_SZ). Writes refused for lack of rights are made by
// `elevation` where it can ask; then the status fields are refreshed.
void AVI_New_Click(const AviKeys& keys, AviStatusView& view, AviElevation* elevation = nullptr);
void AVI_Default_Click(const AviKeys& keys, AviStatusView& view, AviElevation* elevation = nullptr);
// Reads both values of AviKey into the status fields: the server path
// expanded; a missing key or value, or data with no text form, as the empty
// text. The shield shows when `elevation` can ask and a write would be
// refused.
void RefreshAviStatus(const AviKeys& keys, AviStatusView& view, AviElevation* elevation = nullptr);

}  // namespace VideoPage
