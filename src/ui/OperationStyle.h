// How an operation looks in the window: the colour of its lines in the light and the dark scheme,
// its name in words for tooltips and the legend, and the image of an enable button.
#pragma once

#include <QColor>
#include <QPalette>
#include <QPixmap>
#include <QString>

#include "model/Item.h"

namespace carryover::ui {

// Whether `palette` is a dark scheme: light text on a dark window.
bool isDark(const QPalette& palette);

// The colour of the lines of nodes with `operation`.
QColor operationColor(Operation operation, bool dark);

// A short word for `operation` ("Kept", "Killed", ...), as the legend shows it.
QString operationWord(Operation operation);

// What `operation` means, in a sentence for a line's tooltip.
QString operationMeaning(Operation operation);

// The image of the enable button of a node with `operation` and `enabled`, in `color`, for a screen
// of `scale` device pixels per pixel: a circle for Merged and Replacement, a square for the rest,
// marked when switched on.
QPixmap switchImage(Operation operation, bool enabled, const QColor& color, qreal scale);

} // namespace carryover::ui
