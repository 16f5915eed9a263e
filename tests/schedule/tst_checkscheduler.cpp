#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/SiteList.h"
#include "schedule/CheckScheduler.h"
#include "schedule/ConnectionState.h"
#include "store/SettingsStore.h"
#include "support/TestHttpServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class FixedClock : public Clock {
public:
    QDateTime now() const override { return m_now; }
    QDateTime m_now{QDate(2024, 3, 9), QTime(14, 30, 5)};
};

class FakeConnection : public ConnectionState {
public:
    bool IsConnected() const override { return m_online; }
    bool m_online = true;
};

QString nextCheckAt(const QDateTime& now, qint64 seconds) {
    return QStringLiteral("Next check at ") + generalDateTimeText(now.addSecs(seconds));
}

// Generous waits: the machine running the tests may be loaded.
constexpr int kWaitMs = 10000;

} // namespace

class TestCheckScheduler : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsDisarmed();
    void arm_data();
    void arm();
    void armRefused_data();
    void armRefused();
    void armTwiceReplacesPeriod();
    void disarm();
    void tickFrames();
    void realPeriodRunsWholeList();
    void offlineStartChangesNothing();
    void manualRunShowsFramesAsStored_data();
    void manualRunShowsFramesAsStored();
    void manualFramesAdvanceWhileRunning();
    void startRefusedWhileRunActive();
    void deferredTimerRunKeepsManualEnd();
    void stopEndsRunInProgress();

    void ipv4DefaultRoute_data();
    void ipv4DefaultRoute();
    void ipv6DefaultRoute_data();
    void ipv6DefaultRoute();
    void realConnectionStateAnswers();

private:
    int addEntry(const QString& url, bool ticked);
    void waitIdle();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<SiteList> m_list;
    FixedClock m_clock;
    FakeConnection m_connection;
    std::unique_ptr<CheckRun> m_run;
    std::unique_ptr<CheckScheduler> m_scheduler;
};

void TestCheckScheduler::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->isListening());
    m_settings = std::make_unique<SettingsStore>(SettingsStore::atPath(m_dir->filePath(QStringLiteral("q.ini"))));
    m_list = std::make_unique<SiteList>();
    m_clock = FixedClock();
    m_connection.m_online = true;
    m_run = std::make_unique<CheckRun>(*m_list, *m_settings, m_clock);
    m_scheduler = std::make_unique<CheckScheduler>(*m_run, m_connection, m_clock);
}

void TestCheckScheduler::cleanup() {
    if (m_scheduler)
        m_scheduler->TimerStop();
    if (m_run && m_run->isActive())
        waitIdle();
    m_scheduler.reset();
    m_run.reset();
    m_list.reset();
    m_settings.reset();
    m_server.reset();
    m_dir.reset();
}

int TestCheckScheduler::addEntry(const QString& url, bool ticked) {
    const int row = m_list->count();
    m_list->add(QStringLiteral("k%1").arg(row), url);
    m_list->setTicked(row, ticked);
    return row;
}

void TestCheckScheduler::waitIdle() {
    QTRY_VERIFY_WITH_TIMEOUT(!m_run->isActive(), kWaitMs);
}

void TestCheckScheduler::startsDisarmed() {
    const ClockState s = m_scheduler->clockState();
    QCOMPARE(s.key, QStringLiteral("Timer_0"));
    QVERIFY(s.overlay);
    QCOMPARE(s.hoverText, QStringLiteral("Timer disabled"));
    QVERIFY(!m_scheduler->isArmed());
}

void TestCheckScheduler::arm_data() {
    QTest::addColumn<qint64>("interval");
    QTest::newRow("one second") << qint64(1);
    QTest::newRow("an hour") << qint64(3600);
    QTest::newRow("a day crosses midnight") << qint64(86400 - 1);
    QTest::newRow("largest period") << CheckScheduler::kMaxIntervalSeconds;
}

void TestCheckScheduler::arm() {
    QFETCH(qint64, interval);
    QSignalSpy changed(m_scheduler.get(), &CheckScheduler::clockStateChanged);
    QSignalSpy started(m_run.get(), &CheckRun::started);

    const CheckScheduler::ArmResult result = m_scheduler->TimerStarted(interval);
    QVERIFY(result.ok);
    QVERIFY(result.error.isEmpty());
    QVERIFY(m_scheduler->isArmed());
    QCOMPARE(m_scheduler->intervalSeconds(), interval);
    const ClockState s = m_scheduler->clockState();
    QCOMPARE(s.key, QStringLiteral("Timer_1"));
    QVERIFY(s.overlay);
    QCOMPARE(s.hoverText, nextCheckAt(m_clock.m_now, interval));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<ClockState>(), s);
    // Arming starts no run.
    QCOMPARE(started.count(), 0);
}

void TestCheckScheduler::armRefused_data() {
    QTest::addColumn<qint64>("interval");
    QTest::addColumn<bool>("armedBefore");
    QTest::newRow("zero") << qint64(0) << false;
    QTest::newRow("negative") << qint64(-5) << false;
    QTest::newRow("just over the 32-bit period") << CheckScheduler::kMaxIntervalSeconds + 1 << false;
    QTest::newRow("dialog's largest value") << qint64(3602439) << false;
    QTest::newRow("over the limit keeps the armed schedule") << qint64(2147484) << true;
    QTest::newRow("zero keeps the armed schedule") << qint64(0) << true;
}

void TestCheckScheduler::armRefused() {
    QFETCH(qint64, interval);
    QFETCH(bool, armedBefore);
    if (armedBefore)
        QVERIFY(m_scheduler->TimerStarted(60).ok);
    const ClockState before = m_scheduler->clockState();

    const CheckScheduler::ArmResult result = m_scheduler->TimerStarted(interval);
    QVERIFY(!result.ok);
    QVERIFY(result.error.contains(QString::number(CheckScheduler::kMaxIntervalSeconds)));
    QCOMPARE(m_scheduler->isArmed(), armedBefore);
    QCOMPARE(m_scheduler->intervalSeconds(), armedBefore ? qint64(60) : qint64(0));
    QCOMPARE(m_scheduler->clockState(), before);
}

void TestCheckScheduler::armTwiceReplacesPeriod() {
    QSignalSpy started(m_run.get(), &CheckRun::started);
    QVERIFY(m_scheduler->TimerStarted(3600).ok);
    m_clock.m_now = m_clock.m_now.addSecs(17);
    QVERIFY(m_scheduler->TimerStarted(1).ok);
    QCOMPARE(m_scheduler->clockState().hoverText, nextCheckAt(m_clock.m_now, 1));
    QCOMPARE(m_scheduler->intervalSeconds(), qint64(1));

    // The one-second period is the one in force: a scheduled run comes long before an hour.
    QTRY_VERIFY_WITH_TIMEOUT(started.count() >= 1, kWaitMs);
    QCOMPARE(started.at(0).at(0).toBool(), true);

    m_scheduler->TimerStop();
    waitIdle();
    const int after = started.count();
    QTest::qWait(2500);
    QCOMPARE(started.count(), after);
    QVERIFY(!m_scheduler->isArmed());
}

void TestCheckScheduler::disarm() {
    QVERIFY(m_scheduler->TimerStarted(120).ok);
    m_scheduler->TimerStop();
    ClockState s = m_scheduler->clockState();
    QCOMPARE(s.key, QStringLiteral("Timer_0"));
    QVERIFY(s.overlay);
    QCOMPARE(s.hoverText, QStringLiteral("Timer disabled"));
    QVERIFY(!m_scheduler->isArmed());

    // Harmless when nothing is armed.
    m_scheduler->TimerStop();
    QCOMPARE(m_scheduler->clockState(), s);
}

void TestCheckScheduler::tickFrames() {
    QVERIFY(m_scheduler->TimerStarted(600).ok);
    const QStringList expected{QStringLiteral("aniTimer1"), QStringLiteral("aniTimer2"),
                               QStringLiteral("aniTimer3"), QStringLiteral("aniTimer4"),
                               QStringLiteral("aniTimer5"), QStringLiteral("aniTimer0"),
                               QStringLiteral("aniTimer1")};
    for (const QString& key : expected) {
        m_clock.m_now = m_clock.m_now.addSecs(600);
        m_scheduler->ScheduleTick();
        const ClockState s = m_scheduler->clockState();
        QCOMPARE(s.key, key);
        QVERIFY(s.overlay);
        QCOMPARE(s.hoverText, nextCheckAt(m_clock.m_now, 600));
        waitIdle();
    }
    // The scheduled run leaves its frame on the clock.
    QCOMPARE(m_scheduler->clockState().key, QStringLiteral("aniTimer1"));
}

void TestCheckScheduler::realPeriodRunsWholeList() {
    const int row = addEntry(m_server->url(QStringLiteral("/fixed")), false);
    QSignalSpy finished(m_run.get(), &CheckRun::finished);
    QVERIFY(m_scheduler->TimerStarted(1).ok);

    QVERIFY(finished.wait(kWaitMs));
    const auto report = finished.at(0).at(0).value<CheckRunReport>();
    QVERIFY(report.fromTimer);
    QCOMPARE(report.checked, 1);
    // An unticked entry is checked too: the first check of crc "0" finds the page changed.
    QCOMPARE(m_list->field(row, SiteList::Field::Res), QStringLiteral("  <>"));
    QVERIFY(!m_list->isTicked(row));
    QCOMPARE(m_scheduler->clockState().key, QStringLiteral("aniTimer1"));
    QVERIFY(m_scheduler->clockState().overlay);
}

void TestCheckScheduler::offlineStartChangesNothing() {
    const int row = addEntry(m_server->url(QStringLiteral("/fixed")), true);
    m_connection.m_online = false;
    QVERIFY(m_scheduler->TimerStarted(600).ok);
    const ClockState before = m_scheduler->clockState();
    QSignalSpy started(m_run.get(), &CheckRun::started);
    QSignalSpy changed(m_scheduler.get(), &CheckScheduler::clockStateChanged);

    QCOMPARE(m_scheduler->start(), CheckScheduler::StartResult::Offline);
    QCOMPARE(m_scheduler->clockState(), before);
    QVERIFY(!m_scheduler->isBusyAnimationEnabled());
    QTest::qWait(100);
    QCOMPARE(started.count(), 0);
    QCOMPARE(changed.count(), 0);
    QVERIFY(m_list->isTicked(row));
    QCOMPARE(m_server->hits(QStringLiteral("/fixed")), 0);
    QCOMPARE(CheckScheduler::kOfflineTitle, QStringLiteral("Error: PC not online."));
    QCOMPARE(CheckScheduler::kOfflineText,
             QStringLiteral("Il PC non è connesso ad Internet.\r\nAvviare una connessione e riprovare..."));
}

void TestCheckScheduler::manualRunShowsFramesAsStored_data() {
    QTest::addColumn<bool>("armed");
    QTest::addColumn<QString>("endKey");
    QTest::newRow("disarmed") << false << QStringLiteral("Timer_0");
    QTest::newRow("armed") << true << QStringLiteral("Timer_1");
}

void TestCheckScheduler::manualRunShowsFramesAsStored() {
    QFETCH(bool, armed);
    QFETCH(QString, endKey);
    const int ticked = addEntry(m_server->url(QStringLiteral("/fixed")), true);
    const int unticked = addEntry(m_server->url(QStringLiteral("/changing")), false);
    if (armed)
        QVERIFY(m_scheduler->TimerStarted(600).ok);
    const QString hover = m_scheduler->clockState().hoverText;
    QSignalSpy finished(m_run.get(), &CheckRun::finished);

    QCOMPARE(m_scheduler->start(), CheckScheduler::StartResult::Started);
    QCOMPARE(m_scheduler->clockState(), (ClockState{QStringLiteral("aniTimer0"), false, hover}));
    QVERIFY(m_scheduler->isBusyAnimationEnabled());
    QVERIFY(m_scheduler->isManualRunActive());

    QVERIFY(finished.wait(kWaitMs));
    QVERIFY(!finished.at(0).at(0).value<CheckRunReport>().fromTimer);
    QCOMPARE(m_scheduler->clockState(), (ClockState{endKey, false, hover}));
    QVERIFY(!m_scheduler->isBusyAnimationEnabled());
    QVERIFY(!m_scheduler->isManualRunActive());
    QCOMPARE(m_list->field(ticked, SiteList::Field::Res), QStringLiteral("  <>"));
    // A manual run checks only the ticked entries.
    QCOMPARE(m_list->field(unticked, SiteList::Field::Res), QString());
    QCOMPARE(m_scheduler->isArmed(), armed);
}

void TestCheckScheduler::manualFramesAdvanceWhileRunning() {
    addEntry(m_server->url(QStringLiteral("/slow?ms=1500")), true);
    m_scheduler->setBusyAnimationInterval(100);
    QSignalSpy changes(m_scheduler.get(), &CheckScheduler::clockStateChanged);
    QSignalSpy finished(m_run.get(), &CheckRun::finished);

    QCOMPARE(m_scheduler->start(), CheckScheduler::StartResult::Started);
    QVERIFY(finished.wait(kWaitMs));
    QStringList keys;
    for (const QList<QVariant>& change : std::as_const(changes)) {
        const auto state = change.at(0).value<ClockState>();
        QVERIFY(!state.overlay); // a manual run shows every picture as stored
        keys << state.key;
    }
    QCOMPARE(keys.last(), QStringLiteral("Timer_0"));
    keys.removeLast();
    QVERIFY2(keys.size() >= 3, qPrintable(keys.join(u' ')));
    for (qsizetype i = 0; i < keys.size(); ++i)
        QCOMPARE(keys.at(i), QStringLiteral("aniTimer%1").arg(i % 6));

    // The manual frame counter lives on: the next manual run goes on from where this one stopped.
    const QString nextKey = QStringLiteral("aniTimer%1").arg(keys.size() % 6);
    QCOMPARE(m_scheduler->start(), CheckScheduler::StartResult::Started);
    QCOMPARE(m_scheduler->clockState().key, nextKey);
    QVERIFY(finished.wait(kWaitMs));
}

void TestCheckScheduler::startRefusedWhileRunActive() {
    addEntry(m_server->url(QStringLiteral("/slow?ms=800")), true);
    QSignalSpy started(m_run.get(), &CheckRun::started);

    QCOMPARE(m_scheduler->start(), CheckScheduler::StartResult::Started);
    const ClockState during = m_scheduler->clockState();
    QCOMPARE(m_scheduler->start(), CheckScheduler::StartResult::Busy);
    QCOMPARE(m_scheduler->clockState(), during);
    QVERIFY(m_scheduler->isBusyAnimationEnabled());
    waitIdle();
    QCOMPARE(started.count(), 1);

    // Also during a scheduled run; its end does not touch the clock as a manual end would.
    QVERIFY(m_scheduler->TimerStarted(600).ok);
    m_scheduler->ScheduleTick();
    QVERIFY(m_run->isActive());
    const ClockState tick = m_scheduler->clockState();
    QCOMPARE(m_scheduler->start(), CheckScheduler::StartResult::Busy);
    QVERIFY(!m_scheduler->isBusyAnimationEnabled());
    waitIdle();
    QCOMPARE(m_scheduler->clockState(), tick);
}

void TestCheckScheduler::deferredTimerRunKeepsManualEnd() {
    addEntry(m_server->url(QStringLiteral("/slow?ms=600")), true);
    QVERIFY(m_scheduler->TimerStarted(600).ok);
    QSignalSpy finished(m_run.get(), &CheckRun::finished);
    QSignalSpy started(m_run.get(), &CheckRun::started);

    QCOMPARE(m_scheduler->start(), CheckScheduler::StartResult::Started);
    m_scheduler->ScheduleTick(); // arrives during the manual run: the run keeps it for later
    QCOMPARE(m_scheduler->clockState().key, QStringLiteral("aniTimer1"));

    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, kWaitMs);
    QCOMPARE(started.count(), 2);
    QVERIFY(!finished.at(0).at(0).value<CheckRunReport>().fromTimer);
    QVERIFY(finished.at(1).at(0).value<CheckRunReport>().fromTimer);
    QCOMPARE(m_scheduler->clockState().key, QStringLiteral("Timer_1"));
    QVERIFY(!m_scheduler->clockState().overlay);
    QVERIFY(!m_scheduler->isManualRunActive());
    QVERIFY(!m_scheduler->isBusyAnimationEnabled());
}

void TestCheckScheduler::stopEndsRunInProgress() {
    QVERIFY(m_settings->save(SettingKeys::kSettings, SettingKeys::kParallel, QStringLiteral("1")));
    const int first = addEntry(m_server->url(QStringLiteral("/slow?ms=400")), true);
    const int second = addEntry(m_server->url(QStringLiteral("/fixed")), true);
    QSignalSpy finished(m_run.get(), &CheckRun::finished);

    QCOMPARE(m_scheduler->start(), CheckScheduler::StartResult::Started);
    QTRY_COMPARE_WITH_TIMEOUT(m_list->field(first, SiteList::Field::Res), QStringLiteral(" ......"), kWaitMs);
    m_scheduler->stop();
    QVERIFY(finished.wait(kWaitMs));
    QVERIFY(finished.at(0).at(0).value<CheckRunReport>().stopped);
    QVERIFY(m_list->isTicked(second));
    QCOMPARE(m_scheduler->clockState().key, QStringLiteral("Timer_0"));
}

void TestCheckScheduler::ipv4DefaultRoute_data() {
    const QByteArray header =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("expected");
    QTest::newRow("default via eth0") << header + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
                                                  "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
                                      << true;
    QTest::newRow("local subnet only") << header + "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
                                       << false;
    QTest::newRow("default route down") << header + "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n"
                                        << false;
    QTest::newRow("default route rejected")
        << header + "eth0\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n"
        << false;
    QTest::newRow("default on loopback") << header + "lo\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n"
                                         << false;
    QTest::newRow("header only") << header << false;
    QTest::newRow("unreadable") << QByteArray() << false;
    QTest::newRow("default as the header line is not a route")
        << QByteArray("eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n") << false;
}

void TestCheckScheduler::ipv4DefaultRoute() {
    QFETCH(QByteArray, table);
    QFETCH(bool, expected);
    QCOMPARE(ConnectionState::hasIpv4DefaultRoute(table), expected);
}

void TestCheckScheduler::ipv6DefaultRoute_data() {
    const QByteArray zero(32, '0');
    const QByteArray loopbackReject =
        zero + " 00 " + zero + " 00 " + zero + " ffffffff 00000001 00000000 00200200 lo\n";
    const QByteArray linkLocal = "fe800000000000000000000000000000 40 " + zero + " 00 " + zero +
                                 " 00000100 00000002 00000000 00000001     eth0\n";
    const QByteArray defaultVia = zero + " 00 " + zero +
                                  " 00 fd000000000000000000000000000001 00000400 00000002 "
                                  "00000000 00000003     eth0\n";
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("expected");
    QTest::newRow("default via eth0") << linkLocal + defaultVia + loopbackReject << true;
    QTest::newRow("only the kernel's unreachable default") << linkLocal + loopbackReject << false;
    QTest::newRow("link-local only") << linkLocal << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestCheckScheduler::ipv6DefaultRoute() {
    QFETCH(QByteArray, table);
    QFETCH(bool, expected);
    QCOMPARE(ConnectionState::hasIpv6DefaultRoute(table), expected);
}

void TestCheckScheduler::realConnectionStateAnswers() {
    // Whatever the machine's network, the answer needs both an interface and a route.
    const ConnectionState real;
    const bool online = real.IsConnected();
    if (online)
        QVERIFY(ConnectionState::hasRunningInterface());
}

QTEST_GUILESS_MAIN(TestCheckScheduler)
#include "tst_checkscheduler.moc"
