#pragma once

#include <QColor>

// `share` of b mixed into a: colours made from the palette's own, so they follow a light, dark or high-contrast
// theme.
inline QColor mix(const QColor& a, const QColor& b, double share) {
    const auto part = [share](float x, float y) {
        return x + (y - x) * float(share);
    };
    return QColor::fromRgbF(part(a.redF(), b.redF()), part(a.greenF(), b.greenF()), part(a.blueF(), b.blueF()));
}
