// Fuzzing the loading step on arbitrary bytes. What it accepts is written, read again and written
// again to the same text; libplist reads the same values from the input and from the written text;
// and the loading step accepts what libplist accepts as a dictionary, except where it refuses on
// purpose, as listed in `refusedOnPurpose`.
#include <string>

#include "FuzzCheck.h"
#include "LibplistValues.h"
#include "plist/BinaryPlist.h"
#include "plist/Loading.h"
#include "plist/Writer.h"

using namespace carryover;
using carryover::fuzz::check;

namespace {

// Refusals of bytes that libplist reads as a dictionary, made on purpose:
// - containers nested deeper than 512 levels;
// - binary lists whose strings or keys hold characters XML cannot hold (libplist cuts a string at
//   U+0000 and writes the others raw), whose integers lie beyond 64 bits (libplist keeps the low
//   64 bits), or that expand through shared objects to far more nodes than the file has bytes.
bool refusedOnPurpose(const LoadResult& result) {
    switch (result.status) {
    case LoadStatus::TooDeep:
    case LoadStatus::TooLarge:
        return true;
    case LoadStatus::Loaded:
    case LoadStatus::Unreadable:
    case LoadStatus::NotDictionary:
    case LoadStatus::ReaderRefused:
        return false;
    case LoadStatus::NotPlist:
        return result.message.ends_with(", format: binary") &&
               (result.message.find("which XML cannot hold") != std::string::npos ||
                result.message.find("lies outside [-2^63, 2^64-1]") != std::string::npos);
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ContainerCounter counter;
    const LoadResult loaded = loadPlistBytes("input.plist", bytes, counter);
    const fuzz::Libplist theirs(bytes);
    if (!loaded.loaded()) {
        check(!theirs.isDictionary() || refusedOnPurpose(loaded), "refused a dictionary libplist reads",
              loaded.message);
        return 0;
    }

    const std::string written = plistRepresentation(*loaded.root, 0);
    ContainerCounter again;
    const LoadResult reread = loadPlistBytes("input.plist", written, again);
    check(reread.loaded(), "refused its own text", reread.message + "\n" + written);
    check(plistRepresentation(*reread.root, 0) == written, "written text is no fixed point", written);

    const fuzz::Libplist fromWritten(written);
    check(fromWritten.isDictionary(), "libplist refuses the written text", written);
    check(theirs.isDictionary(), "accepted what libplist refuses", written);
    check(fuzz::sameValues(theirs.get(), fromWritten.get()),
          "libplist reads other values from the written text", written);
    return 0;
}
