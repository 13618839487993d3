// TextCursor: a forward cursor over UTF-8 text, the scanner the property-list reader walks with.
// Every scan first passes over a run of blanks (ASCII and Unicode white space and line breaks);
// literal searches ignore the letter case of ASCII letters; a scan that yields nothing leaves the
// cursor where it was before that scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace carryover {

class TextCursor {
  public:
    explicit TextCursor(std::string_view text) : text_(text) {}

    // When `skipBlanks` is false, scans take blanks like any other character.
    TextCursor(std::string_view text, bool skipBlanks) : text_(text), skipBlanks_(skipBlanks) {}

    // Moves past `literal` when the text continues with it; false, and no move, otherwise.
    bool scanString(std::string_view literal) {
        const size_t start = afterBlanks(position_);
        if (text_.size() - start < literal.size()) return false;
        if (!equalFolded(text_.data() + start, literal)) return false;
        position_ = start + literal.size();
        return true;
    }
    // The text up to the next `literal`, or to the end when there is none; the cursor stops in front
    // of `literal`. Nothing when no character would be collected.
    std::optional<std::string_view> scanUpToString(std::string_view literal);
    // scanUpToString(literal) and then scanString(literal), with one search; for a literal that does not
    // begin with a blank. Yields what scanUpToString yields.
    std::optional<std::string_view> scanThrough(std::string_view literal);
    // A decimal integer: optional sign and digits. Values beyond 64 bits clamp to the nearest limit.
    std::optional<int64_t> scanInt();
    // A decimal double: optional sign, digits with an optional fraction, an optional exponent.
    // No inf, nan or hexadecimal spellings. Magnitudes beyond the double range clamp to the largest
    // finite double, those below it go to zero.
    std::optional<double> scanDouble();
    // True when nothing but blanks is left.
    bool isAtEnd() const;

    size_t position() const { return position_; }

    // The byte length of the blank at `at`, or 0 when none stands there.
    static size_t blankLength(std::string_view text, size_t at);

  private:
    static bool equalFolded(const char* text, std::string_view literal) {
        for (size_t i = 0; i < literal.size(); ++i) {
            const char c = text[i], l = literal[i];
            if (c != l && foldAscii(c) != foldAscii(l)) return false;
        }
        return true;
    }
    static char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

    // Space, tab, line feed, vertical tab, form feed, carriage return.
    static bool isAsciiBlank(char c) { return c == ' ' || static_cast<unsigned char>(c - '\t') <= 4; }

    // The position after the blanks at `from`; ASCII blanks are passed over inline.
    size_t afterBlanks(size_t from) const {
        if (!skipBlanks_) return from;
        const char* data = text_.data();
        const size_t size = text_.size();
        for (;;) {
            while (from < size && isAsciiBlank(data[from])) {
                if (data[from++] != '\n') continue;
                // A line's indentation comes in runs of tabs: pass over eight of them at once.
                uint64_t block;
                while (from + 8 <= size &&
                       (std::memcpy(&block, data + from, 8), block == 0x0909090909090909ull))
                    from += 8;
            }
            if (from == size || static_cast<unsigned char>(data[from]) < 0x80) return from;
            const size_t length = blankLength(text_, from);
            if (length == 0) return from;
            from += length;
        }
    }
    size_t find(std::string_view literal, size_t from) const;

    std::string_view text_;
    size_t position_ = 0;
    bool skipBlanks_ = true;
};

} // namespace carryover
