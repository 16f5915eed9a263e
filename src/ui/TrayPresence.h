#pragma once

#include "schedule/CheckScheduler.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QMenu;
class QSystemTrayIcon;
class QWidget;

// The program's presence in the desktop's system tray: the clock indicator's picture and hover text, and a menu
// with the start and stop commands. Without a system tray it shows nothing.
class TrayPresence : public QObject {
    Q_OBJECT
public:
    // window: raised by a click on the icon and by "Mostra Quovel".
    explicit TrayPresence(QWidget* window, QObject* parent = nullptr);
    ~TrayPresence() override;

    // True when the desktop has a system tray and the icon is shown.
    bool isShown() const { return m_tray != nullptr; }
    // The icon, for its messages; none without a tray.
    QSystemTrayIcon* icon() const { return m_tray.get(); }

    // Shows the scheduler's state from now on.
    void follow(const CheckScheduler& scheduler);
    void setClockState(const ClockState& state);
    // Shows the window, normal size, in front.
    void raiseWindow();

signals:
    void startRequested(); // "Avvia controllo"
    void stopRequested();  // "Arresta controllo"

private:
    QPointer<QWidget> m_window;
    // The menu has no parent (a tray menu must not have one) and outlives the icon that shows it.
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};
