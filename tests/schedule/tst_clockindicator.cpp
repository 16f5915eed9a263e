#include "schedule/ClockIndicator.h"

#include <QTest>

class TestClockIndicator : public QObject {
    Q_OBJECT
private slots:
    void picturesDistinctAndMasked() {
        QList<QImage> seen;
        for (const QString& key : ClockIndicator::keys()) {
            const QImage stored = ClockIndicator::picture(key, false);
            const QImage overlay = ClockIndicator::picture(key, true);
            QCOMPARE(stored.size(), QSize(16, 16));
            QCOMPARE(stored.pixel(0, 0), ClockIndicator::kMaskColour); // the corners are mask, the face is not
            QVERIFY(stored.pixel(7, 7) != ClockIndicator::kMaskColour);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const QRgb s = stored.pixel(x, y);
                    QCOMPARE(qAlpha(s), 255);
                    QCOMPARE(overlay.pixel(x, y), s == ClockIndicator::kMaskColour ? qRgba(0, 0, 0, 0) : s);
                }
            QVERIFY2(!seen.contains(stored), qPrintable(key));
            seen << stored;
        }
        QCOMPARE(seen.size(), 8);
        QVERIFY(ClockIndicator::picture(QStringLiteral("aniTimer6"), false).isNull());
    }
    void maskShownOnlyAsStored() {
        const QColor background(0, 200, 0);
        for (const bool overlay : {true, false}) {
            ClockIndicator indicator;
            QPalette palette = indicator.palette();
            palette.setColor(QPalette::Window, background);
            indicator.setPalette(palette);
            indicator.setAutoFillBackground(true);
            indicator.setClockState({QStringLiteral("aniTimer3"), overlay, QStringLiteral("Next check at x")});
            QCOMPARE(indicator.toolTip(), QStringLiteral("Next check at x"));
            const QImage shot = indicator.grab().toImage();
            QCOMPARE(shot.pixelColor(1, 1), overlay ? background : QColor(ClockIndicator::kMaskColour));
            QVERIFY(shot.pixelColor(shot.width() / 2, shot.height() / 2) != background);
        }
    }
};

QTEST_MAIN(TestClockIndicator)
#include "tst_clockindicator.moc"
