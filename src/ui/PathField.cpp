// The path field: a drop target for one property-list file.
#include "ui/PathField.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>

namespace carryover::ui {

PathField::PathField(QWidget* parent) : QLabel(parent) {
    setAcceptDrops(true);
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setCursor(Qt::PointingHandCursor);
    setPath(pathPrompt);
}

void PathField::setPath(const QString& path) {
    path_ = path;
    setToolTip(path == pathPrompt ? QStringLiteral("Drop a .plist file here, or click to choose one") : path);
    setAccessibleDescription(path);
    showPath();
}

void PathField::showPath() {
    setText(fontMetrics().elidedText(path_, Qt::ElideMiddle, std::max(width(), 40)));
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
    return {fontMetrics().horizontalAdvance(pathPrompt) + 20, QLabel::sizeHint().height()};
}

QString PathField::droppablePath(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return {};
    const QString path = urls.first().toLocalFile();
    return QFileInfo(path).suffix() == QLatin1String("plist") ? path : QString();
}

void PathField::dragEnterEvent(QDragEnterEvent* event) {
    if (droppablePath(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    setHovered(true);
}

void PathField::dragLeaveEvent(QDragLeaveEvent* event) {
    QLabel::dragLeaveEvent(event);
    setHovered(false);
}

void PathField::setHovered(bool hovered) {
    setAutoFillBackground(hovered);
    setBackgroundRole(hovered ? QPalette::Highlight : QPalette::Window);
    setForegroundRole(hovered ? QPalette::HighlightedText : QPalette::WindowText);
}

void PathField::dragMoveEvent(QDragMoveEvent* event) {
    if (droppablePath(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void PathField::dropEvent(QDropEvent* event) {
    setHovered(false);
    const QString path = droppablePath(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit fileDropped(path);
}

void PathField::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

} // namespace carryover::ui
