// How fast the window responds on a generated pair of about 300k nodes, once the comparison is done:
// showing the Differences tab, a switch there, F8, showing only the decisions and back, a find's next
// match, an undo and a redo, and going back to Differences from Result, each with the view painted. The
// comparison of the same pair (the engine alone) runs in the same process as the baseline the figures are set
// against.
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

// Baseline: the comparison of the two loaded trees, the engine alone.
void Compare(benchmark::State& state) {
    ContainerCounter counter;
    ItemPtr config = loadPlist(files().config.toStdString(), counter).root;
    ItemPtr sample = loadPlist(files().sample.toStdString(), counter).root;
    for (auto _ : state)
        benchmark::DoNotOptimize(compare(config, sample).result.get());
    state.counters["nodes"] = static_cast<double>(nodes(*config) + nodes(*sample));
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

BENCHMARK(Compare)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadBothAndCompare)->Unit(benchmark::kMillisecond)->Iterations(3);
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
