// Characters of XML text: which code points XML 1.0 allows, in text and in names, and their UTF-8 form
// both ways.
#pragma once

#include "model/Text.h" // appendUtf8

#include <cstdint>
#include <string>
#include <string_view>

namespace carryover {

// Whether XML 1.0 allows the character `c`: tab, line feed, carriage return, U+0020-U+D7FF,
// U+E000-U+FFFD and U+10000-U+10FFFF.
inline bool isXmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Whether XML 1.0 lets `c` start a name (its NameStartChar production).
inline bool isNameStartCharacter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || c == 0x200C || c == 0x200D ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

// Whether XML 1.0 lets `c` stand in a name after its first character (its NameChar production).
inline bool isNameCharacter(char32_t c) {
    return isNameStartCharacter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || c == 0x203F || c == 0x2040;
}

// The next code point of UTF-8 `text` at `at`, which moves past it; U+110000, beyond every code
// point, when the bytes there are not UTF-8.
inline char32_t nextUtf8(std::string_view text, size_t& at) {
    constexpr char32_t invalid = 0x110000;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    if (first < 0x80) return ++at, first;
    size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
    if (first < 0xC2 || first > 0xF4 || at + length > text.size()) return ++at, invalid;
    char32_t c = first & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return ++at, invalid;
        c = c << 6 | (byte(at + i) & 0x3F);
    }
    at += length;
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return invalid;
    return c;
}

} // namespace carryover
