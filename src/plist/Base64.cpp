// Base64 decoding and encoding.
#include "plist/Base64.h"

#include <array>

namespace carryover {

namespace {

constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr int invalid = -1, blank = -2, padding = -3;

constexpr std::array<int, 256> makeTable() {
    std::array<int, 256> table{};
    for (auto& entry : table)
        entry = invalid;
    for (size_t i = 0; i < alphabet.size(); ++i)
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<int>(i);
    table[' '] = table['\t'] = table['\n'] = table['\r'] = blank;
    table['='] = padding;
    return table;
}

constexpr std::array<int, 256> table = makeTable();

} // namespace

std::optional<Bytes> decodeBase64(std::string_view text) {
    Bytes bytes;
    bytes.reserve(text.size() / 4 * 3);
    uint32_t group = 0;
    int inGroup = 0, paddings = 0;
    for (unsigned char c : text) {
        const int value = table[c];
        if (value == blank) continue;
        if (value == invalid) return std::nullopt;
        if (value == padding) {
            ++paddings;
            if (inGroup + paddings > 4) return std::nullopt;
            continue;
        }
        if (paddings > 0) return std::nullopt; // a character after the padding
        group = (group << 6) | static_cast<uint32_t>(value);
        if (++inGroup == 4) {
            bytes.push_back(static_cast<uint8_t>(group >> 16));
            bytes.push_back(static_cast<uint8_t>(group >> 8));
            bytes.push_back(static_cast<uint8_t>(group));
            group = 0;
            inGroup = 0;
        }
    }
    if (inGroup == 0) return paddings == 0 ? std::optional<Bytes>(std::move(bytes)) : std::nullopt;
    // The last group is padded to four characters, or its padding is left out.
    if (inGroup == 1 || (paddings > 0 && inGroup + paddings != 4)) return std::nullopt;
    if (inGroup == 2) {
        bytes.push_back(static_cast<uint8_t>(group >> 4));
    } else {
        bytes.push_back(static_cast<uint8_t>(group >> 10));
        bytes.push_back(static_cast<uint8_t>(group >> 2));
    }
    return bytes;
}

std::string encodeBase64(ByteView bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t group = uint32_t(bytes[i]) << 16 | uint32_t(bytes[i + 1]) << 8 | bytes[i + 2];
        text += alphabet[group >> 18];
        text += alphabet[(group >> 12) & 63];
        text += alphabet[(group >> 6) & 63];
        text += alphabet[group & 63];
    }
    if (const size_t rest = bytes.size() - i) {
        const uint32_t group = uint32_t(bytes[i]) << 16 | (rest == 2 ? uint32_t(bytes[i + 1]) << 8 : 0);
        text += alphabet[group >> 18];
        text += alphabet[(group >> 12) & 63];
        text += rest == 2 ? alphabet[(group >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

} // namespace carryover
