#include "ui/DesktopNotifier.h"

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
    QStringList actions;
public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actionList, const QVariantMap&, int) {
        shown << summary + u'|' + body;
        actions = actionList;
        return 7;
    }
};

// A notification goes to the service on a real private bus, and only a click on it comes back as clicked().
class TestDesktopNotifier : public QObject {
    Q_OBJECT
private slots:
    void clickComesBackFromTheService() {
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

        QVERIFY(!DesktopNotifier(nullptr, client).usesNotificationService()); // no service yet: the tray's way

        FakeNotifications service;
        const QString path = QStringLiteral("/org/freedesktop/Notifications");
        QVERIFY(server.registerObject(path, &service, QDBusConnection::ExportAllSlots));
        QVERIFY(server.registerService(QStringLiteral("org.freedesktop.Notifications")));
        DesktopNotifier notifier(nullptr, client);
        QVERIFY(notifier.usesNotificationService());
        QSignalSpy clicked(&notifier, &DesktopNotifier::clicked);
        notifier.notify(QStringLiteral("Quovel"), QStringLiteral("2 pagine cambiate"));
        QTRY_COMPARE(notifier.lastNotificationId(), 7u);
        QCOMPARE(service.shown, QStringList{QStringLiteral("Quovel|2 pagine cambiate")});
        QVERIFY(service.actions.contains(QStringLiteral("default")));

        const auto invoke = [&](uint id, const QString& action = QStringLiteral("default")) {
            QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.Notifications"),
                                                             QStringLiteral("ActionInvoked"));
            signal << id << action;
            QVERIFY(server.send(signal));
        };
        invoke(8); // another program's notification
        invoke(7);
        QTRY_COMPARE(clicked.count(), 1);
        // The one changed page's notification offers its change viewer.
        QSignalSpy diffs(&notifier, &DesktopNotifier::diffClicked);
        notifier.notify(QStringLiteral("Quovel"), QStringLiteral("1 pagina cambiata"), true);
        QTRY_VERIFY(service.actions.contains(QStringLiteral("diff")));
        invoke(7, QStringLiteral("diff"));
        QTRY_COMPARE(diffs.count(), 1);
        // Both signals have come once the service answers a call made after them.
        client.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"), path,
                                                   QStringLiteral("org.freedesktop.DBus.Peer"),
                                                   QStringLiteral("Ping")));
        QCoreApplication::processEvents();
        QCOMPARE(clicked.count(), 1);

        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("server"));
        daemon.kill();
        daemon.waitForFinished();
    }
};

QTEST_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
