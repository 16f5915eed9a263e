#include "store/SettingsStore.h"
#include "support/DataRows.h"
#include "ui/WindowPlacement.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {
constexpr int kOverflow = 6, kMismatch = 13, kFileAccess = 75, kInvalid = 380;
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
    Outcome persist(QWidget& window, bool save) const {
        SettingsStore settings = store(); // a new instance each time, as after a restart
        return PersistPlacement(window, save, settings);
    }
    QString stored() const { return store().get(SettingKeys::kMainWindow, SettingKeys::kPlacement, u"none"_qs); }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QWidget probe; // the records below assume 15 twips a pixel
        if (probe.logicalDpiX() != 96 || probe.logicalDpiY() != 96)
            QSKIP("the test screen is not at 96 dpi");
    }

    // Each window keeps its own record; one without a record gets the default one.
    void ownSectionAndDefault() {
        QVERIFY(store().save(u"frmOther"_qs, SettingKeys::kPlacement, u"15§30§45§60§0"_qs));
        auto main = newWindow();
        QVERIFY(persist(*main, false).ok());
        QVERIFY(main->geometry() != kStart && main->geometry() != QRect(1, 2, 3, 4));
        auto other = newWindow(kStart, u"frmOther"_qs);
        QVERIFY(persist(*other, false).ok());
        QCOMPARE(other->geometry(), QRect(1, 2, 3, 4));
    }

    void roundTrip_data() {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("normal") << false;
        QTest::newRow("maximized") << true;
    }
    // A maximized window keeps its normal bounds; saving again after a restore must not drift.
    void roundTrip() {
        QFETCH(bool, maximized);
        auto window = newWindow(kBounds);
        maximized ? window->showMaximized() : window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_COMPARE(window->geometry() != kBounds, maximized);
        QVERIFY(persist(*window, true).ok());
        const QString record = stored();
        QVERIFY2(record.endsWith(maximized ? u"§2"_qs : u"§0"_qs), qPrintable(record));
        // Restored before being shown, as the main window does.
        auto restored = newWindow();
        QVERIFY(persist(*restored, false).ok());
        restored->show();
        QVERIFY(QTest::qWaitForWindowExposed(restored.get()));
        QCOMPARE(restored->isMaximized(), maximized);
        QVERIFY(persist(*restored, true).ok());
        QCOMPARE(stored(), record);
        restored->showNormal();
        QTRY_COMPARE(restored->geometry(), kBounds);
    }

    void restoreRecord_data() {
        // expected: the fields before a bad one stay applied
        columns<QString, QRect, int>("record", "expected", "error");
        QTest::newRow("doubled, leading and trailing §")
            << u"§§100§§200§300§400§0§"_qs << QRect(7, 13, 20, 27) << 0;
        // A position off the screen's top left comes back onto it.
        QTest::newRow("fractions, negative position")
            << u"-1500.4§-750§8999.6§6000§0"_qs << QRect(0, 0, 600, 400) << 0;
        QTest::newRow("two fields") << u"100§200"_qs << QRect(7, 13, 50, 60) << kMismatch;
        QTest::newRow("empty") << QString() << kStart << kMismatch;
        QTest::newRow("number then text") << u"1500§750x§9000§6000§0"_qs << QRect(100, 4, 50, 60) << kMismatch;
        QTest::newRow("text state") << kBoundsRecord + u"max"_qs << kBounds << kMismatch;
        QTest::newRow("state 3") << kBoundsRecord + u'3' << kBounds << kInvalid;
        QTest::newRow("negative width") << u"1500§750§-9000§6000§0"_qs << QRect(100, 50, 50, 60) << kInvalid;
        QTest::newRow("huge left") << u"1e30§750§9000§6000§0"_qs << kStart << kOverflow;
        QTest::newRow("not a number") << u"1500§750§nan§6000§0"_qs << QRect(100, 50, 50, 60) << kOverflow;
        QTest::newRow("huge state") << kBoundsRecord + u"1e12"_qs << kBounds << kOverflow;
    }
    void restoreRecord() {
        const auto [record, expected, error] = fetch<QString, QRect, int>("record", "expected", "error");
        QVERIFY(store().save(SettingKeys::kMainWindow, SettingKeys::kPlacement, record));
        auto window = newWindow();
        const Outcome result = persist(*window, false);
        QCOMPARE(result.errorNumber(), error);
        QCOMPARE(window->geometry(), expected);
        QCOMPARE(window->windowState(), Qt::WindowNoState);
        QCOMPARE(stored(), record); // restoring never writes
    }

    void saveFailureReported() {
        QVERIFY(QDir().mkpath(m_dir->filePath(u"Quovel.conf"_qs)));
        QCOMPARE(persist(*newWindow(), true).errorNumber(), kFileAccess);
    }

    // A placement off every screen comes back onto the nearest, keeping its size where it fits; at 150 % a
    // 1920 x 1080 screen is 1280 x 720 to the window.
    void placeOnScreens_data() {
        columns<QRect, QRect>("saved", "placed");
        QTest::newRow("on the second screen") << QRect(2000, 100, 600, 400) << QRect(2000, 100, 600, 400);
        QTest::newRow("screen gone") << QRect(5000, 300, 600, 400) << QRect(2600, 300, 600, 400);
        QTest::newRow("above everything") << QRect(300, -2000, 600, 400) << QRect(300, 0, 600, 400);
        QTest::newRow("across the edge") << QRect(1700, 900, 600, 400) << QRect(1920, 624, 600, 400);
        QTest::newRow("taller than the screen") << QRect(100, 100, 800, 2000) << QRect(100, 0, 800, 1080);
        QTest::newRow("150 %") << QRect(500, 200, 900, 800) << QRect(380, 0, 900, 720);
    }
    void placeOnScreens() {
        const auto [saved, placed] = fetch<QRect, QRect>("saved", "placed");
        const bool scaled = QByteArray(QTest::currentDataTag()) == "150 %";
        const QList<QRect> screens = scaled ? QList<QRect>{QRect(0, 0, 1280, 720)}
                                            : QList<QRect>{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(::placeOnScreens(saved, screens), placed);
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
