// The tree view: a flat table of lines with indented names and tinted enable buttons.
#include "ui/ItemView.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "model/Item.h"
#include "ui/OperationStyle.h"

namespace carryover::ui {

namespace {

constexpr int switchWidth = 25, typeWidth = 100, indentPerLevel = 20, nameColumnMost = 300;

// Draws every cell in its line's colour, selected or not; indents names by their level and centres
// the enable button's image at its natural size.
constexpr qreal selectionTint = 0.10;
class LineDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QColor color = index.data(Qt::ForegroundRole).value<QColor>();
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        if (selected) {
            // The selection is a light tint of the line's own colour under a frame of it, so that the
            // selected line stays as readable as the others, in either scheme.
            QColor tint = color;
            tint.setAlphaF(selectionTint);
            painter->fillRect(option.rect, tint);
            painter->setPen(QPen(color, 1));
            const QRect r = option.rect.adjusted(0, 0, 0, -1);
            painter->drawLine(r.topLeft(), r.topRight());
            painter->drawLine(r.bottomLeft(), r.bottomRight());
            if (index.column() == 0) painter->drawLine(r.topLeft(), r.bottomLeft());
            if (index.column() == index.model()->columnCount() - 1)
                painter->drawLine(r.topRight() - QPoint(1, 0), r.bottomRight() - QPoint(1, 0));
        }
        // A line left out of the result is struck through, whether or not it has a button of its own.
        QFont font = option.font;
        font.setStrikeOut(index.data(ItemModel::OffRole).toBool());
        painter->setFont(font);
        painter->setPen(color);
        const QString text = index.data(Qt::DisplayRole).toString();
        switch (index.column()) {
        case ItemModel::SwitchColumn:
            if (index.data(ItemModel::HasSwitchRole).toBool()) {
                const Item* node = static_cast<const ItemModel*>(index.model())->itemFor(index);
                const qreal scale = option.widget ? option.widget->devicePixelRatioF() : 1.0;
                const QPixmap image = switchImage(node->operation, node->enabled, color, scale);
                const QSize size = image.deviceIndependentSize().toSize();
                painter->drawPixmap(
                    QRect(QPoint(), size).translated(option.rect.center() - QRect(QPoint(), size).center()),
                    image);
            }
            break;
        case ItemModel::NameColumn: {
            const int indent = indentPerLevel * index.data(ItemModel::LevelRole).toInt();
            const QRect area = option.rect.adjusted(indent, 0, 0, 0);
            if (area.width() > 0) drawText(painter, QFontMetrics(font), area, text);
            break;
        }
        case ItemModel::TypeColumn:
        case ItemModel::ValueColumn:
            drawText(painter, QFontMetrics(font), option.rect, text);
            break;
        }
        painter->restore();
    }

  private:
    static void drawText(QPainter* painter, const QFontMetrics& metrics, const QRect& area,
                         const QString& text) {
        constexpr int padding = 3;
        const QRect inner = area.adjusted(padding, 0, -padding, 0);
        const QString shown = metrics.elidedText(text, Qt::ElideRight, inner.width());
        painter->drawText(inner, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
};

} // namespace

int nameWidth(int width, int level) {
    return std::max(0, std::min(width / 3, nameColumnMost) - indentPerLevel * level);
}

ItemView::ItemView(QWidget* parent) : QTableView(parent), model_(this) {
    setModel(&model_);
    setItemDelegate(new LineDelegate(this));
    setShowGrid(false);
    setWordWrap(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false); // Tab leaves the tree
    setContextMenuPolicy(Qt::CustomContextMenu);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Every line has one height, so the view never measures lines it does not show.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setMinimumSectionSize(0);
    model_.setDark(isDark(palette()));
    clearHighlight();
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == ItemModel::SwitchColumn) requestSwitch(index);
    });
    layOutColumns();
}

void ItemView::layOutColumns() {
    setColumnWidth(ItemModel::SwitchColumn, switchWidth);
    setColumnWidth(ItemModel::NameColumn, nameWidth(width(), 0));
    setColumnWidth(ItemModel::TypeColumn, typeWidth);
}

void ItemView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    layOutColumns();
}

void ItemView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        model_.setDark(isDark(palette()));
        clearHighlight();
    }
}

void ItemView::clearHighlight() {
    // The style would fill a selected line with the highlight colour under the line's own colour; the
    // delegate draws the selection instead.
    if (palette().color(QPalette::Highlight) == Qt::transparent) return;
    QPalette lines = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        lines.setColor(group, QPalette::Highlight, Qt::transparent);
    setPalette(lines);
}

void ItemView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        Item* node = selectedItem();
        switch (event->key()) {
        case Qt::Key_Space:
            switchSelected();
            return;
        case Qt::Key_Right:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (node && model_.setUnfolded(*node, true)) selectNode(node, false);
            return;
        case Qt::Key_Left:
            if (node && model_.setUnfolded(*node, false)) selectNode(node, false);
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

Item* ItemView::selectedItem() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : model_.itemFor(rows.first());
}

bool ItemView::selectNode(const Item* node, bool centred) {
    const QModelIndex line = model_.indexFor(node);
    if (!line.isValid()) return false;
    setCurrentIndex(line);
    scrollTo(line, centred ? PositionAtCenter : EnsureVisible);
    return true;
}

void ItemView::switchSelected() {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (!rows.isEmpty()) requestSwitch(rows.first());
}

void ItemView::requestSwitch(const QModelIndex& index) {
    const QModelIndex button = index.siblingAtColumn(ItemModel::SwitchColumn);
    if (button.data(ItemModel::HasSwitchRole).toBool()) emit switchRequested(model_.itemFor(button));
}

bool ItemView::selectNextDecision(bool backwards) {
    const QModelIndexList rows = selectionModel()->selectedRows();
    const int count = model_.rowCount();
    int row = rows.isEmpty() ? (backwards ? count : -1) : rows.first().row();
    for (row += backwards ? -1 : 1; row >= 0 && row < count; row += backwards ? -1 : 1) {
        const QModelIndex line = model_.index(row, ItemModel::NameColumn);
        if (!model_.isShownDecision(*model_.itemFor(line))) continue;
        setCurrentIndex(line);
        scrollTo(line, PositionAtCenter);
        setFocus();
        return true;
    }
    return false;
}

} // namespace carryover::ui
