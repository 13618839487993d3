// How fast the window responds on a generated pair of about 300k nodes: its comparison, loading both
// files and comparing them, and once the comparison is done: showing the Full Sample tab for the first
// time and the Differences tab again, a switch
// there, F8, showing only the decisions and back, a find's next match, an undo and a redo, and going
// back to Differences from Result, each with the view painted. The baselines run in the same process:
// the command line's merge of the loaded trees, which it takes, for the comparison, and the engine
// loading both files for the window's loading.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "GeneratedPlist.h"
#include "merge/Comparison.h"
#include "plist/Loading.h"
#include "ui/ContentView.h"
#include "ui/ItemView.h"

using namespace carryover;
using namespace carryover::ui;

namespace {

// Megabytes of each generated file; about 300k nodes in the two files together.
constexpr size_t pairMegabytes = 8;

struct Files {
    QTemporaryDir folder;
    QString config, sample;
};

const Files& files() {
    static Files* made = [] {
        auto* files = new Files;
        const auto pair = generator::generatePlistPair(7, pairMegabytes << 20);
        files->config = files->folder.filePath("config.plist");
        files->sample = files->folder.filePath("sample.plist");
        std::ofstream(files->config.toStdString(), std::ios::binary) << pair.config;
        std::ofstream(files->sample.toStdString(), std::ios::binary) << pair.sample;
        return files;
    }();
    return *made;
}

size_t nodes(const Item& node) {
    size_t count = 1;
    for (const auto& child : node.children)
        count += nodes(*child);
    return count;
}

// A shown main view with both files loaded and compared.
ContentView& comparedView() {
    static ContentView* view = [] {
        auto* made = new ContentView;
        made->resize(1000, 700);
        made->show();
        QSignalSpy compared(made, &ContentView::resultChanged);
        made->openFile(Side::Config, files().config);
        made->openFile(Side::Sample, files().sample);
        compared.wait(60000);
        return made;
    }();
    return *view;
}

void paint(QWidget& widget) {
    widget.repaint();
}

struct Trees {
    ItemPtr config, sample;
};

Trees loadBoth() {
    ContainerCounter counter;
    return {loadPlist(files().config.toStdString(), counter).root,
            loadPlist(files().sample.toStdString(), counter).root};
}

// Baseline: the command line's merge of the two loaded trees, which it takes.
void TakingMerge(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Trees trees = loadBoth();
        state.counters["nodes"] = static_cast<double>(nodes(*trees.config) + nodes(*trees.sample));
        state.ResumeTiming();
        benchmark::DoNotOptimize(mergedResultTaking(std::move(trees.config), std::move(trees.sample)).get());
    }
}

// The window's comparison of the same trees after its start: the configuration is shown in its tab, so
// the comparison takes a copy of it, and the sample itself.
void WindowComparison(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Trees trees = loadBoth();
        state.ResumeTiming();
        auto arena = std::make_shared<Arena>();
        arena->hold(trees.config);
        ItemPtr copy = ownedBy(arena, trees.config->copy(*arena, nullptr));
        benchmark::DoNotOptimize(compareTaking(std::move(copy), std::move(trees.sample)).differences.get());
    }
}

// The comparison that leaves both trees as they are, for a front end that needs them afterwards.
void Compare(benchmark::State& state) {
    Trees trees = loadBoth();
    for (auto _ : state)
        benchmark::DoNotOptimize(compare(trees.config, trees.sample).result.get());
}

// Baseline: both files loaded by the engine.
void LoadBoth(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(loadBoth());
}

// Both files loaded through the window, and the comparison that follows.
void LoadBothAndCompare(benchmark::State& state) {
    for (auto _ : state) {
        ContentView view;
        QSignalSpy compared(&view, &ContentView::resultChanged);
        view.openFile(Side::Config, files().config);
        view.openFile(Side::Sample, files().sample);
        compared.wait(60000);
    }
}

// The Full Sample tab shown for the first time after the comparison, which took the sample's tree: it
// is read again from the file's text.
void ShowSampleTabFirst(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ContentView view;
        view.resize(1000, 700);
        view.show();
        QSignalSpy compared(&view, &ContentView::resultChanged);
        view.openFile(Side::Config, files().config);
        view.openFile(Side::Sample, files().sample);
        compared.wait(60000);
        state.ResumeTiming();
        view.selectTab(Tab::Sample);
        paint(view);
    }
}

void ShowDifferencesTab(benchmark::State& state) {
    ContentView& view = comparedView();
    for (auto _ : state) {
        state.PauseTiming();
        view.selectTab(Tab::Config);
        state.ResumeTiming();
        view.selectTab(Tab::Difference);
        paint(view);
    }
    state.counters["lines"] = view.currentView().model()->rowCount();
}

void SwitchOnDifferencesTab(benchmark::State& state) {
    ContentView& view = comparedView();
    view.selectTab(Tab::Difference);
    ItemView& lines = view.currentView();
    lines.setCurrentIndex(QModelIndex());
    lines.selectNextDecision(false);
    for (auto _ : state) {
        lines.switchSelected();
        paint(view);
    }
}

void NextDifference(benchmark::State& state) {
    ContentView& view = comparedView();
    view.selectTab(Tab::Difference);
    ItemView& lines = view.currentView();
    lines.setCurrentIndex(QModelIndex());
    for (auto _ : state) {
        if (!lines.selectNextDecision(false)) lines.setCurrentIndex(QModelIndex());
        paint(view);
    }
}

// Only decisions on, then off again: two steps per iteration.
void ToggleDecisionsOnly(benchmark::State& state) {
    ContentView& view = comparedView();
    view.selectTab(Tab::Difference);
    for (auto _ : state) {
        view.setDecisionsOnly(true);
        paint(view);
        state.counters["decision lines"] = view.currentView().model()->rowCount();
        view.setDecisionsOnly(false);
        paint(view);
    }
}

// F3: the next match of a text found on many lines.
void FindNext(benchmark::State& state) {
    ContentView& view = comparedView();
    view.selectTab(Tab::Difference);
    state.counters["matches"] = view.find(QStringLiteral("enabled"));
    for (auto _ : state) {
        view.findNext();
        paint(view);
    }
}

// Typing the find text: every node searched.
void FindText(benchmark::State& state) {
    ContentView& view = comparedView();
    view.selectTab(Tab::Difference);
    for (auto _ : state) {
        view.find(QStringLiteral("a"));
        view.find(QStringLiteral("comment"));
        paint(view);
    }
}

// An undo of a switch and its redo: two steps per iteration.
void UndoRedo(benchmark::State& state) {
    ContentView& view = comparedView();
    view.selectTab(Tab::Difference);
    ItemView& lines = view.currentView();
    lines.setCurrentIndex(QModelIndex());
    lines.selectNextDecision(false);
    lines.switchSelected();
    for (auto _ : state) {
        view.undoStack().undo();
        paint(view);
        view.undoStack().redo();
        paint(view);
    }
}

// Back to Differences after a look at Result, where the user was.
void BackToDifferences(benchmark::State& state) {
    ContentView& view = comparedView();
    view.selectTab(Tab::Difference);
    view.currentView().selectNextDecision(false);
    for (auto _ : state) {
        state.PauseTiming();
        view.selectTab(Tab::Merged);
        paint(view);
        state.ResumeTiming();
        view.selectTab(Tab::Difference);
        paint(view);
    }
}

} // namespace

BENCHMARK(TakingMerge)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowComparison)->Unit(benchmark::kMillisecond);
BENCHMARK(Compare)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadBoth)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadBothAndCompare)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ShowSampleTabFirst)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ShowDifferencesTab)->Unit(benchmark::kMillisecond);
BENCHMARK(SwitchOnDifferencesTab)->Unit(benchmark::kMillisecond);
BENCHMARK(NextDifference)->Unit(benchmark::kMillisecond);
BENCHMARK(ToggleDecisionsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(FindNext)->Unit(benchmark::kMillisecond);
BENCHMARK(FindText)->Unit(benchmark::kMillisecond);
BENCHMARK(UndoRedo)->Unit(benchmark::kMillisecond);
BENCHMARK(BackToDifferences)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
