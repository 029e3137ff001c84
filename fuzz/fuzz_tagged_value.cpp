// The TaggedValue conversions over values of every kind made from fuzz
// bytes: each either succeeds or throws a ConversionError, and what succeeds
// agrees with the others.
// Input: a kind selector, then the value's bytes.
#include "fuzz_support.h"
#include "registry/tagged_value.h"

namespace fuzz {

namespace {

template <typename F>
bool Converts(F&& f) {
    try {
        f();
        return true;
    } catch (const ConversionError&) {
        return false;
    }
}

TaggedValue Make(Reader& in, int depth) {
    switch (in.Byte() % 6) {
        case 0: return TaggedValue();
        case 1: return TaggedValue(in.Text(in.Byte()));
        case 2: return TaggedValue(static_cast<std::int32_t>(in.U32()));
        case 3: return TaggedValue((in.Byte() & 1) != 0);
        case 4: return TaggedValue(TaggedValue::Bytes(in.Take(in.Byte())));
        default: {
            TaggedValue::List items;
            const int count = depth < 3 ? in.Byte() % 4 : 0;
            for (int i = 0; i < count; ++i) items.push_back(Make(in, depth + 1));
            return TaggedValue(std::move(items));
        }
    }
}

}  // namespace

void TaggedValueConversions(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    // Mostly a text of the whole rest: the number parser's input.
    const TaggedValue value = (in.Byte() & 1) ? TaggedValue(in.Text(size)) : Make(in, 0);
    (void)value.Describe();
    Check(value == value, "equal to itself");

    std::string text;
    std::int32_t number = 0;
    bool flag = false;
    const bool isText = Converts([&] { text = value.ToText(); });
    const bool isNumber = Converts([&] { number = value.ToInt32(); });
    const bool isFlag = Converts([&] { flag = value.ToBool(); });
    const bool isBytes = Converts([&] { (void)value.ToBytes(); });
    const bool isList = Converts([&] { (void)value.ToList(); });

    Check(isBytes == (value.kind() == TaggedValue::Kind::Bytes), "only bytes convert to bytes");
    Check(isList == (value.kind() == TaggedValue::Kind::List), "only lists convert to lists");
    if (isNumber) {
        // A number's text reads back as the same number, and as a flag that
        // says whether it is zero.
        const TaggedValue again(TaggedValue(number).ToText());
        Check(again.ToInt32() == number, "a number's text reads back");
        if (value.kind() != TaggedValue::Kind::Text) Check(isFlag && flag == (number != 0), "flag of a number");
    }
    if (isFlag && value.kind() == TaggedValue::Kind::Boolean) Check(isNumber && number == (flag ? -1 : 0), "flag");
    if (value.kind() == TaggedValue::Kind::Text) Check(isText, "a text converts to text");
}

}  // namespace fuzz

QT_FUZZ_TARGET(fuzz::TaggedValueConversions)
