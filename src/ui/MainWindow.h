// MainWindow: the application's single window, whose content is the main view and whose menu bar
// holds the main view's menus. It opens 480 by 300, centred, unless a frame saved under "Main Window"
// from an earlier run is restored; the frame is saved again when the window closes. Closing the window
// quits, once unsaved switches are saved or given up; the main view names the files in the title.
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
