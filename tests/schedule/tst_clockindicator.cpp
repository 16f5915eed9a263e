#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/SiteList.h"
#include "schedule/CheckScheduler.h"
#include "schedule/ClockIndicator.h"
#include "schedule/ConnectionState.h"
#include "store/SettingsStore.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QRgb kMagenta = qRgb(255, 0, 255);
const QColor kBackground(0, 200, 0);
} // namespace

class TestClockIndicator : public QObject {
    Q_OBJECT

private slots:
    void picturesAreDistinct();
    void mask_data();
    void mask();
    void unknownKeyHasNoPicture();
    void grabShowsMaskOnlyAsStored_data();
    void grabShowsMaskOnlyAsStored();
    void followsScheduler();
};

void TestClockIndicator::picturesAreDistinct() {
    QSet<QByteArray> seen;
    const QStringList keys = ClockIndicator::keys();
    QCOMPARE(keys.size(), 8);
    for (const QString& key : keys) {
        const QImage image = ClockIndicator::picture(key, false);
        QCOMPARE(image.size(), QSize(16, 16));
        const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
        seen.insert(QByteArray(reinterpret_cast<const char*>(rgb.constBits()), rgb.sizeInBytes()));
    }
    QCOMPARE(seen.size(), keys.size());
}

void TestClockIndicator::mask_data() {
    QTest::addColumn<QString>("key");
    for (const QString& key : ClockIndicator::keys())
        QTest::newRow(qPrintable(key)) << key;
}

void TestClockIndicator::mask() {
    QFETCH(QString, key);
    const QImage stored = ClockIndicator::picture(key, false);
    const QImage overlay = ClockIndicator::picture(key, true);
    int maskPixels = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb s = stored.pixel(x, y);
            const QRgb o = overlay.pixel(x, y);
            QCOMPARE(qAlpha(s), 255);
            if (s == kMagenta) {
                ++maskPixels;
                QCOMPARE(qAlpha(o), 0);
            } else {
                QCOMPARE(o, s);
            }
        }
    }
    // The corners are mask; the face is not.
    QCOMPARE(stored.pixel(0, 0), kMagenta);
    QVERIFY(stored.pixel(7, 7) != kMagenta);
    QVERIFY(maskPixels > 0 && maskPixels < 16 * 16 / 2);
}

void TestClockIndicator::unknownKeyHasNoPicture() {
    QVERIFY(ClockIndicator::picture(QStringLiteral("Timer_2"), true).isNull());
    QVERIFY(ClockIndicator::picture(QStringLiteral("aniTimer6"), false).isNull());
}

void TestClockIndicator::grabShowsMaskOnlyAsStored_data() {
    QTest::addColumn<bool>("overlay");
    QTest::newRow("overlay-drawn") << true;
    QTest::newRow("as stored") << false;
}

void TestClockIndicator::grabShowsMaskOnlyAsStored() {
    QFETCH(bool, overlay);
    ClockIndicator indicator;
    QPalette palette = indicator.palette();
    palette.setColor(QPalette::Window, kBackground);
    indicator.setPalette(palette);
    indicator.setAutoFillBackground(true);
    indicator.setClockState({QStringLiteral("aniTimer3"), overlay, QStringLiteral("Next check at x")});
    QCOMPARE(indicator.currentKey(), QStringLiteral("aniTimer3"));
    QCOMPARE(indicator.toolTip(), QStringLiteral("Next check at x"));

    const QImage shot = indicator.grab().toImage();
    QVERIFY(!shot.isNull());
    const QColor corner = shot.pixelColor(1, 1);
    QCOMPARE(corner, overlay ? kBackground : QColor(kMagenta));
    QVERIFY(shot.pixelColor(shot.width() / 2, shot.height() / 2) != kBackground);
}

void TestClockIndicator::followsScheduler() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const SettingsStore settings = SettingsStore::atPath(dir.filePath(QStringLiteral("q.ini")));
    SiteList list;
    const Clock clock;
    const ConnectionState connection;
    CheckRun run(list, settings, clock);
    CheckScheduler scheduler(run, connection, clock);

    ClockIndicator indicator;
    indicator.follow(scheduler);
    QCOMPARE(indicator.currentKey(), QStringLiteral("Timer_0"));
    QVERIFY(indicator.isOverlayDrawn());
    QCOMPARE(indicator.toolTip(), QStringLiteral("Timer disabled"));

    QVERIFY(scheduler.TimerStarted(90).ok);
    QCOMPARE(indicator.currentKey(), QStringLiteral("Timer_1"));
    QCOMPARE(indicator.toolTip(), scheduler.clockState().hoverText);
    QVERIFY(indicator.toolTip().startsWith(QStringLiteral("Next check at ")));

    scheduler.TimerStop();
    QCOMPARE(indicator.currentKey(), QStringLiteral("Timer_0"));
    QCOMPARE(indicator.toolTip(), QStringLiteral("Timer disabled"));
}

QTEST_MAIN(TestClockIndicator)
#include "tst_clockindicator.moc"
