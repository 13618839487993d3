// Quoting a text for a message, byte by byte over its UTF-8.
#include "plist/Quoted.h"

#include "plist/XmlCharacter.h"

namespace carryover {

namespace {

void appendHex(std::string& out, unsigned char byte) {
    constexpr char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

} // namespace

std::string quoted(std::string_view name) {
    std::string out(1, '"');
    out += escaped(name);
    out += '"';
    return out;
}

std::string escaped(std::string_view name) {
    std::string out;
    size_t at = 0;
    while (at < name.size()) {
        const size_t start = at;
        const char32_t c = nextUtf8(name, at);
        switch (c) {
        case '"':
        case '\\':
            out += '\\';
            out += static_cast<char>(c);
            continue;
        case '\t':
            out += "\\t";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\r':
            out += "\\r";
            continue;
        }
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
        const bool invalid = c > 0x10FFFF;
        if (control || invalid) {
            for (size_t i = start; i < at; ++i)
                appendHex(out, static_cast<unsigned char>(name[i]));
            continue;
        }
        out.append(name.substr(start, at - start));
    }
    return out;
}

} // namespace carryover
