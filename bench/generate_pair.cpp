// Writes a generated configuration and sample of about the given size, for measuring the command line.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "GeneratedPlist.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: carryover_generate_pair KILOBYTES CONFIG SAMPLE\n");
        return 2;
    }
    const auto pair = carryover::generator::generatePlistPair(7, std::strtoull(argv[1], nullptr, 10) << 10);
    std::ofstream(argv[2], std::ios::binary) << pair.config;
    std::ofstream(argv[3], std::ios::binary) << pair.sample;
    return 0;
}
