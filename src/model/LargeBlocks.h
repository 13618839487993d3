// Large blocks: memory for arenas and file buffers taken straight from the system when it is large.
// A block of hugePageSize or more is mapped aligned to hugePageSize with the advice to back it by huge
// pages, so that filling it costs one page fault every 2 MiB instead of one every 4 KiB where the kernel
// follows the advice; smaller blocks come from the heap. Blocks are not zero-filled by us.
#pragma once

#include <cstddef>
#include <memory>
#include <memory_resource>

namespace carryover {

// The size of a huge page, from which blocks are mapped.
constexpr size_t hugePageSize = size_t(1) << 21;

// The memory resource that hands out blocks as described above; arenas draw on it.
std::pmr::memory_resource* largeBlocks();

// A buffer of `size` bytes whose content is undefined until written; freed when its last owner goes.
std::shared_ptr<char[]> makeBuffer(size_t size);

} // namespace carryover
