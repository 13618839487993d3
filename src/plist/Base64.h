// Standard Base64 (RFC 4648 alphabet, "=" padding) for the <data> elements of property lists.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/ItemData.h"

namespace carryover {

// The bytes `text` spells; XML white space (space, tab, line feed, carriage return) between the
// characters is passed over, as property-list writers wrap long data over several lines. Nothing when
// any other character stands outside the alphabet or the padding is wrong.
std::optional<Bytes> decodeBase64(std::string_view text);

// `bytes` in Base64 with padding and no line breaks; "" for no bytes.
std::string encodeBase64(ByteView bytes);

} // namespace carryover
