// Fuzzing the merge engine on pairs of documents: the input is a configuration and a sample
// separated by a NUL byte. Comparing leaves both inputs unchanged, the merged result is the enabled
// part of the differences tree with arrays renumbered, and the written result reads back to the same
// text.
#include <string>

#include "FuzzCheck.h"
#include "TreeBuilder.h"
#include "merge/Comparison.h"
#include "plist/Loading.h"
#include "plist/Writer.h"

using namespace carryover;
using carryover::fuzz::check;

namespace {

bool isContainer(const Item& node) {
    return node.type() == ItemDataType::Dictionary || node.type() == ItemDataType::Array ||
           node.type() == ItemDataType::FileName;
}

// Whether `result` is the enabled part of `differences`: the enabled children in order, with their
// names (array elements renumbered), kinds, values and operations.
bool isEnabledPart(const Item& differences, const Item& result) {
    if (differences.type() != result.type() ||
        test::valueText(differences.data) != test::valueText(result.data) ||
        differences.operation != result.operation)
        return false;
    size_t at = 0;
    for (const auto& child : differences.children) {
        if (!child->enabled) continue;
        if (at == result.children.size()) return false;
        const Item& kept = *result.children[at];
        const std::string name =
            differences.type() == ItemDataType::Array ? elementName(at) : std::string(child->name);
        if (kept.name != name || kept.parent != &result || !isEnabledPart(*child, kept)) return false;
        ++at;
    }
    return at == result.children.size() && (isContainer(result) || result.children.empty());
}

ItemPtr load(std::string name, std::string bytes, ContainerCounter& counter) {
    LoadResult loaded = loadPlistBytes(name, std::move(bytes), counter);
    return loaded.loaded() ? loaded.root : nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const size_t split = bytes.find('\0');
    if (split == std::string::npos) return 0;
    ContainerCounter counter;
    ItemPtr config = load("config.plist", bytes.substr(0, split), counter);
    ItemPtr sample = load("sample.plist", bytes.substr(split + 1), counter);
    if (!config || !sample) return 0;

    const std::string configBefore = test::dump(*config), sampleBefore = test::dump(*sample);
    const Comparison comparison = compare(config, sample);
    check(test::dump(*config) == configBefore, "the configuration changed");
    check(test::dump(*sample) == sampleBefore, "the sample changed");
    check(comparison.differences != nullptr, "no differences tree");
    if (!comparison.differences->enabled) {
        check(comparison.result == nullptr, "a result from a disabled differences root");
        return 0;
    }
    check(comparison.result != nullptr, "no result");
    check(isEnabledPart(*comparison.differences, *comparison.result), "the result is not the enabled part",
          test::dump(*comparison.differences) + "\n" + test::dump(*comparison.result));

    const std::string written = plistRepresentation(*comparison.result, 0);
    ContainerCounter again;
    ItemPtr reread = load("merged.plist", written, again);
    check(reread != nullptr, "the written result is refused", written);
    check(plistRepresentation(*reread, 0) == written, "the written result reads back otherwise", written);
    return 0;
}
