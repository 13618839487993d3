// The merge on generated pairs of files at three sizes: reading both files, the comparison, the result
// (enabled part and renumbering) and writing it. The engine's steps are compared with the reading,
// and the whole merge with libplist merely parsing both files.
#include <benchmark/benchmark.h>

#include <map>

#include <plist/plist.h>

#include "GeneratedPlist.h"
#include "merge/Comparison.h"
#include "merge/Difference.h"
#include "merge/Disabled.h"
#include "plist/Reader.h"
#include "plist/Writer.h"

using namespace carryover;

namespace {

const generator::GeneratedPair& pair(int64_t megabytes) {
    static std::map<int64_t, generator::GeneratedPair> pairs;
    auto found = pairs.find(megabytes);
    if (found == pairs.end())
        found =
            pairs.emplace(megabytes, generator::generatePlistPair(7, static_cast<size_t>(megabytes) << 20))
                .first;
    return found->second;
}

struct Trees {
    ItemPtr config, sample;
};

Trees readBoth(const generator::GeneratedPair& texts) {
    ContainerCounter counter;
    ItemPtr config = readPlistText("config.plist", texts.config, counter).root;
    ItemPtr sample = readPlistText("sample.plist", texts.sample, counter).root;
    return {config, sample};
}

size_t nodes(const Item& node) {
    size_t count = 1;
    for (const auto& child : node.children)
        count += nodes(*child);
    return count;
}

void counters(benchmark::State& state, const Trees& trees) {
    const auto& texts = pair(state.range(0));
    state.SetBytesProcessed(
        static_cast<int64_t>(state.iterations() * (texts.config.size() + texts.sample.size())));
    state.counters["nodes"] = static_cast<double>(nodes(*trees.config) + nodes(*trees.sample));
}

void ReadBoth(benchmark::State& state) {
    const auto& texts = pair(state.range(0));
    for (auto _ : state) {
        Trees trees = readBoth(texts);
        benchmark::DoNotOptimize(trees.sample.get());
    }
    counters(state, readBoth(texts));
}

void Difference(benchmark::State& state) {
    const Trees trees = readBoth(pair(state.range(0)));
    for (auto _ : state) {
        ItemPtr differences = difference(trees.sample, trees.config);
        benchmark::DoNotOptimize(differences.get());
    }
    counters(state, trees);
}

void EnabledOnlyAndRenumber(benchmark::State& state) {
    const Trees trees = readBoth(pair(state.range(0)));
    const ItemPtr differences = difference(trees.sample, trees.config);
    for (auto _ : state) {
        ItemPtr result = mergedResult(differences);
        benchmark::DoNotOptimize(result.get());
    }
    counters(state, trees);
}

void WriteResult(benchmark::State& state) {
    const Trees trees = readBoth(pair(state.range(0)));
    ItemPtr result = mergedResult(difference(trees.sample, trees.config));
    for (auto _ : state) {
        std::string text = plistRepresentation(*result, 0);
        benchmark::DoNotOptimize(text.data());
    }
    counters(state, trees);
}

// The whole merge from the two texts to the written result.
void WholeMerge(benchmark::State& state) {
    const auto& texts = pair(state.range(0));
    for (auto _ : state) {
        Trees trees = readBoth(texts);
        Comparison compared = compare(trees.config, trees.sample);
        std::string text = plistRepresentation(*compared.result, 0);
        benchmark::DoNotOptimize(text.data());
    }
    counters(state, readBoth(texts));
}

// The baseline: libplist parsing both texts and freeing its trees.
void LibplistParseBoth(benchmark::State& state) {
    const auto& texts = pair(state.range(0));
    for (auto _ : state)
        for (const std::string* text : {&texts.config, &texts.sample}) {
            plist_t plist = nullptr;
            plist_from_xml(text->data(), static_cast<uint32_t>(text->size()), &plist);
            benchmark::DoNotOptimize(plist);
            plist_free(plist);
        }
    counters(state, readBoth(texts));
}

} // namespace

BENCHMARK(WholeMerge)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(LibplistParseBoth)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadBoth)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(Difference)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(EnabledOnlyAndRenumber)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteResult)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
