#include "registry/tagged_value.h"

#include <cctype>
#include <limits>

#include "platform/names.h"

namespace {

[[noreturn]] void Mismatch(TaggedValue::Kind from, const char* to) {
    throw TypeMismatch(std::string("Type mismatch: cannot convert ") + TaggedValue::KindName(from) + " to " + to);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Parses an optionally signed decimal integer with optional surrounding
// blanks. Returns false when the text is not such a number; sets `overflow`
// when it is one but lies outside the 32-bit range.
bool ParseDecimal(const std::string& text, std::int32_t& out, bool& overflow) {
    std::size_t i = 0, end = text.size();
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == end) return false;
    std::int64_t magnitude = 0;
    overflow = false;
    for (; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        if (magnitude <= (std::int64_t{1} << 32)) magnitude = magnitude * 10 + (text[i] - '0');
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        overflow = true;
        return true;
    }
    out = static_cast<std::int32_t>(value);
    return true;
}

}  // namespace

const char* TaggedValue::KindName(Kind kind) {
    switch (kind) {
        case TaggedValue::Kind::Empty: return "empty";
        case TaggedValue::Kind::Text: return "text";
        case TaggedValue::Kind::Integer: return "integer";
        case TaggedValue::Kind::Boolean: return "boolean";
        case TaggedValue::Kind::Bytes: return "byte sequence";
        case TaggedValue::Kind::List: return "list";
    }
    return "?";
}

std::string TaggedValue::ToText() const {
    switch (kind()) {
        case Kind::Empty: return std::string();
        case Kind::Text: return std::get<std::string>(value_);
        case Kind::Integer: return std::to_string(std::get<std::int32_t>(value_));
        case Kind::Boolean: return std::get<bool>(value_) ? "True" : "False";
        default: Mismatch(kind(), "text");
    }
}

std::int32_t TaggedValue::ToInt32() const {
    switch (kind()) {
        case Kind::Integer: return std::get<std::int32_t>(value_);
        case Kind::Boolean: return std::get<bool>(value_) ? -1 : 0;
        case Kind::Text: {
            std::int32_t n = 0;
            bool overflow = false;
            if (!ParseDecimal(std::get<std::string>(value_), n, overflow)) Mismatch(kind(), "a 32-bit integer");
            if (overflow) throw Overflow("Overflow: the number does not fit a 32-bit integer");
            return n;
        }
        default: Mismatch(kind(), "a 32-bit integer");
    }
}

bool TaggedValue::ToBool() const {
    switch (kind()) {
        case Kind::Boolean: return std::get<bool>(value_);
        case Kind::Integer: return std::get<std::int32_t>(value_) != 0;
        case Kind::Text: {
            const std::string& t = std::get<std::string>(value_);
            if (names::Same(t, "true")) return true;
            if (names::Same(t, "false")) return false;
            std::int32_t n = 0;
            bool overflow = false;
            if (!ParseDecimal(t, n, overflow)) Mismatch(kind(), "a boolean");
            return overflow || n != 0;
        }
        default: Mismatch(kind(), "a boolean");
    }
}

TaggedValue::Bytes TaggedValue::ToBytes() const {
    if (kind() != Kind::Bytes) Mismatch(kind(), "a byte sequence");
    return std::get<Bytes>(value_);
}

const TaggedValue::List& TaggedValue::ToList() const {
    if (kind() != Kind::List) Mismatch(kind(), "a list");
    return std::get<List>(value_);
}
