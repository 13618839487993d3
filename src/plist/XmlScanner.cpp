// The pieces of XML markup that XmlScanner reads.
#include "plist/XmlScanner.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "plist/ByteBlocks.h"
#include "plist/XmlCharacter.h"

namespace carryover {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The bytes that may start a name (1), and those that may continue one (2), among ASCII; the bytes of
// characters beyond ASCII (4) are looked up as XML defines them.
constexpr std::array<uint8_t, 256> makeNameBytes() {
    std::array<uint8_t, 256> bytes{};
    for (int c = 0; c < 256; ++c) {
        const bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
        const bool inside = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
        bytes[static_cast<size_t>(c)] =
            static_cast<uint8_t>((start ? 1 : 0) | (inside ? 2 : 0) | (c >= 0x80 ? 4 : 0));
    }
    return bytes;
}
constexpr std::array<uint8_t, 256> nameBytes = makeNameBytes();

constexpr uint8_t nameStart = 1, nameInside = 2, beyondAscii = 4;

// Appends text that will be written between tags as it stands. Where dropping a comment or a
// processing instruction has brought "]]" and ">" together, the ">" is held as "&gt;", since "]]>"
// may not stand in text.
void appendEscapedRun(std::string& out, std::string_view run) {
    if (run.starts_with(">") && out.ends_with("]]")) {
        out += "&gt;";
        run.remove_prefix(1);
    } else if (run.starts_with("]>") && out.ends_with("]")) {
        out += "]&gt;";
        run.remove_prefix(2);
    }
    out += run;
}

// The bytes at which the scan of an element's text stops: markup, references, line ends, and ">",
// which must not close "]]".
constexpr std::array<bool, 256> makeStops() {
    std::array<bool, 256> stops{};
    stops['<'] = stops['&'] = stops['\r'] = stops['>'] = true;
    return stops;
}
constexpr std::array<bool, 256> stops = makeStops();

} // namespace

std::string tagText(std::string_view name) {
    std::string text = "<";
    text += name;
    text += '>';
    return text;
}

bool XmlScanner::fail(ReadStatus why, std::string what, size_t at) {
    status = why;
    detail = std::move(what);
    failedAt = at;
    return false;
}

void XmlScanner::skipByteOrderMark() {
    if (text_.starts_with(byteOrderMark)) at_ = start_ = byteOrderMark.size();
}

size_t XmlScanner::skipSpace(size_t at) const {
    const char* data = text_.data();
    const size_t size = text_.size();
    for (; at + 8 <= size; at += 8) {
        const uint64_t block = loadBlock(data + at);
        const uint64_t blank = equalBytes(block, ' ') | equalBytes(block, '\t') | equalBytes(block, '\n') |
                               equalBytes(block, '\r');
        if (blank != highBits) return at + firstMarked(~blank & highBits);
    }
    while (at < size && isSpace(data[at]))
        ++at;
    return at;
}

inline size_t XmlScanner::nameLength(size_t at, bool token) const {
    // ASCII by table, the common case; a name that holds a character beyond ASCII by XML's classes.
    const size_t size = text_.size();
    const auto kind = [&](size_t i) { return nameBytes[static_cast<unsigned char>(text_[i])]; };
    size_t end = at;
    if (!token) {
        if (end == size) return 0;
        if (!(kind(end) & nameStart)) return kind(end) & beyondAscii ? nonAsciiNameLength(at, token) : 0;
        ++end;
    }
    while (end < size && (kind(end) & nameInside))
        ++end;
    if (end < size && (kind(end) & beyondAscii)) return nonAsciiNameLength(at, token);
    return end - at;
}

size_t XmlScanner::nonAsciiNameLength(size_t at, bool token) const {
    size_t end = at;
    while (end < text_.size()) {
        const auto c = static_cast<unsigned char>(text_[end]);
        const bool first = end == at && !token;
        if (c < 0x80) {
            if (!(nameBytes[c] & (first ? nameStart : nameInside))) break;
            ++end;
            continue;
        }
        size_t next = end;
        const char32_t character = nextUtf8(text_, next);
        if (!(first ? isNameStartCharacter(character) : isNameCharacter(character))) break;
        end = next;
    }
    return end - at;
}

bool XmlScanner::startsName(size_t at) const {
    if (at >= text_.size()) return false;
    const uint8_t kind = nameBytes[static_cast<unsigned char>(text_[at])];
    if (!(kind & beyondAscii)) return kind & nameStart;
    return isNameStartCharacter(nextUtf8(text_, at));
}

XmlScanner::Next XmlScanner::skipMisc() {
    for (;;) {
        at_ = skipSpace(at_);
        if (at_ == text_.size()) return Next::End;
        if (text_[at_] != '<') return Next::Text;
        const char next = at_ + 1 < text_.size() ? text_[at_ + 1] : '\0';
        const uint8_t kind = nameBytes[static_cast<unsigned char>(next)];
        if ((kind & nameStart) || ((kind & beyondAscii) && startsName(at_ + 1))) return Next::StartTag;
        if (next == '/') return Next::EndTag;
        if (startsWith(at_, "<!--")) {
            if (!comment(at_)) return Next::Failed;
        } else if (next == '?') {
            if (!processingInstruction(at_)) return Next::Failed;
        } else if (startsWith(at_, "<!DOCTYPE")) {
            return Next::Doctype;
        } else {
            return startsWith(at_, "<![CDATA[") ? Next::Text : Next::Markup;
        }
    }
}

bool XmlScanner::comment(size_t& at) {
    const size_t end = text_.find("--", at + 4);
    if (end == std::string_view::npos) return fail(ReadStatus::Malformed, "an unclosed comment", at);
    if (end + 2 >= text_.size() || text_[end + 2] != '>')
        return fail(ReadStatus::Malformed, "\"--\" inside a comment", end);
    at = end + 3;
    return true;
}

bool XmlScanner::processingInstruction(size_t& at) {
    const size_t target = nameLength(at + 2);
    if (target == 0) return fail(ReadStatus::Malformed, "a processing instruction without a target", at);
    const std::string_view name = text_.substr(at + 2, target);
    const bool reserved =
        name.size() == 3 && (name[0] | 0x20) == 'x' && (name[1] | 0x20) == 'm' && (name[2] | 0x20) == 'l';
    if (reserved && (at != start_ || name != "xml"))
        return fail(ReadStatus::Malformed, "an XML declaration that does not open the document", at);
    if (reserved) return xmlDeclaration(at);
    const size_t after = at + 2 + target;
    if (!startsWith(after, "?>") && !(after < text_.size() && isSpace(text_[after])))
        return fail(ReadStatus::Malformed, "a processing instruction target not followed by white space", at);
    const size_t end = text_.find("?>", after);
    if (end == std::string_view::npos)
        return fail(ReadStatus::Malformed, "an unclosed processing instruction", at);
    at = end + 2;
    return true;
}

bool XmlScanner::xmlDeclaration(size_t& at) {
    // The pseudo-attributes in the order they may come; the version must.
    static constexpr std::string_view names[] = {"version", "encoding", "standalone"};
    const auto malformed = [&](size_t where) {
        return fail(ReadStatus::Malformed, "a malformed XML declaration", where);
    };
    size_t next = 0; // the first of `names` that may still come
    for (size_t i = at + 5;;) {
        const size_t spaced = skipSpace(i);
        if (startsWith(spaced, "?>")) {
            if (next == 0) return malformed(spaced);
            at = spaced + 2;
            return true;
        }
        const size_t length = nameLength(spaced);
        if (spaced == i || length == 0) return malformed(spaced);
        const std::string_view name = text_.substr(spaced, length);
        while (next < std::size(names) && names[next] != name && next > 0)
            ++next;
        if (next == std::size(names) || names[next] != name) return malformed(spaced);
        i = skipSpace(spaced + length);
        if (i == text_.size() || text_[i] != '=') return malformed(i);
        i = skipSpace(i + 1);
        if (i == text_.size() || (text_[i] != '"' && text_[i] != '\'')) return malformed(i);
        const size_t open = i;
        if (!literal(i)) return false;
        const std::string_view value = text_.substr(open + 1, i - open - 2);
        bool valid;
        if (next == 0) {
            valid = value.size() > 2 && value.starts_with("1.") &&
                    value.find_first_not_of("0123456789", 2) == std::string_view::npos;
        } else if (next == 1) {
            valid = !value.empty() && ((value[0] | 0x20) >= 'a' && (value[0] | 0x20) <= 'z') &&
                    value.find_first_not_of(
                        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-") ==
                        std::string_view::npos;
        } else {
            valid = value == "yes" || value == "no";
        }
        if (!valid) return malformed(open);
        if (next == 1) declaredEncoding = value;
        ++next;
    }
}

bool XmlScanner::cdata(size_t& at, bool resolve, std::string& out) {
    const size_t first = at + 9; // after "<![CDATA["
    const size_t end = text_.find("]]>", first);
    if (end == std::string_view::npos) return fail(ReadStatus::Malformed, "an unclosed CDATA section", at);
    for (size_t i = first; i < end; ++i) {
        const char c = text_[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < end && text_[i + 1] == '\n') ++i;
        } else if (resolve) {
            out += c;
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
    at = end + 3;
    return true;
}

size_t XmlScanner::reference(size_t at, std::string* decoded) {
    const size_t semicolon = text_.find(';', at);
    if (text_.substr(at).starts_with("&#")) {
        const bool hex = at + 2 < text_.size() && text_[at + 2] == 'x';
        const size_t first = at + (hex ? 3 : 2);
        const auto [value, count] = referenceDigits(text_.substr(std::min(first, text_.size())), hex);
        const size_t i = first + count;
        if (i == first || i != semicolon) {
            fail(ReadStatus::Malformed, "a malformed character reference", at);
            return 0;
        }
        if (!isXmlCharacter(value)) {
            fail(ReadStatus::ForbiddenCharacter, std::string(text_.substr(at, i + 1 - at)), at);
            return 0;
        }
        if (decoded) appendUtf8(*decoded, value);
        return i + 1 - at;
    }
    const size_t length = nameLength(at + 1);
    if (length == 0 || at + 1 + length != semicolon) {
        fail(ReadStatus::Malformed, "an \"&\" that starts no reference", at);
        return 0;
    }
    const std::string_view name = text_.substr(at + 1, length);
    char character;
    if (name == "amp")
        character = '&';
    else if (name == "lt")
        character = '<';
    else if (name == "gt")
        character = '>';
    else if (name == "quot")
        character = '"';
    else if (name == "apos")
        character = '\'';
    else {
        const bool declared = std::ranges::find(declaredEntities_, name) != declaredEntities_.end();
        fail(declared ? ReadStatus::DeclaredEntity : ReadStatus::UnknownEntity,
             std::string(text_.substr(at, length + 2)), at);
        return 0;
    }
    if (decoded) *decoded += character;
    return length + 2;
}

bool XmlScanner::literal(size_t& at) {
    const char quote = text_[at];
    const size_t end = text_.find(quote, at + 1);
    if (end == std::string_view::npos) return fail(ReadStatus::Malformed, "an unclosed quoted text", at);
    at = end + 1;
    return true;
}

bool XmlScanner::startTag(Tag& tag) {
    tag.at = at_;
    size_t at = at_ + 1;
    const size_t length = nameLength(at);
    tag.name = text_.substr(at, length);
    at += length;
    if (at < text_.size() && text_[at] == '>') { // the common case: no attributes, no blanks
        tag.empty = false;
        at_ = at + 1;
        return true;
    }
    attributes_.clear();
    for (;;) {
        const size_t spaced = skipSpace(at);
        if (spaced == text_.size()) return fail(ReadStatus::Malformed, "an unclosed start tag", tag.at);
        if (text_[spaced] == '>' || startsWith(spaced, "/>")) {
            std::sort(attributes_.begin(), attributes_.end());
            if (std::adjacent_find(attributes_.begin(), attributes_.end()) != attributes_.end())
                return fail(ReadStatus::Malformed, "an attribute given twice in " + tagText(tag.name),
                            tag.at);
            tag.empty = text_[spaced] == '/';
            at_ = spaced + (tag.empty ? 2 : 1);
            return true;
        }
        // An attribute: white space, a name, "=" and a quoted value without "<", references checked.
        const size_t name = nameLength(spaced);
        if (spaced == at || name == 0)
            return fail(ReadStatus::Malformed, "a malformed start tag " + tagText(tag.name), spaced);
        attributes_.push_back(text_.substr(spaced, name));
        at = skipSpace(spaced + name);
        if (at == text_.size() || text_[at] != '=')
            return fail(ReadStatus::Malformed, "an attribute without a value in " + tagText(tag.name), at);
        at = skipSpace(at + 1);
        if (at == text_.size() || (text_[at] != '"' && text_[at] != '\''))
            return fail(ReadStatus::Malformed, "an attribute value without quotes in " + tagText(tag.name),
                        at);
        const size_t open = at;
        if (!literal(at) || !attributeValue(open, at)) return false;
    }
}

bool XmlScanner::endTag(std::string_view name) {
    const size_t open = at_;
    const size_t length = nameLength(open + 2);
    const std::string_view found = text_.substr(open + 2, length);
    const size_t close = skipSpace(open + 2 + length);
    if (length == 0 || close == text_.size() || text_[close] != '>')
        return fail(ReadStatus::Malformed, "a malformed end tag", open);
    if (found != name)
        return fail(ReadStatus::Malformed,
                    "</" + std::string(found) + "> where </" + std::string(name) + "> belongs", open);
    at_ = close + 1;
    return true;
}

bool XmlScanner::doctype() {
    const size_t open = at_, size = text_.size();
    const auto malformed = [&](size_t where) {
        return fail(ReadStatus::Malformed, "a malformed document type declaration", where);
    };
    // White space and the root element's name.
    size_t at = open + 9; // after "<!DOCTYPE"
    size_t spaced = skipSpace(at);
    const size_t name = spaced > at ? nameLength(spaced) : 0;
    if (name == 0) return malformed(spaced);
    at = spaced + name;
    spaced = skipSpace(at);
    if (spaced > at && (startsWith(spaced, "SYSTEM") || startsWith(spaced, "PUBLIC"))) {
        at = spaced;
        if (!externalId(at, false)) return status == ReadStatus::Ok ? malformed(at) : false;
        spaced = skipSpace(at);
    }
    at = spaced;
    if (at < size && text_[at] == '[') {
        ++at;
        if (!internalSubset(at)) return false;
        at = skipSpace(at);
    }
    if (at == size || text_[at] != '>') return malformed(at);
    at_ = at + 1;
    return true;
}

bool XmlScanner::externalId(size_t& at, bool publicAlone) {
    const bool isPublic = startsWith(at, "PUBLIC");
    if (!isPublic && !startsWith(at, "SYSTEM")) return false;
    size_t i = at + 6;
    for (int k = 0; k < (isPublic ? 2 : 1); ++k) {
        const size_t spaced = skipSpace(i);
        const bool quoted = spaced < text_.size() && (text_[spaced] == '"' || text_[spaced] == '\'');
        if (k == 1 && publicAlone && !quoted) break;
        if (spaced == i || !quoted) return false;
        i = spaced;
        if (!literal(i)) return false;
        const std::string_view id = text_.substr(spaced + 1, i - spaced - 2);
        if (isPublic && k == 0 &&
            id.find_first_not_of(" \r\nabcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-'()+,./"
                                 ":=?;!*#@$_%") != std::string_view::npos)
            return false;
    }
    at = i;
    return true;
}

bool XmlScanner::internalSubset(size_t& at) {
    for (;;) {
        at = skipSpace(at);
        if (at == text_.size()) return fail(ReadStatus::Malformed, "an unclosed internal subset", at);
        if (text_[at] == ']') {
            ++at;
            return true;
        }
        if (startsWith(at, "<!--")) {
            if (!comment(at)) return false;
        } else if (startsWith(at, "<?")) {
            if (!processingInstruction(at)) return false;
        } else if (startsWith(at, "<!")) {
            if (!markupDeclaration(at)) return false;
        } else if (text_[at] == '%') {
            const size_t length = nameLength(at + 1);
            if (length == 0 || at + 1 + length == text_.size() || text_[at + 1 + length] != ';')
                return fail(ReadStatus::Malformed, "a malformed parameter-entity reference", at);
            at += length + 2;
        } else {
            return fail(ReadStatus::Malformed, "a malformed internal subset", at);
        }
    }
}

bool XmlScanner::word(size_t& at, std::string_view expected) const {
    if (!startsWith(at, expected)) return false;
    at += expected.size();
    return true;
}

bool XmlScanner::space(size_t& at) const {
    const size_t spaced = skipSpace(at);
    if (spaced == at) return false;
    at = spaced;
    return true;
}

bool XmlScanner::name(size_t& at, bool token) const {
    const size_t length = nameLength(at, token);
    at += length;
    return length > 0;
}

bool XmlScanner::markupDeclaration(size_t& at) {
    size_t i = at + 2;
    bool wellFormed;
    if (word(i, "ELEMENT"))
        wellFormed = space(i) && name(i) && space(i) && contentModel(i);
    else if (word(i, "ATTLIST"))
        wellFormed = space(i) && name(i) && attributeDefinitions(i);
    else if (word(i, "ENTITY"))
        wellFormed = space(i) && entityDeclaration(i);
    else if (word(i, "NOTATION"))
        wellFormed = space(i) && name(i) && space(i) && externalId(i, true);
    else
        wellFormed = false;
    if (status != ReadStatus::Ok) return false;
    if (wellFormed) i = skipSpace(i);
    if (!wellFormed || i == text_.size() || text_[i] != '>')
        return fail(ReadStatus::Malformed, "a malformed markup declaration", at);
    at = i + 1;
    return true;
}

bool XmlScanner::contentModel(size_t& at) {
    if (word(at, "EMPTY") || word(at, "ANY")) return true;
    if (at == text_.size() || text_[at] != '(') return false;
    size_t i = skipSpace(at + 1);
    if (word(i, "#PCDATA")) { // mixed content: "(#PCDATA)", or "(#PCDATA|a|b)*"
        for (bool names = false;;) {
            i = skipSpace(i);
            if (i < text_.size() && text_[i] == '|') {
                i = skipSpace(i + 1);
                if (!name(i)) return false;
                names = true;
            } else if (i < text_.size() && text_[i] == ')') {
                if (!word(++i, "*") && names) return false;
                at = i;
                return true;
            } else {
                return false;
            }
        }
    }
    // Element content: groups of particles joined by "|" or ",", each with an optional "?", "*" or
    // "+". Open groups stand on a stack, each with the separator it has taken.
    std::vector<char> groups;
    i = at;
    const auto quantifier = [&] {
        if (i < text_.size() && (text_[i] == '?' || text_[i] == '*' || text_[i] == '+')) ++i;
    };
    for (;;) {
        i = skipSpace(i);
        if (i < text_.size() && text_[i] == '(') {
            groups.push_back(0);
            ++i;
            continue;
        }
        if (!name(i)) return false;
        quantifier();
        for (;;) {
            i = skipSpace(i);
            if (i == text_.size()) return false;
            const char c = text_[i++];
            if (c == ')') {
                groups.pop_back();
                quantifier();
                if (groups.empty()) {
                    at = i;
                    return true;
                }
            } else if ((c == '|' || c == ',') && (groups.back() == 0 || groups.back() == c)) {
                groups.back() = c;
                break;
            } else {
                return false;
            }
        }
    }
}

bool XmlScanner::attributeDefinitions(size_t& at) {
    for (;;) {
        const size_t spaced = skipSpace(at);
        if (spaced < text_.size() && text_[spaced] == '>') return true;
        if (!space(at) || !name(at) || !space(at)) return false;
        if (word(at, "NOTATION")) {
            if (!space(at) || !enumeration(at, false)) return false;
        } else if (at < text_.size() && text_[at] == '(') {
            if (!enumeration(at, true)) return false;
        } else if (!word(at, "CDATA") && !word(at, "IDREFS") && !word(at, "IDREF") && !word(at, "ID") &&
                   !word(at, "ENTITIES") && !word(at, "ENTITY") && !word(at, "NMTOKENS") &&
                   !word(at, "NMTOKEN")) {
            return false;
        }
        if (!space(at)) return false;
        if (word(at, "#REQUIRED") || word(at, "#IMPLIED")) continue;
        if (word(at, "#FIXED") && !space(at)) return false;
        if (at == text_.size() || (text_[at] != '"' && text_[at] != '\'')) return false;
        const size_t open = at;
        if (!literal(at) || !attributeValue(open, at)) return false;
    }
}

bool XmlScanner::enumeration(size_t& at, bool tokens) {
    if (at == text_.size() || text_[at] != '(') return false;
    for (++at;;) {
        at = skipSpace(at);
        if (!name(at, tokens)) return false;
        at = skipSpace(at);
        if (at == text_.size()) return false;
        const char c = text_[at++];
        if (c == ')') return true;
        if (c != '|') return false;
    }
}

bool XmlScanner::entityDeclaration(size_t& at) {
    const bool parameter = word(at, "%");
    if (parameter && !space(at)) return false;
    const size_t first = at;
    if (!name(at)) return false;
    const std::string_view declared = text_.substr(first, at - first);
    if (!space(at)) return false;
    if (at < text_.size() && (text_[at] == '"' || text_[at] == '\'')) {
        // The replacement text: references well-formed, and no parameter-entity reference, which the
        // internal subset allows only between declarations.
        const size_t open = at;
        if (!literal(at)) return false;
        for (size_t i = open + 1; i + 1 < at; ++i) {
            if (text_[i] == '%') return false;
            if (text_[i] != '&') continue;
            if (startsWith(i + 1, "#")) {
                if (reference(i, nullptr) == 0) return false;
            } else {
                const size_t length = nameLength(i + 1);
                if (length == 0 || text_[i + 1 + length] != ';') return false;
            }
        }
    } else {
        if (!externalId(at, false)) return false;
        size_t i = at;
        if (!parameter && space(i) && word(i, "NDATA")) {
            if (!space(i) || !name(i)) return false;
            at = i;
        }
    }
    if (!parameter) declaredEntities_.push_back(declared);
    return true;
}

bool XmlScanner::attributeValue(size_t open, size_t end) {
    for (size_t i = open + 1; i + 1 < end; ++i) {
        if (text_[i] == '<') return fail(ReadStatus::Malformed, "a \"<\" in an attribute value", i);
        if (text_[i] == '&' && reference(i, nullptr) == 0) return false;
    }
    return true;
}

bool XmlScanner::text(std::string_view name, bool resolve, std::string_view& out) {
    const size_t first = at_, size = text_.size();
    bool gathered = false; // whether the text is in buffer_ rather than standing at [first, at)
    textHasReference = false;
    size_t run = at_;
    for (;;) {
        // Passes over characters that stand for themselves; references stay in the run when kept as
        // written, and ">" is checked where it stands.
        size_t at = run;
        for (;;) {
            for (; at + 8 <= size; at += 8) {
                const uint64_t block = loadBlock(text_.data() + at);
                const uint64_t stop = equalBytes(block, '<') | equalBytes(block, '&') |
                                      equalBytes(block, '\r') | equalBytes(block, '>');
                if (stop != 0) {
                    at += firstMarked(stop);
                    break;
                }
            }
            while (at < size && !stops[static_cast<unsigned char>(text_[at])])
                ++at;
            if (at == size) return fail(ReadStatus::Malformed, "an unclosed " + tagText(name), first);
            if (text_[at] == '>') {
                if (at >= first + 2 && text_[at - 1] == ']' && text_[at - 2] == ']')
                    return fail(ReadStatus::Malformed, "\"]]>\" in text", at - 2);
                ++at;
            } else if (text_[at] == '&' && !resolve) {
                const size_t length = reference(at, nullptr);
                if (length == 0) return false;
                at += length;
                textHasReference = true;
            } else {
                break;
            }
        }
        const std::string_view plain = text_.substr(run, at - run);
        if (!gathered && startsWith(at, "</")) { // the common case: the text stands in one piece
            at_ = at;
            if (!endTag(name)) return false;
            out = plain;
            return true;
        }
        if (!gathered) buffer_.clear();
        gathered = true;
        if (resolve)
            buffer_ += plain;
        else
            appendEscapedRun(buffer_, plain);
        if (text_[at] == '&') {
            const size_t length = reference(at, &buffer_);
            if (length == 0) return false;
            at += length;
        } else if (text_[at] == '\r') {
            buffer_ += '\n';
            at += at + 1 < size && text_[at + 1] == '\n' ? 2 : 1;
        } else if (startsWith(at, "</")) {
            at_ = at;
            if (!endTag(name)) return false;
            out = buffer_;
            // Escaping a CDATA section or a "]]>" made references of characters.
            if (!resolve) textHasReference = textHasReference || buffer_.find('&') != std::string::npos;
            return true;
        } else if (startsWith(at, "<!--")) {
            if (!comment(at)) return false;
        } else if (startsWith(at, "<?")) {
            if (!processingInstruction(at)) return false;
        } else if (startsWith(at, "<![CDATA[")) {
            if (!cdata(at, resolve, buffer_)) return false;
        } else {
            const size_t length = nameLength(at + 1);
            if (length == 0) return fail(ReadStatus::Malformed, "a \"<\" in text", at);
            return fail(ReadStatus::Malformed,
                        "an element " + tagText(text_.substr(at + 1, length)) + " inside " + tagText(name),
                        at);
        }
        run = at;
    }
}

} // namespace carryover
