// The hyperlink control's property reader over stored sets built from fuzz
// bytes: keys in any case (and others), values of any kind. Either every
// property is taken from the set, or all three are the defaults; what was
// read is written back and reads the same.
// Input: records of a key selector, a value kind and the value's bytes.
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

const char* const kKeys[] = {"Text", "URL", "ShowToolTip", "text", "url", "SHOWTOOLTIP", "sHoWtOoLtIp", "Other", ""};

TaggedValue MakeValue(Reader& in) {
    switch (in.Byte() % 7) {
        case 0: return TaggedValue();
        case 1: return TaggedValue(in.Text(in.Byte()));
        case 2: return TaggedValue(static_cast<std::int32_t>(in.U32()));
        case 3: return TaggedValue((in.Byte() & 1) != 0);
        case 4: return TaggedValue(TaggedValue::Bytes(in.Take(in.Byte() % 16)));
        case 5: return TaggedValue(TaggedValue::List{TaggedValue(in.Text(in.Byte() % 8))});
        default: return TaggedValue(in.Text(in.Byte() % 8) == "" ? "True" : "false");
    }
}

}  // namespace

void UrlLinkProperties(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    PropertySet set;
    for (int record = 0; record < 16 && !in.Empty(); ++record) {
        const std::uint8_t pick = in.Byte();
        const std::string key = pick < 9 * 28 ? kKeys[pick % 9] : in.Text(pick % 8);
        set.Set(key, MakeValue(in));
    }
    QuietSite site;
    URLLink link(site);
    link.ReadProperties(set);

    // What each property would read on its own.
    bool readable = true;
    std::string text, url;
    bool tip = false;
    try {
        text = set.Read("Text", TaggedValue(URLLink::kDefaultText)).ToText();
        url = set.Read("URL", TaggedValue(URLLink::kDefaultURL)).ToText();
        tip = set.Read("ShowToolTip", TaggedValue(false)).ToBool();
    } catch (const ConversionError&) {
        readable = false;
    }
    if (readable) {
        Check(link.Text() == text && link.URL() == url && link.ShowToolTip() == tip, "each property taken");
    } else {
        Check(link.Text() == URLLink::kDefaultText && link.URL() == URLLink::kDefaultURL && !link.ShowToolTip(),
              "all three defaults");
    }
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
