#include "printers.h"

#include <algorithm>

#include "registry/value_codec.h"

std::string Describe(const TaggedValue& value) {
    std::string out = TaggedValue::KindName(value.kind());
    switch (value.kind()) {
        case TaggedValue::Kind::Empty: break;
        case TaggedValue::Kind::Text:
            out += " \"";
            for (char c : value.ToText()) out += c == '\0' ? std::string("\\0") : std::string(1, c);
            out += '"';
            break;
        case TaggedValue::Kind::Integer:
        case TaggedValue::Kind::Boolean: out += " " + value.ToText(); break;
        case TaggedValue::Kind::Bytes: {
            const TaggedValue::Bytes b = value.ToBytes();
            out += " [" + std::to_string(b.size()) + "]";
            if (!b.empty())
                out += " " + value_codec::HexPairs({b.begin(), b.begin() + std::min<std::size_t>(b.size(), 16)});
            if (b.size() > 16) out += " ...";
            break;
        }
        case TaggedValue::Kind::List: {
            out += " (";
            const TaggedValue::List& l = value.ToList();
            for (std::size_t i = 0; i < l.size(); ++i) out += (i ? ", " : "") + Describe(l[i]);
            out += ")";
            break;
        }
    }
    return out;
}
