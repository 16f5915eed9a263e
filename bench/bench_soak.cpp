// The window left running: the timer at its floor over 200 loopback pages, a fifth of them changing at every run
// and a tenth failing on and off (four runs down, three up), runs back to back for an accelerated hour of
// periodic checks. Notifications go to a fake service on a private session bus; there is no tray. Prints the
// resident memory after the first run and at the end, the notifications against the runs that found
// something, and the outages notified against those that reached the failure limit.
#include "core/CheckRun.h"
#include "core/SiteList.h"
#include "schedule/CheckScheduler.h"
#include "schedule/ConnectionState.h"
#include "store/SessionSettings.h"
#include "store/SettingsStore.h"
#include "store/SiteListFile.h"
#include "support/FixedClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHttpServer.h"
#include "ui/frmQVL.h"

#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kPages = 200;
constexpr int kFailureLimit = 3;

// The number before a kind of line of a notification ("1 sito …" or "12 siti …"), 0 without that line.
int counted(const QString& body, const QString& kind) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("(?:^|\\n)(\\d+) siti? ") + kind).match(body);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    // Counted as they come, so that the service's own memory stays flat like the window's.
    qsizetype notices = 0;
    qsizetype fresh = 0; // notifications that replaced none
    int outages = 0;
    int recoveries = 0;
public slots:
    uint Notify(const QString&, uint replacesId, const QString&, const QString&, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        ++notices;
        fresh += replacesId == 0 ? 1 : 0;
        outages += counted(body, QStringLiteral("non raggiungibil"));
        recoveries += counted(body, QStringLiteral("di nuovo raggiungibil"));
        return 1;
    }
};

// Resident memory once the allocator has handed back what it holds free: what the program still uses, not
// the free pages a long-lived heap keeps around.
double residentMiB() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 3600; // an hour at the one-second floor
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!daemon.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_soak: dbus-daemon did not start\n");
        return 1;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", daemon.readLine().trimmed());
    QApplication app(argc, argv);
    FakeNotifications service;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusConnection server = QDBusConnection::connectToBus(QString::fromUtf8(qgetenv("DBUS_SESSION_BUS_ADDRESS")),
                                                           QStringLiteral("service"));
    server.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                          QDBusConnection::ExportAllSlots);
    server.registerService(QStringLiteral("org.freedesktop.Notifications"));

    TestHttpServer web;
    QTemporaryDir dir;
    SettingsStore settings = SettingsStore::atPath(dir.filePath(QStringLiteral("q.ini")));
    SessionSettings session;
    session.autoSave = true; // each run saves the list, as one left alone should
    session.write(settings);
    std::vector<SiteEntry> entries(kPages);
    for (int i = 0; i < kPages; ++i) {
        const QString path = QStringLiteral("/p%1").arg(i);
        web.setPage(path, QByteArray("<p>page ") + QByteArray::number(i) + "</p>");
        entries[std::size_t(i)].url = web.url(path);
        entries[std::size_t(i)].nick = QStringLiteral("Pagina %1").arg(i);
    }
    const QString listPath = dir.filePath(QStringLiteral("soak.qvl"));
    writeSiteListFile(listPath, entries);

    SiteList list;
    FixedClock clock;
    ConnectionState connection;
    CheckRun run(list, clock, settings.checkOptions());
    CheckScheduler scheduler(run, connection, clock);
    ScriptedPrompter prompter;
    frmQVL window({settings, list, clock, connection, run, scheduler, prompter});
    window.show();
    window.showMinimized();
    window.openListFile(listPath);
    scheduler.TimerStarted(1);

    int done = 0, found = 0, outages = 0, recoveries = 0;
    double startMiB = 0;
    QElapsedTimer wall;
    wall.start();
    // Before each run: a fifth of the pages change; a tenth are down for four runs and up for three.
    const auto prepare = [&](int n) {
        for (int i = 0; i < kPages; i += 5)
            web.setPage(QStringLiteral("/p%1").arg(i), QByteArray("<p>run ") + QByteArray::number(n) + "</p>");
        for (int i = 1; i < kPages; i += 10) {
            const QString path = QStringLiteral("/p%1").arg(i);
            if ((n + i) % 7 < 4)
                web.removePage(path);
            else
                web.setPage(path, QByteArray("<p>page ") + QByteArray::number(i) + "</p>");
        }
        clock.m_now = clock.m_now.addSecs(1);
    };
    QObject::connect(&run, &CheckRun::finished, &app, [&](const CheckRunReport& report) {
        bool something = !report.changed.isEmpty();
        for (const FailureStreak& s : report.streaks) {
            outages += s.reachesLimit(kFailureLimit) ? 1 : 0;
            recoveries += s.recoversFrom(kFailureLimit) ? 1 : 0;
            something |= s.reachesLimit(kFailureLimit) || s.recoversFrom(kFailureLimit);
        }
        found += something ? 1 : 0;
        if (++done == 1)
            startMiB = residentMiB();
        if (done % 100 == 0) {
            std::printf("after %d runs: resident %.1f MiB\n", done, residentMiB());
            std::fflush(stdout);
        }
        if (done >= runs) {
            scheduler.TimerStop();
            QTimer::singleShot(200, &app, &QCoreApplication::quit); // the last notification's answer
            return;
        }
        // Runs back to back: the floor's second is what the clock says, not what the bench waits.
        QTimer::singleShot(0, &scheduler, [&] {
            prepare(done);
            scheduler.ScheduleTick();
        });
    });
    prepare(0);
    scheduler.ScheduleTick();
    QApplication::exec();

    int notifiedOutages = 0, notifiedRecoveries = 0;
    notifiedOutages = service.outages;
    notifiedRecoveries = service.recoveries;
    const bool replacing = service.fresh == 1;
    std::printf("runs %d in %.1f s; resident memory after the first run %.1f MiB, at the end %.1f MiB\n", done,
                double(wall.elapsed()) / 1000.0, startMiB, residentMiB());
    std::printf("notifications %lld for %d runs that found something; each replacing the previous: %s\n",
                static_cast<long long>(service.notices), found, replacing ? "yes" : "no");
    std::printf("outages notified %d of %d reaching %d failures; recoveries notified %d of %d\n", notifiedOutages,
                outages, kFailureLimit, notifiedRecoveries, recoveries);
    window.close();
    daemon.kill();
    daemon.waitForFinished();
    return 0;
}

#include "bench_soak.moc"
