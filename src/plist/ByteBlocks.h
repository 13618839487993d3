// Byte blocks: text scanned eight bytes at a time in a 64-bit word, each byte marked by its high bit
// in a mask. The scanner finds blanks and the ends of text runs this way, and the reader checks
// characters. The first byte of a block is its lowest.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace carryover {

static_assert(std::endian::native == std::endian::little);

// The high bit of every byte.
constexpr uint64_t highBits = 0x8080808080808080ull;

// The eight bytes at `at`.
inline uint64_t loadBlock(const void* at) {
    uint64_t block;
    std::memcpy(&block, at, 8);
    return block;
}

// The high bit set in each byte of `block` that equals `c`, and in no other.
inline uint64_t equalBytes(uint64_t block, char c) {
    const uint64_t x = block ^ (0x0101010101010101ull * static_cast<unsigned char>(c));
    return ~(((x & 0x7F7F7F7F7F7F7F7Full) + 0x7F7F7F7F7F7F7F7Full) | x) & highBits;
}

// The index in its block of the first byte whose high bit `mask` sets; `mask` must not be 0.
inline size_t firstMarked(uint64_t mask) {
    return static_cast<size_t>(std::countr_zero(mask)) / 8;
}

} // namespace carryover
