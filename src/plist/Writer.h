// The property-list writer: an Item tree as XML property-list text, one element per line, indented
// by tabs, every line ended by a line feed. Texts are written as held, without escaping: the reader
// keeps character references as written and escapes what it takes from CDATA sections, so what it
// read goes back out unchanged and reads again as the same values.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/Item.h"

namespace carryover {

// The head written in front of the top-level dictionary when the root's text offers none: when it is
// not a <plist> element around a dictionary.
extern const std::string_view defaultHeader;

// The text of `node` with its own lines indented by `depth` tabs. A FileName root gives a whole
// document: the text that stood in front of the file's top-level dictionary after any byte-order mark
// (or the default header), "<dict>", the entries, "</dict>" and "</plist>". Kinds with no
// property-list form (None, Error, End) give "", and as dictionary entries they are left out together
// with their key line; a container holding nothing else is written in its empty form, <dict/> or
// <array/>.
std::string plistRepresentation(const Item& node, int depth);

// Takes the written text block by block: returns "" when it took the block, else why it could not.
using TextSink = std::function<std::string(std::string_view)>;

// About how many bytes writePlist hands to its sink at a time.
constexpr size_t writeBlockSize = size_t(1) << 17;

// Writes plistRepresentation(node, depth) to `sink` in blocks, without holding the whole text; returns
// "" when the sink took it all, else the first reason the sink gave, after which nothing more is written.
std::string writePlist(const Item& node, int depth, const TextSink& sink);

} // namespace carryover
