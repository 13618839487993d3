// Large blocks: anonymous mappings trimmed to huge-page alignment, and the heap below that size.
#include "model/LargeBlocks.h"

#include <cstdint>
#include <new>

#include <sys/mman.h>

namespace carryover {

namespace {

size_t mappedSize(size_t size) {
    return (size + hugePageSize - 1) / hugePageSize * hugePageSize;
}

// `size` bytes (at least hugePageSize) mapped at a multiple of hugePageSize; null when the system has
// no room.
void* mapBlock(size_t size) {
    const size_t length = mappedSize(size);
    // Mapped with one huge page more, of which the unaligned ends are given back.
    void* mapped =
        ::mmap(nullptr, length + hugePageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + hugePageSize - 1) / hugePageSize * hugePageSize;
    if (aligned > start) ::munmap(mapped, aligned - start);
    const size_t tail = start + length + hugePageSize - (aligned + length);
    if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + length), tail);
    auto* block = reinterpret_cast<void*>(aligned);
    // Advice only: without huge pages the block still serves. The whole huge pages of what was asked for
    // take it; the rest keeps small pages, so that the unasked end of the last page is never filled.
    ::madvise(block, size / hugePageSize * hugePageSize, MADV_HUGEPAGE);
    return block;
}

void unmapBlock(void* block, size_t size) {
    ::munmap(block, mappedSize(size));
}

class LargeBlockResource final : public std::pmr::memory_resource {
    void* do_allocate(size_t bytes, size_t alignment) override {
        if (bytes < hugePageSize) return ::operator new(bytes, std::align_val_t(alignment));
        void* block = mapBlock(bytes);
        if (!block) throw std::bad_alloc();
        return block;
    }

    void do_deallocate(void* block, size_t bytes, size_t alignment) override {
        if (bytes < hugePageSize)
            ::operator delete(block, std::align_val_t(alignment));
        else
            unmapBlock(block, bytes);
    }

    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }
};

} // namespace

std::pmr::memory_resource* largeBlocks() {
    static LargeBlockResource resource;
    return &resource;
}

std::shared_ptr<char[]> makeBuffer(size_t size) {
    if (size < hugePageSize) return std::shared_ptr<char[]>(new char[size]);
    char* block = static_cast<char*>(mapBlock(size));
    if (!block) throw std::bad_alloc();
    return std::shared_ptr<char[]>(block, [size](char* mapped) { unmapBlock(mapped, size); });
}

} // namespace carryover
