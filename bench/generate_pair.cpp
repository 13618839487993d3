// Writes a generated configuration and sample of about the given size, for measuring the command line;
// with --binary, as binary property lists (converted by libplist).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <plist/plist.h>

#include "GeneratedPlist.h"

namespace {

// `text` as a binary property list.
std::string binary(const std::string& text) {
    plist_t plist = nullptr;
    plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &plist);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(plist, &bytes, &length);
    std::string result(bytes, length);
    plist_to_bin_free(bytes);
    plist_free(plist);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    const bool asBinary = argc == 5 && std::strcmp(argv[1], "--binary") == 0;
    if (argc != 4 && !asBinary) {
        std::fprintf(stderr, "usage: carryover_generate_pair [--binary] KILOBYTES CONFIG SAMPLE\n");
        return 2;
    }
    char** args = argv + (asBinary ? 2 : 1);
    const auto pair = carryover::generator::generatePlistPair(7, std::strtoull(args[0], nullptr, 10) << 10);
    std::ofstream(args[1], std::ios::binary) << (asBinary ? binary(pair.config) : pair.config);
    std::ofstream(args[2], std::ios::binary) << (asBinary ? binary(pair.sample) : pair.sample);
    return 0;
}
