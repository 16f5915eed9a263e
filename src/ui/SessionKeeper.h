#pragma once

#include "store/SessionSettings.h"

#include <QObject>
#include <QPointer>

class CheckRun;
class CheckScheduler;
class DesktopNotifier;
class FileCommands;
class Prompter;
class QMainWindow;
class QMenu;
class RunNotifier;
class SettingsStore;
class SiteList;
class TrayPresence;
struct CheckRunReport;

// A program left running: the window comes back as it was (last list, armed timer, recent files), unattended
// runs are saved and notified, and closing the window while the timer is armed can leave it in the tray.
class SessionKeeper : public QObject {
    Q_OBJECT
public:
    struct Parts {
        SettingsStore& settings;
        SiteList& list;
        CheckRun& run;
        CheckScheduler& scheduler;
        Prompter& prompter;
        FileCommands& files;
        TrayPresence& tray;
    };
    // Adds "File recenti" and "Impostazioni…" to the window's File menu.
    SessionKeeper(const Parts& parts, QMainWindow& window);
    ~SessionKeeper() override;

    const SessionSettings& settings() const { return m_settings; }
    RunNotifier& notifier() const { return *m_runNotifier; }
    DesktopNotifier& desktopNotifier() const { return *m_desktop; }
    QMenu* recentMenu() const { return m_recent; }

    // At start: the armed timer, and the last list when the command line named none, as the settings say.
    void restore(bool reopenList);
    // On the close box: true when the window went to the tray instead of closing.
    bool keepRunningInTray();
    // The next close quits whatever the timer: "&Exit", the session's end.
    void quitNext() { m_quit = true; }
    // When the window closes: what to come back to.
    void noteClose();
    // "Impostazioni…"
    void editSettings();

signals:
    void autoSaveFailed(const QString& reason);

private:
    void onRunFinished(const CheckRunReport& report);
    void rebuildRecent();

    Parts m_parts;
    QMainWindow& m_window;
    SessionSettings m_settings;
    DesktopNotifier* m_desktop;
    RunNotifier* m_runNotifier;
    QMenu* m_recent = nullptr;
    bool m_quit = false;
};
