// Text order and equality as the document model sees them: Unicode scalar values after canonical
// composition (NFC), so that a precomposed letter equals its decomposed spelling.
#pragma once

#include <string_view>

namespace carryover {

// True when `left` comes before `right` once both are in NFC, scalar by scalar, a proper prefix first.
// ASCII text is already in NFC, so two ASCII texts compare as bytes without being normalised.
bool textLess(std::string_view left, std::string_view right);

// True when both texts have the same NFC form.
bool textEqual(std::string_view left, std::string_view right);

} // namespace carryover
