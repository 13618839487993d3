// The loading step: bounded bytes, the check of XML text, the conversion of binary lists, our reader.
#include "plist/Loading.h"

#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include <plist/plist.h>

#include "plist/BinaryPlist.h"
#include "plist/FileBytes.h"
#include "plist/Reader.h"

namespace carryover {

namespace {

constexpr std::string_view errorPrefix = "Error reading plist: ";
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

LoadResult failure(LoadStatus status, std::string reason) {
    return {status, nullptr, std::string(errorPrefix) + reason};
}

// Parses XML `bytes` with libplist; the caller frees the result. Null when refused.
plist_t parse(std::string_view bytes) {
    plist_t plist = nullptr;
    plist_from_xml(bytes.data(), static_cast<uint32_t>(bytes.size()), &plist);
    return plist;
}

// The load status of a binary list's refusal.
LoadStatus statusOf(BinaryStatus status) {
    switch (status) {
    case BinaryStatus::Converted:
        return LoadStatus::Loaded;
    case BinaryStatus::Malformed:
    case BinaryStatus::Cycle:
    case BinaryStatus::InvalidCharacter:
    case BinaryStatus::IntegerTooLarge:
        return LoadStatus::NotPlist;
    case BinaryStatus::TooDeep:
        return LoadStatus::TooDeep;
    case BinaryStatus::TooLarge:
        return LoadStatus::TooLarge;
    case BinaryStatus::NotDictionary:
        return LoadStatus::NotDictionary;
    }
    return LoadStatus::NotPlist;
}

// The reader's own words for a document nested too deeply.
std::string tooDeep() {
    return ReadResult{nullptr, ReadStatus::TooDeep, {}}.description();
}

} // namespace

int xmlNestingDepth(std::string_view text, int limit) {
    const auto skipPast = [&](size_t from, std::string_view end) {
        const size_t at = text.find(end, from);
        return at == std::string_view::npos ? text.size() : at + end.size();
    };
    const auto nameAt = [&](size_t at) {
        size_t end = at;
        while (end < text.size() && std::strchr(" \t\r\n/>", text[end]) == nullptr)
            ++end;
        return text.substr(at, end - at);
    };
    int depth = 0, deepest = 0;
    size_t at = 0;
    while ((at = text.find('<', at)) != std::string_view::npos) {
        const std::string_view rest = text.substr(at);
        if (rest.starts_with("<!--"))
            at = skipPast(at, "-->");
        else if (rest.starts_with("<![CDATA["))
            at = skipPast(at, "]]>");
        else if (rest.starts_with("<?"))
            at = skipPast(at, "?>");
        else if (rest.starts_with("<!"))
            at = skipPast(at, ">");
        else if (rest.starts_with("</")) {
            const auto name = nameAt(at + 2);
            if ((name == "dict" || name == "array") && depth > 0) --depth;
            at += 2;
        } else {
            const auto name = nameAt(at + 1);
            const size_t close = text.find('>', at);
            const bool selfClosing = close != std::string_view::npos && text[close - 1] == '/';
            if ((name == "dict" || name == "array") && !selfClosing) {
                deepest = std::max(deepest, ++depth);
                if (deepest > limit) return deepest;
            }
            at += 1;
        }
    }
    return deepest;
}

LoadResult loadPlist(const std::string& path, ContainerCounter& counter) {
    FileBytes file = readFileBytes(path);
    switch (file.status) {
    case FileBytesStatus::Read:
        return loadPlistBytes(path, std::move(file.bytes), counter);
    case FileBytesStatus::Unreadable:
        return failure(LoadStatus::Unreadable, file.description());
    case FileBytesStatus::TooLarge:
        return failure(LoadStatus::TooLarge, file.description());
    }
    return failure(LoadStatus::Unreadable, file.description());
}

LoadResult loadPlistBytes(const std::string& path, std::string bytes, ContainerCounter& counter) {
    if (bytes.size() > maximumFileSize) return failure(LoadStatus::TooLarge, "the file is larger than 4 GiB");
    if (isBinaryPlist(bytes)) {
        BinaryConversion converted = convertBinaryPlist(std::move(bytes));
        if (converted.status != BinaryStatus::Converted)
            return failure(statusOf(converted.status), converted.description());
        bytes = std::move(converted.text);
    } else {
        std::string_view checked = bytes;
        if (checked.starts_with(byteOrderMark)) checked.remove_prefix(byteOrderMark.size());
        if (xmlNestingDepth(checked, maximumDepth) > maximumDepth)
            return failure(LoadStatus::TooDeep, tooDeep());
        plist_t plist = parse(checked);
        if (!plist) return failure(LoadStatus::NotPlist, "not a valid property list, format: XML");
        const bool dictionary = plist_get_node_type(plist) == PLIST_DICT;
        plist_free(plist);
        if (!dictionary) return failure(LoadStatus::NotDictionary, "the top level is not a dictionary");
    }

    ReadResult read = readPlistText(path, std::move(bytes), counter);
    if (read.status != ReadStatus::Ok)
        return {LoadStatus::ReaderRefused, read.root, std::string(errorPrefix) + read.description()};
    return {LoadStatus::Loaded, read.root, {}};
}

} // namespace carryover
