// A file under /tmp that lives as long as the object: made with given bytes, or left empty to be
// written by the test, and removed at the end.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace carryover::test {

class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& bytes = {}) {
        char name[] = "/tmp/carryover-test-XXXXXX";
        const int fd = ::mkstemp(name);
        ::close(fd);
        path = name;
        std::ofstream(path, std::ios::binary) << bytes;
    }
    ~TemporaryFile() { std::remove(path.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    std::string path;
};

} // namespace carryover::test
