// The two text forms in which the command line prints a tree: tab-separated lines for scripts
// (a stable interface) and an indented tree for people.
#pragma once

#include <string>

#include "model/Item.h"

namespace carryover {

// One line per node, pre-order, root first: "depth name kind value operation enabled", tab-separated.
// Kind and operation are case names; enabled is 1 or 0; values: Bool true/false, Int decimal, Double as
// written in property lists, Data Base64, containers and FileName empty, other kinds their text.
// In name and value, backslash, tab, line feed and carriage return are written \\, \t, \n, \r.
std::string dumpLines(const Item& root);

// An indented tree: name, type, value and operation per line, disabled nodes marked "(off)";
// with `colour`, each line in the terminal colour of its operation.
std::string treeText(const Item& root, bool colour);

} // namespace carryover
