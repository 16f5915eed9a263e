#pragma once

#include <QProxyStyle>

// Fusion draws a check box's frame a shade darker than the window: on a dark palette that is nearly the
// colour of the list behind it, and an unticked box all but disappears. Over a dark palette this style
// draws the frame halfway between the background and the text instead; light palettes are left as Fusion
// draws them.
class ReadableIndicators : public QProxyStyle {
    Q_OBJECT
public:
    ReadableIndicators();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // Puts this style in place of the application's when that is Fusion; other styles draw their own.
    static void installOverFusion();
};
