#pragma once

#include "schedule/CheckScheduler.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class DesktopNotifier;
class QMenu;
class QSystemTrayIcon;
class QWidget;
class SettingsStore;
class SiteList;
struct CheckRunReport;

// The program's presence in the desktop's system tray: the clock indicator's picture and hover text, a menu with
// the start and stop commands, and a notification when a scheduled run found something while the window was in
// the background. Without a system tray it shows nothing and notifies nobody.
class TrayPresence : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxNamed = 5; // pages named in one notification
    static const QString kTitle;

    // window: raised by a click on the icon and by "Mostra Quovel"; whether it is minimized or inactive decides
    // the notifications. settings and list must outlive this object.
    TrayPresence(QWidget* window, const SettingsStore& settings, const SiteList& list, QObject* parent = nullptr);
    ~TrayPresence() override;

    // True when the desktop has a system tray and the icon is shown.
    bool isShown() const { return m_tray != nullptr; }

    // Shows the scheduler's state from now on.
    void follow(const CheckScheduler& scheduler);
    void setClockState(const ClockState& state);

    // After each run: shows a notification when one is due (see shouldNotify); true when it did.
    bool reportRun(const CheckRunReport& report);

    // The decision: a scheduled run that ended normally and found a change or a timeout, while the window is
    // minimized or not the active window, and the setting does not say "0".
    static bool shouldNotify(const CheckRunReport& report, bool windowInBackground, const SettingsStore& settings);
    // What the notification names: the nick of each page that changed, then of each that timed out (the URL when
    // the nick is empty), at most kMaxNamed of them.
    static QStringList pageNames(const CheckRunReport& report, const SiteList& list);
    // The notification's text, in Italian and plain text: the two counts, then the names. Characters that a
    // notification service could take for markup are replaced, and each name is cut to one short line.
    static QString noticeText(const CheckRunReport& report, const QStringList& names);

signals:
    void startRequested();   // "Avvia controllo"
    void stopRequested();    // "Arresta controllo"
    void resultsRequested(); // a click on the notification: show the results window
    // A click on the notification of a run that found one changed page: its change viewer too.
    void diffRequested(const QString& url);

private:
    void raiseWindow();
    void notificationClicked();

    QPointer<QWidget> m_window;
    const SettingsStore& m_settings;
    const SiteList& m_list;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_menu = nullptr;
    DesktopNotifier* m_notifier = nullptr;
    QString m_diffUrl; // the one changed page of the latest notification
};
