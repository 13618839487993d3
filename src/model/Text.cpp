// NFC comparison of UTF-8 texts through utf8proc, with a byte-wise path for ASCII.
#include "model/Text.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <utf8proc.h>

namespace carryover {

namespace {

// Whether `text` holds a code point from U+0300 on. Below it, every code point is its own canonical
// composition and none combines with the one before, so such text is already in NFC.
bool mayNeedNormalising(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0xCC) return true;
    return false;
}

// The NFC form of `text`; text that is already in NFC, or not valid UTF-8, is taken as it stands.
std::string normalised(std::string_view text) {
    if (!mayNeedNormalising(text)) return std::string(text);
    utf8proc_uint8_t* out = nullptr;
    auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                               static_cast<utf8proc_ssize_t>(text.size()), &out,
                               static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    if (length < 0) return std::string(text);
    std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owner(out, &std::free);
    return std::string(reinterpret_cast<const char*>(out), static_cast<size_t>(length));
}

} // namespace

// UTF-8 byte order is scalar order, so comparing normalised bytes compares scalars.
bool textLess(std::string_view left, std::string_view right) {
    if (!mayNeedNormalising(left) && !mayNeedNormalising(right)) return left < right;
    return normalised(left) < normalised(right);
}

bool isCanonicalAsWritten(std::string_view text) {
    return !mayNeedNormalising(text);
}

std::string canonicalText(std::string_view text) {
    return normalised(text);
}

bool textEqual(std::string_view left, std::string_view right) {
    if (left == right) return true;
    if (!mayNeedNormalising(left) && !mayNeedNormalising(right)) return false;
    return normalised(left) == normalised(right);
}

} // namespace carryover
