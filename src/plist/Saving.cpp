// Writing a file: in place for devices and pipes, otherwise through a temporary file renamed over the
// end of the target's chain of symbolic links; and saving a tree that way.
#include "plist/Saving.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <random>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "plist/Writer.h"

namespace carryover {

namespace {

// As many links as the system follows in one path before it gives up.
constexpr int maximumLinks = 40;

std::string reasonFor(int error) {
    return std::strerror(error);
}

// The folder of `path`: "." when it names none, "/" for a file at the top.
std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash == 0 ? 1 : slash);
}

// The file a write to `path` reaches once its symbolic links are followed, and what it is.
struct Target {
    std::string path;    // the end of the chain of links
    bool exists = false; // whether `path` names a file; else it is to be created
    struct stat info {}; // of the existing file
    int error = 0;       // errno when the chain cannot be followed
};

// The content of the symbolic link `path`, whose lstat size is `size`; "" with errno set on failure.
std::string linkContent(const std::string& path, size_t size) {
    std::string content(size + 1, '\0');
    while (true) {
        const ssize_t got = ::readlink(path.c_str(), content.data(), content.size());
        if (got < 0) return {};
        if (static_cast<size_t>(got) < content.size()) {
            content.resize(static_cast<size_t>(got));
            return content;
        }
        content.resize(content.size() * 2); // the link grew, or the system reports no size
    }
}

// Follows the symbolic links from `path`; a link that leads nowhere gives the file it names.
Target follow(const std::string& path) {
    Target target{path};
    for (int links = 0;; ++links) {
        if (::lstat(target.path.c_str(), &target.info) != 0) {
            if (errno != ENOENT) target.error = errno;
            return target;
        }
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return target;
        }
        if (links == maximumLinks) {
            target.error = ELOOP;
            return target;
        }
        const std::string content = linkContent(target.path, static_cast<size_t>(target.info.st_size));
        if (content.empty()) {
            target.error = errno;
            return target;
        }
        target.path = content[0] == '/' ? content : folderOf(target.path) + "/" + content;
    }
}

// A new file in `folder` named ".carryover-" and six random letters, open for writing with `mode`
// (less the umask); -1 with errno set when none can be made.
int createTemporary(const std::string& folder, mode_t mode, std::string& name) {
    static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // The name need only be unlikely to be taken (O_EXCL settles the rest), so the clock and the process
    // number seed it well enough.
    thread_local std::mt19937 random(
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                              (static_cast<long long>(::getpid()) << 20)));
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/.carryover-";
        for (int i = 0; i < 6; ++i)
            name += letters[random() % (sizeof letters - 1)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes what a file is to hold to the open descriptor it is given; returns "" or the system's reason.
using Content = std::function<std::string(int fd)>;

// Writes `content` to the device or pipe open as `fd` and closes it.
std::string writeInPlace(int fd, const Content& content) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::string reason = content(fd);
    if (::close(fd) != 0 && reason.empty() && errno != EINTR) reason = reasonFor(errno);
    return reason;
}

// Writes `content` to a temporary file in the folder of `target` and renames it over `target`.
std::string replace(const Target& target, const Content& content) {
    if (target.exists && S_ISDIR(target.info.st_mode)) return reasonFor(EISDIR);
    std::string temporary;
    // A replaced file's content is never readable by more people than the file's own mode allows.
    const int fd = createTemporary(folderOf(target.path), target.exists ? 0600 : 0666, temporary);
    if (fd < 0) return reasonFor(errno);

    const auto fail = [&](std::string reason) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return reason;
    };
    if (target.exists) {
        // The owner goes before the mode, as changing it clears set-user-ID bits. Only root, or an owner
        // giving the file to a group of their own, may change it, so a refusal is no failure.
        [[maybe_unused]] const int owned = ::fchown(fd, target.info.st_uid, target.info.st_gid);
        if (::fchmod(fd, target.info.st_mode & 07777) != 0) return fail(reasonFor(errno));
    }
    std::string reason = content(fd);
    if (!reason.empty()) return fail(reason);
    if (::fsync(fd) != 0) return fail(reasonFor(errno));
    if (::close(fd) != 0) {
        reason = reasonFor(errno);
        ::unlink(temporary.c_str());
        return reason;
    }
    if (::rename(temporary.c_str(), target.path.c_str()) != 0) {
        reason = reasonFor(errno);
        ::unlink(temporary.c_str());
        return reason;
    }
    return {};
}

// Writes `content` to `path` as writeFileAtomically does.
std::string writeFile(const std::string& path, const Content& content) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        // Opened without creating or truncating, as nothing else should happen to a device or pipe; without
        // waiting, so that a pipe nobody reads from is a failure rather than a hang.
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0 && errno == ENXIO && S_ISFIFO(info.st_mode)) return "nothing reads from the named pipe";
        if (fd < 0) return reasonFor(errno);
        if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) return writeInPlace(fd, content);
        ::close(fd); // a regular file took its place meanwhile: it is replaced as one
    }
    const Target target = follow(path);
    if (target.error != 0) return reasonFor(target.error);
    return replace(target, content);
}

} // namespace

std::string writeAll(int fd, std::string_view text) {
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
        if (put >= 0) {
            written += static_cast<size_t>(put);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return reasonFor(errno);
        pollfd ready{fd, POLLOUT, 0};
        if (::poll(&ready, 1, -1) < 0 && errno != EINTR) return reasonFor(errno);
    }
    return {};
}

std::string writeFileAtomically(const std::string& path, std::string_view text) {
    return writeFile(path, [text](int fd) { return writeAll(fd, text); });
}

std::string writeDocument(int fd, const Item& root) {
    return writePlist(root, 0, [fd](std::string_view block) { return writeAll(fd, block); });
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
    std::string reason = writeFile(path, [&root](int fd) { return writeDocument(fd, root); });
    if (!reason.empty()) return {SaveStatus::WriteFailed, std::move(reason)};
    return {};
}

} // namespace carryover
