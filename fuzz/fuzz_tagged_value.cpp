// The TaggedValue conversions of a text made from the fuzz bytes, the
// number reader's input: each either succeeds or throws the documented
// ConversionError, and what the text reads as is checked against a
// reference reading of decimal texts written here. (Values of the other
// kinds convert by fixed rules, tested in tests/registry/test_tagged_value.cpp.)
// Input: the text.
#include <algorithm>

#include "fuzz_support.h"
#include "registry/tagged_value.h"

namespace fuzz {

namespace {

enum class Outcome { Converted, Mismatch, Overflow };

template <typename F>
Outcome Try(F&& f) {
    try {
        f();
        return Outcome::Converted;
    } catch (const Overflow&) {
        return Outcome::Overflow;
    } catch (const TypeMismatch&) {
        return Outcome::Mismatch;
    }
}

// Reference reading: blanks, an optional sign, digits, blanks. Sets `number`
// when it fits 32 bits.
Outcome ReferenceNumber(const std::string& text, std::int64_t& number) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return Outcome::Mismatch;
    std::string digits = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    const bool negative = digits[0] == '-';
    if (digits[0] == '-' || digits[0] == '+') digits.erase(0, 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return Outcome::Mismatch;
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));  // leading zeros
    if (digits.size() > 10) return Outcome::Overflow;
    number = std::stoll(digits) * (negative ? -1 : 1);
    return number < INT32_MIN || number > INT32_MAX ? Outcome::Overflow : Outcome::Converted;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

void TaggedValueConversions(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const TaggedValue value(text);
    std::int32_t number = 0;
    bool flag = false;
    Check(Try([&] { Check(value.ToText() == text, "a text reads as itself"); }) == Outcome::Converted, "as text");
    const Outcome asNumber = Try([&] { number = value.ToInt32(); });
    const Outcome asFlag = Try([&] { flag = value.ToBool(); });
    Check(Try([&] { (void)value.ToBytes(); }) == Outcome::Mismatch, "a text is no byte sequence");
    Check(Try([&] { (void)value.ToList(); }) == Outcome::Mismatch, "a text is no list");

    std::int64_t expected = 0;
    const Outcome reference = ReferenceNumber(text, expected);
    Check(asNumber == reference, "a text reads as a number exactly when it is one");
    if (reference == Outcome::Converted) Check(number == expected, "the text's number");
    const std::string lower = Lower(text);
    if (lower == "true" || lower == "false")
        Check(asFlag == Outcome::Converted && flag == (lower == "true"), "True or False in any case");
    else if (reference == Outcome::Mismatch)
        Check(asFlag == Outcome::Mismatch, "no flag from other texts");
    else
        Check(asFlag == Outcome::Converted && flag == (reference == Outcome::Overflow || expected != 0),
              "a number's flag says whether it is not zero");
}

}  // namespace fuzz

QT_FUZZ_TARGET(fuzz::TaggedValueConversions)
