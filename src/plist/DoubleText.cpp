// Formatting doubles for the writer.
#include "plist/DoubleText.h"

#include <charconv>
#include <cmath>

namespace carryover {

namespace {
constexpr double smallestFixed = 1e-4; // below this magnitude, exponent notation
constexpr double largestFixed = 1e16;  // from this magnitude on, exponent notation
} // namespace

std::string doubleText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-infinity" : "+infinity";
    if (value == 0) return std::signbit(value) ? "-0.0" : "0.0";

    char buffer[64];
    const double magnitude = std::fabs(value);
    if (magnitude >= smallestFixed && magnitude < largestFixed) {
        // Fixed: the shortest round-trip digits, with ".0" added to whole numbers.
        auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
        std::string text(buffer, end);
        if (text.find('.') == std::string::npos) text += ".0";
        return text;
    }
    // Exponent: the shortest round-trip digits; to_chars writes a signed exponent of two digits or more.
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    return std::string(buffer, end);
}

} // namespace carryover
