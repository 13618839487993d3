// Scanning the numbers of <integer> and <real> elements.
#include "plist/NumberText.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "plist/XmlCharacter.h"

namespace carryover {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a hexadecimal digit, or -1.
int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Whether a number may stand after `c`: XML's white space, and the wider white space of Unicode that
// the numbers of hand-edited files are found after (no-break spaces, the typographic spaces, line and
// paragraph separators).
bool isWideSpace(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0x0B || c == 0x0C || c == 0x85 ||
           c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

// `text` after its leading white space in the wide sense.
std::string_view trimmed(std::string_view text) {
    size_t at = 0;
    while (at < text.size()) {
        size_t next = at;
        if (!isWideSpace(nextUtf8(text, next))) break;
        at = next;
    }
    return text.substr(at);
}

// Whether `text` begins with `word`, ASCII case ignored; `word` is in lower case.
bool startsWithFolded(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if ((text[i] | 0x20) != word[i]) return false;
    return true;
}

// The decimal order of magnitude of a well-formed unsigned number: positive when it is at least one.
long decimalOrder(std::string_view number) {
    size_t at = 0;
    long order = 0;
    bool seen = false;
    for (; at < number.size() && isDigit(number[at]); ++at) {
        if (number[at] != '0') seen = true;
        if (seen) ++order;
    }
    if (at < number.size() && number[at] == '.')
        for (++at; at < number.size() && isDigit(number[at]) && !seen; ++at) {
            if (number[at] != '0')
                seen = true;
            else
                --order;
        }
    const size_t e = number.find_first_of("eE");
    if (e == std::string_view::npos) return order;
    long exponent = 0;
    const char* first = number.data() + e + 1;
    if (*first == '+') ++first;
    if (std::from_chars(first, number.data() + number.size(), exponent).ec == std::errc::result_out_of_range)
        exponent = *first == '-' ? -100000 : 100000;
    return order + exponent;
}

// The length of the decimal number at the start of `text`: digits with an optional fraction, then an
// exponent when digits follow its mark; 0 when no digit stands there.
size_t decimalLength(std::string_view text) {
    size_t at = 0, digits = 0;
    for (; at < text.size() && isDigit(text[at]); ++at)
        ++digits;
    if (at < text.size() && text[at] == '.') {
        size_t fraction = at + 1;
        while (fraction < text.size() && isDigit(text[fraction]))
            ++fraction, ++digits;
        if (digits > 0) at = fraction;
    }
    if (digits == 0) return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && isDigit(text[exponent])) {
            while (exponent < text.size() && isDigit(text[exponent]))
                ++exponent;
            at = exponent;
        }
    }
    return at;
}

} // namespace

std::optional<ItemData> scanInteger(std::string_view text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    uint64_t magnitude = 0;
    for (char c : text) {
        const int digit = base == 16 ? hexValue(c) : (isDigit(c) ? c - '0' : -1);
        if (digit < 0) break;
        const auto value = static_cast<unsigned>(digit);
        if (magnitude > (std::numeric_limits<uint64_t>::max() - value) / base) return std::nullopt;
        magnitude = magnitude * base + value;
    }
    if (!negative) return ItemData::unsignedInteger(magnitude);
    constexpr uint64_t lowest = uint64_t(1) << 63; // the magnitude of -2^63
    if (magnitude > lowest) return std::nullopt;
    if (magnitude == lowest) return ItemData::integer(std::numeric_limits<int64_t>::min());
    return ItemData::integer(-static_cast<int64_t>(magnitude));
}

double scanReal(std::string_view text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const double sign = negative ? -1.0 : 1.0;
    if (startsWithFolded(text, "inf")) return sign * std::numeric_limits<double>::infinity();
    if (startsWithFolded(text, "nan")) return std::numeric_limits<double>::quiet_NaN();
    const size_t length = decimalLength(text);
    if (length == 0) return 0.0;
    double value = 0;
    if (std::from_chars(text.data(), text.data() + length, value).ec == std::errc::result_out_of_range)
        value = decimalOrder(text.substr(0, length)) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return sign * value;
}

} // namespace carryover
