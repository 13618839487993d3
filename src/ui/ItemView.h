// ItemView: the lines of one tree, each in its operation's colour: enable button (25 wide), the name
// indented by 20 per level in a column of min(W / 3, 300) in all, the kind (100 wide) and the value.
// The view recognises clicks on enable buttons and asks for the switch; the owner of the tree decides.
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
    // Selects the next (or previous) line after the selected one whose operation is not None and
    // scrolls to it; false when there is none.
    bool selectNextDifference(bool backwards);
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
    void requestSwitch(const QModelIndex& index);

    ItemModel model_;
};

} // namespace carryover::ui
