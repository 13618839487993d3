// The loading step: bytes read under a ceiling, then the binary or the XML reader.
#include "plist/Loading.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "plist/BinaryPlist.h"
#include "plist/FileBytes.h"
#include "plist/Reader.h"

namespace carryover {

namespace {

constexpr std::string_view errorPrefix = "Error reading plist: ";

LoadResult failure(LoadStatus status, std::string reason) {
    return {status, nullptr, std::string(errorPrefix) + reason};
}

// How a load ends when the reader refuses the text.
LoadStatus loadStatus(ReadStatus status) {
    switch (status) {
    case ReadStatus::Ok:
        return LoadStatus::Loaded;
    case ReadStatus::TooDeep:
        return LoadStatus::TooDeep;
    case ReadStatus::NotDictionary:
        return LoadStatus::NotDictionary;
    case ReadStatus::NotUtf8:
    case ReadStatus::ForbiddenCharacter:
    case ReadStatus::Malformed:
    case ReadStatus::UnknownEntity:
    case ReadStatus::UnknownElement:
    case ReadStatus::TextOutsideElements:
    case ReadStatus::KeyWithoutValue:
    case ReadStatus::ValueWithoutKey:
    case ReadStatus::JunkAfterRoot:
    case ReadStatus::IntegerOutOfRange:
    case ReadStatus::InvalidData:
    case ReadStatus::DeclaredEntity:
        return LoadStatus::NotPlist;
    }
    return LoadStatus::NotPlist;
}

// How a load ends when a binary list is refused.
LoadStatus loadStatus(BinaryStatus status) {
    switch (status) {
    case BinaryStatus::Read:
        return LoadStatus::Loaded;
    case BinaryStatus::Malformed:
    case BinaryStatus::Cycle:
    case BinaryStatus::InvalidCharacter:
    case BinaryStatus::IntegerTooLarge:
    case BinaryStatus::DateOutOfRange:
    case BinaryStatus::UidTooWide:
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

// The encoding named by the byte-order mark that `bytes` begin with, when it is one of UTF-16 or
// UTF-32, or that the NULs among their first characters show; "" otherwise. UTF-32's little-endian
// mark begins like UTF-16's, so it is tried first.
std::string_view wideEncoding(std::string_view bytes) {
    using namespace std::string_view_literals;
    constexpr std::pair<std::string_view, std::string_view> marks[] = {
        {"\x00\x00\xFE\xFF"sv, "UTF-32 (big-endian)"},
        {"\xFF\xFE\x00\x00"sv, "UTF-32 (little-endian)"},
        {"\xFE\xFF"sv, "UTF-16 (big-endian)"},
        {"\xFF\xFE"sv, "UTF-16 (little-endian)"},
    };
    for (const auto& [mark, encoding] : marks)
        if (bytes.starts_with(mark)) return encoding;
    // Without a mark: the first characters (ASCII in any XML text: "<?xml", "<plist") are each one
    // byte that is not NUL with NULs beside it.
    constexpr struct {
        size_t width, at; // the bytes of a character, and where its ASCII byte stands among them
        std::string_view encoding;
    } forms[] = {{4, 3, "UTF-32 (big-endian)"},
                 {4, 0, "UTF-32 (little-endian)"},
                 {2, 1, "UTF-16 (big-endian)"},
                 {2, 0, "UTF-16 (little-endian)"}};
    for (const auto& form : forms) {
        const size_t characters = std::min<size_t>(bytes.size() / form.width, 4);
        bool matches = characters >= 2;
        for (size_t i = 0; matches && i < characters * form.width; ++i)
            matches = (bytes[i] == '\0') != (i % form.width == form.at);
        if (matches) return form.encoding;
    }
    return {};
}

} // namespace

LoadResult loadPlistFile(const std::string& path, FileBytes file, ContainerCounter& counter) {
    switch (file.status) {
    case FileBytesStatus::Read:
        return loadPlistBytes(path, file.bytes, std::move(file.owner), counter);
    case FileBytesStatus::Unreadable:
        return failure(LoadStatus::Unreadable, file.description());
    case FileBytesStatus::TooLarge:
        return failure(LoadStatus::TooLarge, file.description());
    }
    return failure(LoadStatus::Unreadable, file.description());
}

LoadResult loadPlist(const std::string& path, ContainerCounter& counter, FileAccess access) {
    return loadPlistFile(path, readFileBytes(path, maximumFileSize, access), counter);
}

LoadResult loadPlistDescriptor(int fd, const std::string& name, ContainerCounter& counter) {
    return loadPlistFile(name, readDescriptorBytes(fd), counter);
}

LoadResult loadPlistBytes(const std::string& path, std::string bytes, ContainerCounter& counter) {
    auto owner = std::make_shared<const std::string>(std::move(bytes));
    return loadPlistBytes(path, *owner, owner, counter);
}

LoadResult loadPlistBytes(const std::string& path, std::string_view bytes, std::shared_ptr<const void> owner,
                          ContainerCounter& counter) {
    if (bytes.size() > maximumFileSize)
        return failure(LoadStatus::TooLarge,
                       FileBytes{FileBytesStatus::TooLarge, {}, nullptr, {}, maximumFileSize}.description());
    const std::string_view encoding = wideEncoding(bytes);
    if (!encoding.empty())
        return failure(LoadStatus::NotUtf8,
                       "the file is encoded in " + std::string(encoding) + ", not UTF-8, format: XML");
    if (isBinaryPlist(bytes)) {
        BinaryRead read = readBinaryPlist(path, bytes, std::move(owner), counter);
        if (read.status != BinaryStatus::Read) return failure(loadStatus(read.status), read.description());
        return {LoadStatus::Loaded, read.root, {}};
    }

    ReadResult read = readPlistText(path, bytes, std::move(owner), counter);
    if (read.status != ReadStatus::Ok)
        return {loadStatus(read.status), read.root,
                std::string(errorPrefix) + read.description() + ", format: XML"};
    return {LoadStatus::Loaded, read.root, {}};
}

} // namespace carryover
