// Text order and equality as the document model sees them: Unicode scalar values after canonical
// composition (NFC), so that a precomposed letter equals its decomposed spelling.
#pragma once

#include <string_view>

namespace carryover {

// True when `left` comes before `right` once both are in NFC, scalar by scalar, a proper prefix first.
// Text below U+0300 (ASCII, Latin-1, Latin Extended) is already in NFC and compares as bytes.
bool textLess(std::string_view left, std::string_view right);

// True when both texts have the same NFC form.
bool textEqual(std::string_view left, std::string_view right);

// True when `text` is in NFC as it stands because it holds no code point from U+0300 on; false
// says nothing either way.
bool isCanonicalAsWritten(std::string_view text);

// The NFC form of `text`, by which the two above compare: textLess(a, b) is canonicalText(a) <
// canonicalText(b) byte by byte. For sorting many texts, each put in this form once.
std::string canonicalText(std::string_view text);

} // namespace carryover
