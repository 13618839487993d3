// The text forms in which the command line prints a tree: tab-separated lines for scripts (a stable
// interface), key-path lines and JSON for scripts and line-based diffs, and indented trees for people.
#pragma once

#include <string>

#include "model/Item.h"

namespace carryover {

// One line per node, pre-order, root first: "depth name kind value operation enabled", tab-separated.
// Kind and operation are case names; enabled is 1 or 0; values: Bool true/false, Int decimal, Double as
// written in property lists, Data Base64, containers and FileName empty, other kinds their text.
// In name and value, backslash, tab, line feed and carriage return are written \\, \t, \n, \r.
std::string dumpLines(const Item& root);

// One line per entry below the root that holds nothing further (a leaf or an empty container), in
// tree order: "keypath kind value", tab-separated, in dump's forms and escapes; with `marks`, also
// operation and enabled.
std::string pathLines(const Item& root, bool marks);

// The same entries as a JSON array, one object per line:
// {"path", "kind", "value", "operation", "enabled"}. Values are typed: Bool true/false, Int and Double
// numbers (infinities and NaN as the texts "+infinity", "-infinity", "nan"), Data Base64 text, Date
// and String text, an empty Dictionary {} and an empty Array [].
std::string jsonText(const Item& root);

// An indented tree: name, type, value and operation per line, disabled nodes marked "(off)";
// with `colour`, each line in the terminal colour of its operation.
std::string treeText(const Item& root, bool colour);

// The entries of the tree below `root`, each at depth 0 and without the root's own line, as
// treeText prints them.
std::string entriesText(const Item& root, bool colour);

// The decisions of a differences tree (the nodes that carry an enable switch), each with its subtree
// as treeText prints it, under a heading that names its container by key path; dictionaries in arrays
// are named with their identifying entry ("Kernel/Add/Item 3 (BundlePath Lilu.kext)"). A Kill
// decision is printed without its subtree. Decisions directly below the root have no heading. With
// `colour`, headings are bold.
std::string changesText(const Item& root, bool colour);

// The number of nodes per operation, "Kept 12 · Killed 1 · ...", and a line feed; with `colour`,
// each count in the colour of its operation.
std::string countsText(const Item& root, bool colour);

} // namespace carryover
