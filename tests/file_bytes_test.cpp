// Bounded reading of whole files: regular files, devices and pipes, at and beyond the ceiling.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "plist/FileBytes.h"

using namespace carryover;

namespace {

// A name for a file under /tmp, free while the object lives.
struct TemporaryFile {
    TemporaryFile() { ::close(::mkstemp(path.data())); }
    ~TemporaryFile() { std::remove(path.c_str()); }
    std::string path = "/tmp/carryover-test-XXXXXX";
};

std::string pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

// What reading `path` with the ceiling `limit` gives: the bytes, or the reason they were not read.
std::string outcome(const std::string& path, size_t limit) {
    FileBytes read = readFileBytes(path, limit);
    if (read.status != FileBytesStatus::Read) return read.bytes.empty() ? read.description() : "bytes kept";
    return read.description().empty() ? std::string(read.bytes) : "a reason given";
}

} // namespace

TEST(FileBytes, regularFilesAndPipesAreReadWholeUpToTheCeiling) {
    for (size_t size :
         {size_t(0), size_t(1), size_t(65535), size_t(65536), size_t(65537), size_t(1'000'000)}) {
        for (bool pipe : {false, true}) {
            for (size_t limit : {size, size - 1}) {
                // A writer whose pipe is closed before the end would be ended by SIGPIPE.
                if (limit != size && (size == 0 || (pipe && size > 65536))) continue;
                TemporaryFile file;
                std::remove(file.path.c_str());
                if (pipe) {
                    ASSERT_EQ(::mkfifo(file.path.c_str(), 0600), 0);
                }
                const std::string bytes = pattern(size);
                std::thread writer([&] { std::ofstream(file.path, std::ios::binary) << bytes; });
                if (!pipe) writer.join();
                EXPECT_EQ(outcome(file.path, limit),
                          limit == size ? bytes
                                        : "the file is larger than " + std::to_string(limit) + " bytes")
                    << size << (pipe ? " pipe" : "");
                if (pipe) writer.join();
            }
        }
    }
}

TEST(FileBytes, devicesAndUnreadableFiles) {
    EXPECT_EQ(outcome("/dev/zero", 1 << 20), "the file is larger than 1048576 bytes");
    EXPECT_EQ(outcome("/dev/null", 1 << 20), "");
    EXPECT_EQ(outcome("/nonexistent/file.plist", 1 << 20), "cannot read the file: No such file or directory");
    EXPECT_EQ(outcome("/tmp", 1 << 20), "cannot read the file: Is a directory");
}
