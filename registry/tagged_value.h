// TaggedValue: a value that carries its own kind. Registry data read and
// written by RegistryRoutines travels in it, and so do the stored properties
// of the hyperlink control.
//
// Kinds: empty, text, 32-bit signed integer, boolean, byte sequence and list.
// The To* conversions either succeed or throw a ConversionError (TypeMismatch
// or Overflow), which callers may catch; nothing else in this class throws.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// Raised when a value cannot be converted to the kind a caller needs.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value's kind does not convert to the requested one ("abc" as a number).
class TypeMismatch : public ConversionError {
public:
    using ConversionError::ConversionError;
};

// A number does not fit the requested type ("4294967296" as a 32-bit integer),
// or a text is longer than an operation can hold.
class Overflow : public ConversionError {
public:
    using ConversionError::ConversionError;
};

class TaggedValue {
public:
    enum class Kind { Empty, Text, Integer, Boolean, Bytes, List };
    using Bytes = std::vector<std::uint8_t>;
    using List = std::vector<TaggedValue>;

    TaggedValue() = default;
    TaggedValue(const char* text) : value_(std::string(text)) {}
    TaggedValue(std::string text) : value_(std::move(text)) {}
    TaggedValue(std::int32_t number) : value_(number) {}
    TaggedValue(bool flag) : value_(flag) {}
    TaggedValue(Bytes bytes) : value_(std::move(bytes)) {}
    TaggedValue(List items) : value_(std::move(items)) {}

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    // The kind's name as messages give it ("text", "byte sequence" ...).
    static const char* KindName(Kind kind);
    bool IsEmpty() const { return kind() == Kind::Empty; }

    // Text: a text unchanged; an integer in decimal with a leading minus when
    // negative; a boolean as "True" or "False"; empty as "". Other kinds throw.
    std::string ToText() const;
    // 32-bit signed integer: an integer unchanged; a boolean as -1 or 0; a
    // text holding a decimal integer (surrounding blanks allowed) as that
    // number. Other texts and kinds throw TypeMismatch; numbers outside the
    // 32-bit range throw Overflow.
    std::int32_t ToInt32() const;
    // Boolean: a boolean unchanged; an integer as "not zero"; a text "True" or
    // "False" (any case) or a decimal integer. Others throw TypeMismatch.
    bool ToBool() const;
    // Byte sequence: a byte sequence unchanged; others throw TypeMismatch.
    Bytes ToBytes() const;
    // The items of a list; others throw TypeMismatch.
    const List& ToList() const;

    friend bool operator==(const TaggedValue& a, const TaggedValue& b) { return a.value_ == b.value_; }
    friend bool operator!=(const TaggedValue& a, const TaggedValue& b) { return !(a == b); }

private:
    // The alternatives are in the order of Kind.
    std::variant<std::monostate, std::string, std::int32_t, bool, Bytes, List> value_;
};
