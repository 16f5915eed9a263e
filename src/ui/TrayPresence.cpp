#include "ui/TrayPresence.h"

#include "core/Language.h"
#include "ui/ClockIndicator.h"

#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

QIcon trayIcon(const ClockState& state) {
    // Always with a transparent mask: the mask colour of the stored pictures has no place in a tray.
    const QImage image = ClockIndicator::picture(state.key, true);
    QIcon icon;
    if (image.isNull())
        return icon;
    icon.addPixmap(QPixmap::fromImage(image));
    icon.addPixmap(QPixmap::fromImage(
        image.scaled(image.size() * ClockIndicator::kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    return icon;
}

} // namespace

TrayPresence::TrayPresence(QWidget* window, QObject* parent)
    : QObject(parent)
    , m_window(window) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_menu = std::make_unique<QMenu>();
    connect(m_menu->addAction(tr("Avvia controllo")), &QAction::triggered, this, &TrayPresence::startRequested);
    connect(m_menu->addAction(tr("Arresta controllo")), &QAction::triggered, this, &TrayPresence::stopRequested);
    m_menu->addSeparator();
    connect(m_menu->addAction(tr("Mostra Quovel")), &QAction::triggered, this, &TrayPresence::raiseWindow);

    m_tray = std::make_unique<QSystemTrayIcon>();
    m_tray->setContextMenu(m_menu.get());
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            raiseWindow();
    });
    setClockState(
        {ClockKey::kDisarmed, true, Language::text("CheckScheduler", CheckScheduler::kTimerDisabledText)});
    m_tray->show();
}

TrayPresence::~TrayPresence() = default;

void TrayPresence::follow(const CheckScheduler& scheduler) {
    setClockState(scheduler.clockState());
    connect(&scheduler, &CheckScheduler::clockStateChanged, this, &TrayPresence::setClockState);
}

void TrayPresence::setClockState(const ClockState& state) {
    if (!m_tray)
        return;
    m_tray->setIcon(trayIcon(state));
    m_tray->setToolTip(state.hoverText); // the program's own text, never a list entry's
}

void TrayPresence::raiseWindow() {
    if (!m_window)
        return;
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
