// Quoted texts: a file name, a key or a path as it appears in a one-line message, so that no character
// of it can end the line or drive the terminal.
#pragma once

#include <string>
#include <string_view>

namespace carryover {

// `name` between double quotes; a double quote or backslash in it gets a backslash in front, tab, line
// feed and carriage return are written \t, \n, \r, and each byte of another control character (C0,
// DEL, C1) or of bytes that are not UTF-8 is written \xHH. "" gives "\"\"".
std::string quoted(std::string_view name);

// The same without the double quotes around it.
std::string escaped(std::string_view text);

} // namespace carryover
