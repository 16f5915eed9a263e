#include "support/DataRows.h"
#include "ui/ReadableIndicators.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

#include <memory>

namespace {

QPalette darkPalette() {
    const QColor window(0x35, 0x35, 0x35), base(0x24, 0x24, 0x24), text(0xe8, 0xe8, 0xe8);
    QPalette p(text, window, window.lighter(130), window.darker(130), window.darker(115), text, text, base,
               window);
    p.setColor(QPalette::Disabled, QPalette::Text, text.darker(170));
    return p;
}

// An unticked box drawn on the list's background, as a view draws it in its first column.
QImage drawBox(const QStyle& style, const QPalette& palette, bool itemView, bool enabled) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(palette.color(QPalette::Base));
    QPainter painter(&image);
    const QStyle::State state = enabled ? QStyle::State_Enabled : QStyle::State_None;
    if (itemView) {
        QStyleOptionViewItem option;
        option.rect = QRect(3, 3, 14, 14);
        option.palette = palette;
        option.state = state | QStyle::State_Off;
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        option.checkState = Qt::Unchecked;
        style.drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &option, &painter);
    } else {
        QStyleOptionButton option;
        option.rect = QRect(3, 3, 14, 14);
        option.palette = palette;
        option.palette.setCurrentColorGroup(enabled ? QPalette::Active : QPalette::Disabled);
        option.state = state | QStyle::State_Off;
        style.drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
    }
    return image;
}

// How far the drawing's most distinct pixel stands from the background, in lightness.
int standOut(const QImage& image, const QColor& background) {
    int most = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            most = std::max(most, std::abs(image.pixelColor(x, y).lightness() - background.lightness()));
    }
    return most;
}

} // namespace

class tst_ReadableIndicators : public QObject {
    Q_OBJECT
private slots:
    // On a dark palette an unticked box shows its frame, in a list and alone, enabled or not.
    void darkBoxesShow_data() {
        columns<bool, bool, int>("itemView", "enabled", "least");
        QTest::newRow("in a list") << true << true << 60;
        QTest::newRow("alone") << false << true << 60;
        QTest::newRow("alone, disabled") << false << false << 25;
    }
    void darkBoxesShow() {
        const auto [itemView, enabled, least] = fetch<bool, bool, int>("itemView", "enabled", "least");
        const QPalette palette = darkPalette();
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        QVERIFY(standOut(drawBox(*fusion, palette, itemView, enabled), palette.color(QPalette::Base)) < least);
        ReadableIndicators readable;
        QVERIFY(standOut(drawBox(readable, palette, itemView, enabled), palette.color(QPalette::Base)) >= least);
    }

    // A light palette keeps Fusion's own drawing, pixel for pixel.
    void lightBoxesAsFusion() {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        const QPalette light = fusion->standardPalette();
        ReadableIndicators readable;
        for (const bool itemView : {true, false})
            QCOMPARE(drawBox(readable, light, itemView, true), drawBox(*fusion, light, itemView, true));
    }
};

QTEST_MAIN(tst_ReadableIndicators)
#include "tst_readableindicators.moc"
