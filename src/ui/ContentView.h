// ContentView: the content of the window and the owner of all the application's state: the two path
// fields, the four trees (configuration, sample, differences, result), the selected tab and the names
// of the two files the comparison last ran with. A file is loaded when it is dropped on a field, chosen
// or reloaded; once both fields hold a file, and whenever one of them changes to another file or to
// other content, the comparison runs; the result is derived when it is wanted, again after a switch.
// The comparison takes a file's tree for its own when nothing shows it or keeps a place in it, and a
// copy otherwise; a tree it took is read again from the file's text when its tab is next shown.
//
// It also keeps the user's work: switches can be undone, the window's title marks switches not yet
// saved, and nothing that would drop them (loading, reloading, closing) happens without asking. Its
// commands are actions, gathered in the menus the window shows.
#pragma once

#include <QMessageBox>
#include <QUndoStack>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "merge/Comparison.h"
#include "merge/SwitchState.h"
#include "model/ContainerCounter.h"
#include "model/Item.h"

class QAction;
class QFileSystemWatcher;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace carryover::ui {

class FindBar;
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
    // events at hand, once unsaved switches are saved or given up.
    void openFile(Side side, const QString& path);
    // Asks for a file to load into the field of `side`, then loads it.
    void chooseFile(Side side);
    // Reads both files again, once unsaved switches are saved or given up.
    void reload();
    // Saves the result where it was saved last, or asks where first; whether it was saved.
    bool save();
    // Asks for a file name and saves the result there; whether it was saved.
    bool saveAs();
    // Whether both fields hold a file, so that the result can be saved.
    bool canSave() const;
    // Whether switches differ from the last save (or, before one, from the comparison's own).
    bool isModified() const;
    // Asks what to do with unsaved switches, and saves them when told; whether to go on.
    bool maySetWorkAside();

    // Shows only the decisions on the Differences tab, or every line.
    void setDecisionsOnly(bool only);
    // Finds `text` in the selected tab and goes to the first match; the number of matches.
    int find(const QString& text);
    // Goes to the next (or previous) match; false when there is none.
    bool findNext(bool backwards = false);
    QUndoStack& undoStack() { return undo_; }

    // The text of the field of `side`: a path, or the prompt.
    QString path(Side side) const;
    // The tree of a tab; the result is derived from the differences' switches when asked for.
    const ItemPtr& tree(Tab tab);
    Tab selectedTab() const;
    void selectTab(Tab tab);
    ItemView& view(Tab tab) const;
    // The selected tab's view.
    ItemView& currentView() const;
    // The menus of the commands, for a menu bar.
    const QList<QMenu*>& menus() const { return menus_; }

    // Chooses the file to save to; "" when the user cancels. A dialog by default.
    std::function<QString()> chooseSaveFile;
    // Chooses a file to load for a side; "" when the user cancels. A dialog by default.
    std::function<QString(Side)> chooseOpenFile;
    // Asks what to do with unsaved switches: Save, Discard or Cancel. A question box by default.
    std::function<QMessageBox::StandardButton()> askUnsaved;

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  signals:
    // The differences tree was replaced or switched, and the result derived from it.
    void resultChanged();

  private:
    QWidget* makeFields();
    QWidget* makeChangedBar();
    QWidget* makeTabs();
    QWidget* makeFindBar();
    void makeActions();

    // Loads the file now, the step `openFile` queues; asks about unsaved switches it would drop,
    // unless `asked` already.
    void load(Side side, const QString& path, bool asked = false);
    // What a side's tree was read from, so that it can be read again alike.
    struct Input {
        std::string name;                  // the root's name, the path read; "" when none is loaded
        std::string_view text;             // the whole file, kept by `bytes`
        std::shared_ptr<const void> bytes; // null when none is loaded
        ContainerCounter numbering;        // the counter as it stood before the read
    };

    // The field and tree of a side, written path first, then tree.
    void setFile(Side side, const QString& path, ItemPtr root, Input input);
    // The tree of `side` read again from its file's text, as it was read first.
    ItemPtr readAgain(Side side) const;
    // The tree of `side` for the comparison to take: the tree itself when nothing else holds it, which
    // leaves its tab to read it again; else a copy, so that lines, places and folds on it stay.
    ItemPtr takeForComparison(Side side);
    void showRefusal(const QString& path, const QString& reason);
    // Posts the comparison when a tree's name differs from the one the comparison last ran with.
    void compareWhenChanged();
    void runComparison();
    void setDifferences(ItemPtr differences, ItemPtr result, OperationCounts counts);
    void switchNode(Item* node);
    // Flips the switches of the differences tree's nodes in `flips`, each with its place in switches_,
    // and derives the result again.
    using Flips = std::vector<std::pair<size_t, Item*>>;
    void flip(const Flips& flips);
    void resetSwitches();
    bool saveTo(const QString& target);
    void showTrees();
    void showCounts();
    void showTitle();
    void watchFiles();
    void fileChangedOnDisk(const QString& path);
    void addRecent();
    void fillRecentMenu();
    void copy(bool path, bool value);
    void showContextMenu(ItemView* view, const QPoint& at);
    void showFindBar();
    void showFound();
    void showKeys();
    void showAbout();
    void tabChanged(int index);

    PathField* configField_ = nullptr;
    PathField* sampleField_ = nullptr;
    QLabel* refusal_ = nullptr; // the last refused file, under the fields
    QWidget* changedBar_ = nullptr;
    QLabel* changedText_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    ItemView* views_[4] = {};
    QPushButton* saveButton_ = nullptr;
    FindBar* findBar_ = nullptr;
    QStatusBar* status_ = nullptr;
    QLabel* counts_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QList<QMenu*> menus_;
    QMenu* recentMenu_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* reloadAction_ = nullptr;
    QAction* decisionsAction_ = nullptr;
    QAction* resetAction_ = nullptr;

    ContainerCounter counter_; // numbers the containers of every file this view reads
    ItemPtr trees_[4];         // configuration (null once taken), sample (likewise), differences, result
    Input inputs_[2];          // of the configuration and the sample
    OperationCounts operationCounts_;
    std::string nameSaved1_, nameSaved2_; // the configuration's and sample's names the comparison ran with
    bool comparisonPosted_ = false;
    QUndoStack undo_;
    SwitchState defaults_;               // the comparison's own switches
    SwitchState switches_;               // the switches as the differences tree holds them now
    SwitchState saved_;                  // the switches of the last save, or the defaults before one
    bool modified_ = false;              // the switches differ from saved_
    bool resultStale_ = false;           // the result is to be derived again from the differences
    QString savedPath_;                  // where the result was saved last
    std::vector<const Item*> decisions_; // the lines of the differences that carry a switch

    // Where the user was on a tab: the selected node and the scroll position.
    struct Place {
        ItemPtr root;
        const Item* node = nullptr;
        std::string path;
        int scroll = 0;
    };
    Place places_[4];
    int shownTab_ = 0;

    ItemPtr foundIn_;                // the tree searched
    std::vector<const Item*> found_; // the matches of the find bar's text in it
    size_t foundAt_ = 0;
};

} // namespace carryover::ui
