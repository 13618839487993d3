// The scans of TextCursor.
#include "plist/TextCursor.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace carryover {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
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

} // namespace

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

// The position of the first `byte` in [from, end), or `end`; eight bytes at a time.
static size_t findByte(const char* data, size_t from, size_t end, char byte) {
    constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const uint64_t pattern = ones * static_cast<unsigned char>(byte);
    size_t at = from;
    for (; at + 8 <= end; at += 8) {
        uint64_t block;
        std::memcpy(&block, data + at, 8);
        const uint64_t x = block ^ pattern;
        // The lowest byte flagged here is the first byte equal to `byte` (the text is little-endian).
        if (const uint64_t found = (x - ones) & ~x & highs)
            return at + static_cast<size_t>(__builtin_ctzll(found) >> 3);
    }
    for (; at < end; ++at)
        if (data[at] == byte) return at;
    return end;
}

// The position of the next `literal` at or after `from`, letter case ignored; the text's end if none.
size_t TextCursor::find(std::string_view literal, size_t from) const {
    const char* data = text_.data();
    const size_t size = text_.size();
    if (literal.empty()) return from;
    if (literal.size() > size) return size;
    const size_t last = size - literal.size(); // the last position a match can start at
    const char first = foldAscii(literal[0]);
    if (first < 'a' || first > 'z') {
        for (size_t at = from; (at = findByte(data, at, last + 1, first)) <= last; ++at)
            if (equalFolded(data + at, literal)) return at;
        return size;
    }
    for (size_t at = from; at <= last; ++at)
        if (foldAscii(data[at]) == first && equalFolded(data + at, literal)) return at;
    return size;
}

std::optional<std::string_view> TextCursor::scanUpToString(std::string_view literal) {
    const size_t start = afterBlanks(position_);
    const size_t end = find(literal, start);
    if (end == start) return std::nullopt;
    position_ = end;
    return text_.substr(start, end - start);
}

std::optional<std::string_view> TextCursor::scanThrough(std::string_view literal) {
    const size_t start = afterBlanks(position_);
    const size_t end = find(literal, start);
    std::optional<std::string_view> text;
    if (end != start) {
        text = text_.substr(start, end - start);
        position_ = end;
    }
    // find stops only in front of a match, or at the end of the text.
    if (end < text_.size()) position_ = end + literal.size();
    return text;
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
    for (; at < size && isDigit(text_[at]); ++at)
        ++digits;
    if (at < size && text_[at] == '.') {
        size_t fraction = at + 1;
        while (fraction < size && isDigit(text_[fraction]))
            ++fraction, ++digits;
        if (digits > 0) at = fraction;
    }
    if (digits == 0) return std::nullopt;
    if (at < size && (text_[at] == 'e' || text_[at] == 'E')) {
        size_t exponent = at + 1;
        if (exponent < size && (text_[exponent] == '+' || text_[exponent] == '-')) ++exponent;
        if (exponent < size && isDigit(text_[exponent])) {
            while (exponent < size && isDigit(text_[exponent]))
                ++exponent;
            at = exponent;
        }
    }
    double value = 0;
    const auto error = std::from_chars(text_.data() + number, text_.data() + at, value).ec;
    if (error == std::errc::result_out_of_range)
        value =
            decimalOrder(text_.substr(number, at - number)) > 0 ? std::numeric_limits<double>::max() : 0.0;
    position_ = at;
    return negative ? -value : value;
}

bool TextCursor::isAtEnd() const {
    return afterBlanks(position_) >= text_.size();
}

} // namespace carryover
