// The window: its frame, its content and the quit command.
#include "ui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QScreen>
#include <QSettings>

#include "ui/ContentView.h"

namespace carryover::ui {

namespace {
const QString frameKey = QStringLiteral("Main Window");
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), content_(new ContentView(this)) {
    setWindowTitle(QStringLiteral("Carryover"));
    setCentralWidget(content_);
    resize(480, 300);
    if (const QScreen* screen = this->screen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    // A frame from an earlier run wins over the centring.
    restoreGeometry(QSettings().value(frameKey).toByteArray());

    auto* quit = new QAction(QStringLiteral("Quit"), this);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QSettings().setValue(frameKey, saveGeometry());
    event->accept();
}

} // namespace carryover::ui
