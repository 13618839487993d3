// Bounded reading of whole files: regular files, devices and pipes, at and beyond the ceiling.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "TemporaryFile.h"
#include "plist/FileBytes.h"

using namespace carryover;
using carryover::test::TemporaryFile;

namespace {

std::string pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

} // namespace

TEST(FileBytes, readsRegularFilesWhole) {
    for (size_t size : {size_t(0), size_t(1), size_t(65535), size_t(65536), size_t(65537), size_t(300'000)}) {
        TemporaryFile file;
        const std::string bytes = pattern(size);
        std::ofstream(file.path, std::ios::binary) << bytes;
        FileBytes read = readFileBytes(file.path);
        EXPECT_EQ(read.status, FileBytesStatus::Read) << size;
        EXPECT_EQ(read.bytes, bytes) << size;
        EXPECT_EQ(read.description(), "");
    }
}

TEST(FileBytes, theCeilingIsInclusive) {
    TemporaryFile file;
    std::ofstream(file.path, std::ios::binary) << pattern(1000);
    EXPECT_EQ(readFileBytes(file.path, 1000).status, FileBytesStatus::Read);
    FileBytes over = readFileBytes(file.path, 999);
    EXPECT_EQ(over.status, FileBytesStatus::TooLarge);
    EXPECT_EQ(over.bytes, "");
    EXPECT_EQ(over.description(), "the file is larger than 999 bytes");
}

TEST(FileBytes, endlessDevicesStopAtTheCeiling) {
    FileBytes zero = readFileBytes("/dev/zero", 1 << 20);
    EXPECT_EQ(zero.status, FileBytesStatus::TooLarge);
    EXPECT_EQ(zero.description(), "the file is larger than 1048576 bytes");
    FileBytes empty = readFileBytes("/dev/null");
    EXPECT_EQ(empty.status, FileBytesStatus::Read);
    EXPECT_EQ(empty.bytes, "");
}

TEST(FileBytes, pipesAreReadToTheirEnd) {
    for (size_t size : {size_t(0), size_t(100), size_t(1'000'000)}) {
        TemporaryFile file;
        std::remove(file.path.c_str());
        ASSERT_EQ(::mkfifo(file.path.c_str(), 0600), 0);
        const std::string bytes = pattern(size);
        std::thread writer([&] { std::ofstream(file.path, std::ios::binary) << bytes; });
        FileBytes read = readFileBytes(file.path);
        writer.join();
        EXPECT_EQ(read.status, FileBytesStatus::Read);
        EXPECT_EQ(read.bytes, bytes);
    }
    TemporaryFile file;
    std::remove(file.path.c_str());
    ASSERT_EQ(::mkfifo(file.path.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(file.path, std::ios::binary) << pattern(5000); });
    EXPECT_EQ(readFileBytes(file.path, 4999).status, FileBytesStatus::TooLarge);
    writer.join();
}

TEST(FileBytes, unreadableFilesGiveTheSystemsReason) {
    FileBytes missing = readFileBytes("/nonexistent/file.plist");
    EXPECT_EQ(missing.status, FileBytesStatus::Unreadable);
    EXPECT_EQ(missing.description(), "cannot read the file: No such file or directory");
    FileBytes folder = readFileBytes("/tmp");
    EXPECT_EQ(folder.status, FileBytesStatus::Unreadable);
    EXPECT_EQ(folder.description(), "cannot read the file: Is a directory");
}
