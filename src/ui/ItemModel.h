// ItemModel: one Item tree as a flat table of lines in pre-order. A line is a node with its depth;
// nodes of kind None, Error and End have no line, and neither has anything below them. Columns: the
// enable button, the name, the kind and the value.
//
// By default every node has a line. Showing only the decisions (the lines that carry an enable
// button) keeps those lines and their ancestors; each decision starts folded into its line, and a
// folded dictionary in an array shows its identifying entry as its value.
#pragma once

#include <QAbstractTableModel>
#include <set>
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
        OffRole, // whether the node is left out of the result: it or an ancestor is off (bool)
    };

    explicit ItemModel(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(ItemModel)

    // Shows the tree of `root`; null shows nothing. A model reset; folds are forgotten when the tree
    // is another one.
    void setRoot(ItemPtr root);
    const ItemPtr& root() const { return root_; }
    // Lines of the result carry no enable buttons.
    void setSwitchesShown(bool shown);
    // Draws in the dark scheme's colours.
    void setDark(bool dark);
    // Tells views that flags of the nodes shown changed in place; the lines stay.
    void flagsChanged();

    // Shows only the decisions and their ancestors (true), or every node (false). A model reset.
    void setDecisionsOnly(bool only);
    bool decisionsOnly() const { return decisionsOnly_; }
    // Leaves out of the decisions the ones whose operation is `operation`, or takes them back.
    void setOperationShown(Operation operation, bool shown);
    bool operationShown(Operation operation) const;
    // Whether `node` is a decision the decisions view shows: it carries a button and its operation is shown.
    bool isShownDecision(const Item& node) const;
    // Unfolds (or folds) the decision on `node`'s line in the decisions view; false when there is no
    // such decision or nothing changes.
    bool setUnfolded(const Item& node, bool unfolded);
    bool isFolded(const Item& node) const;
    // Makes sure `node` has a line, unfolding what hides it in the decisions view.
    void reveal(const Item& node);

    // The node of a line; null for an invalid index.
    Item* itemFor(const QModelIndex& index) const;
    // The line of `node` in `column`; invalid when it has none.
    QModelIndex indexFor(const Item* node, int column = NameColumn) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    struct Line {
        Item* node;
        int level;
        bool off; // the node or one of its ancestors is switched off
    };
    void rebuild();
    void addLines(Item& node, int level);
    bool addDecisionLines(Item& node, int level);
    void markOffLines();
    QString valueText(const Item& node) const;

    ItemPtr root_;
    std::vector<Line> lines_;
    bool switchesShown_ = true;
    bool dark_ = false;
    bool decisionsOnly_ = false;
    unsigned hiddenOperations_ = 0; // one bit per operation
    ItemPtr foldsOf_;               // the tree the folds below belong to
    std::set<const Item*> unfolded_;
    const Item* revealed_ = nullptr;
};

// The text of a node's value as a line shows it: YES/NO, decimal integers, reals with six decimals,
// data as hexadecimal bytes, dates and strings as held; "" for containers and other kinds.
QString displayValue(const Item& node);

// The name of a node as a line shows it.
QString displayName(const Item& node);

} // namespace carryover::ui
