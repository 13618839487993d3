// Text order and equality as the document model sees them. Texts are held as a property list writes
// them: "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" and character references ("&#233;", "&#xE9;")
// stand for their characters. Two texts compare by what they stand for: references resolved, then
// in canonical composition (NFC), so that "b&amp;c" equals "b&#38;c" and a precomposed letter equals
// its decomposed spelling.
#pragma once

#include <string>
#include <string_view>

namespace carryover {

// True when what `left` stands for comes before what `right` stands for, scalar by scalar, a proper
// prefix first. Text without references below U+0300 (ASCII, Latin-1, Latin Extended) stands for itself
// and compares as bytes.
bool textLess(std::string_view left, std::string_view right);

// True when both texts stand for the same characters in NFC.
bool textEqual(std::string_view left, std::string_view right);

// True when `text` stands for itself in NFC because it holds no reference and no code point from
// U+0300 on; false says nothing either way.
bool isCanonicalAsWritten(std::string_view text);

// What `text` stands for in NFC, by which the two above compare: textLess(a, b) is canonicalText(a) <
// canonicalText(b) byte by byte. For sorting many texts, each put in this form once.
std::string canonicalText(std::string_view text);

// The digits that start `digits` in a character reference ("233" of "&#233;", "E9" of "&#xE9;" with
// `hex`): their value, 0x110000 for any value beyond U+10FFFF, and how many there are (0 when none).
struct ReferenceDigits {
    char32_t value = 0;
    size_t count = 0;
};
ReferenceDigits referenceDigits(std::string_view digits, bool hex);

// Appends the UTF-8 bytes of the code point `c` (at most U+10FFFF) to `out`.
void appendUtf8(std::string& out, char32_t c);

} // namespace carryover
