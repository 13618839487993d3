// ContentView: the content of the window and the owner of all the application's state: the two path
// fields, the four trees (configuration, sample, differences, result), the selected tab and the names
// of the two files the comparison last ran with. A file is loaded when it is dropped on a field (or
// chosen); once both fields hold a file, and whenever one of them changes to another file, the
// comparison runs; the result is derived again after every change of the differences.
#pragma once

#include <QWidget>
#include <functional>

#include "merge/Comparison.h"
#include "model/ContainerCounter.h"
#include "model/Item.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace carryover::ui {

class ItemView;
class PathField;

// The tabs, in order.
enum class Tab {
    Config,     // "Config": the configuration as read
    Sample,     // "Full Sample": the sample as read
    Difference, // "Differences": the differences tree, with enable buttons
    Merged,     // "Result": the merged result, with the Save button
};

// The two files a comparison takes.
enum class Side {
    Config, // the user's configuration
    Sample, // the newer full sample
};

class ContentView : public QWidget {
    Q_OBJECT
  public:
    explicit ContentView(QWidget* parent = nullptr);

    // Loads the file at `path` into the field of `side`, as a drop does; runs queued, after the
    // events at hand.
    void openFile(Side side, const QString& path);
    // Asks for a file to load into the field of `side`, then loads it.
    void chooseFile(Side side);
    // Asks for a file name and saves the result there; says so when that fails.
    void save();
    // Whether both fields hold a file, so that the result can be saved.
    bool canSave() const;

    // The text of the field of `side`: a path, or the prompt.
    QString path(Side side) const;
    const ItemPtr& tree(Tab tab) const;
    Tab selectedTab() const;
    void selectTab(Tab tab);
    ItemView& view(Tab tab) const;
    // The selected tab's view.
    ItemView& currentView() const;

    // Chooses the file to save to; "" when the user cancels. A dialog by default.
    std::function<QString()> chooseSaveFile;
    // Chooses a file to load for a side; "" when the user cancels. A dialog by default.
    std::function<QString(Side)> chooseOpenFile;

  protected:
    void changeEvent(QEvent* event) override;

  signals:
    // The differences tree was replaced or switched, and the result derived from it.
    void resultChanged();

  private:
    QWidget* makeFields();
    QWidget* makeTabs();
    void makeShortcuts();

    // Loads the file now; the step `openFile` queues.
    void load(Side side, const QString& path);
    // The field and tree of a side, written path first, then tree.
    void setFile(Side side, const QString& path, ItemPtr root);
    // Posts the comparison when a tree's name differs from the one the comparison last ran with.
    void compareWhenChanged();
    void runComparison();
    void setDifferences(ItemPtr differences, ItemPtr result, OperationCounts counts);
    void switchNode(Item* node);
    void showTrees();
    void showCounts();

    PathField* configField_ = nullptr;
    PathField* sampleField_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    ItemView* views_[4] = {};
    QPushButton* saveButton_ = nullptr;
    QLabel* counts_ = nullptr;

    ContainerCounter counter_; // numbers the containers of every file this view reads
    ItemPtr trees_[4];         // configuration, sample, differences, result
    OperationCounts operationCounts_;
    std::string nameSaved1_, nameSaved2_; // the configuration's and sample's names the comparison ran with
    bool comparisonPosted_ = false;
};

} // namespace carryover::ui
