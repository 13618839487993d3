// Reading property-list text: the document's structure over an XmlScanner, with an explicit stack of
// the containers that are open.
#include "plist/Reader.h"

#include <charconv>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "model/Text.h"
#include "plist/Base64.h"
#include "plist/ByteBlocks.h"
#include "plist/NumberText.h"
#include "plist/Quoted.h"
#include "plist/XmlScanner.h"

namespace carryover {

namespace {

// The elements of property lists.
enum class Element { Plist, Dict, Array, Key, String, Date, Data, Integer, Real, True, False, Unknown };

Element elementOf(std::string_view name) {
    switch (name.size()) {
    case 3:
        if (name == "key") return Element::Key;
        break;
    case 4:
        if (name == "dict") return Element::Dict;
        if (name == "real") return Element::Real;
        if (name == "data") return Element::Data;
        if (name == "date") return Element::Date;
        if (name == "true") return Element::True;
        break;
    case 5:
        if (name == "array") return Element::Array;
        if (name == "false") return Element::False;
        if (name == "float") return Element::Real; // files written with it keep loading
        if (name == "plist") return Element::Plist;
        break;
    case 6:
        if (name == "string") return Element::String;
        break;
    case 7:
        if (name == "integer") return Element::Integer;
        break;
    }
    return Element::Unknown;
}

// Where a document's head ends: the <plist> start tag, if any, and then the start tag of the top-level
// value, read into `top`.
struct Head {
    XmlScanner::Tag top;
    bool plist = false;
};

// Reads the head of a document: byte-order mark, XML declaration, comments, processing instructions
// and the document type, then the root's start tag and, inside <plist>, the top-level value's start
// tag. False when it cannot be read, or when <plist> holds no value.
bool readHead(XmlScanner& scanner, Head& head) {
    scanner.skipByteOrderMark();
    bool doctype = false;
    for (;;) {
        switch (scanner.skipMisc()) {
        case XmlScanner::Next::Failed:
            return false;
        case XmlScanner::Next::End:
            return scanner.failHere(ReadStatus::Malformed, "a document without an element");
        case XmlScanner::Next::Text:
            return scanner.failHere(ReadStatus::TextOutsideElements, "");
        case XmlScanner::Next::EndTag:
            if (head.plist) return scanner.failHere(ReadStatus::NotDictionary, "");
            return scanner.failHere(ReadStatus::Malformed, "markup in front of the root element");
        case XmlScanner::Next::Markup:
            return scanner.failHere(ReadStatus::Malformed, "markup in front of the root element");
        case XmlScanner::Next::Doctype:
            if (doctype || head.plist)
                return scanner.failHere(ReadStatus::Malformed, "a misplaced document type declaration");
            if (!scanner.doctype()) return false;
            doctype = true;
            continue;
        case XmlScanner::Next::StartTag:
            break;
        }
        if (!scanner.startTag(head.top)) return false;
        if (head.plist || elementOf(head.top.name) != Element::Plist) return true;
        if (head.top.empty) return scanner.fail(ReadStatus::NotDictionary, "", head.top.at);
        head.plist = true;
    }
}

// Refuses what stands next inside the element `open` when it is not a tag: the end of the text leaves
// `open` unclosed, text stands outside elements, other markup is out of place. Always false; on
// Failed the scanner has said why already.
bool refuseBetweenElements(XmlScanner& scanner, XmlScanner::Next next, std::string_view open) {
    switch (next) {
    case XmlScanner::Next::Failed:
        return false;
    case XmlScanner::Next::End:
        return scanner.failHere(ReadStatus::Malformed, "an unclosed " + tagText(open));
    case XmlScanner::Next::Text:
        return scanner.failHere(ReadStatus::TextOutsideElements, "");
    case XmlScanner::Next::StartTag:
    case XmlScanner::Next::EndTag:
    case XmlScanner::Next::Markup:
    case XmlScanner::Next::Doctype:
        return scanner.failHere(ReadStatus::Malformed, "misplaced markup");
    }
    return false;
}

// Whether `text` is `lower` with its ASCII letters in either case.
bool equalIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != lower[i] && !(text[i] >= 'A' && text[i] <= 'Z' && text[i] - 'A' + 'a' == lower[i]))
            return false;
    return true;
}

// Where `at` stands in `text`: its line and its column in characters, both counted from 1.
void place(std::string_view text, size_t at, size_t& line, size_t& column) {
    line = 1;
    size_t lineStart = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    for (size_t i = 0; i < at; ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++line;
            lineStart = i + 1;
        }
    column = 1;
    for (size_t i = lineStart; i < at; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++column;
}

// The high bit of each byte of an ASCII `block` below 0x20 other than tab, line feed and carriage
// return: adding 0x60 to a byte's bits 0x60 sets its high bit unless both are clear.
uint64_t controlBytes(uint64_t block) {
    constexpr uint64_t sixties = 0x6060606060606060ull;
    const uint64_t below20 = ~((block & sixties) + sixties) & highBits;
    const uint64_t allowed = equalBytes(block, '\t') | equalBytes(block, '\n') | equalBytes(block, '\r');
    return below20 & ~allowed;
}

// The position of the first byte of `bytes` that is not valid UTF-8 or that starts a character XML
// 1.0 does not allow, with the kind of fault in `status`; npos when there is none. `combining` is set
// when a character from U+0300 on was seen, which text may need normalising for.
size_t characterFault(std::string_view bytes, ReadStatus& status, bool& combining) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        // Runs of ASCII, sixteen or eight bytes at a time, passing tabs and line ends among the printable.
#ifdef __SSE2__
        while (i + 16 <= n) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            // Signed, so that bytes from 0x80 on count as below 0x20 too and stop the run.
            const __m128i low = _mm_cmplt_epi8(block, _mm_set1_epi8(0x20));
            const __m128i blank = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8('\t')),
                                                            _mm_cmpeq_epi8(block, _mm_set1_epi8('\n'))),
                                               _mm_cmpeq_epi8(block, _mm_set1_epi8('\r')));
            if (_mm_movemask_epi8(_mm_andnot_si128(blank, low)) != 0) break;
            i += 16;
        }
#endif
        while (i + 8 <= n) {
            const uint64_t block = loadBlock(s + i);
            if (block & highBits) break;
            if (controlBytes(block) != 0) break;
            i += 8;
        }
        if (i >= n) break;
        const unsigned char c = s[i];
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                status = ReadStatus::ForbiddenCharacter;
                return i;
            }
            ++i;
            continue;
        }
        size_t length;
        unsigned char low = 0x80, high = 0xBF; // the allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c == 0xE0)
            length = 3, low = 0xA0;
        else if (c == 0xED)
            length = 3, high = 0x9F;
        else if (c >= 0xE1 && c <= 0xEF)
            length = 3;
        else if (c == 0xF0)
            length = 4, low = 0x90;
        else if (c == 0xF4)
            length = 4, high = 0x8F;
        else if (c >= 0xF1 && c <= 0xF3)
            length = 4;
        else
            length = 0;
        bool valid = length > 0 && i + length <= n && s[i + 1] >= low && s[i + 1] <= high;
        for (size_t k = 2; valid && k < length; ++k)
            valid = (s[i + k] & 0xC0) == 0x80;
        if (!valid) {
            status = ReadStatus::NotUtf8;
            return i;
        }
        if (c >= 0xCC) combining = true;
        if (c == 0xEF && s[i + 1] == 0xBF && s[i + 2] >= 0xBE) { // U+FFFE, U+FFFF
            status = ReadStatus::ForbiddenCharacter;
            return i;
        }
        i += length;
    }
    return std::string_view::npos;
}

// "U+" and the hexadecimal number of the character at `at`, which is ASCII or U+FFFE / U+FFFF.
std::string characterName(std::string_view text, size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    const unsigned value = c < 0x80 ? c : 0xFFF0u | (static_cast<unsigned char>(text[at + 2]) & 0x0F);
    char digits[8];
    const char* end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    std::string name(digits, static_cast<size_t>(end - digits));
    for (char& digit : name)
        if (digit >= 'a') digit = static_cast<char>(digit - 'a' + 'A');
    return "U+" + std::string(4 - std::min<size_t>(4, name.size()), '0') + name;
}

// Reads the top-level dictionary and everything in it, one piece of markup at a time. Open containers
// stand on an explicit stack, so that nesting costs no call stack; the children of each are gathered
// in a list kept per depth and handed over when it closes.
class Parser {
  public:
    // `canonical`: the whole text is in NFC as written, so every name and text in it is.
    Parser(std::string_view text, Item& root, ContainerCounter& counter, Arena& arena, bool canonical)
        : scanner(text), text_(text), root_(root), counter_(counter), arena_(arena), canonical_(canonical) {
        frames_.reserve(maximumDepth);
    }

    XmlScanner scanner;

    // Reads the document into the root; false when it is refused, with the scanner saying why.
    bool read() {
        Head head;
        if (!readHead(scanner, head)) return false;
        switch (elementOf(head.top.name)) {
        case Element::Dict:
            break;
        case Element::Plist:
        case Element::Array:
        case Element::Key:
        case Element::String:
        case Element::Date:
        case Element::Data:
        case Element::Integer:
        case Element::Real:
        case Element::True:
        case Element::False:
            return scanner.fail(ReadStatus::NotDictionary, "", head.top.at);
        case Element::Unknown:
            return scanner.fail(ReadStatus::UnknownElement, tagText(head.top.name), head.top.at);
        }
        if (!head.top.empty) {
            frames_.push_back({&root_, false, false, {}, 0, false});
            if (!readContainers()) return false;
        }
        return readTail(head.plist);
    }

  private:
    struct Frame {
        Item* item;          // the container being filled; the root for the top-level dictionary
        bool isArray;        // an array, else a dictionary
        bool hasKey = false; // a dictionary's key waits for its value
        std::string_view key;
        size_t keyAt = 0;
        bool keyHasReference = false;
    };

    std::string_view text_;
    Item& root_;
    ContainerCounter& counter_;
    Arena& arena_;
    const bool canonical_;
    std::vector<Frame> frames_;
    // The children read so far of the container open at each depth, the top-level dictionary at 1.
    std::vector<std::vector<Item*>> pending_ = std::vector<std::vector<Item*>>(maximumDepth + 1);

    // "Item 0", "Item 1", ... made once for all the arrays of the document.
    std::vector<std::string_view> elementNames_;

    std::string_view elementName(size_t index) {
        while (elementNames_.size() <= index)
            elementNames_.push_back(carryover::elementName(elementNames_.size(), arena_));
        return elementNames_[index];
    }

    // `text` as a view that lasts as long as the tree: the document's own bytes where the scanner
    // found it there, else a copy in the arena (the scanner reuses its buffer).
    std::string_view lasting(std::string_view text) {
        const bool inDocument =
            text.data() >= text_.data() && text.data() + text.size() <= text_.data() + text_.size();
        return inDocument ? text : arena_.keep(text);
    }

    // Reads until the top-level dictionary closes.
    bool readContainers() {
        while (!frames_.empty()) {
            const std::string_view name = frames_.back().isArray ? std::string_view("array") : "dict";
            const XmlScanner::Next next = scanner.skipMisc();
            if (next == XmlScanner::Next::EndTag) {
                if (!scanner.endTag(name) || !close()) return false;
                continue;
            }
            if (next != XmlScanner::Next::StartTag) return refuseBetweenElements(scanner, next, name);
            XmlScanner::Tag tag;
            if (!scanner.startTag(tag) || !element(tag)) return false;
        }
        return true;
    }

    // After the top-level dictionary: the end of <plist> when it was opened, then nothing but white
    // space, comments and processing instructions.
    bool readTail(bool plist) {
        XmlScanner::Next next = scanner.skipMisc();
        if (plist) {
            if (next == XmlScanner::Next::StartTag)
                return scanner.failHere(ReadStatus::Malformed, "a second value inside <plist>");
            if (next != XmlScanner::Next::EndTag) return refuseBetweenElements(scanner, next, "plist");
            if (!scanner.endTag("plist")) return false;
            next = scanner.skipMisc();
        }
        if (next == XmlScanner::Next::Failed) return false;
        if (next != XmlScanner::Next::End) return scanner.failHere(ReadStatus::JunkAfterRoot, "");
        return true;
    }

    // Closes the innermost container: its children become its own.
    bool close() {
        Frame& frame = frames_.back();
        if (frame.hasKey)
            return scanner.fail(ReadStatus::KeyWithoutValue, std::string(frame.key), frame.keyAt);
        std::vector<Item*>& children = pending_[frames_.size()];
        frame.item->children.assign(children, arena_);
        children.clear();
        frames_.pop_back();
        return true;
    }

    // The element that `tag` opens, read into the innermost container.
    bool element(const XmlScanner::Tag& tag) {
        Frame& frame = frames_.back();
        const Element kind = elementOf(tag.name);
        if (kind == Element::Key) {
            if (frame.isArray) return scanner.fail(ReadStatus::Malformed, "a key inside an array", tag.at);
            if (frame.hasKey)
                return scanner.fail(ReadStatus::KeyWithoutValue, std::string(frame.key), frame.keyAt);
            std::string_view key;
            if (!tag.empty && !scanner.text("key", false, key)) return false;
            frame.key = lasting(key);
            frame.hasKey = true;
            frame.keyAt = tag.at;
            frame.keyHasReference = !tag.empty && scanner.textHasReference;
            return true;
        }
        if (kind == Element::Unknown)
            return scanner.fail(ReadStatus::UnknownElement, tagText(tag.name), tag.at);
        if (kind == Element::Plist)
            return scanner.fail(ReadStatus::Malformed, "a <plist> inside a container", tag.at);

        std::vector<Item*>& siblings = pending_[frames_.size()];
        Item* item = arena_.make<Item>();
        item->parent = frame.item;
        bool nameReferenced = false;
        if (frame.isArray) {
            item->name = elementName(siblings.size());
        } else {
            nameReferenced = frame.keyHasReference;
            if (!frame.hasKey) // named by the key before, whose value this would be a second one of
                return scanner.fail(ReadStatus::ValueWithoutKey,
                                    siblings.empty() ? "" : std::string(siblings.back()->name), tag.at);
            item->name = frame.key;
            frame.key = {};
            frame.hasKey = false;
        }
        if (!value(kind, tag, *item)) return false;
        const bool textual = item->type() == ItemDataType::String || item->type() == ItemDataType::Date;
        item->nameCanonical = !nameReferenced && (canonical_ || isCanonicalAsWritten(item->name));
        item->valueCanonical = !textual || (!(!tag.empty && scanner.textHasReference) &&
                                            (canonical_ || isCanonicalAsWritten(item->data.text())));
        Item* opened = item;
        siblings.push_back(item);
        if ((kind == Element::Dict || kind == Element::Array) && !tag.empty)
            frames_.push_back({opened, kind == Element::Array, false, {}, 0, false});
        return true;
    }

    // Reads the value of a leaf, or numbers a container; false when it is refused.
    bool value(Element kind, const XmlScanner::Tag& tag, Item& item) {
        std::string_view text;
        switch (kind) {
        case Element::String:
        case Element::Date:
            if (!tag.empty && !scanner.text(tag.name, false, text)) return false;
            setText(item, text, kind == Element::String ? ItemDataType::String : ItemDataType::Date);
            return true;
        case Element::Integer: {
            if (!tag.empty && !scanner.text(tag.name, true, text)) return false;
            std::optional<ItemData> number = scanInteger(text);
            if (!number) return scanner.fail(ReadStatus::IntegerOutOfRange, item.path(), tag.at);
            item.data = *number;
            return true;
        }
        case Element::Real:
            if (!tag.empty && !scanner.text(tag.name, true, text)) return false;
            item.data = ItemData::real(scanReal(text));
            return true;
        case Element::Data:
            if (!tag.empty && !scanner.text(tag.name, true, text)) return false;
            if (std::optional<Bytes> bytes = decodeBase64(text)) {
                item.data = ItemData::bytes(arena_.keep(ByteView(*bytes)));
                return true;
            }
            return scanner.fail(ReadStatus::InvalidData, item.path(), tag.at);
        case Element::True:
        case Element::False:
            // Only white space, comments and processing instructions may stand inside.
            if (!tag.empty) {
                const XmlScanner::Next next = scanner.skipMisc();
                if (next == XmlScanner::Next::Failed) return false;
                if (next != XmlScanner::Next::EndTag)
                    return scanner.fail(ReadStatus::Malformed, "text inside " + tagText(tag.name), tag.at);
                if (!scanner.endTag(tag.name)) return false;
            }
            item.data = ItemData::boolean(kind == Element::True);
            return true;
        case Element::Dict:
        case Element::Array:
            if (frames_.size() + 1 > static_cast<size_t>(maximumDepth))
                return scanner.fail(ReadStatus::TooDeep, "", tag.at);
            startContainer(item, kind == Element::Dict ? ItemDataType::Dictionary : ItemDataType::Array);
            return true;
        case Element::Plist:
        case Element::Key:
        case Element::Unknown:
            return false; // handled by the caller
        }
        return false;
    }

    void setText(Item& item, std::string_view text, ItemDataType type) {
        item.data = ItemData(lasting(text), type);
    }

    void startContainer(Item& item, ItemDataType type) {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof digits, counter_.take()).ptr;
        item.data = ItemData(arena_.keep(std::string_view(digits, static_cast<size_t>(end - digits))), type);
    }
};

// `text`, or when it is long its first characters and "...", so that a reason stays one short line.
std::string shortened(std::string_view text) {
    constexpr size_t longest = 100;
    if (text.size() <= longest) return std::string(text);
    size_t end = longest;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end)) + "...";
}

// The reason `status` gives, naming `what`.
std::string reasonText(ReadStatus status, std::string_view what) {
    const std::string detail = shortened(what);
    switch (status) {
    case ReadStatus::Ok:
        return "";
    case ReadStatus::NotUtf8:
        return "the file is not UTF-8 text";
    case ReadStatus::ForbiddenCharacter:
        return "a character XML does not allow (" + detail + ")";
    case ReadStatus::Malformed:
        return "not well-formed: " + detail;
    case ReadStatus::UnknownEntity:
        return "an unknown entity " + detail;
    case ReadStatus::UnknownElement:
        return "an unknown element " + detail;
    case ReadStatus::TextOutsideElements:
        return "text outside elements";
    case ReadStatus::KeyWithoutValue:
        return "the key " + quoted(detail) + " has no value";
    case ReadStatus::ValueWithoutKey:
        return detail.empty() ? "a value without a key" : "a second value for the key " + quoted(detail);
    case ReadStatus::NotDictionary:
        return "the top level is not a dictionary";
    case ReadStatus::JunkAfterRoot:
        return "content after the root element";
    case ReadStatus::TooDeep:
        return "containers nest deeper than " + std::to_string(maximumDepth) + " levels";
    case ReadStatus::IntegerOutOfRange:
        return "the integer at " + escaped(detail) + " lies outside [-2^63, 2^64-1]";
    case ReadStatus::InvalidData:
        return "the data at " + escaped(detail) + " is not Base64";
    case ReadStatus::DeclaredEntity:
        return "entities declared in the document type are not supported (" + detail + ")";
    }
    return "";
}

ReadResult refused(const std::string& path, Item* parent, ReadStatus status, std::string detail = {}) {
    return {errorRoot(path, parent), status, std::move(detail)};
}

} // namespace

std::string ReadResult::description() const {
    std::string reason = reasonText(status, detail);
    if (line > 0) reason += " at line " + std::to_string(line) + ", column " + std::to_string(column);
    return reason;
}

ItemPtr errorRoot(const std::string& path, Item* parent) {
    ItemPtr root = makeNode(path, "Dateifehler: " + path, ItemDataType::Error);
    root->parent = parent;
    return root;
}

ReadResult readPlistText(const std::string& path, std::string text, ContainerCounter& counter, Item* parent) {
    auto file = std::make_shared<const std::string>(std::move(text));
    return readPlistText(path, *file, file, counter, parent);
}

ReadResult readPlistText(const std::string& path, std::string_view text, std::shared_ptr<const void> owner,
                         ContainerCounter& counter, Item* parent) {
    ReadStatus fault = ReadStatus::Ok;
    bool combining = false;
    size_t failedAt = characterFault(text, fault, combining);
    ReadResult result;
    if (failedAt == std::string_view::npos) {
        // Names and texts refer into the file text wherever it holds them as they are, so the tree's
        // arena keeps the text.
        auto arena = std::make_shared<Arena>();
        arena->hold(std::move(owner));
        Item* root = arena->make<Item>();
        root->name = arena->keep(path);
        root->parent = parent;
        root->data = ItemData(text, ItemDataType::FileName);
        Parser parser(text, *root, counter, *arena, !combining);
        if (parser.read()) return {ownedBy(std::move(arena), root), ReadStatus::Ok, {}};
        result = refused(path, parent, parser.scanner.status, std::move(parser.scanner.detail));
        failedAt = parser.scanner.failedAt;
        place(text, failedAt, result.line, result.column);
        return result;
    } else {
        result = refused(path, parent, fault,
                         fault == ReadStatus::ForbiddenCharacter ? characterName(text, failedAt) : "");
    }
    place(text, failedAt, result.line, result.column);
    return result;
}

std::optional<std::string_view> documentHead(std::string_view text) {
    XmlScanner scanner(text);
    Head head;
    if (!readHead(scanner, head) || !head.plist || elementOf(head.top.name) != Element::Dict)
        return std::nullopt;
    // A head declaring another encoding would have the written UTF-8 text read in that one.
    const std::string_view encoding = scanner.declaredEncoding;
    if (!encoding.empty() && !equalIgnoringCase(encoding, "utf-8")) return std::nullopt;
    const size_t begin = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    return text.substr(begin, head.top.at - begin);
}

} // namespace carryover
