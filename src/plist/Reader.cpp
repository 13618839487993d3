// Reading property-list text: one recursive element reader over a TextCursor.
#include "plist/Reader.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "plist/Base64.h"
#include "plist/TextCursor.h"

namespace carryover {

namespace {

// The tags the reader knows; the text between "<" and ">" is compared exactly.
enum class Tag {
    False,
    True,
    Integer,
    Real,
    Data,
    Date,
    String,
    Dict,
    EmptyDict,
    Array,
    EmptyArray,
    End,
    EmptyString,
    EmptyData,
    Unknown
};

Tag tagOf(std::string_view tag) {
    switch (tag.size()) {
    case 4:
        if (tag == "real") return Tag::Real;
        if (tag == "data") return Tag::Data;
        if (tag == "date") return Tag::Date;
        if (tag == "dict") return Tag::Dict;
        break;
    case 5:
        if (tag == "true/") return Tag::True;
        if (tag == "float") return Tag::Real;
        if (tag == "array") return Tag::Array;
        if (tag == "dict/") return Tag::EmptyDict;
        if (tag == "/dict") return Tag::End;
        if (tag == "data/") return Tag::EmptyData;
        break;
    case 6:
        if (tag == "false/") return Tag::False;
        if (tag == "string") return Tag::String;
        if (tag == "array/") return Tag::EmptyArray;
        if (tag == "/array") return Tag::End;
        break;
    case 7:
        if (tag == "integer") return Tag::Integer;
        if (tag == "string/") return Tag::EmptyString;
        break;
    }
    return Tag::Unknown;
}

class ElementReader {
  public:
    ElementReader(std::string_view text, ContainerCounter& counter) : cursor(text), counter(counter) {}

    TextCursor cursor;
    bool tooDeep = false;

    // One element read for `parent`, named by the <key> in front of it, or else "Item <index>" in an
    // array and "" elsewhere; nothing when it cannot be read. `depth` counts the containers that would
    // be open inside it.
    ItemPtr read(Item* parent, std::optional<size_t> index, int depth) {
        auto item = std::make_shared<Item>();
        item->parent = parent;
        cursor.scanString("<");
        auto tag = cursor.scanUpToString(">");
        if (!tag) return nullptr;
        if (*tag == "key") {
            cursor.scanString(">");
            auto key = cursor.scanThrough("</key>"); // nothing: the empty key
            if (key) item->name.assign(key->data(), key->size());
            if (!cursor.scanString("<")) return nullptr;
            tag = cursor.scanUpToString(">");
            if (!tag) return nullptr;
        } else if (index) {
            item->name = elementName(*index);
        }
        cursor.scanString(">");

        switch (tagOf(*tag)) {
        case Tag::False:
            item->data = ItemData::boolean(false);
            break;
        case Tag::True:
            item->data = ItemData::boolean(true);
            break;
        case Tag::Integer:
            item->data = ItemData::integer(cursor.scanInt().value_or(0));
            skipTo("</integer>");
            break;
        case Tag::Real:
            item->data = ItemData::real(cursor.scanDouble().value_or(0.0));
            skipTo(*tag == "real" ? "</real>" : "</float>");
            break;
        case Tag::Data:
            item->data = ItemData::bytes(decodeBase64(textThrough("</data>")).value_or(Bytes()));
            break;
        case Tag::Date:
            setText(*item, textThrough("</date>"), ItemDataType::Date);
            break;
        case Tag::String:
            setText(*item, textThrough("</string>"), ItemDataType::String);
            break;
        case Tag::EmptyString:
            item->data.type = ItemDataType::String;
            break;
        case Tag::EmptyData:
            item->data = ItemData::bytes({});
            break;
        case Tag::Dict:
        case Tag::Array:
            if (depth > maximumDepth) {
                tooDeep = true;
                return nullptr;
            }
            startContainer(*item, *tag == "dict" ? ItemDataType::Dictionary : ItemDataType::Array);
            readChildren(*item, depth);
            if (tooDeep) return nullptr;
            break;
        case Tag::EmptyDict:
            startContainer(*item, ItemDataType::Dictionary);
            break;
        case Tag::EmptyArray:
            startContainer(*item, ItemDataType::Array);
            break;
        case Tag::End:
            item->data.type = ItemDataType::End;
            break;
        case Tag::Unknown:
            break;
        }
        cursor.scanUpToString("<");
        return item;
    }

    // Reads elements into `container` until one cannot be read or a closing tag ends it. Children are
    // gathered in a list kept per depth, so that each container's list is allocated once, at its size.
    void readChildren(Item& container, int depth) {
        std::vector<ItemPtr>& children = pending[static_cast<size_t>(depth)];
        const bool isArray = container.type() == ItemDataType::Array;
        for (;;) {
            auto child = read(&container, isArray ? std::optional(children.size()) : std::nullopt, depth + 1);
            if (!child || child->type() == ItemDataType::End) break;
            children.push_back(std::move(child));
        }
        container.children.assign(std::make_move_iterator(children.begin()),
                                  std::make_move_iterator(children.end()));
        children.clear();
    }

  private:
    ContainerCounter& counter;
    // One list per depth, made up front: a nested call must not move the list its caller fills.
    std::vector<std::vector<ItemPtr>> pending = std::vector<std::vector<ItemPtr>>(maximumDepth + 2);

    // A new item holds the empty text of kind None; this gives it `text` of kind `type` in place.
    static void setText(Item& item, std::string_view text, ItemDataType type) {
        std::get<std::string>(item.data.data).assign(text.data(), text.size());
        item.data.type = type;
    }

    void startContainer(Item& item, ItemDataType type) {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof digits, counter.take()).ptr;
        setText(item, std::string_view(digits, static_cast<size_t>(end - digits)), type);
    }

    // The text up to `closing`, "" when there is none; the cursor moves past `closing`.
    std::string_view textThrough(std::string_view closing) {
        return cursor.scanThrough(closing).value_or("");
    }

    void skipTo(std::string_view closing) { cursor.scanThrough(closing); }
};

ReadResult refused(const std::string& path, Item* parent, ReadStatus status, std::string detail = {}) {
    return {errorRoot(path, parent), status, std::move(detail)};
}

} // namespace

std::string ReadResult::description() const {
    switch (status) {
    case ReadStatus::Ok:
        return "";
    case ReadStatus::Unreadable:
        return "cannot read the file: " + detail;
    case ReadStatus::NotUtf8:
        return "the file is not UTF-8 text";
    case ReadStatus::TooDeep:
        return "containers nest deeper than " + std::to_string(maximumDepth) + " levels";
    }
    return "";
}

ItemPtr errorRoot(const std::string& path, Item* parent) {
    auto root = std::make_shared<Item>();
    root->name = path;
    root->parent = parent;
    root->data = ItemData("Dateifehler: " + path, ItemDataType::Error);
    return root;
}

ReadResult readPlistText(const std::string& path, std::string text, ContainerCounter& counter, Item* parent) {
    if (!isValidUtf8(text)) return refused(path, parent, ReadStatus::NotUtf8);
    auto root = std::make_shared<Item>();
    root->name = path;
    root->parent = parent;
    root->data = ItemData(std::move(text), ItemDataType::FileName);

    ElementReader reader(root->data.text(), counter);
    TextCursor& cursor = reader.cursor;
    if (!cursor.scanUpToString("<dict>")) return {root, ReadStatus::Ok, {}};
    cursor.scanString("<dict>");
    while (!cursor.isAtEnd()) {
        cursor.scanUpToString("<");
        auto child = reader.read(root.get(), std::nullopt, 2);
        if (reader.tooDeep) return refused(path, parent, ReadStatus::TooDeep);
        if (!child) continue;
        if (child->type() == ItemDataType::End) break;
        root->children.push_back(std::move(child));
    }
    return {root, ReadStatus::Ok, {}};
}

std::optional<std::string> readWholeFile(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0) bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return bytes;
}

ReadResult readPlistFile(const std::string& path, ContainerCounter& counter, Item* parent) {
    std::string error;
    auto text = readWholeFile(path, error);
    if (!text) return refused(path, parent, ReadStatus::Unreadable, error);
    return readPlistText(path, std::move(*text), counter, parent);
}

bool isValidUtf8(std::string_view bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        // Runs of ASCII, eight bytes at a time.
        while (i + 8 <= n) {
            uint64_t block;
            std::memcpy(&block, s + i, 8);
            if (block & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i >= n) break;
        const unsigned char c = s[i];
        if (c < 0x80) {
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
            return false;
        if (i + length > n || s[i + 1] < low || s[i + 1] > high) return false;
        for (size_t k = 2; k < length; ++k)
            if ((s[i + k] & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

} // namespace carryover
