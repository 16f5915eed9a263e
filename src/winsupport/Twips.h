#pragma once

#include <QWidget>

#include <cmath>

// Window sizes and positions are designed in twips (1/1440 inch); this turns them into pixels at a
// logical resolution (15 twips a pixel at 96 dpi), rounding to the nearest pixel.
inline constexpr double kTwipsPerInch = 1440.0;

inline int twipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * (dpi > 0 ? dpi : 96) / kTwipsPerInch));
}

inline double pixelsToTwips(int pixels, int dpi) {
    return pixels * kTwipsPerInch / (dpi > 0 ? dpi : 96);
}

// Places a child widget by its designed twips rectangle, at the widget's own logical resolution.
inline void placeTwips(QWidget* widget, int left, int top, int width, int height) {
    const int dpiX = widget->logicalDpiX();
    const int dpiY = widget->logicalDpiY();
    widget->setGeometry(twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
                        twipsToPixels(height, dpiY));
}
