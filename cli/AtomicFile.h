// Writing a file so that readers see either the old content or the whole new one.
#pragma once

#include <string>
#include <string_view>

namespace carryover {

// Writes `text` to a temporary file in the folder of `path`, then renames it over `path`.
// Returns "" on success; otherwise the reason, and `path` is left as it was.
std::string writeFileAtomically(const std::string& path, std::string_view text);

} // namespace carryover
