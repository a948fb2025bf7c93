#include "log/MbcsText.h"

#include <windows.h>

#include <cstring>

namespace kilnlog {
namespace {

// Bytes taken by the character at text[index]; a lead byte at the very end counts as one.
std::size_t CharacterSize(const char* text, std::size_t index, std::size_t length) noexcept {
    return ::IsDBCSLeadByte(static_cast<BYTE>(text[index])) && index + 1 < length ? 2 : 1;
}

}  // namespace

int LastIndexOfAny(const char* text, const char* characters) noexcept {
    int found = -1;
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < length; i += CharacterSize(text, i, length)) {
        if (std::strchr(characters, text[i])) found = static_cast<int>(i);
    }
    return found;
}

std::size_t CharacterBoundaryAtOrBefore(const char* text, std::size_t length, std::size_t limit) noexcept {
    if (length <= limit) return length;
    std::size_t boundary = 0;
    while (boundary < limit) {
        const std::size_t next = boundary + CharacterSize(text, boundary, length);
        if (next > limit) break;
        boundary = next;
    }
    return boundary;
}

}  // namespace kilnlog
