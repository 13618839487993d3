// The tree view: a flat table of lines with indented names and tinted enable buttons.
#include "ui/ItemView.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "ui/OperationStyle.h"

namespace carryover::ui {

namespace {

constexpr int switchWidth = 25, typeWidth = 100, indentPerLevel = 20, nameColumnMost = 300;

// Draws every cell in its line's colour, selected or not; indents names by their level and centres
// the enable button's image at its natural size.
class LineDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QColor color = index.data(Qt::ForegroundRole).value<QColor>();
        cell.palette.setColor(QPalette::HighlightedText, color);
        cell.palette.setColor(QPalette::Text, color);
        // A light selection, so that the selected line keeps its colour readable.
        QColor selection = cell.palette.color(QPalette::Highlight);
        selection.setAlpha(70);
        cell.palette.setColor(QPalette::Highlight, selection);
        const QString text = cell.text;
        const QPixmap image = index.data(Qt::DecorationRole).value<QPixmap>();
        // Background, selection and focus from the style; text and image drawn below.
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, view);

        painter->save();
        painter->setPen(color);
        switch (index.column()) {
        case ItemModel::SwitchColumn:
            if (!image.isNull()) {
                const QSize size = image.deviceIndependentSize().toSize();
                painter->drawPixmap(
                    QRect(QPoint(), size).translated(option.rect.center() - QRect(QPoint(), size).center()),
                    image);
            }
            break;
        case ItemModel::NameColumn: {
            const int indent = indentPerLevel * index.data(ItemModel::LevelRole).toInt();
            const QRect area = option.rect.adjusted(indent, 0, 0, 0);
            if (area.width() > 0) drawText(painter, option, area, text);
            break;
        }
        case ItemModel::TypeColumn:
        case ItemModel::ValueColumn:
            drawText(painter, option, option.rect, text);
            break;
        }
        painter->restore();
    }

  private:
    static void drawText(QPainter* painter, const QStyleOptionViewItem& option, const QRect& area,
                         const QString& text) {
        constexpr int padding = 3;
        const QRect inner = area.adjusted(padding, 0, -padding, 0);
        const QString shown = option.fontMetrics.elidedText(text, Qt::ElideRight, inner.width());
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
    if (event->type() == QEvent::PaletteChange) model_.setDark(isDark(palette()));
}

void ItemView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        switchSelected();
        return;
    }
    QTableView::keyPressEvent(event);
}

Item* ItemView::selectedItem() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : model_.itemFor(rows.first());
}

void ItemView::switchSelected() {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (!rows.isEmpty()) requestSwitch(rows.first());
}

void ItemView::requestSwitch(const QModelIndex& index) {
    const QModelIndex button = index.siblingAtColumn(ItemModel::SwitchColumn);
    if (button.data(ItemModel::HasSwitchRole).toBool()) emit switchRequested(model_.itemFor(button));
}

bool ItemView::selectNextDifference(bool backwards) {
    const QModelIndexList rows = selectionModel()->selectedRows();
    const int count = model_.rowCount();
    int row = rows.isEmpty() ? (backwards ? count : -1) : rows.first().row();
    for (row += backwards ? -1 : 1; row >= 0 && row < count; row += backwards ? -1 : 1) {
        const QModelIndex line = model_.index(row, ItemModel::NameColumn);
        if (model_.itemFor(line)->operation == Operation::None) continue;
        setCurrentIndex(line);
        scrollTo(line);
        setFocus();
        return true;
    }
    return false;
}

} // namespace carryover::ui
