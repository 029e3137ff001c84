#include "platform/names.h"

#include "platform/platform.h"

#ifdef _WIN32

#include <vector>

namespace {

// The name as UTF-16 characters of `codePage`; empty when it cannot be read.
// A plain vector: nothing here needs a wide string's operations, and the
// library's wide-string code would add tens of kilobytes to the program.
std::vector<wchar_t> Wide(const std::string& text, unsigned codePage) {
    if (text.empty() || text.size() > 0x7FFFFFFF) return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(needed));
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

}  // namespace

std::string names::FoldKey(const std::string& name, unsigned codePage) {
    std::vector<wchar_t> wide = Wide(name, codePage ? codePage : CP_ACP);
    if (wide.empty()) return name;
    // The registry compares upper-case forms.
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    std::string key;
    key.reserve(2 * wide.size());
    for (wchar_t c : wide) {
        key += static_cast<char>(c & 0xFF);
        key += static_cast<char>((c >> 8) & 0xFF);
    }
    return key;
}

std::string names::LowerCase(const std::string& text) {
    std::string lower = text;
    if (!lower.empty() && lower.size() <= 0x7FFFFFFF) CharLowerBuffA(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
}

#else

std::string names::FoldKey(const std::string& name, unsigned /*codePage*/) {
    return LowerCase(name);
}

std::string names::LowerCase(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) c = AsciiLower(c);
    return lower;
}

#endif

bool names::Same(const std::string& a, const std::string& b) {
    return FoldKey(a) == FoldKey(b);
}
