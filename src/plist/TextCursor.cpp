// The scans of TextCursor.
#include "plist/TextCursor.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace carryover {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }


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
            if (number[at] != '0') seen = true;
            else --order;
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

} // namespace

bool TextCursor::equalFolded(const char* text, std::string_view literal) {
    for (size_t i = 0; i < literal.size(); ++i)
        if (foldAscii(text[i]) != foldAscii(literal[i])) return false;
    return true;
}

size_t TextCursor::blankLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const size_t left = text.size() - at;
    const unsigned char c = byte(at);
    if (c == ' ' || (c >= 0x09 && c <= 0x0D)) return 1;
    if (c < 0x80) return 0;
    if (c == 0xC2 && left >= 2) // U+0085 NEL, U+00A0 NO-BREAK SPACE
        return (byte(at + 1) == 0x85 || byte(at + 1) == 0xA0) ? 2 : 0;
    if (left < 3) return 0;
    const unsigned char c1 = byte(at + 1), c2 = byte(at + 2);
    if (c == 0xE1) return (c1 == 0x9A && c2 == 0x80) ? 3 : 0; // U+1680 OGHAM SPACE MARK
    if (c == 0xE3) return (c1 == 0x80 && c2 == 0x80) ? 3 : 0; // U+3000 IDEOGRAPHIC SPACE
    if (c != 0xE2) return 0;
    if (c1 == 0x80) // U+2000..U+200A spaces, U+2028, U+2029 separators, U+202F narrow space
        return (c2 <= 0x8A || c2 == 0xA8 || c2 == 0xA9 || c2 == 0xAF) ? 3 : 0;
    if (c1 == 0x81) return c2 == 0x9F ? 3 : 0; // U+205F MEDIUM MATHEMATICAL SPACE
    return 0;
}

// The position of the next `literal` at or after `from`, letter case ignored; the text's end if none.
// Near matches are found byte by byte; past `shortRun` bytes, memchr jumps between candidates.
size_t TextCursor::find(std::string_view literal, size_t from) const {
    constexpr size_t shortRun = 24;
    const char* data = text_.data();
    const size_t size = text_.size();
    if (literal.empty()) return from;
    if (literal.size() > size) return size;
    const size_t last = size - literal.size(); // the last position a match can start at
    const char first = foldAscii(literal[0]);
    const bool letter = first >= 'a' && first <= 'z';
    for (size_t at = from; at <= last; ++at) {
        if (!letter && at - from >= shortRun) {
            const void* hit = std::memchr(data + at, literal[0], last + 1 - at);
            if (!hit) return size;
            at = static_cast<size_t>(static_cast<const char*>(hit) - data);
        }
        if (foldAscii(data[at]) == first && equalFolded(data + at, literal)) return at;
    }
    return size;
}

std::optional<std::string_view> TextCursor::scanUpToString(std::string_view literal) {
    const size_t start = afterBlanks(position_);
    const size_t end = find(literal, start);
    if (end == start) return std::nullopt;
    position_ = end;
    return text_.substr(start, end - start);
}

std::optional<int64_t> TextCursor::scanInt() {
    const size_t start = afterBlanks(position_);
    size_t at = start;
    bool negative = false;
    if (at < text_.size() && (text_[at] == '+' || text_[at] == '-')) negative = text_[at++] == '-';
    const size_t digits = at;
    uint64_t magnitude = 0;
    bool overflow = false;
    for (; at < text_.size() && isDigit(text_[at]); ++at) {
        const unsigned digit = static_cast<unsigned>(text_[at] - '0');
        if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
    }
    if (at == digits) return std::nullopt;
    position_ = at;
    constexpr uint64_t maxMagnitude = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (negative) {
        if (overflow || magnitude > maxMagnitude + 1) return std::numeric_limits<int64_t>::min();
        return magnitude == maxMagnitude + 1 ? std::numeric_limits<int64_t>::min()
                                             : -static_cast<int64_t>(magnitude);
    }
    if (overflow || magnitude > maxMagnitude) return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(magnitude);
}

std::optional<double> TextCursor::scanDouble() {
    const size_t start = afterBlanks(position_);
    const size_t size = text_.size();
    size_t at = start;
    bool negative = false;
    if (at < size && (text_[at] == '+' || text_[at] == '-')) negative = text_[at++] == '-';
    const size_t number = at;
    size_t digits = 0;
    for (; at < size && isDigit(text_[at]); ++at) ++digits;
    if (at < size && text_[at] == '.') {
        size_t fraction = at + 1;
        while (fraction < size && isDigit(text_[fraction])) ++fraction, ++digits;
        if (digits > 0) at = fraction;
    }
    if (digits == 0) return std::nullopt;
    if (at < size && (text_[at] == 'e' || text_[at] == 'E')) {
        size_t exponent = at + 1;
        if (exponent < size && (text_[exponent] == '+' || text_[exponent] == '-')) ++exponent;
        if (exponent < size && isDigit(text_[exponent])) {
            while (exponent < size && isDigit(text_[exponent])) ++exponent;
            at = exponent;
        }
    }
    double value = 0;
    const auto error = std::from_chars(text_.data() + number, text_.data() + at, value).ec;
    if (error == std::errc::result_out_of_range)
        value = decimalOrder(text_.substr(number, at - number)) > 0 ? std::numeric_limits<double>::max() : 0.0;
    position_ = at;
    return negative ? -value : value;
}

bool TextCursor::isAtEnd() const { return afterBlanks(position_) >= text_.size(); }

} // namespace carryover
