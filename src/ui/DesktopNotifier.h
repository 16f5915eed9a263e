#pragma once

#include <QObject>
#include <QPointer>

#ifdef QUOVEL_HAVE_DBUS
#include <QDBusConnection>
#endif

class QSystemTrayIcon;

// Shows a desktop notification and reports a click on it. The notification goes to the freedesktop notification
// service, which the bus starts on demand, so it is called without asking first whether it runs; each new
// notification replaces the previous one. Where no service answers, the tray icon's message stands in, and
// without a tray undelivered() says so.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QSystemTrayIcon* fallback, QObject* parent = nullptr);
#ifdef QUOVEL_HAVE_DBUS
    // Notifications through the service on this bus (the session bus unless a test gives another).
    DesktopNotifier(QSystemTrayIcon* fallback, const QDBusConnection& bus, QObject* parent = nullptr);
#endif

    // The service's id of the latest notification; 0 before its answer has come.
    uint lastNotificationId() const {
        return m_lastId;
    }
    // Title and body are plain text; the caller makes sure nothing in them reads as markup. offerDiff adds the
    // action "Mostra differenze" where the service shows actions.
    void notify(const QString& title, const QString& body, bool offerDiff = false);

signals:
    void clicked();
    void diffClicked(); // the notification's "Mostra differenze"
    void undelivered(); // neither the service nor a tray icon took it

private slots:
    // Taken by name: the bus connects its signals to slots by name only.
    void onActionInvoked(uint id, const QString& action);

private:
    void fallBack(const QString& title, const QString& body);

    QPointer<QSystemTrayIcon> m_fallback;
#ifdef QUOVEL_HAVE_DBUS
    QDBusConnection m_bus;
#endif
    uint m_lastId = 0;
};
