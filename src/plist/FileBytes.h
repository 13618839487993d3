// Reading a whole file into memory under a ceiling. Regular files, devices and pipes are read alike,
// and reading stops as soon as more than the ceiling is found, so an endless source such as /dev/zero
// is refused after `limit` bytes instead of being read until memory runs out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace carryover {

// The most bytes a property-list file may have: 1 GiB. Reading one takes about ten times as much
// memory, which is what a machine may be expected to have.
constexpr size_t maximumFileSize = size_t(1) << 30;

// How reading a file ended.
enum class FileBytesStatus {
    Read,       // the bytes are the whole file
    Unreadable, // the file could not be opened or read; the reason is the system's
    TooLarge,   // the file holds more than the ceiling; reading stopped there
};

struct FileBytes {
    FileBytesStatus status = FileBytesStatus::Read;
    std::string bytes;  // the whole file when Read, else empty
    std::string reason; // the system's reason when Unreadable, else ""
    size_t limit = 0;   // the ceiling that was passed when TooLarge

    // A short English reason, "" when read.
    std::string description() const;
};

// The whole content of the file at `path` when it holds at most `limit` bytes; TooLarge as soon as
// a byte beyond `limit` is read, Unreadable with the system's reason when it cannot be opened or read.
FileBytes readFileBytes(const std::string& path, size_t limit = maximumFileSize);

// The same for the open descriptor `fd` (standard input, say), read from where it stands to its end;
// `fd` stays open.
FileBytes readDescriptorBytes(int fd, size_t limit = maximumFileSize);

} // namespace carryover
