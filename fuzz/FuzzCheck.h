// The fuzz targets' assertion: a property that does not hold is reported with the text that shows it,
// and the run stops so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace carryover::fuzz {

inline void check(bool holds, const char* what, const std::string& detail = {}) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n%s\n", what, detail.c_str());
    std::abort();
}

} // namespace carryover::fuzz
