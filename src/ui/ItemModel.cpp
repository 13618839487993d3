// The flat line model of an Item tree.
#include "ui/ItemModel.h"

#include "merge/Identifying.h"
#include "merge/Switch.h"
#include "ui/OperationStyle.h"

namespace carryover::ui {

namespace {
QString fromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The number of lines of `root`'s whole tree: its nodes that have a plist form, with none below those
// that have none.
size_t lineCount(const Item& root) {
    size_t count = 0;
    std::vector<const Item*> stack{&root};
    while (!stack.empty()) {
        const Item* node = stack.back();
        stack.pop_back();
        if (!node->data.hasPlistForm()) continue;
        ++count;
        stack.insert(stack.end(), node->children.begin(), node->children.end());
    }
    return count;
}
} // namespace

ItemModel::ItemModel(QObject* parent) : QAbstractTableModel(parent) {}

void ItemModel::setRoot(ItemPtr root) {
    // Folds stay while the view shows nothing for a while, as it does when its tab is not selected.
    if (root && root != foldsOf_) {
        unfolded_.clear();
        revealed_ = nullptr;
        foldsOf_ = root;
    }
    root_ = std::move(root);
    rebuild();
}

void ItemModel::rebuild() {
    beginResetModel();
    lines_.clear();
    if (root_) {
        if (decisionsOnly_)
            addDecisionLines(*root_, 0);
        else {
            // Grown step by step, the lines of a first large tree would move to fresh memory each
            // time; later trees mostly find the room the last one left.
            if (lines_.capacity() == 0) lines_.reserve(lineCount(*root_));
            addLines(*root_, 0);
        }
    }
    markOffLines();
    endResetModel();
}

void ItemModel::addLines(Item& node, int level) {
    // Pre-order with an explicit stack: trees may be deep.
    std::vector<std::pair<Item*, int>> stack{{&node, level}};
    while (!stack.empty()) {
        const auto [at, depth] = stack.back();
        stack.pop_back();
        if (!at->data.hasPlistForm()) continue; // None, Error, End: no line, nothing below
        lines_.push_back({at, depth, false});
        const auto& children = at->children;
        for (size_t i = children.size(); i-- > 0;)
            stack.push_back({children[i], depth + 1});
    }
}

// Adds the line of `node` when it is a decision, leads to one, or is the revealed node; a decision's
// subtree only when it is unfolded. Returns whether the node's line stays.
bool ItemModel::addDecisionLines(Item& node, int level) {
    if (!node.data.hasPlistForm()) return false;
    const size_t mark = lines_.size();
    lines_.push_back({&node, level, false});
    if (isShownDecision(node)) {
        if (unfolded_.count(&node))
            for (Item* child : node.children)
                addLines(*child, level + 1);
        return true;
    }
    bool kept = level == 0 || &node == revealed_;
    for (Item* child : node.children)
        kept = addDecisionLines(*child, level + 1) || kept;
    if (!kept) lines_.resize(mark);
    return kept;
}

void ItemModel::markOffLines() {
    // Lines come in pre-order and every line's ancestors have lines: the last line seen at each level
    // above is the parent.
    std::vector<char> offAt;
    for (Line& line : lines_) {
        const size_t level = static_cast<size_t>(line.level);
        if (offAt.size() <= level) offAt.resize(level + 1);
        line.off = !line.node->enabled || (level > 0 && offAt[level - 1]);
        offAt[level] = line.off;
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
    markOffLines();
    if (!lines_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void ItemModel::setDecisionsOnly(bool only) {
    if (only == decisionsOnly_) return;
    decisionsOnly_ = only;
    rebuild();
}

void ItemModel::setOperationShown(Operation operation, bool shown) {
    const unsigned bit = 1u << static_cast<unsigned>(operation);
    const unsigned hidden = shown ? hiddenOperations_ & ~bit : hiddenOperations_ | bit;
    if (hidden == hiddenOperations_) return;
    hiddenOperations_ = hidden;
    if (decisionsOnly_) rebuild();
}

bool ItemModel::operationShown(Operation operation) const {
    return !(hiddenOperations_ & (1u << static_cast<unsigned>(operation)));
}

bool ItemModel::isShownDecision(const Item& node) const {
    return switchesShown_ && hasSwitch(node) && operationShown(node.operation);
}

bool ItemModel::setUnfolded(const Item& node, bool unfolded) {
    if (!decisionsOnly_ || !isShownDecision(node) || node.children.empty()) return false;
    const bool changed = unfolded ? unfolded_.insert(&node).second : unfolded_.erase(&node) > 0;
    if (changed) rebuild();
    return changed;
}

bool ItemModel::isFolded(const Item& node) const {
    return decisionsOnly_ && isShownDecision(node) && !node.children.empty() && !unfolded_.count(&node);
}

void ItemModel::reveal(const Item& node) {
    if (indexFor(&node).isValid()) return;
    for (const Item* above = node.parent; above; above = above->parent)
        if (isShownDecision(*above)) unfolded_.insert(above);
    revealed_ = &node;
    rebuild();
}

Item* ItemModel::itemFor(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rowCount()) return nullptr;
    return lines_[static_cast<size_t>(index.row())].node;
}

QModelIndex ItemModel::indexFor(const Item* node, int column) const {
    for (size_t row = 0; row < lines_.size(); ++row)
        if (lines_[row].node == node) return index(static_cast<int>(row), column);
    return {};
}

int ItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int ItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString ItemModel::valueText(const Item& node) const {
    // In the decisions view a dictionary in an array says which element it is.
    if (decisionsOnly_ && node.parent && node.parent->type() == ItemDataType::Array)
        if (const Item* entry = identifyingEntry(node))
            return displayName(*entry) + QStringLiteral("  ") + displayValue(*entry);
    return displayValue(node);
}

QVariant ItemModel::data(const QModelIndex& index, int role) const {
    const Item* node = itemFor(index);
    if (!node) return {};
    const Line& line = lines_[static_cast<size_t>(index.row())];
    const bool hasButton = switchesShown_ && hasSwitch(*node);
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return displayName(*node);
        case TypeColumn: {
            const std::string_view type = node->data.typeString();
            return QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size()));
        }
        case ValueColumn:
            return valueText(*node);
        }
        return {};
    case Qt::ForegroundRole:
        return operationColor(node->operation, dark_);
    case Qt::ToolTipRole:
        return operationMeaning(node->operation) +
               (line.off && switchesShown_ ? tr(" (switched off)") : QString());
    case Qt::AccessibleDescriptionRole:
        return operationWord(node->operation) + (line.off && switchesShown_ ? tr(", off") : QString());
    case LevelRole:
        return line.level;
    case HasSwitchRole:
        return hasButton;
    case OperationRole:
        return static_cast<int>(node->operation);
    case OffRole:
        return line.off && switchesShown_;
    }
    return {};
}

QString displayName(const Item& node) {
    return fromText(node.name);
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
