#include "ui/DesktopNotifier.h"

#include <QSystemTrayIcon>

#ifdef QUOVEL_HAVE_DBUS
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

// A click on the tray icon's message is a click on the notification.
static void followClicks(DesktopNotifier* notifier, QSystemTrayIcon* fallback) {
    if (fallback)
        QObject::connect(fallback, &QSystemTrayIcon::messageClicked, notifier, &DesktopNotifier::clicked);
}

void DesktopNotifier::fallBack(const QString& title, const QString& body) {
    if (m_fallback && m_fallback->isVisible())
        m_fallback->showMessage(title, body, QSystemTrayIcon::Information);
    else
        emit undelivered();
}

#ifdef QUOVEL_HAVE_DBUS

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDefaultAction = QStringLiteral("default");
const QString kDiffAction = QStringLiteral("diff");
constexpr int kCallTimeoutMs = 10000; // a service started on demand may take a few seconds
} // namespace

DesktopNotifier::DesktopNotifier(QSystemTrayIcon* fallback, QObject* parent)
    : DesktopNotifier(fallback, QDBusConnection::sessionBus(), parent) {}

DesktopNotifier::DesktopNotifier(QSystemTrayIcon* fallback, const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_fallback(fallback)
    , m_bus(bus) {
    followClicks(this, fallback);
    if (m_bus.isConnected())
        m_bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                      SLOT(onActionInvoked(uint, QString)));
}

void DesktopNotifier::notify(const QString& title, const QString& body, bool offerDiff) {
    if (!m_bus.isConnected()) {
        fallBack(title, body);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QString appId = QStringLiteral(QUOVEL_APP_ID);
    // A click on the notification's body invokes its "default" action.
    QStringList actions{kDefaultAction, tr("Mostra i risultati")};
    if (offerDiff)
        actions << kDiffAction << tr("Mostra differenze");
    call << QStringLiteral("Quovel") << m_lastId << appId << title << body << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), appId}} << -1;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, title, body](QDBusPendingCallWatcher* done) {
        const QDBusPendingReply<uint> reply = *done;
        done->deleteLater();
        if (reply.isError()) {
            m_lastId = 0;
            fallBack(title, body);
            return;
        }
        m_lastId = reply.value();
    });
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action) {
    if (id == 0 || id != m_lastId)
        return;
    if (action == kDefaultAction)
        emit clicked();
    else if (action == kDiffAction)
        emit diffClicked();
}

#else

DesktopNotifier::DesktopNotifier(QSystemTrayIcon* fallback, QObject* parent)
    : QObject(parent)
    , m_fallback(fallback) {
    followClicks(this, fallback);
}

void DesktopNotifier::notify(const QString& title, const QString& body, bool) {
    fallBack(title, body);
}

void DesktopNotifier::onActionInvoked(uint, const QString&) {}

#endif
