#include "store/SettingsStore.h"
#include "store/WindowPlacement.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {
const QString kMismatch = QStringLiteral("Error 13\r\n\r\nType mismatch");
const QString kInvalid = QStringLiteral("Error 380\r\n\r\nInvalid property value");
const QString kOverflow = QStringLiteral("Error 6\r\n\r\nOverflow");

// Starting bounds that no record below produces, so untouched fields show.
const QRect kStart(3, 4, 50, 60);

std::unique_ptr<QWidget> newWindow() {
    auto window = std::make_unique<QWidget>();
    window->setObjectName(SettingKeys::kMainWindow);
    window->setGeometry(kStart);
    return window;
}
} // namespace

class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void init();
    void twipsPerPixel();
    void defaultRecord();
    void savedRecordText();
    void roundTrip_data();
    void roundTrip();
    void maximizedKeepsNormalBounds();
    void minimizedKeepsNormalBounds();
    void restoreRecord_data();
    void restoreRecord();
    void sectionIsWindowName();
    void saveFailureReported();

private:
    SettingsStore store() const { return SettingsStore::atPath(m_dir->filePath(QStringLiteral("Quovel.conf"))); }
    // Pixels for a twips value at the test screen's resolution.
    static int px(double twips) { return qRound(twips / 15.0); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestWindowPlacement::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Every figure below assumes 15 twips a pixel, the offscreen screen's 96 dpi.
    QWidget probe;
    if (probe.logicalDpiX() != 96 || probe.logicalDpiY() != 96)
        QSKIP("the test screen is not at 96 dpi");
}

void TestWindowPlacement::twipsPerPixel() {
    QWidget window;
    QCOMPARE(twipsPerPixelX(window), 15.0);
    QCOMPARE(twipsPerPixelY(window), 15.0);
}

void TestWindowPlacement::defaultRecord() {
    auto window = newWindow();
    SettingsStore settings = store();
    const PlacementResult result = PersistPlacement(*window, false, settings);
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(window->geometry(), QRect(px(1551), px(1551), px(4425), px(8535)));
    QCOMPARE(window->geometry(), QRect(103, 103, 295, 569));
    QCOMPARE(window->windowState(), Qt::WindowNoState);
}

void TestWindowPlacement::savedRecordText() {
    auto window = newWindow();
    window->setGeometry(100, 50, 600, 400);
    SettingsStore settings = store();
    QVERIFY(PersistPlacement(*window, true, settings).ok);
    QCOMPARE(store().get(SettingKeys::kMainWindow, SettingKeys::kPlacement, QString()),
             QString::fromUtf8("1500§750§9000§6000§0"));
}

void TestWindowPlacement::roundTrip_data() {
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<bool>("shown");
    QTest::newRow("hidden") << QRect(100, 50, 600, 400) << false;
    QTest::newRow("shown") << QRect(120, 80, 570, 285) << true;
    QTest::newRow("off the left and top") << QRect(-300, -20, 700, 500) << false;
    QTest::newRow("large numbers") << QRect(5000, 4000, 1000, 750) << false;
}

void TestWindowPlacement::roundTrip() {
    QFETCH(QRect, bounds);
    QFETCH(bool, shown);
    SettingsStore settings = store();
    {
        auto window = newWindow();
        window->setGeometry(bounds);
        if (shown) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        }
        const PlacementResult saved = PersistPlacement(*window, true, settings);
        QVERIFY2(saved.ok, qPrintable(saved.message));
    }
    auto restored = newWindow();
    SettingsStore afterRestart = store();
    const PlacementResult result = PersistPlacement(*restored, false, afterRestart);
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(restored->geometry(), bounds);
    if (shown) {
        restored->show();
        QVERIFY(QTest::qWaitForWindowExposed(restored.get()));
        QCOMPARE(restored->geometry(), bounds);
    }
}

void TestWindowPlacement::maximizedKeepsNormalBounds() {
    const QRect bounds(100, 50, 600, 400);
    SettingsStore settings = store();
    {
        auto window = newWindow();
        window->setGeometry(bounds);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->showMaximized();
        QTRY_VERIFY(window->geometry() != bounds);
        QVERIFY(PersistPlacement(*window, true, settings).ok);
        QVERIFY(window->isMaximized());
    }
    QCOMPARE(store().get(SettingKeys::kMainWindow, SettingKeys::kPlacement, QString()),
             QString::fromUtf8("1500§750§9000§6000§2"));

    // Restored before being shown, as the main window does; the cycle is repeated to catch any drift.
    for (int cycle = 0; cycle < 2; ++cycle) {
        auto window = newWindow();
        QVERIFY(PersistPlacement(*window, false, settings).ok);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(window->isMaximized());
        QCOMPARE(window->normalGeometry(), bounds);
        QVERIFY(PersistPlacement(*window, true, settings).ok);
        QCOMPARE(store().get(SettingKeys::kMainWindow, SettingKeys::kPlacement, QString()),
                 QString::fromUtf8("1500§750§9000§6000§2"));
        window->showNormal();
        QTRY_COMPARE(window->geometry(), bounds);
    }
}

void TestWindowPlacement::minimizedKeepsNormalBounds() {
    const QRect bounds(90, 60, 640, 480);
    SettingsStore settings = store();
    {
        auto window = newWindow();
        window->setGeometry(bounds);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
        QVERIFY(PersistPlacement(*window, true, settings).ok);
    }
    QCOMPARE(store().get(SettingKeys::kMainWindow, SettingKeys::kPlacement, QString()),
             QString::fromUtf8("1350§900§9600§7200§1"));
    auto window = newWindow();
    QVERIFY(PersistPlacement(*window, false, settings).ok);
    QVERIFY(window->windowState() & Qt::WindowMinimized);
    QCOMPARE(window->geometry(), bounds);
}

void TestWindowPlacement::restoreRecord_data() {
    QTest::addColumn<QString>("record");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<Qt::WindowStates>("state");
    QTest::addColumn<QString>("message"); // empty when the record is good

    const auto s = [](const char* utf8) {
        return QString::fromUtf8(utf8);
    };
    const Qt::WindowStates normal = Qt::WindowNoState;
    const QRect full(100, 50, 600, 400);
    // Good records.
    QTest::newRow("doubled and trailing separators")
        << s("100§§200§300§400§0§") << QRect(px(100), px(200), px(300), px(400)) << normal << QString();
    QTest::newRow("leading separator") << s("§1500§750§9000§6000§0") << full << normal << QString();
    QTest::newRow("fractions") << s("1500.4§750§8999.6§6000§0") << full << normal << QString();
    QTest::newRow("exponent") << s("1.5e3§750§9e3§6000§0") << full << normal << QString();
    QTest::newRow("negative position") << s("-1500§-750§9000§6000§0") << QRect(-100, -50, 600, 400) << normal
                                       << QString();
    QTest::newRow("maximized") << s("1500§750§9000§6000§2") << full << Qt::WindowStates(Qt::WindowMaximized)
                               << QString();
    QTest::newRow("extra fields ignored") << s("1500§750§9000§6000§0§7§x") << full << normal << QString();

    // Missing or non-numeric fields: those before stay applied.
    QTest::newRow("two fields") << s("100§200") << QRect(px(100), px(200), 50, 60) << normal << kMismatch;
    QTest::newRow("four fields") << s("1500§750§9000§6000") << full << normal << kMismatch;
    QTest::newRow("empty record") << QString() << kStart << normal << kMismatch;
    QTest::newRow("only separators") << s("§§§") << kStart << normal << kMismatch;
    QTest::newRow("text first") << s("abc§750§9000§6000§0") << kStart << normal << kMismatch;
    QTest::newRow("text third") << s("1500§750§wide§6000§0") << QRect(100, 50, 50, 60) << normal << kMismatch;
    QTest::newRow("number then text") << s("1500§750x§9000§6000§0") << QRect(100, 4, 50, 60) << normal
                                      << kMismatch;
    QTest::newRow("text state") << s("1500§750§9000§6000§max") << full << normal << kMismatch;
    QTest::newRow("comma decimal") << s("1500§750§9000,5§6000§0") << QRect(100, 50, 50, 60) << normal << kMismatch;

    // Bad values.
    QTest::newRow("state 3") << s("1500§750§9000§6000§3") << full << normal << kInvalid;
    QTest::newRow("state -1") << s("1500§750§9000§6000§-1") << full << normal << kInvalid;
    QTest::newRow("negative width") << s("1500§750§-9000§6000§0") << QRect(100, 50, 50, 60) << normal << kInvalid;
    QTest::newRow("huge left") << s("1e30§750§9000§6000§0") << kStart << normal << kOverflow;
    QTest::newRow("beyond single") << s("1500§1e300§9000§6000§0") << QRect(100, 4, 50, 60) << normal << kOverflow;
    QTest::newRow("huge height") << s("1500§750§9000§99999999999§0") << QRect(100, 50, 600, 60) << normal
                                 << kOverflow;
    QTest::newRow("infinite") << s("inf§750§9000§6000§0") << kStart << normal << kOverflow;
    QTest::newRow("not a number") << s("1500§750§nan§6000§0") << QRect(100, 50, 50, 60) << normal << kOverflow;
    QTest::newRow("huge state") << s("1500§750§9000§6000§1e12") << full << normal << kOverflow;
}

void TestWindowPlacement::restoreRecord() {
    QFETCH(QString, record);
    QFETCH(QRect, expected);
    QFETCH(Qt::WindowStates, state);
    QFETCH(QString, message);

    SettingsStore settings = store();
    QVERIFY(settings.save(SettingKeys::kMainWindow, SettingKeys::kPlacement, record));
    auto window = newWindow();
    const PlacementResult result = PersistPlacement(*window, false, settings);
    QCOMPARE(result.ok, message.isEmpty());
    QCOMPARE(result.message, message);
    QCOMPARE(window->geometry(), expected);
    QCOMPARE(window->windowState(), state);
    // Restoring never writes: the stored record is left as it was.
    QCOMPARE(store().get(SettingKeys::kMainWindow, SettingKeys::kPlacement, QStringLiteral("gone")), record);
}

void TestWindowPlacement::sectionIsWindowName() {
    SettingsStore settings = store();
    QVERIFY(
        settings.save(QStringLiteral("frmOther"), SettingKeys::kPlacement, QString::fromUtf8("15§30§45§60§0")));
    auto other = newWindow();
    other->setObjectName(QStringLiteral("frmOther"));
    QVERIFY(PersistPlacement(*other, false, settings).ok);
    QCOMPARE(other->geometry(), QRect(1, 2, 3, 4));
    auto main = newWindow();
    QVERIFY(PersistPlacement(*main, false, settings).ok);
    QCOMPARE(main->geometry(), QRect(103, 103, 295, 569));
}

void TestWindowPlacement::saveFailureReported() {
    const QString path = m_dir->filePath(QStringLiteral("blocked.conf"));
    QVERIFY(QDir().mkpath(path));
    SettingsStore settings = SettingsStore::atPath(path);
    auto window = newWindow();
    const PlacementResult result = PersistPlacement(*window, true, settings);
    QVERIFY(!result.ok);
    QVERIFY(result.message.startsWith(QStringLiteral("Error ")));
    QVERIFY(result.message.contains(QStringLiteral("\r\n\r\n")));
}

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
