#include "ui/ReadableIndicators.h"

#include "ui/ColourMix.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

namespace {

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Base).lightness() < palette.color(QPalette::Text).lightness();
}

} // namespace

ReadableIndicators::ReadableIndicators()
    : QProxyStyle(QStringLiteral("Fusion")) {}

void ReadableIndicators::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                       const QWidget* widget) const {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    // A box with the keyboard focus has Fusion's highlighted frame, which shows on any palette.
    const bool focusFrame =
        option->state.testFlag(State_HasFocus) && option->state.testFlag(State_KeyboardFocusChange);
    if (element != PE_IndicatorCheckBox || focusFrame || !isDark(option->palette))
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->translate(0.5, 0.5);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(mix(option->palette.color(QPalette::Base), option->palette.color(QPalette::Text), 0.5));
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

void ReadableIndicators::installOverFusion() {
    if (QApplication::style()->name().compare(u"fusion", Qt::CaseInsensitive) == 0)
        QApplication::setStyle(new ReadableIndicators);
}
