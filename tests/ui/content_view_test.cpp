// Scenarios of the main view driven by real events: drops, the comparison, switches, saving, keys.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "merge/Comparison.h"
#include "plist/Loading.h"
#include "plist/Writer.h"
#include "ui/ContentView.h"
#include "ui/ItemView.h"
#include "ui/PathField.h"

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

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Drags `paths` onto `field`, and drops them there when `dropping`, as a user does, letting the queued
// loading run; whether the field accepted the drag.
bool drag(PathField* field, const QStringList& paths, bool dropping = false) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QDragEnterEvent enter(field->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    if (dropping) {
        QDropEvent dropped(field->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(field, &dropped);
        QTest::qWait(0);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    return enter.isAccepted();
}

void drop(PathField* field, const QStringList& paths) {
    drag(field, paths, true);
}

// Shows `view` as the active window, so that its shortcuts are live.
bool activate(QWidget& view) {
    view.show();
    QApplication::setActiveWindow(&view);
    return QTest::qWaitForWindowActive(&view);
}

PathField* field(ContentView& view, Side side) {
    return view.findChildren<PathField*>().at(side == Side::Config ? 0 : 1);
}

QPushButton* saveButton(ContentView& view) {
    for (auto* button : view.findChildren<QPushButton*>())
        if (button->text() == "Save") return button;
    return nullptr;
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
    void dropsAreCheckedLoadedAndCompared() {
        QTemporaryDir folder;
        const QString bad = folder.filePath("bad.plist"), text = folder.filePath("config.txt"),
                      upper = folder.filePath("Config.PLIST"), list = folder.filePath("list.plist");
        write(bad, "this is no property list");
        write(text, contents(example("config.plist")));
        write(upper, contents(example("config.plist")));
        write(list, "<plist><array><string>a</string></array></plist>");

        ContentView view;
        PathField* config = field(view, Side::Config);
        PathField* sample = field(view, Side::Sample);
        QCOMPARE(view.path(Side::Sample), QString("Drag a .plist file onto this text"));
        QVERIFY(!saveButton(view)->isEnabled());
        QVERIFY(drag(config, {example("config.plist")}));
        QVERIFY(!drag(config, {text}));
        QVERIFY(!drag(config, {upper}));
        QVERIFY(!drag(config, {text, example("config.plist")})); // only the first file counts

        QSignalSpy compared(&view, &ContentView::resultChanged);
        drop(config, {example("config.plist")});
        QCOMPARE(view.path(Side::Config), example("config.plist"));
        QCOMPARE(view.currentView().model()->index(0, 1).data().toString(), example("config.plist"));
        QCOMPARE(view.tree(Tab::Difference)->type(), ItemDataType::None);
        QVERIFY(!saveButton(view)->isEnabled());

        drop(sample, {example("sample.plist")});
        QTRY_COMPARE(compared.count(), 1);
        QVERIFY(saveButton(view)->isEnabled());
        QCOMPARE(view.tree(Tab::Difference)->name, example("sample.plist").toStdString());
        QCOMPARE(plistRepresentation(*view.tree(Tab::Merged), 0),
                 expectedMerge(example("config.plist"), example("sample.plist")));

        // Another file compares again.
        const QString copy = folder.filePath("copy.plist");
        write(copy, contents(example("sample.plist")));
        drop(sample, {copy});
        QTRY_COMPARE(compared.count(), 2);
        QCOMPARE(view.tree(Tab::Difference)->name, copy.toStdString());

        // A file that is no property list, or whose top level is no dictionary, resets its field and
        // empties the comparison; loading the file again compares again.
        for (const QString& refused : {bad, list}) {
            drop(config, {refused});
            QCOMPARE(view.path(Side::Config), QString("Drag a .plist file onto this text"));
            QTRY_COMPARE(view.tree(Tab::Difference)->type(), ItemDataType::None);
            QVERIFY(!saveButton(view)->isEnabled());
            QCOMPARE(view.tree(Tab::Config)->type(), ItemDataType::None);
            drop(config, {example("config.plist")});
            QTRY_COMPARE(view.tree(Tab::Difference)->type(), ItemDataType::FileName);
        }
        QCOMPARE(view.path(Side::Sample), copy);
    }

    void switchesChangeTheResultAndKeepTheView() {
        ContentView view;
        view.resize(900, 600);
        QVERIFY(activate(view));
        view.openFile(Side::Config, example("config.plist"));
        view.openFile(Side::Sample, example("sample.plist"));
        QSignalSpy changed(&view, &ContentView::resultChanged);
        QTRY_COMPARE(changed.count(), 1);
        view.selectTab(Tab::Difference);
        ItemView& differences = view.currentView();

        // F8 goes to the first line whose operation is not None; Space switches it.
        QTest::keyClick(&view, Qt::Key_F8);
        Item* first = differences.selectedItem();
        QVERIFY(first && first->operation != Operation::None);
        const int row = differences.currentIndex().row();
        const bool wasOn = first->enabled;
        QTest::keyClick(&differences, Qt::Key_Space);
        QCOMPARE(first->enabled, !wasOn);
        QCOMPARE(differences.currentIndex().row(), row); // the selection stays
        QCOMPARE(plistRepresentation(*view.tree(Tab::Merged), 0),
                 plistRepresentation(*mergedResult(view.tree(Tab::Difference)), 0));

        // A Merged/Replacement pair: a click on the Replacement's button swaps the values the result takes.
        const ItemPtr& tree = view.tree(Tab::Difference);
        const auto pair = tree->getItems("°Display°Theme");
        QCOMPARE(pair.size(), size_t(2));
        QCOMPARE(pair[1]->operation, Operation::Replacement);
        int replacementRow = -1;
        for (int r = 0; r < differences.model()->rowCount(); ++r)
            if (differences.lines().itemFor(differences.model()->index(r, 0)) == pair[1]) replacementRow = r;
        QVERIFY(replacementRow >= 0);
        differences.scrollTo(differences.model()->index(replacementRow, 0));
        const QRect button = differences.visualRect(differences.model()->index(replacementRow, 0));
        const auto theme = [&] {
            return view.tree(Tab::Merged)->getItems("°Display°Theme").at(0)->data.text();
        };
        QTest::mouseClick(differences.viewport(), Qt::LeftButton, {}, button.center());
        QVERIFY(theme() == "Light");
        QTest::mouseClick(differences.viewport(), Qt::LeftButton, {}, button.center());
        QVERIFY(theme() == "Dark");
    }

    void keysOpenTheFilesSelectTabsAndSaveExactlyTheResult() {
        QTemporaryDir folder;
        ContentView view;
        QVERIFY(activate(view));
        QString chosen = folder.filePath("merged.plist");
        bool askedToSave = false;
        view.chooseSaveFile = [&] {
            askedToSave = true;
            return chosen;
        };
        QTest::keyClick(&view, Qt::Key_S, Qt::ControlModifier); // nothing while Save is disabled
        QVERIFY(!askedToSave);
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(&view, static_cast<Qt::Key>(Qt::Key_1 + i), Qt::ControlModifier);
            QCOMPARE(static_cast<int>(view.selectedTab()), i);
        }
        QList<Side> asked;
        view.chooseOpenFile = [&](Side side) {
            asked << side;
            return side == Side::Config ? example("config.plist") : example("sample.plist");
        };
        QSignalSpy changed(&view, &ContentView::resultChanged);
        QTest::keyClick(&view, Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(asked, QList<Side>({Side::Config, Side::Sample}));
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(view.path(Side::Config), example("config.plist"));

        QTest::keyClick(&view, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(contents(folder.filePath("merged.plist")).toStdString(),
                 expectedMerge(example("config.plist"), example("sample.plist")));
        // A folder in the way: the save fails, says so, and leaves it as it was.
        QDir(folder.path()).mkdir("taken.plist");
        chosen = folder.filePath("taken.plist");
        view.saveAs();
        QVERIFY(QFileInfo(chosen).isDir());
        QTRY_VERIFY(view.findChild<QMessageBox*>() != nullptr);
        QVERIFY(view.findChild<QMessageBox*>()->text().contains("taken.plist"));
        // Cancelling writes nothing.
        chosen.clear();
        view.saveAs();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
                 QStringList({"merged.plist"}));
    }

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
