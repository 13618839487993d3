// Loading a binary property list: the loading step (the object-table walk and the tree built from the
// table) next to libplist merely parsing the same bytes. Throughput is given per byte of the
// binary file; the list is the generated ~10 MB document converted to binary.
#include <benchmark/benchmark.h>

#include <string>

#include <plist/plist.h>

#include "GeneratedPlist.h"
#include "plist/Loading.h"

using namespace carryover;

namespace {

const std::string& binaryDocument() {
    static const std::string bytes = [] {
        const std::string text = generator::generatePlist(42, 10u << 20);
        plist_t plist = nullptr;
        plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &plist);
        char* binary = nullptr;
        uint32_t length = 0;
        plist_to_bin(plist, &binary, &length);
        std::string result(binary, length);
        plist_to_bin_free(binary);
        plist_free(plist);
        return result;
    }();
    return bytes;
}

void setBinaryBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * binaryDocument().size()));
}

// The baseline: libplist parsing the binary list and freeing its tree.
void LibplistFromBin(benchmark::State& state) {
    const std::string& bytes = binaryDocument();
    for (auto _ : state) {
        plist_t plist = nullptr;
        plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &plist);
        benchmark::DoNotOptimize(plist);
        plist_free(plist);
    }
    setBinaryBytes(state);
}

void BinaryLoadingStep(benchmark::State& state) {
    const std::string& bytes = binaryDocument();
    for (auto _ : state) {
        ContainerCounter counter;
        LoadResult result = loadPlistBytes("bench.plist", bytes, counter);
        if (!result.loaded()) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(result.root.get());
    }
    setBinaryBytes(state);
}

} // namespace

BENCHMARK(LibplistFromBin)->Unit(benchmark::kMillisecond);
BENCHMARK(BinaryLoadingStep)->Unit(benchmark::kMillisecond);
