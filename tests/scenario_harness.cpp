// Runs one window scenario against the real ContentView, offscreen: a text of steps a user takes and of
// what the user then sees. tests/README.md lists the verbs.
//
//   scenario_harness SCENARIO ROOT
//
// Files are named by their path under ROOT (the repository), or by their name when the scenario made
// them in its scratch folder (`file`, `folder`, `save`). Failures go to standard error, one line each.
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>
#include <unistd.h>
#include <utility>

#include "plist/Writer.h"
#include "ui/ContentView.h"
#include "ui/ItemView.h"
#include "ui/OperationStyle.h"
#include "ui/PathField.h"

using namespace carryover;
using namespace carryover::ui;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

class Scenario {
  public:
    Scenario(QString root) : root_(std::move(root)) {
        output_ = QDir(scratch_.path()).filePath(".output");
        std::fflush(stdout);
        savedStdout_ = ::dup(STDOUT_FILENO);
        std::freopen(output_.toLocal8Bit().constData(), "w", stdout);
        view_.resize(900, 600);
        view_.show();
        QApplication::setActiveWindow(&view_);
        if (!QTest::qWaitForWindowActive(&view_)) std::fprintf(stderr, "the window did not become active\n");
        fileDialog_ = std::exchange(view_.chooseSaveFile, [this] { return answer("a file to save to"); });
        view_.chooseOpenFile = [this](Side) { return answer("a file to open"); };
        view_.askUnsaved = [this] {
            if (questionAnswers_.isEmpty()) {
                fail("the window asked what to do with unsaved switches, with no answer given");
                return QMessageBox::Cancel;
            }
            return questionAnswers_.takeFirst();
        };
        narrowest_ = view_.minimumSizeHint().width();
    }
    ~Scenario() {
        std::fflush(stdout);
        ::dup2(savedStdout_, STDOUT_FILENO);
    }

    // Runs the scenario's lines; whether all expectations held.
    bool run(const QString& file) {
        QFile text(file);
        if (!text.open(QIODevice::ReadOnly)) return fail("cannot read " + file);
        name_ = QFileInfo(file).fileName();
        const QStringList lines = QString::fromUtf8(text.readAll()).split('\n');
        for (number_ = 1; number_ <= lines.size(); ++number_) {
            line_ = lines[number_ - 1];
            words_ = QProcess::splitCommand(line_); // blanks part words, "..." groups them
            if (words_.isEmpty() || words_[0].startsWith('#')) continue;
            step();
        }
        --number_;
        line_ = "(end)";
        if (!answers_.isEmpty() || !questionAnswers_.isEmpty())
            fail("the scenario's answers were not all asked for: " + answers_.join(' '));
        if (const QString rest = nextOutput(true); !rest.isEmpty()) fail("unexpected output: " + rest);
        return ok_;
    }

  private:
    QString word(int i) const { return words_.value(i); }
    // The text of the line after its first `count` words.
    QString rest(int count) const {
        return line_.trimmed().remove(
            QRegularExpression(QStringLiteral("^(\"[^\"]*\"\\s*|\\S+\\s*){%1}").arg(count)));
    }

    bool fail(const QString& message) {
        std::fprintf(stderr, "%s:%d: %s\n  %s\n", qPrintable(name_), number_, qPrintable(line_),
                     qPrintable(message));
        ok_ = false;
        return false;
    }

    bool expectEqual(const QString& what, const QString& actual, const QString& expected) {
        return actual == expected ||
               fail(QStringLiteral("%1 is \"%2\", expected \"%3\"").arg(what, actual, expected));
    }

    // Lets queued work (loading, the comparison) run.
    void settle() {
        for (int i = 0; i < 3; ++i) {
            QTest::qWait(0);
            QCoreApplication::processEvents();
        }
    }

    // A file named in the scenario: one it made, else one of the repository, else a new one it makes.
    QString resolve(const QString& path) const {
        const QString made = QDir(scratch_.path()).filePath(path), kept = QDir(root_).filePath(path);
        return QFileInfo::exists(made) || !QFileInfo::exists(kept) ? made : kept;
    }

    // A text as the scenario writes it: paths under the scratch folder or the root without them.
    QString shown(QString text) const {
        return text.replace(scratch_.path() + '/', QString()).replace(root_ + '/', QString());
    }

    // Waits for the window's own file dialog, types `name` into it and presses Return once the name has
    // stood in the field for a while: the dialog may still put the file it proposes there while it reads
    // the folder. A question the dialog asks is answered No, and the name typed again.
    void typeIntoFileDialog(const QString& name) {
        auto* poll = new QTimer(&view_);
        auto tries = std::make_shared<int>(0);
        auto standing = std::make_shared<int>(0); // ticks the name has stood in the field
        QObject::connect(poll, &QTimer::timeout, [this, poll, tries, standing, name] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            auto* field = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
            if (auto* question = qobject_cast<QMessageBox*>(modal)) {
                question->reject();
            } else if (field && field->text() != name) {
                *standing = 0;
                dialog->activateWindow();
                field->setFocus();
                field->selectAll();
                QTest::keyClicks(field, name);
            } else if (field && ++*standing % 5 == 0) {
                // Pressed from the event loop, so that this timer sees what the dialog does next.
                QMetaObject::invokeMethod(
                    field, [field] { QTest::keyClick(field, Qt::Key_Return); }, Qt::QueuedConnection);
            } else if (!modal && *standing > 0) {
                poll->deleteLater();
            }
            if (++*tries == 250) {
                poll->deleteLater();
                fail("the file dialog did not take the name");
                if (modal) modal->close();
            }
        });
        poll->start(20);
    }

    QString answer(const QString& what) {
        if (answers_.isEmpty()) {
            fail("the window asked for " + what + ", with no answer given");
            return {};
        }
        return answers_.takeFirst();
    }

    // The standard output written since the last look: its next line, or all of it.
    QString nextOutput(bool all) {
        std::fflush(stdout);
        const QByteArray bytes = contents(output_).mid(outputRead_);
        const qsizetype end = all ? bytes.size() : bytes.indexOf('\n');
        if (end < 0) return {};
        outputRead_ += all ? end : end + 1;
        return shown(QString::fromUtf8(bytes.left(end)));
    }

    // The field named by the word at `index`.
    Side side(int index = 1) {
        if (word(index) == "sample") return Side::Sample;
        if (word(index) != "config") fail("which field: config or sample?");
        return Side::Config;
    }

    PathField* field(Side side) {
        return view_.findChildren<PathField*>().value(side == Side::Config ? 0 : 1);
    }

    // Drags the files named from the third word on onto a field, and drops them when it accepts;
    // whether it accepted. With Shift held the drag proposes a move; `action` is what the drop took.
    bool drag(bool shift = false, Qt::DropAction* action = nullptr) {
        PathField* target = field(side());
        QList<QUrl> urls;
        for (const QString& path : words_.mid(2))
            urls << QUrl::fromLocalFile(resolve(path));
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = target->rect().center();
        const Qt::DropActions actions = shift ? Qt::CopyAction | Qt::MoveAction : Qt::CopyAction;
        const Qt::KeyboardModifiers modifiers = shift ? Qt::ShiftModifier : Qt::NoModifier;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(at, actions, &data, Qt::LeftButton, modifiers);
        if (shift) drop.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(target, &drop);
        if (action) *action = drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
        settle();
        return true;
    }

    // The key path of a line as scenarios write it: keys joined by "/", "/" for the root.
    static QString linePath(const Item& node) {
        const QString path = QString::fromStdString(node.path()).replace(QChar(0xB0), '/');
        return path.isEmpty() ? QStringLiteral("/") : path.mid(1);
    }

    // The row of the selected tab's line named `name`: a key path, with "@Word" naming its operation
    // where a Merged value and its Replacement share the path.
    int row(const QString& name) {
        const qsizetype at = name.lastIndexOf('@');
        const QString path = at < 0 ? name : name.left(at), operation = at < 0 ? QString() : name.mid(at + 1);
        ItemModel& lines = view_.currentView().lines();
        for (int row = 0; row < lines.rowCount(); ++row) {
            const Item* node = lines.itemFor(lines.index(row, 0));
            if (linePath(*node) == path &&
                (operation.isEmpty() || operationWord(node->operation) == operation))
                return row;
        }
        fail("no line " + name + " on this tab");
        return -1;
    }

    QModelIndex cell(const QString& name, int column) {
        const int found = row(name);
        return found < 0 ? QModelIndex() : view_.currentView().lines().index(found, column);
    }

    QColor colour(const QModelIndex& index, bool dark) {
        QPalette palette = view_.palette();
        palette.setColor(QPalette::Window, dark ? Qt::black : Qt::white);
        palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
        view_.setPalette(palette);
        return index.data(Qt::ForegroundRole).value<QColor>();
    }

    // The selected tab's lines as a text: the button ("[x]" on, "[ ]" off), the name indented by its
    // level, the kind, the value and what a screen reader says of the line.
    QString lines() {
        ItemModel& model = view_.currentView().lines();
        QString text;
        for (int row = 0; row < model.rowCount(); ++row) {
            const auto data = [&](int column, int role = Qt::DisplayRole) {
                return model.index(row, column).data(role);
            };
            const QString description = data(ItemModel::NameColumn, Qt::AccessibleDescriptionRole).toString();
            text += !data(ItemModel::SwitchColumn, ItemModel::HasSwitchRole).toBool() ? "   "
                    : description.endsWith(", off")                                   ? "[ ]"
                                                                                      : "[x]";
            text += QString(2 * data(0, ItemModel::LevelRole).toInt() + 1, ' ') +
                    data(ItemModel::NameColumn).toString() + '\t' + data(ItemModel::TypeColumn).toString() +
                    '\t' + data(ItemModel::ValueColumn).toString() + '\t' + description + '\n';
        }
        return shown(text);
    }

    // Compares `actual` with the file named by the word at `index`; UPDATE=1 writes it there instead.
    bool expectFile(const QString& what, const QByteArray& actual, int index) {
        const QString made = QDir(scratch_.path()).filePath(word(index));
        const QString expected = QFileInfo::exists(made) ? made : QDir(root_).filePath(word(index));
        if (qEnvironmentVariable("UPDATE") == "1") {
            write(expected, actual);
            return true;
        }
        return actual == contents(expected) || fail(what + " differs from " + word(index) + ":\n" + actual);
    }

    void step() {
        const QString verb = word(0);
        if (verb == "open") {
            view_.openFile(side(), resolve(word(2)));
            settle();
        } else if (verb == "drop") {
            if (!drag()) fail("the field refused the drag");
        } else if (verb == "refuse") {
            if (drag()) fail("the field took the drag");
        } else if (verb == "move") {
            Qt::DropAction action = Qt::IgnoreAction;
            if (!drag(true, &action))
                fail("the field refused the drag");
            else if (action != Qt::CopyAction)
                fail("the field took the drop other than as a copy");
        } else if (verb == "copy") {
            QFile::copy(resolve(word(1)), QDir(scratch_.path()).filePath(word(2)));
        } else if (verb == "change") {
            // As an editor saves: the file rewritten in place.
            const QString file = QDir(scratch_.path()).filePath(word(1));
            write(file, contents(file).replace(word(2).toUtf8(), word(3).toUtf8()));
        } else if (verb == "answer" && word(1) == "question") {
            const QMap<QString, QMessageBox::StandardButton> buttons = {{"Save", QMessageBox::Save},
                                                                        {"Discard", QMessageBox::Discard},
                                                                        {"Cancel", QMessageBox::Cancel}};
            if (!buttons.contains(word(2))) fail("answer the question with Save, Discard or Cancel");
            questionAnswers_ << buttons.value(word(2), QMessageBox::Cancel);
        } else if (verb == "type") {
            QTest::keyClicks(QApplication::focusWidget(), rest(1));
            settle();
        } else if (verb == "menu") {
            QAction* item = menuItem(word(1), word(2));
            if (!item)
                fail("no such menu item");
            else
                item->trigger();
            settle();
        } else if (verb == "click" && word(1) == "status") {
            clickStatus(word(2));
        } else if (verb == "answer") {
            answers_ << (word(1) == "cancel" ? QString() : resolve(word(1)));
        } else if (verb == "save" && word(1) == "typing") {
            typeIntoFileDialog(QDir(scratch_.path()).filePath(word(2)));
            const auto answering = std::exchange(view_.chooseSaveFile, fileDialog_);
            key(QKeySequence::fromString("Ctrl+Shift+S"));
            view_.chooseSaveFile = std::move(answering);
        } else if (verb == "save" && word(1) == "as") {
            answers_ << QDir(scratch_.path()).filePath(word(2));
            key(QKeySequence::fromString("Ctrl+Shift+S"));
        } else if (verb == "save") {
            answers_ << QDir(scratch_.path()).filePath(word(1));
            key(QKeySequence::fromString("Ctrl+S"));
        } else if (verb == "key") {
            const QKeySequence keys = QKeySequence::fromString(word(1));
            if (keys.isEmpty())
                fail("no such key");
            else
                key(keys);
        } else if (verb == "tab") {
            auto* bar = view_.findChild<QTabBar*>();
            int index = 0;
            while (index < bar->count() && bar->tabText(index) != rest(1))
                ++index;
            if (index == bar->count())
                fail("no such tab");
            else
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
            settle();
        } else if (verb == "click") {
            const QStringList columns = {"button", "name", "kind", "value"};
            const int column = word(2).isEmpty() ? 0 : columns.indexOf(word(2));
            if (column < 0) fail("click on the button, name, kind or value");
            const QModelIndex index = cell(word(1), column);
            if (!index.isValid()) return;
            ItemView& view = view_.currentView();
            view.scrollTo(index);
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(index).center());
            settle();
        } else if (verb == "file") {
            write(QDir(scratch_.path()).filePath(word(1)), rest(2).toUtf8() + '\n');
        } else if (verb == "folder") {
            QDir(scratch_.path()).mkpath(word(1));
        } else if (verb == "expect") {
            expect();
        } else {
            fail("no such verb");
        }
    }

    void key(const QKeySequence& keys) {
        if (!view_.isActiveWindow()) {
            QApplication::setActiveWindow(&view_);
            if (!QTest::qWaitForWindowActive(&view_)) fail("the window did not become active");
        }
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &view_;
        QTest::keyClick(target, keys[0].key(), keys[0].keyboardModifiers());
        settle();
    }

    void expect() {
        const QString what = word(1);
        if (what == "selected") {
            const Item* node = view_.currentView().selectedItem();
            QString actual = node ? linePath(*node) : QStringLiteral("none");
            if (node && word(2).contains('@')) actual += '@' + operationWord(node->operation);
            expectEqual("the selected line", actual, word(2));
        } else if (what == "colour") {
            const QModelIndex index = cell(word(2), ItemModel::NameColumn);
            if (!index.isValid()) return;
            const QPalette original = view_.palette();
            expectEqual("the colour in the light scheme", colour(index, false).name(),
                        QColor(word(3)).name());
            expectEqual("the colour in the dark scheme", colour(index, true).name(), QColor(word(4)).name());
            view_.setPalette(original);
        } else if (what == "tooltip") {
            const QModelIndex index = cell(word(2), ItemModel::ValueColumn);
            if (index.isValid()) expectEqual("the tooltip", index.data(Qt::ToolTipRole).toString(), rest(3));
        } else if (what == "lines") {
            expectFile("the tab's lines", lines().toUtf8(), 2);
        } else if (what == "result") {
            expectFile("the result",
                       QByteArray::fromStdString(plistRepresentation(*view_.tree(Tab::Merged), 0)), 2);
        } else if (what == "saved") {
            const QString saved = QDir(scratch_.path()).filePath(word(2));
            if (!QFileInfo(saved).isFile())
                fail(word(2) + " was not saved");
            else
                expectFile("the saved file", contents(saved), 3);
        } else if (what == "no" && word(2) == "file") {
            if (QFileInfo::exists(QDir(scratch_.path()).filePath(word(3)))) fail(word(3) + " is there");
        } else if (what == "status") {
            QTextDocument status;
            for (QLabel* label : view_.findChildren<QLabel*>())
                if (label->accessibleName() == "Differences per operation") status.setHtml(label->text());
            expectEqual("the status line", status.toPlainText(), rest(2));
        } else if (what == "output") {
            expectEqual("the next output line", nextOutput(false), rest(2));
        } else if (what == "field") {
            expectEqual("the field", shown(view_.path(side(2))), rest(3));
        } else if (what == "tab") {
            auto* bar = view_.findChild<QTabBar*>();
            expectEqual("the tab", bar->tabText(bar->currentIndex()), rest(2));
        } else if (what == "title") {
            QString title = view_.windowTitle();
            expectEqual("the title", title.replace("[*]", view_.isWindowModified() ? "*" : ""), rest(2));
        } else if (what == "window") {
            expectEqual("the window", view_.isVisible() ? "open" : "closed", word(2));
        } else if (what == "warning") {
            expectEqual("the warning", shown(warning()), rest(2));
        } else if (what == "says") {
            expectEqual("the field's text", field(side(2))->text(), rest(3));
        } else if (what == "bar") {
            // The watcher tells of a change a moment later.
            for (int i = 0; i < 100 && bar().isEmpty(); ++i)
                QTest::qWait(20);
            expectEqual("the bar above the tabs", bar(), rest(2));
        } else if (what == "found") {
            QString count;
            for (QLabel* label : view_.findChildren<QLabel*>())
                if (label->accessibleName() == "Matches")
                    count = label->isVisibleTo(&view_) ? label->text() : "";
            expectEqual("the find bar's count", count, rest(2));
        } else if (what == "clipboard") {
            // A text with blanks at its end is quoted.
            const QString expected = line_.trimmed().endsWith('"') && words_.size() == 3 ? word(2) : rest(2);
            expectEqual("the clipboard", QGuiApplication::clipboard()->text(), expected);
        } else if (what == "focus") {
            QWidget* focus = QApplication::focusWidget();
            expectEqual("the focus", focus ? focus->accessibleName() : QStringLiteral("(none)"), rest(2));
        } else if (what == "walk") {
            // F8 from the top to the last decision: the lines it selects, one a line.
            ItemView& view = view_.currentView();
            view.setCurrentIndex({});
            QString walk;
            while (true) {
                const Item* before = view.selectedItem();
                key(QKeySequence(Qt::Key_F8));
                const Item* after = view.selectedItem();
                if (after == before) break;
                walk += linePath(*after) + '@' + operationWord(after->operation) + '\n';
            }
            expectFile("the walk", walk.toUtf8(), 2);
        } else if (what == "minimum" && word(2) == "width") {
            const int width = view_.minimumSizeHint().width();
            if (width > narrowest_)
                fail(QStringLiteral("the window widened from %1 to %2").arg(narrowest_).arg(width));
        } else if (what == "message") {
            auto* box = view_.findChild<QMessageBox*>();
            expectEqual("the message", box ? shown(box->text()) : QStringLiteral("(none)"), rest(2));
            delete box;
        } else {
            fail("no such expectation");
        }
    }

    // The message under the fields, when it shows.
    QString warning() {
        for (QLabel* label : view_.findChildren<QLabel*>())
            if (label->accessibleName() == "Refused file" && label->isVisibleTo(&view_)) return label->text();
        return {};
    }

    // The bar above the tabs, when it shows.
    QString bar() {
        for (QLabel* label : view_.findChildren<QLabel*>())
            if (label->accessibleName() == "Changed on disk" && label->parentWidget()->isVisibleTo(&view_))
                return label->text();
        return {};
    }

    // The item of a menu, named by their texts without "&" and "…".
    QAction* menuItem(const QString& menu, const QString& item) {
        const auto plain = [](QString text) { return text.remove('&').remove(QChar(0x2026)); };
        for (QMenu* shown : view_.menus())
            if (plain(shown->title()) == menu)
                for (QAction* action : shown->actions())
                    if (plain(action->text()) == item) return action;
        return nullptr;
    }

    // Clicks the count of the operation `word` in the status line: follows its link.
    void clickStatus(const QString& word) {
        for (QLabel* label : view_.findChildren<QLabel*>()) {
            if (label->accessibleName() != "Differences per operation") continue;
            const QRegularExpression link(QStringLiteral("<a [^>]*href=\"([^\"]*)\"[^>]*>(.*?)</a>"));
            for (const auto& match : link.globalMatch(label->text())) {
                QTextDocument text;
                text.setHtml(match.captured(2));
                if (text.toPlainText().contains(word)) {
                    emit label->linkActivated(match.captured(1));
                    settle();
                    return;
                }
            }
        }
        fail("no count " + word + " to click in the status line");
    }

    QTemporaryDir scratch_;
    QString root_;
    ContentView view_;
    QString output_;
    qsizetype outputRead_ = 0;
    int savedStdout_ = -1;
    QStringList answers_;
    std::function<QString()> fileDialog_; // the window's own save dialog
    QList<QMessageBox::StandardButton> questionAnswers_;
    int narrowest_ = 0; // the window's least width before anything was loaded
    QString name_, line_;
    QStringList words_;
    int number_ = 0;
    bool ok_ = true;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: scenario_harness SCENARIO ROOT\n");
        return 2;
    }
    Scenario scenario(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
    return scenario.run(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
