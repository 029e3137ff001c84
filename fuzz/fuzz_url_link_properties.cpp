// The hyperlink control's property reader over stored sets built from fuzz
// bytes: keys in any case (and others), values of any kind. Each value is
// made with its text and its flag known (or known not to exist), so the
// expected properties follow from the input alone: either all three are
// taken from the set, or, when one does not convert, all three are the
// defaults. What was read is written back and reads the same.
// Input: records of a key selector, a value kind and the value's bytes.
#include <optional>

#include "controls/url_link.h"
#include "fuzz_support.h"

namespace fuzz {

namespace {

class QuietSite : public URLLinkSite {
public:
    Extent MeasureText(const std::string& text) override {
        return {static_cast<std::int32_t>(text.size() % 100000) * 90, 195};
    }
    void SetLabelCaption(const std::string& text) override { caption = text; }
    void PlaceLabel(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void SetToolTipText(const std::string&) override {}
    HWND WindowHandle() override { return nullptr; }
    void PropertyChanged(const std::string&) override {}
    std::string caption;
};

// The keys, and the property each names (0 Text, 1 URL, 2 ShowToolTip, -1 none).
const struct {
    const char* key;
    int property;
} kKeys[] = {{"Text", 0},        {"URL", 1},         {"ShowToolTip", 2}, {"text", 0}, {"url", 1},
             {"SHOWTOOLTIP", 2}, {"sHoWtOoLtIp", 2}, {"Other", -1},      {"", -1}};

struct Made {
    TaggedValue value;
    std::optional<std::string> text;  // what it reads as text, if it converts
    std::optional<bool> flag;         // what it reads as a flag, if it converts
};

Made MakeValue(Reader& in) {
    switch (in.Byte() % 6) {
        case 0: return {TaggedValue(), "", std::nullopt};
        case 1: {
            const std::string text = "x" + in.Text(in.Byte() % 32);  // no number, not True or False
            return {TaggedValue(text), text, std::nullopt};
        }
        case 2: {
            const auto n = static_cast<std::int32_t>(in.U32());
            return {TaggedValue(n), std::to_string(n), n != 0};
        }
        case 3: {
            const bool b = (in.Byte() & 1) != 0;
            return {TaggedValue(b), b ? "True" : "False", b};
        }
        case 4: return {TaggedValue(TaggedValue::Bytes(in.Take(in.Byte() % 16))), std::nullopt, std::nullopt};
        default: {  // a flag stored as text
            const bool b = (in.Byte() & 1) != 0;
            const std::string text = b ? "tRUE" : "False";
            return {TaggedValue(text), text, b};
        }
    }
}

}  // namespace

void UrlLinkProperties(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    PropertySet set;
    std::optional<Made> last[3];  // the value each property's key got last
    for (int record = 0; record < 16 && !in.Empty(); ++record) {
        const auto& key = kKeys[in.Byte() % (sizeof kKeys / sizeof kKeys[0])];
        Made made = MakeValue(in);
        set.Set(key.key, made.value);
        if (key.property >= 0) last[key.property] = std::move(made);
    }
    const std::optional<std::string> text = last[0] ? last[0]->text : URLLink::kDefaultText;
    const std::optional<std::string> url = last[1] ? last[1]->text : URLLink::kDefaultURL;
    const std::optional<bool> tip = last[2] ? last[2]->flag : false;
    const bool taken = text && url && tip;

    QuietSite site;
    URLLink link(site);
    link.ReadProperties(set);
    Check(link.Text() == (taken ? *text : URLLink::kDefaultText), "the text");
    Check(link.URL() == (taken ? *url : URLLink::kDefaultURL), "the URL");
    Check(link.ShowToolTip() == (taken && *tip), "the tooltip switch");
    Check(site.caption == link.Text(), "the label shows the text");

    PropertySet saved;
    link.WriteProperties(saved);
    URLLink again(site);
    again.ReadProperties(saved);
    Check(again.Text() == link.Text() && again.URL() == link.URL() && again.ShowToolTip() == link.ShowToolTip(),
          "written properties read back the same");
}

}  // namespace fuzz

QT_FUZZ_TARGET(fuzz::UrlLinkProperties)
