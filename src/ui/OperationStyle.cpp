// Colours, words and button images of the operations.
#include "ui/OperationStyle.h"

#include <QCoreApplication>
#include <QPainter>

namespace carryover::ui {

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QColor operationColor(Operation operation, bool dark) {
    // The named colours take the values of the desktop guidelines the colour scheme comes from, which
    // are darker and easier to read than the pure colours of the same names.
    switch (operation) {
    case Operation::None:
        return dark ? QColor(Qt::white) : QColor(Qt::black);
    case Operation::Kill:
        return dark ? QColor(255, 69, 58) : QColor(255, 59, 48); // red
    case Operation::Merged:
        return dark ? QColor(255, 159, 10) : QColor(255, 149, 0); // orange
    case Operation::Replacement:
        return dark ? QColor(255, 214, 10) : QColor::fromRgbF(0.99f, 0.70f, 0.14f, 1.0f); // yellow
    case Operation::Inserted:
        return dark ? QColor(50, 215, 75) : QColor(40, 205, 65); // green
    case Operation::Unmatched:
        return dark ? QColor(10, 132, 255) : QColor(0, 122, 255); // blue
    }
    return {};
}

QString operationWord(Operation operation) {
    switch (operation) {
    case Operation::None:
        return QCoreApplication::translate("Operation", "Kept");
    case Operation::Kill:
        return QCoreApplication::translate("Operation", "Killed");
    case Operation::Merged:
        return QCoreApplication::translate("Operation", "Merged");
    case Operation::Replacement:
        return QCoreApplication::translate("Operation", "Replacement");
    case Operation::Inserted:
        return QCoreApplication::translate("Operation", "Inserted");
    case Operation::Unmatched:
        return QCoreApplication::translate("Operation", "Unmatched");
    }
    return {};
}

QString operationMeaning(Operation operation) {
    switch (operation) {
    case Operation::None:
        return QCoreApplication::translate("Operation",
                                           "Kept: taken from the sample, or equal on both sides");
    case Operation::Kill:
        return QCoreApplication::translate(
            "Operation", "Killed: switched off by a leading \"#\" or by \"Enabled\" set to false");
    case Operation::Merged:
        return QCoreApplication::translate("Operation",
                                           "Merged: the sample's value, replaced by the configuration's");
    case Operation::Replacement:
        return QCoreApplication::translate("Operation",
                                           "Replacement: the configuration's value in place of the sample's");
    case Operation::Inserted:
        return QCoreApplication::translate("Operation", "Inserted: found only in the configuration");
    case Operation::Unmatched:
        return QCoreApplication::translate("Operation", "Unmatched: found only in the sample");
    }
    return {};
}

QPixmap switchImage(Operation operation, bool enabled, const QColor& color, qreal scale) {
    // Drawn from shapes at the screen's scale, so that the image stays sharp at any scale: a rounded
    // square for a node and its subtree (with a tick when on), a circle for one side of a pair (with a
    // dot when on).
    constexpr int side = 16;
    QPixmap image(QSize(side, side) * scale);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(color, 1.5);
    painter.setPen(pen);
    const QRectF frame(2.75, 2.75, 10.5, 10.5);
    if (operation == Operation::Merged || operation == Operation::Replacement) {
        painter.drawEllipse(frame);
        if (enabled) {
            painter.setBrush(color);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(frame.center(), 2.75, 2.75);
        }
    } else {
        painter.drawRoundedRect(frame, 2, 2);
        if (enabled) {
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
            painter.setPen(pen);
            const QPointF tick[] = {{5.25, 8.25}, {7.25, 10.25}, {11, 5.75}};
            painter.drawPolyline(tick, 3);
        }
    }
    return image;
}

} // namespace carryover::ui
