// How GoogleTest prints our types in failure messages.
#pragma once

#include <ostream>
#include <string>

#include "registry/tagged_value.h"

// A readable form of a value: its kind and the value ("text \"a\\0b\"",
// "byte sequence [3] 01 02 03").
std::string Describe(const TaggedValue& value);

inline void PrintTo(const TaggedValue& value, std::ostream* os) {
    *os << Describe(value);
}
