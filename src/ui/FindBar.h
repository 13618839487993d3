// FindBar: the bar under the tabs that finds a text: a field, the count of matches ("3 of 17",
// "not found"), and buttons to the previous and the next match and to close it. Return goes to the
// next match, Shift+Return to the previous, Escape closes. The owner searches; the bar tells it what
// the user asks for.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace carryover::ui {

class FindBar : public QWidget {
    Q_OBJECT
  public:
    explicit FindBar(QWidget* parent = nullptr);

    QString text() const;
    // Sets the text to find; says so through textChanged when it differs.
    void setText(const QString& text);
    // Shows the bar with its text selected and the focus in it.
    void open();
    // Shows the count of matches, or "" for none.
    void showCount(const QString& count);

  signals:
    void textChanged(const QString& text);
    // The user asked for the next match, or the previous one.
    void nextRequested(bool backwards);
    // The user closed the bar.
    void closed();

  private:
    QLineEdit* text_;
    QLabel* count_;
};

} // namespace carryover::ui
