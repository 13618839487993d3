// Atomic file replacement through a temporary file and rename(2), and saving a tree through it.
#include "plist/Saving.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "plist/Writer.h"

namespace carryover {

std::string writeFileAtomically(const std::string& path, std::string_view text) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    std::string temporary = folder + "/.carryover-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return std::strerror(errno);

    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return std::string(std::strerror(error));
    };
    // Keep the permissions of a file that is replaced; a new file gets the usual ones.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        ::fchmod(fd, existing.st_mode & 07777);
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return fail(errno);
        written += static_cast<size_t>(put);
    }
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return std::strerror(error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return std::strerror(error);
    }
    return {};
}

std::string SaveResult::description() const {
    switch (status) {
    case SaveStatus::Saved:
        return "";
    case SaveStatus::NotADocument:
        return "the result is not a property-list document, so nothing was written";
    case SaveStatus::WriteFailed:
        return "cannot write the file: " + reason;
    }
    return "";
}

SaveResult savePlist(const Item& root, const std::string& path) {
    if (root.type() != ItemDataType::FileName) return {SaveStatus::NotADocument, {}};
    std::string reason = writeFileAtomically(path, plistRepresentation(root, 0));
    if (!reason.empty()) return {SaveStatus::WriteFailed, std::move(reason)};
    return {};
}

} // namespace carryover
