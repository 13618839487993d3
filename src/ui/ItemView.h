// ItemView: the lines of one tree, each in its operation's colour: enable button (25 wide), the name
// indented by 20 per level in a column of min(W / 3, 300) in all, the kind (100 wide) and the value.
// The view recognises clicks on enable buttons and Space and asks for the switch; the owner of the tree
// decides. A line left out of the result is struck through; the selected line is framed in its colour.
// In the decisions view Right or Return unfolds the selected decision, Left folds it.
#pragma once

#include <QTableView>

#include "ui/ItemModel.h"

namespace carryover::ui {

// The width of a line's name at `level` in a view `width` wide: min(width / 3, 300) - 20 x level,
// never negative.
int nameWidth(int width, int level);

class ItemView : public QTableView {
    Q_OBJECT
  public:
    explicit ItemView(QWidget* parent = nullptr);

    ItemModel& lines() { return model_; }
    // The node of the selected line; null when none is selected.
    Item* selectedItem() const;
    // Selects the next (or previous) decision after the selected line, a line with an enable button
    // that the view shows, and scrolls it to the middle; false when there is none.
    bool selectNextDecision(bool backwards);
    // Selects the line of `node` and scrolls to it, to the middle when `centred`; false when it has none.
    bool selectNode(const Item* node, bool centred = true);
    // Asks for the switch of the selected line, when it has an enable button.
    void switchSelected();

  signals:
    // The user asked to switch the node of a line that has an enable button.
    void switchRequested(carryover::Item* node);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void layOutColumns();
    void clearHighlight();
    void requestSwitch(const QModelIndex& index);

    ItemModel model_;
};

} // namespace carryover::ui
