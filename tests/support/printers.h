// How GoogleTest prints our types in failure messages.
#pragma once

#include <ostream>

#include "registry/tagged_value.h"

inline void PrintTo(const TaggedValue& value, std::ostream* os) {
    *os << value.Describe();
}
