// Reading and writing speed on one generated ~10 MB property list, next to libplist's parser and a
// byte-at-a-time loop over the same bytes held in memory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include <plist/plist.h>

#include "GeneratedPlist.h"
#include "plist/Loading.h"
#include "plist/Reader.h"
#include "plist/Writer.h"

using namespace carryover;

namespace {

const std::string& document() {
    static const std::string text = generator::generatePlist(42, 10u << 20);
    return text;
}

// One dictionary of a million keys, each with an integer.
const std::string& millionKeys() {
    static const std::string text = [] {
        std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
        for (int i = 0; i < 1000000; ++i) {
            const std::string number = std::to_string(i);
            out += "\t<key>k" + number + "</key>\n\t<integer>" + number + "</integer>\n";
        }
        return out + "</dict>\n</plist>\n";
    }();
    return text;
}

// One array of a million integers, the one entry of the top dictionary.
const std::string& millionElements() {
    static const std::string text = [] {
        std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                          "\t<key>list</key>\n\t<array>\n";
        for (int i = 0; i < 1000000; ++i)
            out += "\t\t<integer>" + std::to_string(i) + "</integer>\n";
        return out + "\t</array>\n</dict>\n</plist>\n";
    }();
    return text;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document().size()));
}

// The ceiling of any single forward pass: one step per byte, each depending on the one before, so
// that the compiler cannot turn it into a vector loop.
void ByteLoop(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        uint32_t hash = 0;
        for (unsigned char c : text)
            hash = hash * 31 + c;
        benchmark::DoNotOptimize(hash);
    }
    setBytes(state);
}

// The baseline: libplist parsing the same XML and freeing its tree.
void LibplistFromXml(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        plist_t plist = nullptr;
        plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &plist);
        benchmark::DoNotOptimize(plist);
        plist_free(plist);
    }
    setBytes(state);
}

// The reader takes the text it reads, as the loading step hands over the bytes it read; each round's
// copy is made outside the timing.
void Reader(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::string text = document();
        state.ResumeTiming();
        ContainerCounter counter;
        ReadResult result = readPlistText("bench.plist", std::move(text), counter);
        benchmark::DoNotOptimize(result.root.get());
    }
    setBytes(state);
}

// libplist takes quadratic time in the keys of one dictionary, so it has no baseline here.
void ReaderMillionKeys(benchmark::State& state) {
    for (auto _ : state) {
        ContainerCounter counter;
        ReadResult result = readPlistText("bench.plist", millionKeys(), counter);
        if (result.root->children.size() != 1000000) state.SkipWithError("keys lost");
        benchmark::DoNotOptimize(result.root.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * millionKeys().size()));
}

// The same for one array of a million elements: per byte at least as fast as the million keys.
void ReaderMillionElements(benchmark::State& state) {
    for (auto _ : state) {
        ContainerCounter counter;
        ReadResult result = readPlistText("bench.plist", millionElements(), counter);
        if (result.root->children[0]->children.size() != 1000000) state.SkipWithError("elements lost");
        benchmark::DoNotOptimize(result.root.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * millionElements().size()));
}

// The whole loading step from a file: reading the bytes and our reader.
void LoadingStep(benchmark::State& state) {
    char path[] = "/tmp/carryover-bench-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0 ||
        ::write(fd, document().data(), document().size()) != static_cast<ssize_t>(document().size())) {
        state.SkipWithError("cannot write the temporary file");
        return;
    }
    ::close(fd);
    for (auto _ : state) {
        ContainerCounter counter;
        LoadResult result = loadPlist(path, counter);
        if (!result.loaded()) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(result.root.get());
    }
    ::unlink(path);
    setBytes(state);
}

void Writer(benchmark::State& state) {
    ContainerCounter counter;
    ItemPtr root = readPlistText("bench.plist", document(), counter).root;
    for (auto _ : state) {
        std::string text = plistRepresentation(*root, 0);
        benchmark::DoNotOptimize(text.data());
    }
    setBytes(state);
}

} // namespace

BENCHMARK(ByteLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(LibplistFromXml)->Unit(benchmark::kMillisecond);
BENCHMARK(Reader)->Unit(benchmark::kMillisecond);
BENCHMARK(ReaderMillionKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(ReaderMillionElements)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadingStep)->Unit(benchmark::kMillisecond);
BENCHMARK(Writer)->Unit(benchmark::kMillisecond);
