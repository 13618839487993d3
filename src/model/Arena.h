// Arena: the memory that the nodes of trees and their texts live in. It hands out room from large
// blocks and gives it all back at once when it goes, so a tree of any size is freed in one step. Its
// large blocks are mapped for huge pages (LargeBlocks.h).
// What lives in an arena is never destroyed one by one, so it must not need destroying: nodes,
// texts and child lists are plain data. An arena can also hold other owners for as long as it lives:
// the file text that names and values refer into, or the arena of a tree whose nodes a new tree took.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <memory_resource>
#include <new>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "model/LargeBlocks.h"

namespace carryover {

class Arena {
  public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    // A new default-constructed T in the arena.
    template <typename T> T* make() {
        static_assert(std::is_trivially_destructible_v<T>, "an arena never destroys what it holds");
        return new (memory_.allocate(sizeof(T), alignof(T))) T();
    }

    // Room for `count` uninitialised T.
    template <typename T> T* room(size_t count) {
        static_assert(std::is_trivially_destructible_v<T>, "an arena never destroys what it holds");
        return static_cast<T*>(memory_.allocate(count * sizeof(T), alignof(T)));
    }

    // A copy of `text` in the arena; "" for empty text.
    std::string_view keep(std::string_view text) {
        if (text.empty()) return {};
        char* copy = room<char>(text.size());
        std::memcpy(copy, text.data(), text.size());
        return {copy, text.size()};
    }

    // A copy of `bytes` in the arena.
    std::span<const uint8_t> keep(std::span<const uint8_t> bytes) {
        if (bytes.empty()) return {};
        uint8_t* copy = room<uint8_t>(bytes.size());
        std::memcpy(copy, bytes.data(), bytes.size());
        return {copy, bytes.size()};
    }

    // Keeps `owner` alive as long as this arena.
    void hold(std::shared_ptr<const void> owner) { owners_.push_back(std::move(owner)); }

  private:
    std::pmr::monotonic_buffer_resource memory_{size_t(1) << 12, largeBlocks()};
    std::vector<std::shared_ptr<const void>> owners_;
};

} // namespace carryover
