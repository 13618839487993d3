// Reading a whole file into memory under a ceiling. Regular files, devices and pipes are read alike,
// and reading stops as soon as more than the ceiling is found, so an endless source such as /dev/zero
// is refused after `limit` bytes instead of being read until memory runs out. The bytes are read into a
// buffer that is not zero-filled first; or, for a process that is done before the file may change, a
// regular file is mapped read-only instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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

// How the bytes of a regular file are brought into memory.
enum class FileAccess {
    Read, // read into a buffer: what is read does not depend on the file afterwards
    Map,  // mapped privately and read-only: cheaper, but the file must not shrink while the bytes are used
};

struct FileBytes {
    FileBytesStatus status = FileBytesStatus::Read;
    std::string_view bytes;            // the whole file when Read, else empty; valid while `owner` lives
    std::shared_ptr<const void> owner; // the buffer or the mapping that holds `bytes`
    std::string reason;                // the system's reason when Unreadable, else ""
    size_t limit = 0;                  // the ceiling that was passed when TooLarge

    // A short English reason, "" when read.
    std::string description() const;
};

// The whole content of the file at `path` when it holds at most `limit` bytes; TooLarge as soon as
// a byte beyond `limit` is read, Unreadable with the system's reason when it cannot be opened or read.
// With `access` Map a non-empty regular file is mapped; devices, pipes and files that report no size
// are read either way.
FileBytes readFileBytes(const std::string& path, size_t limit = maximumFileSize,
                        FileAccess access = FileAccess::Read);

// The same for the open descriptor `fd` (standard input, say), read from where it stands to its end;
// `fd` stays open.
FileBytes readDescriptorBytes(int fd, size_t limit = maximumFileSize);

} // namespace carryover
