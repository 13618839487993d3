// Standard Base64 (RFC 4648 alphabet, "=" padding) for the <data> elements of property lists.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/ItemData.h"

namespace carryover {

// The bytes `text` spells; XML white space (space, tab, line feed, carriage return) between the
// characters is passed over, as property-list writers wrap long data over several lines, and the
// padding of the last group may be left out ("AQ" is one byte). Nothing when any other character stands
// outside the alphabet, padding stands in the middle or is incomplete, or a group has one character.
std::optional<Bytes> decodeBase64(std::string_view text);

// `bytes` in Base64 with padding and no line breaks; "" for no bytes.
std::string encodeBase64(ByteView bytes);

} // namespace carryover
