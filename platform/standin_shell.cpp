// System message texts of the stand-in: the Windows wording, with its
// trailing line break, for the error codes a failed shell open reports.
#ifndef _WIN32

#include <cstring>

#include "standin.h"

namespace {

struct SystemText {
    DWORD code;
    const char* text;
};

const SystemText kSystemTexts[] = {
    {2, "The system cannot find the file specified.\r\n"},
    {3, "The system cannot find the path specified.\r\n"},
    {5, "Access is denied.\r\n"},
    {8, "Not enough memory resources are available to process this command.\r\n"},
    {11, "An attempt was made to load a program with an incorrect format.\r\n"},
};

}  // namespace

DWORD FormatMessageA(DWORD dwFlags, LPCVOID /*lpSource*/, DWORD dwMessageId, DWORD /*dwLanguageId*/, LPSTR lpBuffer,
                     DWORD nSize, va_list* /*Arguments*/) {
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || !lpBuffer) return 0;
    for (const SystemText& entry : kSystemTexts) {
        if (entry.code != dwMessageId) continue;
        const std::size_t length = std::strlen(entry.text);
        if (length >= nSize) return 0;  // the real call fails too: no partial text
        std::memcpy(lpBuffer, entry.text, length + 1);
        return static_cast<DWORD>(length);
    }
    return 0;
}

#endif
