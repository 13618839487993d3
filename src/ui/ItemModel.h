// ItemModel: one Item tree as a flat table of lines in pre-order, for a view that never collapses.
// A line is a node with its depth; nodes of kind None, Error and End have no line, and neither has
// anything below them. Columns: the enable button, the name, the kind and the value.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "model/Item.h"

namespace carryover::ui {

class ItemModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { SwitchColumn, NameColumn, TypeColumn, ValueColumn, ColumnCount };
    enum Role {
        LevelRole = Qt::UserRole, // the line's depth, 0 for the root (int)
        HasSwitchRole,            // whether the line carries an enable button (bool)
        OperationRole,            // the node's operation (int)
    };

    explicit ItemModel(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(ItemModel)

    // Shows the tree of `root`; null shows nothing. A model reset.
    void setRoot(ItemPtr root);
    const ItemPtr& root() const { return root_; }
    // Lines of the result carry no enable buttons.
    void setSwitchesShown(bool shown);
    // Draws in the dark scheme's colours.
    void setDark(bool dark);
    // Tells views that flags of the nodes shown changed in place; the lines stay.
    void flagsChanged();

    // The node of a line; null for an invalid index.
    Item* itemFor(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    struct Line {
        Item* node;
        int level;
    };
    void addLines(Item& node, int level);
    QString valueText(const Item& node) const;

    ItemPtr root_;
    std::vector<Line> lines_;
    bool switchesShown_ = true;
    bool dark_ = false;
};

// The text of a node's value as a line shows it: YES/NO, decimal integers, reals with six decimals,
// data as hexadecimal bytes, dates and strings as held; "" for containers and other kinds.
QString displayValue(const Item& node);

} // namespace carryover::ui
