// The window: its frame, its menus and its content.
#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>

#include "ui/ContentView.h"

namespace carryover::ui {

namespace {
const QString frameKey = QStringLiteral("Main Window");
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), content_(new ContentView(this)) {
    setCentralWidget(content_);
    for (QMenu* menu : content_->menus())
        menuBar()->addMenu(menu);
    resize(480, 300);
    if (const QScreen* screen = this->screen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    // A frame from an earlier run wins over the centring.
    restoreGeometry(QSettings().value(frameKey).toByteArray());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!content_->maySetWorkAside()) {
        event->ignore();
        return;
    }
    QSettings().setValue(frameKey, saveGeometry());
    event->accept();
}

} // namespace carryover::ui
