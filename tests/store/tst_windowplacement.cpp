#include "store/SettingsStore.h"
#include "store/WindowPlacement.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {
const QString kMismatch = u"Error 13\r\n\r\nType mismatch"_qs;
const QString kInvalid = u"Error 380\r\n\r\nInvalid property value"_qs;
const QString kOverflow = u"Error 6\r\n\r\nOverflow"_qs;
const QRect kStart(3, 4, 50, 60); // no record below gives these, so fields left untouched show
const QRect kBounds(100, 50, 600, 400);
const QString kBoundsRecord = u"1500§750§9000§6000§"_qs;

std::unique_ptr<QWidget> newWindow(const QRect& bounds = kStart, const QString& name = SettingKeys::kMainWindow) {
    auto window = std::make_unique<QWidget>();
    window->setObjectName(name);
    window->setGeometry(bounds);
    return window;
}
} // namespace

class TestWindowPlacement : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    SettingsStore store() const { return SettingsStore::atPath(m_dir->filePath(u"Quovel.conf"_qs)); }
    PlacementResult persist(QWidget& window, bool save) const {
        SettingsStore settings = store(); // a new instance each time, as after a restart
        return PersistPlacement(window, save, settings);
    }
    QString stored() const { return store().get(SettingKeys::kMainWindow, SettingKeys::kPlacement, u"none"_qs); }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QWidget probe; // every figure here assumes 15 twips a pixel
        if (probe.logicalDpiX() != 96 || probe.logicalDpiY() != 96)
            QSKIP("the test screen is not at 96 dpi");
    }

    void defaultRecordAndOwnSection() {
        QVERIFY(store().save(u"frmOther"_qs, SettingKeys::kPlacement, u"15§30§45§60§0"_qs));
        auto main = newWindow();
        QVERIFY(persist(*main, false).ok);
        QCOMPARE(main->geometry(), QRect(103, 103, 295, 569)); // 1551§1551§4425§8535 twips
        auto other = newWindow(kStart, u"frmOther"_qs);
        QVERIFY(persist(*other, false).ok);
        QCOMPARE(other->geometry(), QRect(1, 2, 3, 4));
    }

    void roundTrip() {
        const QRect bounds(120, 80, 570, 285);
        auto window = newWindow(bounds);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(persist(*window, true).ok);
        QCOMPARE(stored(), u"1800§1200§8550§4275§0"_qs);
        auto restored = newWindow();
        QVERIFY(persist(*restored, false).ok);
        QCOMPARE(restored->geometry(), bounds);
    }

    void maximizedKeepsNormalBounds() {
        auto window = newWindow(kBounds);
        window->showMaximized();
        QTRY_VERIFY(window->geometry() != kBounds);
        QVERIFY(persist(*window, true).ok);
        QCOMPARE(stored(), kBoundsRecord + u'2');
        // Restored before being shown, as the main window does; saved again to catch any drift.
        auto restored = newWindow();
        QVERIFY(persist(*restored, false).ok);
        restored->show();
        QVERIFY(QTest::qWaitForWindowExposed(restored.get()));
        QVERIFY(restored->isMaximized());
        QVERIFY(persist(*restored, true).ok);
        QCOMPARE(stored(), kBoundsRecord + u'2');
        restored->showNormal();
        QTRY_COMPARE(restored->geometry(), kBounds);
    }

    void restoreRecord_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QRect>("expected"); // the fields before a bad one stay applied
        QTest::addColumn<QString>("message");
        QTest::newRow("doubled and trailing §") << u"100§§200§300§400§0§"_qs << QRect(7, 13, 20, 27) << QString();
        QTest::newRow("fractions") << u"1500.4§750§8999.6§6000§0"_qs << kBounds << QString();
        QTest::newRow("negative position")
            << u"-1500§-750§9000§6000§0"_qs << QRect(-100, -50, 600, 400) << QString();
        QTest::newRow("two fields") << u"100§200"_qs << QRect(7, 13, 50, 60) << kMismatch;
        QTest::newRow("empty") << QString() << kStart << kMismatch;
        QTest::newRow("number then text") << u"1500§750x§9000§6000§0"_qs << QRect(100, 4, 50, 60) << kMismatch;
        QTest::newRow("text state") << kBoundsRecord + u"max"_qs << kBounds << kMismatch;
        QTest::newRow("state 3") << kBoundsRecord + u'3' << kBounds << kInvalid;
        QTest::newRow("negative width") << u"1500§750§-9000§6000§0"_qs << QRect(100, 50, 50, 60) << kInvalid;
        QTest::newRow("huge left") << u"1e30§750§9000§6000§0"_qs << kStart << kOverflow;
        QTest::newRow("huge height") << u"1500§750§9000§99999999999§0"_qs << QRect(100, 50, 600, 60) << kOverflow;
        QTest::newRow("not a number") << u"1500§750§nan§6000§0"_qs << QRect(100, 50, 50, 60) << kOverflow;
        QTest::newRow("huge state") << kBoundsRecord + u"1e12"_qs << kBounds << kOverflow;
    }
    void restoreRecord() {
        QFETCH(QString, record);
        QFETCH(QRect, expected);
        QFETCH(QString, message);
        QVERIFY(store().save(SettingKeys::kMainWindow, SettingKeys::kPlacement, record));
        auto window = newWindow();
        const PlacementResult result = persist(*window, false);
        QCOMPARE(result.ok, message.isEmpty());
        QCOMPARE(result.message, message);
        QCOMPARE(window->geometry(), expected);
        QCOMPARE(window->windowState(), Qt::WindowNoState);
        QCOMPARE(stored(), record); // restoring never writes
    }

    void saveFailureReported() {
        QVERIFY(QDir().mkpath(m_dir->filePath(u"Quovel.conf"_qs)));
        const PlacementResult result = persist(*newWindow(), true);
        QVERIFY(!result.ok);
        QVERIFY2(result.message.startsWith(u"Error "_qs) && result.message.contains(u"\r\n\r\n"_qs),
                 qPrintable(result.message));
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
