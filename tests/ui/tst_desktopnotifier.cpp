#include "core/CheckRun.h"
#include "core/SiteList.h"
#include "ui/DesktopNotifier.h"
#include "ui/RunNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

// Stands in for the desktop's notification service: answers Notify with id 7 and keeps what it was given.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown;
    QList<uint> replaced;
    QStringList actions;
public slots:
    uint Notify(const QString&, uint replacesId, const QString&, const QString& summary, const QString& body,
                const QStringList& actionList, const QVariantMap&, int) {
        shown << summary + u'|' + body;
        replaced << replacesId;
        actions = actionList;
        return 7;
    }
};

// Notifications go to the service on a real private bus, with no tray: one per periodic run that found
// something, each replacing the previous one; only a click on the latest comes back.
class TestDesktopNotifier : public QObject {
    Q_OBJECT
private slots:
    void onePerRunReplacingThePrevious() {
        const QString daemonPath = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemonPath.isEmpty())
            QSKIP("dbus-daemon is not installed");
        QProcess daemon;
        daemon.start(daemonPath,
                     {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        QVERIFY(daemon.waitForReadyRead(5000));
        const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
        QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("client"));
        QDBusConnection server = QDBusConnection::connectToBus(address, QStringLiteral("server"));
        QVERIFY(client.isConnected() && server.isConnected());

        SiteList list;
        list.add(QStringLiteral("m"), QStringLiteral("http://meteo.example/"));
        list.setField(0, SiteList::Field::Nick, QStringLiteral("Meteo"));
        CheckRunReport run;
        run.outcome = Outcome::success();
        run.changed << QStringLiteral("http://meteo.example/");

        { // No service answers and there is no tray: the window's status bar and results are all there is.
            DesktopNotifier nobody(nullptr, client);
            QSignalSpy undelivered(&nobody, &DesktopNotifier::undelivered);
            nobody.notify(QStringLiteral("Quovel"), QStringLiteral("x"));
            QTRY_COMPARE(undelivered.count(), 1);
        }

        FakeNotifications service;
        const QString path = QStringLiteral("/org/freedesktop/Notifications");
        QVERIFY(server.registerObject(path, &service, QDBusConnection::ExportAllSlots));
        QVERIFY(server.registerService(QStringLiteral("org.freedesktop.Notifications")));
        DesktopNotifier desktop(nullptr, client);
        RunNotifier notifier(list, &desktop);
        QVERIFY(!notifier.reportRun(run)); // a manual run: the user is looking
        run.fromTimer = true;
        QVERIFY(notifier.reportRun(run));
        QTRY_COMPARE(desktop.lastNotificationId(), 7u);
        QVERIFY(service.actions.contains(QStringLiteral("diff")));
        run.changed << QStringLiteral("http://other.example/");
        QVERIFY(notifier.reportRun(run));
        CheckRunReport nothing;
        nothing.outcome = Outcome::success();
        nothing.fromTimer = true;
        QVERIFY(!notifier.reportRun(nothing));
        QTRY_COMPARE(service.shown.size(), 2);
        QCOMPARE(service.shown,
                 (QStringList{QStringLiteral("Quovel|1 pagina cambiata: Meteo"),
                              QStringLiteral("Quovel|2 pagine cambiate: Meteo, http://other.example/")}));
        QCOMPARE(service.replaced, (QList<uint>{0, 7}));
        QVERIFY(!service.actions.contains(QStringLiteral("diff"))); // several: the results only

        QSignalSpy results(&notifier, &RunNotifier::resultsRequested);
        const auto invoke = [&](uint id) {
            QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.Notifications"),
                                                             QStringLiteral("ActionInvoked"));
            signal << id << QStringLiteral("default");
            QVERIFY(server.send(signal));
        };
        invoke(8); // another program's notification
        invoke(7);
        QTRY_COMPARE(results.count(), 1);
        // Both signals have come once the service answers a call made after them.
        client.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"), path,
                                                   QStringLiteral("org.freedesktop.DBus.Peer"),
                                                   QStringLiteral("Ping")));
        QCoreApplication::processEvents();
        QCOMPARE(results.count(), 1);

        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("server"));
        daemon.kill();
        daemon.waitForFinished();
    }
};

QTEST_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
