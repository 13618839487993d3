// Helpers for tests that read property-list text: a document around some entries, and reading it.
#pragma once

#include <string>
#include <string_view>

#include "plist/Loading.h"
#include "plist/Reader.h"

namespace carryover::test {

inline const std::string prologue = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                    "<plist version=\"1.0\">\n";

// A whole document whose top-level dictionary holds `entries`.
inline std::string document(std::string_view entries) {
    return prologue + "<dict>\n" + std::string(entries) + "\n</dict>\n</plist>\n";
}

// The root read from `text` as the file "test.plist", containers numbered by `counter`.
inline ItemPtr read(std::string text, ContainerCounter& counter) {
    return readPlistText("test.plist", std::move(text), counter).root;
}
// The root read from `text` with a counter of its own.
inline ItemPtr read(std::string text) {
    ContainerCounter counter;
    return read(std::move(text), counter);
}

// The loading step's result for `bytes` as the content of the file "test.plist".
inline LoadResult load(std::string bytes) {
    ContainerCounter counter;
    return loadPlistBytes("test.plist", std::move(bytes), counter);
}

} // namespace carryover::test
