// Bounded reading of a whole file: the size a regular file reports is trusted only as a first guess,
// and no more than one byte beyond the ceiling is ever read.
#include "plist/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/LargeBlocks.h"

namespace carryover {

namespace {

constexpr size_t firstCapacity = size_t(1) << 16;

FileBytes failed(FileBytesStatus status, std::string reason = {}) {
    return {status, {}, nullptr, std::move(reason), 0};
}

FileBytes tooLarge(size_t limit) {
    return {FileBytesStatus::TooLarge, {}, nullptr, {}, limit};
}

// `bytes` in GiB when a whole number of them, else in bytes.
std::string sizeText(size_t bytes) {
    constexpr size_t gib = size_t(1) << 30;
    return bytes % gib == 0 && bytes > 0 ? std::to_string(bytes / gib) + " GiB"
                                         : std::to_string(bytes) + " bytes";
}

// The `size` bytes of the regular file open as `fd`, mapped; nothing when the system will not map it.
std::optional<FileBytes> mapped(int fd, size_t size) {
    void* at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (at == MAP_FAILED) return std::nullopt;
    std::shared_ptr<const void> mapping(
        at, [size](const void* block) { ::munmap(const_cast<void*>(block), size); });
    return FileBytes{FileBytesStatus::Read, {static_cast<const char*>(at), size}, std::move(mapping), {}, 0};
}

} // namespace

std::string FileBytes::description() const {
    switch (status) {
    case FileBytesStatus::Read:
        return "";
    case FileBytesStatus::Unreadable:
        return "cannot read the file: " + reason;
    case FileBytesStatus::TooLarge:
        return "the file is larger than " + sizeText(limit);
    }
    return "";
}

FileBytes readFileBytes(const std::string& path, size_t limit, FileAccess access) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return failed(FileBytesStatus::Unreadable, std::strerror(errno));
    struct stat info {};
    if (access == FileAccess::Map && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        static_cast<uint64_t>(info.st_size) <= limit)
        if (std::optional<FileBytes> file = mapped(fd, static_cast<size_t>(info.st_size))) {
            ::close(fd);
            return std::move(*file);
        }
    FileBytes read = readDescriptorBytes(fd, limit);
    ::close(fd);
    return read;
}

FileBytes readDescriptorBytes(int fd, size_t limit) {
    struct stat info {};
    size_t capacity = firstCapacity;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const off_t position = std::clamp<off_t>(::lseek(fd, 0, SEEK_CUR), 0, info.st_size);
        const uint64_t left = static_cast<uint64_t>(info.st_size - position);
        if (left > limit) return tooLarge(limit);
        capacity = static_cast<size_t>(left) + 1; // one more byte to see the end
    }

    // One buffer, moved to one twice as large when it fills; one byte beyond the ceiling is enough to
    // learn that the file is too large.
    const size_t ceiling = limit + 1;
    capacity = std::min(capacity, ceiling);
    std::shared_ptr<char[]> buffer = makeBuffer(capacity);
    size_t size = 0;
    while (size < ceiling) {
        if (size == capacity) {
            const size_t larger = std::min(std::max(2 * capacity, firstCapacity), ceiling);
            std::shared_ptr<char[]> moved = makeBuffer(larger);
            std::memcpy(moved.get(), buffer.get(), size);
            buffer = std::move(moved);
            capacity = larger;
        }
        const ssize_t got = ::read(fd, buffer.get() + size, capacity - size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return failed(FileBytesStatus::Unreadable, std::strerror(errno));
        if (got == 0) break;
        size += static_cast<size_t>(got);
    }
    if (size > limit) return tooLarge(limit);
    const std::string_view bytes(buffer.get(), size);
    return {FileBytesStatus::Read, bytes, std::move(buffer), {}, 0};
}

} // namespace carryover
