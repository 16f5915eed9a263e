#include "ui/DesktopNotifier.h"

#include <QSystemTrayIcon>

#ifdef QUOVEL_HAVE_DBUS
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDefaultAction = QStringLiteral("default");
const QString kDiffAction = QStringLiteral("diff");
} // namespace

DesktopNotifier::DesktopNotifier(QSystemTrayIcon* fallback, QObject* parent)
    : DesktopNotifier(fallback, QDBusConnection::sessionBus(), parent) {}

DesktopNotifier::DesktopNotifier(QSystemTrayIcon* fallback, const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_fallback(fallback)
    , m_bus(bus) {
    QDBusConnectionInterface* names = m_bus.isConnected() ? m_bus.interface() : nullptr;
    if (!names || !names->isServiceRegistered(kService))
        return;
    m_service = m_bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                              SLOT(onActionInvoked(uint, QString)));
}

void DesktopNotifier::notify(const QString& title, const QString& body, bool offerDiff) {
    if (!m_service) {
        if (m_fallback)
            m_fallback->showMessage(title, body, QSystemTrayIcon::Information);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QString appId = QStringLiteral(QUOVEL_APP_ID);
    // A click on the notification's body invokes its "default" action.
    QStringList actions{kDefaultAction, tr("Mostra i risultati")};
    if (offerDiff)
        actions << kDiffAction << tr("Mostra differenze");
    call << QStringLiteral("Quovel") << uint(0) << appId << title << body << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), appId}} << -1;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        const QDBusPendingReply<uint> reply = *done;
        if (!reply.isError())
            m_lastId = reply.value();
        done->deleteLater();
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
    , m_fallback(fallback) {}

void DesktopNotifier::notify(const QString& title, const QString& body, bool) {
    if (m_fallback)
        m_fallback->showMessage(title, body, QSystemTrayIcon::Information);
}

void DesktopNotifier::onActionInvoked(uint, const QString&) {}

#endif
