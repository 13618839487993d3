// Binary property lists put together object by object, for tests of what libplist would never write:
// cycles, shared subtrees, integers beyond 64 bits, strings with any character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace carryover::test {

// `value` in `width` bytes, most significant first.
inline std::string bigEndian(uint64_t value, size_t width) {
    std::string bytes(width, '\0');
    for (size_t i = width; i-- > 0; value >>= 8)
        bytes[i] = static_cast<char>(value & 0xFF);
    return bytes;
}

// The head of an object with marker `marker` and `count` items: the count in the low four bits, or
// an integer object after them from 15 on.
inline std::string objectHead(unsigned marker, uint64_t count) {
    if (count < 15) return std::string(1, static_cast<char>(marker << 4 | count));
    return std::string(1, static_cast<char>(marker << 4 | 0xF)) + "\x13" + bigEndian(count, 8);
}

// A container object: an array of `refs`, or a dictionary whose keys are the first half of `refs`
// and whose values are the second half.
inline std::string container(bool dictionary, const std::vector<uint64_t>& refs, size_t refWidth) {
    std::string bytes = objectHead(dictionary ? 0xD : 0xA, dictionary ? refs.size() / 2 : refs.size());
    for (uint64_t ref : refs)
        bytes += bigEndian(ref, refWidth);
    return bytes;
}

// An ASCII string object, and a UTF-16 one from its code units.
inline std::string asciiString(const std::string& text) {
    return objectHead(0x5, text.size()) + text;
}
inline std::string utf16String(const std::vector<uint16_t>& units) {
    std::string bytes = objectHead(0x6, units.size());
    for (uint16_t unit : units)
        bytes += bigEndian(unit, 2);
    return bytes;
}

// An object of the one-byte head `head` followed by `content`.
inline std::string object(char head, const std::string& content) {
    std::string bytes(1, head);
    return bytes += content;
}

// An eight-byte integer object, and a sixteen-byte one from its high and low halves.
inline std::string integer64(uint64_t value) {
    return object('\x13', bigEndian(value, 8));
}
inline std::string integer128(uint64_t high, uint64_t low) {
    return object('\x14', bigEndian(high, 8) + bigEndian(low, 8));
}

// A whole binary list of `objects` (numbered from 0), whose top object is `top`; references are
// `refWidth` bytes wide.
inline std::string binaryList(const std::vector<std::string>& objects, size_t refWidth = 1,
                              uint64_t top = 0) {
    std::string bytes = "bplist00";
    std::vector<uint64_t> offsets;
    for (const std::string& object : objects) {
        offsets.push_back(bytes.size());
        bytes += object;
    }
    const uint64_t table = bytes.size();
    const size_t offsetWidth = table < (1u << 8) ? 1 : table < (1u << 16) ? 2 : table < (1ull << 32) ? 4 : 8;
    for (uint64_t offset : offsets)
        bytes += bigEndian(offset, offsetWidth);
    bytes += std::string(6, '\0');
    bytes += static_cast<char>(offsetWidth);
    bytes += static_cast<char>(refWidth);
    bytes += bigEndian(objects.size(), 8) + bigEndian(top, 8) + bigEndian(table, 8);
    return bytes;
}

// A binary list whose top-level dictionary holds the one entry "a": `value`, object 2 onwards
// being `value` followed by `more`.
inline std::string binaryEntry(const std::string& value, const std::vector<std::string>& more = {}) {
    std::vector<std::string> objects = {container(true, {1, 2}, 1), asciiString("a"), value};
    objects.insert(objects.end(), more.begin(), more.end());
    return binaryList(objects);
}

// A binary list whose entry "a" is `levels` arrays, each holding `fanOut` references to the next,
// the last holding `fanOut` references to one integer: fanOut^levels integers from a few bytes.
inline std::string expansion(int levels, int fanOut) {
    std::vector<std::string> objects = {container(true, {1, 2}, 2), asciiString("a")};
    for (int level = 0; level < levels; ++level)
        objects.push_back(container(false, std::vector<uint64_t>(size_t(fanOut), uint64_t(3 + level)), 2));
    objects.push_back("\x10\x01");
    return binaryList(objects, 2);
}

} // namespace carryover::test
