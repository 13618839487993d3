// Comparison of texts by what they stand for: references resolved, then NFC through utf8proc, with a
// byte-wise path for text that stands for itself.
#include "model/Text.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <utf8proc.h>

namespace carryover {

namespace {

// Whether `text` may stand for other bytes than its own in NFC: it holds a reference, or a code point
// from U+0300 on. Below U+0300, every code point is its own canonical composition and none combines
// with the one before.
constexpr std::array<bool, 256> makeResolvingBytes() {
    std::array<bool, 256> bytes{};
    for (int c = 0xCC; c < 256; ++c)
        bytes[static_cast<size_t>(c)] = true;
    bytes['&'] = true;
    return bytes;
}
constexpr std::array<bool, 256> resolvingBytes = makeResolvingBytes();

bool mayNeedResolving(std::string_view text) {
    for (unsigned char c : text)
        if (resolvingBytes[c]) return true;
    return false;
}

// The length of the reference at the start of `text` (an "&"), with its character appended to `out`;
// 0 when none stands there, so that the "&" is taken as it stands.
size_t reference(std::string_view text, std::string& out) {
    const size_t semicolon = text.find(';');
    if (semicolon == std::string_view::npos) return 0;
    const std::string_view name = text.substr(1, semicolon - 1);
    static constexpr std::pair<std::string_view, char> named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, character] : named)
        if (name == entity) {
            out += character;
            return semicolon + 1;
        }
    if (name.size() < 2 || name[0] != '#') return 0;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    const auto [value, count] = referenceDigits(digits, hex);
    if (count != digits.size()) return 0;
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    appendUtf8(out, value);
    return semicolon + 1;
}

// `text` with its references replaced by the characters they stand for.
std::string resolved(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t amp = text.find('&', at);
        out += text.substr(at, amp - at);
        if (amp == std::string_view::npos) break;
        const size_t length = reference(text.substr(amp), out);
        if (length == 0) out += '&';
        at = amp + (length == 0 ? 1 : length);
    }
    return out;
}

// The NFC form of `text`; text that is not valid UTF-8 is taken as it stands.
std::string normalised(std::string text) {
    utf8proc_uint8_t* out = nullptr;
    auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                               static_cast<utf8proc_ssize_t>(text.size()), &out,
                               static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    if (length < 0) return text;
    std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owner(out, &std::free);
    return std::string(reinterpret_cast<const char*>(out), static_cast<size_t>(length));
}

} // namespace

ReferenceDigits referenceDigits(std::string_view digits, bool hex) {
    ReferenceDigits read;
    for (char c : digits) {
        char32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<char32_t>(c - '0');
        else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            digit = static_cast<char32_t>((c | 0x20) - 'a' + 10);
        else
            break;
        read.value = read.value * (hex ? 16 : 10) + digit;
        if (read.value > 0x10FFFF) read.value = 0x110000; // stays out of range however many digits follow
        ++read.count;
    }
    return read;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string canonicalText(std::string_view text) {
    if (!mayNeedResolving(text)) return std::string(text);
    std::string plain = text.find('&') == std::string_view::npos ? std::string(text) : resolved(text);
    for (unsigned char c : plain)
        if (c >= 0xCC) return normalised(std::move(plain));
    return plain;
}

// UTF-8 byte order is scalar order, so comparing canonical bytes compares scalars.
bool textLess(std::string_view left, std::string_view right) {
    if (!mayNeedResolving(left) && !mayNeedResolving(right)) return left < right;
    return canonicalText(left) < canonicalText(right);
}

bool isCanonicalAsWritten(std::string_view text) {
    return !mayNeedResolving(text);
}

bool textEqual(std::string_view left, std::string_view right) {
    if (left == right) return true;
    if (!mayNeedResolving(left) && !mayNeedResolving(right)) return false;
    return canonicalText(left) == canonicalText(right);
}

} // namespace carryover
