#include "ui/ClockIndicator.h"

#include <QTest>

class TestClockIndicator : public QObject {
    Q_OBJECT
private slots:
    // Eight distinct pictures whose mask shows only when drawn as stored; the face is never mask.
    void pictures() {
        QList<QImage> seen;
        for (const QString& key : ClockIndicator::keys()) {
            const QImage stored = ClockIndicator::picture(key, false);
            const QImage overlay = ClockIndicator::picture(key, true);
            QVERIFY2(!seen.contains(stored), qPrintable(key));
            seen << stored;
            QCOMPARE(stored.pixel(0, 0), ClockIndicator::kMaskColour);
            QCOMPARE(qAlpha(overlay.pixel(0, 0)), 0);
            QVERIFY(stored.pixel(7, 7) != ClockIndicator::kMaskColour);
            QCOMPARE(overlay.pixel(7, 7), stored.pixel(7, 7));
        }
        QCOMPARE(seen.size(), 8);
        QVERIFY(ClockIndicator::picture(QStringLiteral("aniTimer6"), false).isNull());

        ClockIndicator indicator;
        indicator.setClockState({QStringLiteral("aniTimer3"), false, QStringLiteral("Next check at x")});
        QCOMPARE(indicator.currentKey(), QStringLiteral("aniTimer3"));
        QCOMPARE(indicator.toolTip(), QStringLiteral("Next check at x"));
        QVERIFY(!indicator.pixmap().isNull());
    }
};

QTEST_MAIN(TestClockIndicator)
#include "tst_clockindicator.moc"
