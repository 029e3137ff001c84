#include "tweaks/video_page.h"

#include "registry/key_handle.h"

namespace VideoPage {

namespace {

constexpr char kAviKeyRoot[] = "Software\\Classes\\CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";
constexpr char kAviSubkey[] = "InProcServer32";
constexpr char kServerValue[] = "";  // the key's unnamed default value
constexpr char kThreadingModelValue[] = "ThreadingModel";

// The status field's text for a value read back. Another program may have
// stored binary data there, which has no text form: that shows as empty, like
// a value that cannot be read, instead of ending the program.
std::string StatusText(const TaggedValue& value) {
    try {
        return value.ToText();
    } catch (const ConversionError&) {
        return std::string();
    }
}

void AimAt(RegistryRoutines& key, REGSAM view) {
    key.hKey(HKEY_LOCAL_MACHINE);
    key.KeyRoot(kAviKeyRoot);
    key.Subkey(kAviSubkey);
    key.View(view);
}

// Both values into one view's key; the first failure's status.
std::int32_t WriteBoth(Action action, const RegistryRoutines& key) {
    const bool blank = action == Action::New;
    const std::int32_t server =
        key.WriteRegistryValue(kServerValue, TaggedValue(blank ? "" : kServerPath), REG_EXPAND_SZ);
    const std::int32_t model =
        key.WriteRegistryValue(kThreadingModelValue, TaggedValue(blank ? "" : kThreadingModel), REG_SZ);
    return server != ERROR_SUCCESS ? server : model;
}

// True when the key exists and the process may not write to it.
bool WriteRefused(const RegistryRoutines& key) {
    KeyHandle probe;
    return probe.Open(key.hKey(), key.KeyRoot() + "\\" + key.Subkey(), KEY_WRITE | key.View()) == ERROR_ACCESS_DENIED;
}

void Click(Action action, const AviKeys& keys, AviStatusView& view, AviElevation* elevation) {
    // Only a refusal for lack of rights is worth asking for more: a missing
    // key stays missing with any rights.
    if (WriteValues(action, keys) == ERROR_ACCESS_DENIED && elevation && elevation->CanAsk())
        elevation->WriteRaised(action);
    RefreshAviStatus(keys, view, elevation);
}

}  // namespace

void Aim(AviKeys& keys, const RegistryViews& views) {
    AimAt(keys.AviKey, views.native);
    keys.AviKey32.reset();
    if (views.wow64) AimAt(keys.AviKey32.emplace(), views.wow64);
}

std::int32_t WriteValues(Action action, const AviKeys& keys) {
    // The order is fixed: the view the shell reads first, each key's
    // default value before its "ThreadingModel"; every write is tried.
    const std::int32_t status = WriteBoth(action, keys.AviKey);
    std::int32_t copy = keys.AviKey32 ? WriteBoth(action, *keys.AviKey32) : ERROR_SUCCESS;
    if (copy == ERROR_FILE_NOT_FOUND) copy = ERROR_SUCCESS;
    return status != ERROR_SUCCESS ? status : copy;
}

void AVI_New_Click(const AviKeys& keys, AviStatusView& view, AviElevation* elevation) {
    Click(Action::New, keys, view, elevation);
}

void AVI_Default_Click(const AviKeys& keys, AviStatusView& view, AviElevation* elevation) {
    Click(Action::Default, keys, view, elevation);
}

void RefreshAviStatus(const AviKeys& keys, AviStatusView& view, AviElevation* elevation) {
    view.AVI_Output_Text1(StatusText(keys.AviKey.GetRegistryValue(kServerValue)));
    view.AVI_Output_Text2(StatusText(keys.AviKey.GetRegistryValue(kThreadingModelValue)));
    const bool ask = elevation && elevation->CanAsk() &&
                     (WriteRefused(keys.AviKey) || (keys.AviKey32 && WriteRefused(*keys.AviKey32)));
    view.AviShield(ask);
}

}  // namespace VideoPage
