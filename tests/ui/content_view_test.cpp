// The main view where timing matters: a save queued before the comparison the loads posted.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "merge/Comparison.h"
#include "plist/Loading.h"
#include "plist/Writer.h"
#include "ui/ContentView.h"

using namespace carryover;
using namespace carryover::ui;

namespace {

QString example(const char* name) {
    return QStringLiteral(CARRYOVER_EXAMPLES "/") + name;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The merged text that the command line's merge writes for the same two files.
std::string expectedMerge(const QString& config, const QString& sample) {
    ContainerCounter counter;
    const ItemPtr c = loadPlist(config.toStdString(), counter).root;
    const ItemPtr s = loadPlist(sample.toStdString(), counter).root;
    return plistRepresentation(*compare(c, s).result, 0);
}

} // namespace

class ContentViewTest : public QObject {
    Q_OBJECT
  private slots:
    // A save right after the second file is loaded, before the comparison it posted has run.
    void saveBeforeTheComparisonHasRunSavesTheResult() {
        QTemporaryDir folder;
        ContentView view;
        view.chooseSaveFile = [&] { return folder.filePath("early.plist"); };
        view.openFile(Side::Config, example("config.plist"));
        view.openFile(Side::Sample, example("sample.plist"));
        QTimer::singleShot(0, &view, [&] { view.save(); }); // queued behind both loads
        QSignalSpy changed(&view, &ContentView::resultChanged);
        QTRY_COMPARE(changed.count(), 1);
        QTest::qWait(10); // no second comparison follows
        QCOMPARE(changed.count(), 1);
        QCOMPARE(contents(folder.filePath("early.plist")).toStdString(),
                 expectedMerge(example("config.plist"), example("sample.plist")));
    }
};

QTEST_MAIN(ContentViewTest)
#include "content_view_test.moc"
