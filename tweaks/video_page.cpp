#include "tweaks/video_page.h"

namespace VideoPage {

namespace {

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

}  // namespace

void AVI_New_Click(const RegistryRoutines& AviKey, AviStatusView& view) {
    // The results are not looked at: the readout shows what the key holds.
    AviKey.SetRegistryValue(kServerValue, TaggedValue(""), REG_EXPAND_SZ);
    AviKey.SetRegistryValue(kThreadingModelValue, TaggedValue(""), REG_SZ);
    RefreshAviStatus(AviKey, view);
}

void AVI_Default_Click(const RegistryRoutines& AviKey, AviStatusView& view) {
    AviKey.SetRegistryValue(kServerValue, TaggedValue(kServerPath), REG_EXPAND_SZ);
    AviKey.SetRegistryValue(kThreadingModelValue, TaggedValue(kThreadingModel), REG_SZ);
    RefreshAviStatus(AviKey, view);
}

void RefreshAviStatus(const RegistryRoutines& AviKey, AviStatusView& view) {
    view.AVI_Output_Text1(StatusText(AviKey.GetRegistryValue(kServerValue)));
    view.AVI_Output_Text2(StatusText(AviKey.GetRegistryValue(kThreadingModelValue)));
}

}  // namespace VideoPage
