#pragma once
// Sizes given in dialog units of a font, as the dialog templates measure them,
// and the scale of stored list column widths (pixels of the classic dialog
// font, whose average character is 6 pixels wide) to a list's font.

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <algorithm>

namespace dravolo::tool {

inline double AverageCharWidth(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
}
// Horizontal dialog units in pixels.
inline int DialogUnitsX(const QFont& font, int units) {
    return static_cast<int>(units * AverageCharWidth(font) / 4.0 + 0.5);
}
inline double StoredWidthScale(const QFont& font) { return std::max(1.0, AverageCharWidth(font) / 6.0); }

}  // namespace dravolo::tool
