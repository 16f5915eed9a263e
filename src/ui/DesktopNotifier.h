#pragma once

#include <QObject>
#include <QPointer>

#ifdef QUOVEL_HAVE_DBUS
#include <QDBusConnection>
#endif

class QSystemTrayIcon;

// Shows a desktop notification and reports a click on it. Where the freedesktop notification service runs on
// the session bus, the notification goes to it directly, so that its click comes back on every desktop (the
// tray icon's own message reports clicks only on some); elsewhere the tray icon's message stands in.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QSystemTrayIcon* fallback, QObject* parent = nullptr);
#ifdef QUOVEL_HAVE_DBUS
    // Notifications through the service on this bus (the session bus unless a test gives another).
    DesktopNotifier(QSystemTrayIcon* fallback, const QDBusConnection& bus, QObject* parent = nullptr);
#endif

    // True when notifications go to the freedesktop service.
    bool usesNotificationService() const {
        return m_service;
    }
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

private slots:
    // Taken by name: the bus connects its signals to slots by name only.
    void onActionInvoked(uint id, const QString& action);

private:
    QPointer<QSystemTrayIcon> m_fallback;
#ifdef QUOVEL_HAVE_DBUS
    QDBusConnection m_bus;
#endif
    bool m_service = false;
    uint m_lastId = 0;
};
