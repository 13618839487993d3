// MainWindow: the application's single window, "Carryover", whose whole content is the main view.
// It opens 480 by 300, centred, unless a frame saved under "Main Window" from an earlier run is
// restored; the frame is saved again when the window closes. Closing the window quits.
#pragma once

#include <QMainWindow>

namespace carryover::ui {

class ContentView;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);

    ContentView& content() const { return *content_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    ContentView* content_;
};

} // namespace carryover::ui
