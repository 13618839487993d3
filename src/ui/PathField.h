// PathField: the text that shows the path of a loaded file and takes a property-list file dropped on
// it. It accepts a drag only when the first of the dragged URLs is a local file whose extension is
// exactly "plist", and only as a copy; a file of another kind hovering gets the reason in the field. On
// a drop, a click, or Return or Space while it has the focus, it tells its owner, which loads the file.
#pragma once

#include <QLabel>

class QMimeData;

namespace carryover::ui {

// The prompt a path field shows until a file is loaded.
QString pathPrompt();

class PathField : public QLabel {
    Q_OBJECT
  public:
    explicit PathField(QWidget* parent = nullptr);

    // The path shown, or the prompt.
    const QString& path() const { return path_; }
    // Shows `path`, shortened in the middle when the field is too narrow for it.
    void setPath(const QString& path);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

    // The path of the file that `data` offers: the first URL when it is a local file named "*.plist"
    // (letter case matters); "" otherwise.
    static QString droppablePath(const QMimeData* data);

  signals:
    // A file was dropped on the field.
    void fileDropped(const QString& path);
    // The field was clicked: the user wants to choose a file.
    void clicked();

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void showPath();
    // Marks the field as the place a hovering file would land.
    void setHovered(bool hovered);
    // Shows `reason` in place of the path while a refused file hovers; "" shows the path again.
    void setRefusal(const QString& reason);

    QString path_;
    QString refusal_;
};

} // namespace carryover::ui
