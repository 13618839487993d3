// Colours, words and button images of the operations.
#include "ui/OperationStyle.h"

#include <QHash>
#include <QPainter>

// The images live in a static library, whose resources are registered only when asked for.
static void registerImages() {
    Q_INIT_RESOURCE(resources);
}

namespace carryover::ui {

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QColor operationColor(Operation operation, bool dark) {
    switch (operation) {
    case Operation::None:
        return dark ? QColor(Qt::white) : QColor(Qt::black);
    case Operation::Kill:
        return QColor(Qt::red);
    case Operation::Merged:
        return QColor(255, 165, 0); // orange
    case Operation::Replacement:
        return dark ? QColor(Qt::yellow) : QColor::fromRgbF(0.99f, 0.70f, 0.14f, 1.0f);
    case Operation::Inserted:
        return QColor(Qt::green);
    case Operation::Unmatched:
        return QColor(Qt::blue);
    }
    return {};
}

QString operationWord(Operation operation) {
    switch (operation) {
    case Operation::None:
        return QStringLiteral("Kept");
    case Operation::Kill:
        return QStringLiteral("Killed");
    case Operation::Merged:
        return QStringLiteral("Merged");
    case Operation::Replacement:
        return QStringLiteral("Replacement");
    case Operation::Inserted:
        return QStringLiteral("Inserted");
    case Operation::Unmatched:
        return QStringLiteral("Unmatched");
    }
    return {};
}

QString operationMeaning(Operation operation) {
    switch (operation) {
    case Operation::None:
        return QStringLiteral("Kept: taken from the sample, or equal on both sides");
    case Operation::Kill:
        return QStringLiteral("Killed: switched off by a leading \"#\" or by \"Enabled\" set to false");
    case Operation::Merged:
        return QStringLiteral("Merged: the sample's value, replaced by the configuration's");
    case Operation::Replacement:
        return QStringLiteral("Replacement: the configuration's value in place of the sample's");
    case Operation::Inserted:
        return QStringLiteral("Inserted: found only in the configuration");
    case Operation::Unmatched:
        return QStringLiteral("Unmatched: found only in the sample");
    }
    return {};
}

namespace {
// The image resource, multiplied by `color`, its transparency kept.
QPixmap tinted(const QString& name, const QColor& color) {
    static const bool registered = (registerImages(), true);
    (void)registered;
    const QImage original(QStringLiteral(":/images/%1.png").arg(name));
    if (original.isNull()) return {};
    QImage image = original.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.fillRect(image.rect(), color);
    // Multiplying also paints the transparent surroundings: take the original's transparency back.
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, original);
    painter.end();
    return QPixmap::fromImage(image);
}
} // namespace

QPixmap switchImage(Operation operation, bool enabled, const QColor& color) {
    const bool pair = operation == Operation::Merged || operation == Operation::Replacement;
    const QString name = pair ? (enabled ? "cc" : "c") : (enabled ? "sc" : "s");
    static QHash<QString, QPixmap> cache;
    const QString key = name + color.name(QColor::HexArgb);
    auto found = cache.find(key);
    if (found == cache.end()) found = cache.insert(key, tinted(name, color));
    return *found;
}

} // namespace carryover::ui
