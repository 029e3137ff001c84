// Names compared as the registry compares them: without regard to case, in
// the system ANSI code page, the one the program's texts are in.
//
// On Windows the name is read as characters of that code page and the
// platform's own case mapping folds them, so the trail byte of a double-byte
// character is never taken for a letter and two different names never
// collide. The in-memory stand-in of other hosts folds ASCII letters only.
#pragma once

#include <string>

namespace names {

// A form of `name` that is equal for two names exactly when they differ in
// case only. `codePage` 0 is the system ANSI code page (Windows only; the
// stand-in ignores it).
std::string FoldKey(const std::string& name, unsigned codePage = 0);
bool Same(const std::string& a, const std::string& b);
// `text` in lower case, by the same case mapping.
std::string LowerCase(const std::string& text);

// One byte in ASCII lower case: what the stand-in's folding is made of.
constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace names
