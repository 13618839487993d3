// The path field: a drop target for one property-list file.
#include "ui/PathField.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>

namespace carryover::ui {

PathField::PathField(QWidget* parent) : QLabel(parent) {
    setAcceptDrops(true);
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setPath(pathPrompt());
}

QString pathPrompt() {
    return PathField::tr("Drag a .plist file onto this text");
}

void PathField::setPath(const QString& path) {
    path_ = path;
    refusal_.clear();
    setToolTip(path == pathPrompt() ? tr("Drop a .plist file here, or click to choose one") : path);
    setAccessibleDescription(path);
    showPath();
}

void PathField::showPath() {
    const QString& shown = refusal_.isEmpty() ? path_ : refusal_;
    setText(fontMetrics().elidedText(shown, Qt::ElideMiddle, std::max(width(), 40)));
}

void PathField::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showPath();
}

// A long path is shortened rather than widening the window.
QSize PathField::minimumSizeHint() const {
    return {40, QLabel::minimumSizeHint().height()};
}

QSize PathField::sizeHint() const {
    return {fontMetrics().horizontalAdvance(pathPrompt()) + 20, QLabel::sizeHint().height()};
}

QString PathField::droppablePath(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return {};
    const QString path = urls.first().toLocalFile();
    return QFileInfo(path).suffix() == QLatin1String("plist") ? path : QString();
}

// A drop may only copy: a move would let the source delete the user's file.
static bool offersCopy(const QDropEvent* event) {
    return event->possibleActions() & Qt::CopyAction;
}

void PathField::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->mimeData() || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    if (droppablePath(event->mimeData()).isEmpty() || !offersCopy(event)) {
        // Says why while the file hovers; the drag is refused.
        setRefusal(tr("only .plist files"));
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    setHovered(true);
}

void PathField::dragLeaveEvent(QDragLeaveEvent* event) {
    QLabel::dragLeaveEvent(event);
    setHovered(false);
}

void PathField::setHovered(bool hovered) {
    setRefusal({});
    setAutoFillBackground(hovered);
    setBackgroundRole(hovered ? QPalette::Highlight : QPalette::Window);
    setForegroundRole(hovered ? QPalette::HighlightedText : QPalette::WindowText);
}

void PathField::setRefusal(const QString& reason) {
    refusal_ = reason;
    showPath();
}

void PathField::dragMoveEvent(QDragMoveEvent* event) {
    if (droppablePath(event->mimeData()).isEmpty() || !offersCopy(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void PathField::dropEvent(QDropEvent* event) {
    setHovered(false);
    const QString path = droppablePath(event->mimeData());
    if (path.isEmpty() || !offersCopy(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit fileDropped(path);
}

void PathField::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

void PathField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

} // namespace carryover::ui
