// The find bar: a text field, its count of matches and its buttons.
#include "ui/FindBar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>

namespace carryover::ui {

FindBar::FindBar(QWidget* parent) : QWidget(parent), text_(new QLineEdit(this)), count_(new QLabel(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(tr("Find:"), this);
    label->setBuddy(text_);
    text_->setPlaceholderText(tr("Key, value or key/path"));
    text_->setClearButtonEnabled(true);
    count_->setAccessibleName(tr("Matches"));
    count_->setMinimumWidth(count_->fontMetrics().horizontalAdvance(QStringLiteral("000 of 0000")));
    const auto button = [this](const QString& text, const QString& tip) {
        auto* made = new QToolButton(this);
        made->setText(text);
        made->setToolTip(tip);
        made->setAccessibleName(tip);
        made->setAutoRaise(true);
        return made;
    };
    auto* previous = button(QStringLiteral("\u2191"), tr("Previous match (Shift+F3)"));
    auto* next = button(QStringLiteral("\u2193"), tr("Next match (F3, Return)"));
    auto* close = button(QStringLiteral("\u2715"), tr("Close (Escape)"));
    row->addWidget(label);
    row->addWidget(text_, 1);
    row->addWidget(count_);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(close);
    connect(text_, &QLineEdit::textChanged, this, &FindBar::textChanged);
    connect(text_, &QLineEdit::returnPressed, this,
            [this] { emit nextRequested(QApplication::keyboardModifiers() & Qt::ShiftModifier); });
    connect(previous, &QToolButton::clicked, this, [this] { emit nextRequested(true); });
    connect(next, &QToolButton::clicked, this, [this] { emit nextRequested(false); });
    const auto hide = [this] {
        this->hide();
        emit closed();
    };
    connect(close, &QToolButton::clicked, this, hide);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, hide);
}

QString FindBar::text() const {
    return text_->text();
}

void FindBar::setText(const QString& text) {
    text_->setText(text);
}

void FindBar::open() {
    show();
    text_->setFocus();
    text_->selectAll();
}

void FindBar::showCount(const QString& count) {
    count_->setText(count);
}

} // namespace carryover::ui
