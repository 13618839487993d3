// NumberText: the values of <integer> and <real> elements, scanned from their text once references are
// resolved. White space may stand around the number, before it also the wide white space of Unicode
// (U+00A0 and the like), and what follows the number is passed over ("12abc" is 12); text that holds no
// number is 0.
#pragma once

#include <optional>
#include <string_view>

#include "model/ItemData.h"

namespace carryover {

// The Int that `text` spells: an optional sign, then decimal digits or "0x" and hexadecimal digits
// ("0x" alone is 0). Nothing when the value lies outside [-2^63, 2^64-1].
std::optional<ItemData> scanInteger(std::string_view text);

// The double that `text` spells: an optional sign, then "infinity", "inf" or "nan" (ASCII case
// ignored), or digits with an optional fraction and exponent. Magnitudes beyond the double range are
// infinite, those below it the nearest double (0.0).
double scanReal(std::string_view text);

} // namespace carryover
