// Bounded reading of a whole file: the size a regular file reports is trusted only as a first guess,
// and no more than one byte beyond the ceiling is ever read.
#include "plist/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace carryover {

namespace {

constexpr size_t firstCapacity = size_t(1) << 16;
constexpr size_t largestChunk = size_t(1) << 26;

FileBytes failed(FileBytesStatus status, std::string reason = {}) {
    return {status, {}, std::move(reason), 0};
}

FileBytes tooLarge(size_t limit) {
    return {FileBytesStatus::TooLarge, {}, {}, limit};
}

// `bytes` in GiB when a whole number of them, else in bytes.
std::string sizeText(size_t bytes) {
    constexpr size_t gib = size_t(1) << 30;
    return bytes % gib == 0 && bytes > 0 ? std::to_string(bytes / gib) + " GiB"
                                         : std::to_string(bytes) + " bytes";
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

FileBytes readFileBytes(const std::string& path, size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return failed(FileBytesStatus::Unreadable, std::strerror(errno));
    FileBytes read = readDescriptorBytes(fd, limit);
    ::close(fd);
    return read;
}

FileBytes readDescriptorBytes(int fd, size_t limit) {
    struct stat info {};
    size_t expected = firstCapacity;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const off_t position = std::clamp<off_t>(::lseek(fd, 0, SEEK_CUR), 0, info.st_size);
        const uint64_t left = static_cast<uint64_t>(info.st_size - position);
        if (left > limit) return tooLarge(limit);
        expected = static_cast<size_t>(left) + 1; // one more byte to see the end
    }

    // Chunks are filled one after the other and joined at the end, so that no chunk is copied while
    // reading; one byte beyond the ceiling is enough to learn that the file is too large.
    const size_t ceiling = limit + 1;
    std::vector<std::string> chunks;
    size_t size = 0, filled = 0;
    while (size < ceiling) {
        if (chunks.empty() || filled == chunks.back().size()) {
            const size_t next = chunks.empty() ? expected : std::clamp(size, firstCapacity, largestChunk);
            chunks.emplace_back(std::min(next, ceiling - size), '\0');
            filled = 0;
        }
        std::string& chunk = chunks.back();
        const ssize_t got = ::read(fd, chunk.data() + filled, chunk.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return failed(FileBytesStatus::Unreadable, std::strerror(errno));
        if (got == 0) break;
        filled += static_cast<size_t>(got);
        size += static_cast<size_t>(got);
    }
    if (size > limit) return tooLarge(limit);
    if (chunks.empty()) return {FileBytesStatus::Read, {}, {}, 0};
    chunks.back().resize(filled);
    if (chunks.size() == 1) return {FileBytesStatus::Read, std::move(chunks.front()), {}, 0};
    std::string bytes;
    bytes.reserve(size);
    for (std::string& chunk : chunks) {
        bytes += chunk;
        std::string().swap(chunk);
    }
    return {FileBytesStatus::Read, std::move(bytes), {}, 0};
}

} // namespace carryover
