// Property-list text generated from a seed, for tests and benchmarks: nested dictionaries, arrays of
// dictionaries identified by "Path", "BundlePath" or "Comment", arrays of strings (some commented out
// with "#"), "Enabled" switches and every value kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace carryover::generator {

struct GeneratedPair {
    std::string config;
    std::string sample;
};

// A document of about `bytes` bytes.
std::string generatePlist(uint64_t seed, size_t bytes);

// A sample and a configuration of about `bytes` bytes each with the same layout, the configuration
// differing here and there: changed values, entries missing on one side, extra entries, moved
// array elements.
GeneratedPair generatePlistPair(uint64_t seed, size_t bytes);

} // namespace carryover::generator
