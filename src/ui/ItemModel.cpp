// The flat line model of an Item tree.
#include "ui/ItemModel.h"

#include "merge/Switch.h"
#include "ui/OperationStyle.h"

namespace carryover::ui {

namespace {
QString fromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

ItemModel::ItemModel(QObject* parent) : QAbstractTableModel(parent) {}

void ItemModel::setRoot(ItemPtr root) {
    beginResetModel();
    root_ = std::move(root);
    lines_.clear();
    if (root_) addLines(*root_, 0);
    endResetModel();
}

void ItemModel::addLines(Item& node, int level) {
    // Pre-order with an explicit stack: trees may be deep.
    std::vector<Line> stack{{&node, level}};
    while (!stack.empty()) {
        const Line line = stack.back();
        stack.pop_back();
        if (!line.node->data.hasPlistForm()) continue; // None, Error, End: no line, nothing below
        lines_.push_back(line);
        const auto& children = line.node->children;
        for (size_t i = children.size(); i-- > 0;)
            stack.push_back({children[i], line.level + 1});
    }
}

void ItemModel::setSwitchesShown(bool shown) {
    if (shown == switchesShown_) return;
    switchesShown_ = shown;
    flagsChanged();
}

void ItemModel::setDark(bool dark) {
    if (dark == dark_) return;
    dark_ = dark;
    flagsChanged();
}

void ItemModel::flagsChanged() {
    if (!lines_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

Item* ItemModel::itemFor(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rowCount()) return nullptr;
    return lines_[static_cast<size_t>(index.row())].node;
}

int ItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int ItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ItemModel::data(const QModelIndex& index, int role) const {
    const Item* node = itemFor(index);
    if (!node) return {};
    const bool hasButton = switchesShown_ && hasSwitch(*node);
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return fromText(node->name);
        case TypeColumn: {
            const std::string_view type = node->data.typeString();
            return QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size()));
        }
        case ValueColumn:
            return displayValue(*node);
        }
        return {};
    case Qt::DecorationRole:
        if (index.column() != SwitchColumn || !hasButton) return {};
        return switchImage(node->operation, node->enabled, operationColor(node->operation, dark_));
    case Qt::ForegroundRole:
        return operationColor(node->operation, dark_);
    case Qt::ToolTipRole:
        return operationMeaning(node->operation) +
               (node->enabled ? QString() : QStringLiteral(" (switched off)"));
    case Qt::AccessibleDescriptionRole:
        return operationWord(node->operation) + (node->enabled ? QString() : QStringLiteral(", off"));
    case LevelRole:
        return lines_[static_cast<size_t>(index.row())].level;
    case HasSwitchRole:
        return hasButton;
    case OperationRole:
        return static_cast<int>(node->operation);
    }
    return {};
}

QString displayValue(const Item& node) {
    const ItemData& value = node.data;
    switch (value.type) {
    case ItemDataType::Bool:
        return value.boolValue() ? QStringLiteral("YES") : QStringLiteral("NO");
    case ItemDataType::Int:
        return QString::fromStdString(value.integerText());
    case ItemDataType::Double:
        return QString::number(value.doubleValue(), 'f', 6);
    case ItemDataType::Data: {
        const ByteView bytes = value.bytesValue();
        return QString::fromLatin1(
            QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
                .toHex(' '));
    }
    case ItemDataType::Date:
    case ItemDataType::String:
        return fromText(value.text());
    case ItemDataType::None:
    case ItemDataType::FileName:
    case ItemDataType::Dictionary:
    case ItemDataType::Array:
    case ItemDataType::Error:
    case ItemDataType::End:
        return {};
    }
    return {};
}

} // namespace carryover::ui
