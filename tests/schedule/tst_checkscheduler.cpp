#include "schedule/CheckScheduler.h"
#include "schedule/ConnectionState.h"
#include "support/DataRows.h"
#include "support/World.h"

#include <QSignalSpy>

namespace {

struct FakeConnection : ConnectionState {
    bool IsConnected() const override { return m_online; }
    bool m_online = true;
};

ClockState armedAt(const QDateTime& now, qint64 seconds, const QString& key = ClockKey::kArmed) {
    return {key, true, CheckScheduler::kNextCheckPrefix + generalDateTimeText(now.addSecs(seconds))};
}

ClockState disarmed() {
    return {ClockKey::kDisarmed, true, CheckScheduler::kTimerDisabledText};
}
constexpr int kWaitMs = 10000; // generous: the machine may be loaded

// One scheduler over a fresh world, with a switchable connection.
struct Fixture : World {
    FakeConnection connection;
    CheckScheduler scheduler{run, connection, clock};
    ~Fixture() {
        scheduler.TimerStop();
        QTRY_VERIFY_WITH_TIMEOUT(!run.isActive(), kWaitMs);
    }
};

} // namespace

class TestCheckScheduler : public QObject {
    Q_OBJECT
private slots:
    void armAndDisarm_data() {
        QTest::addColumn<qint64>("interval");
        QTest::newRow("one second") << qint64(1);
        QTest::newRow("largest period") << qint64(2147483);
    }
    void armAndDisarm() {
        QFETCH(qint64, interval);
        Fixture f;
        QSignalSpy changed(&f.scheduler, &CheckScheduler::clockStateChanged);
        // Refused intervals change nothing, armed or not.
        for (const bool armed : {false, true}) {
            const ClockState before = f.scheduler.clockState();
            QCOMPARE(before, armed ? armedAt(f.clock.m_now, interval) : disarmed());
            for (const qint64 bad : {qint64(0), qint64(-5), qint64(2147484)}) {
                QVERIFY(!f.scheduler.TimerStarted(bad).ok());
                QCOMPARE(f.scheduler.clockState(), before);
            }
            QCOMPARE(f.scheduler.isArmed(), armed);
            QVERIFY(f.scheduler.TimerStarted(interval).ok());
        }
        QCOMPARE(changed.count(), 1);
        QVERIFY(!f.run.isActive());
        f.scheduler.TimerStop();
        QCOMPARE(f.scheduler.clockState(), disarmed());
        QVERIFY(!f.scheduler.isArmed());
    }

    void scheduledRuns() {
        Fixture f;
        f.add(QStringLiteral("k"), QStringLiteral("/fixed"));
        QVERIFY(f.scheduler.TimerStarted(600).ok());
        for (int frame : {1, 2, 3, 4, 5, 0}) {
            f.clock.m_now = f.clock.m_now.addSecs(600);
            f.scheduler.ScheduleTick();
            const ClockState tick = armedAt(f.clock.m_now, 600, ClockKey::frame(frame));
            QCOMPARE(f.scheduler.clockState(), tick);
            // A manual start is refused during a scheduled run, without touching the clock.
            QCOMPARE(f.scheduler.start(), CheckScheduler::StartResult::Busy);
            QCOMPARE(f.scheduler.clockState(), tick);
            QTRY_VERIFY_WITH_TIMEOUT(!f.run.isActive(), kWaitMs);
        }
        // Arming again replaces the period: only the one-second one can bring a run this soon.
        QVERIFY(f.scheduler.TimerStarted(3600).ok());
        f.clock.m_now = f.clock.m_now.addSecs(17);
        QVERIFY(f.scheduler.TimerStarted(1).ok());
        QCOMPARE(f.scheduler.clockState(), armedAt(f.clock.m_now, 1));
        f.finished.clear();
        QVERIFY(f.waitRuns());
        QVERIFY(f.report(0).fromTimer);
    }

    void manualRun_data() {
        // tick: a scheduled run waits for the manual one and must not undo its end
        columns<bool, bool, bool>("armed", "stop", "tick");
        QTest::newRow("disarmed") << false << false << false;
        QTest::newRow("armed") << true << false << false;
        QTest::newRow("stopped") << false << true << false;
        QTest::newRow("tick during the run") << true << false << true;
    }
    void manualRun() {
        const auto [armed, stop, tick] = fetch<bool, bool, bool>("armed", "stop", "tick");
        Fixture f;
        f.add(QStringLiteral("k"), QStringLiteral("/fixed"));
        if (armed)
            QVERIFY(f.scheduler.TimerStarted(600).ok());
        const ClockState before = f.scheduler.clockState();
        f.connection.m_online = false;
        QCOMPARE(f.scheduler.start(), CheckScheduler::StartResult::Offline);
        QCOMPARE(f.scheduler.clockState(), before);
        QVERIFY(!f.run.isActive() && !f.scheduler.isBusyAnimationEnabled());

        f.connection.m_online = true;
        QCOMPARE(f.scheduler.start(), CheckScheduler::StartResult::Started);
        const ClockState during{ClockKey::frame(0), false, before.hoverText};
        QCOMPARE(f.scheduler.clockState(), during);
        QCOMPARE(f.scheduler.start(), CheckScheduler::StartResult::Busy);
        QCOMPARE(f.scheduler.clockState(), during);
        if (stop)
            f.scheduler.stop();
        if (tick)
            f.scheduler.ScheduleTick();
        QTRY_COMPARE_WITH_TIMEOUT(f.finished.count(), tick ? 2 : 1, kWaitMs);
        QVERIFY(!f.report(0).fromTimer && (!tick || f.report(1).fromTimer));
        QCOMPARE(f.report(0).stopped, stop);
        const ClockState after{armed ? ClockKey::kArmed : ClockKey::kDisarmed, false, before.hoverText};
        QCOMPARE(f.scheduler.clockState(), after);
        QVERIFY(!f.scheduler.isBusyAnimationEnabled() && !f.scheduler.isManualRunActive());
    }

    void reachability() {
        using R = QNetworkInformation::Reachability;
        QCOMPARE(ConnectionState::isOnline(R::Unknown), std::nullopt);
        QCOMPARE(ConnectionState::isOnline(R::Disconnected), false);
        for (const R limited : {R::Local, R::Site, R::Online}) // "limited" and captive portals are not offline
            QCOMPARE(ConnectionState::isOnline(limited), true);
    }

    void defaultRoute() {
        const auto v4 = [](const char* iface, const char* dest, const char* flags) {
            return ConnectionState::hasIpv4DefaultRoute(
                QByteArray("Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\tMTU\tWindow\tIRTT\n") +
                iface + '\t' + dest + "\t010200C0\t" + flags + "\t0\t0\t0\t" + dest + "\t0\t0\t0\n");
        };
        QVERIFY(v4("eth0", "00000000", "0003"));
        QVERIFY(!v4("eth0", "00000000", "0002")); // down
        QVERIFY(!v4("eth0", "00000000", "0201")); // rejected
        QVERIFY(!v4("lo", "00000000", "0001"));
        QVERIFY(!v4("eth0", "0000A8C0", "0003")); // not the default
        const QByteArray any(32, '0');
        const auto v6 = [&any](const char* flags, const char* iface) {
            return ConnectionState::hasIpv6DefaultRoute(
                any + " 00 " + any + " 00 " + any + " 00000400 00000002 00000000 " + flags + " " + iface + "\n");
        };
        QVERIFY(v6("00000003", "eth0"));
        QVERIFY(!v6("00200200", "lo")); // the kernel's unreachable default
    }
};

QTEST_GUILESS_MAIN(TestCheckScheduler)
#include "tst_checkscheduler.moc"
