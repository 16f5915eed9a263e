#include "ui/SessionKeeper.h"

#include "core/CheckRun.h"
#include "core/SiteList.h"
#include "schedule/CheckScheduler.h"
#include "store/Autostart.h"
#include "store/SettingsStore.h"
#include "ui/DesktopNotifier.h"
#include "ui/FileCommands.h"
#include "ui/RunNotifier.h"
#include "ui/TrayPresence.h"
#include "ui/frmSettings.h"
#include "winsupport/Prompter.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>

#include <utility>

SessionKeeper::SessionKeeper(const Parts& parts, QMainWindow& window)
    : QObject(&window)
    , m_parts(parts)
    , m_window(window)
    , m_settings(SessionSettings::read(parts.settings))
    , m_desktop(new DesktopNotifier(parts.tray.icon(), this))
    , m_runNotifier(new RunNotifier(parts.list, m_desktop, this)) {
    m_runNotifier->setEnabled(m_settings.notify);
    m_runNotifier->setFailureLimit(m_settings.failuresBeforeNotice);
    connect(&m_parts.run, &CheckRun::finished, this, &SessionKeeper::onRunFinished);
    m_parts.files.setFileNoted([this](const QString& path) {
        SessionSettings::noteRecentFile(m_parts.settings, path);
        rebuildRecent();
    });

    // Before the separator that comes before "&Exit".
    if (auto* file = window.findChild<QMenu*>(QStringLiteral("mnuFile"))) {
        const QList<QAction*> entries = file->actions();
        QAction* before = entries.size() >= 2 ? entries.at(entries.size() - 2) : nullptr;
        m_recent = new QMenu(tr("File &recenti"), file);
        m_recent->setObjectName(QStringLiteral("mnuRecenti"));
        file->insertMenu(before, m_recent);
        QAction* edit = new QAction(tr("&Impostazioni…"), file);
        edit->setObjectName(QStringLiteral("mnuImpostazioni"));
        connect(edit, &QAction::triggered, this, &SessionKeeper::editSettings);
        file->insertAction(before, edit);
        rebuildRecent();
    }
}

SessionKeeper::~SessionKeeper() = default;

void SessionKeeper::rebuildRecent() {
    if (!m_recent)
        return;
    m_recent->clear();
    const QStringList files = SessionSettings::recentFiles(m_parts.settings);
    int n = 0;
    for (const QString& path : files) {
        // A file name is plain text: an ampersand in it is no access key.
        QString label = QFileInfo(path).fileName().replace(u'&', QStringLiteral("&&"));
        QAction* open = m_recent->addAction(QStringLiteral("&%1 ").arg(++n) + label);
        open->setToolTip(path);
        connect(open, &QAction::triggered, this, [this, path] { m_parts.files.loadFile(path); });
    }
    m_recent->setEnabled(!files.isEmpty());
}

void SessionKeeper::restore(bool reopenList) {
    const QString last = SessionSettings::lastList(m_parts.settings);
    if (reopenList && m_settings.reopenLastList && !last.isEmpty() && QFileInfo::exists(last))
        m_parts.files.loadFile(last);
    const qint64 interval = SessionSettings::armedInterval(m_parts.settings);
    if (m_settings.rearmTimer && interval > 0)
        m_parts.scheduler.TimerStarted(interval);
}

bool SessionKeeper::keepRunningInTray() {
    const bool quit = std::exchange(m_quit, false);
    if (quit || !m_parts.scheduler.isArmed() || !m_parts.tray.isShown())
        return false;
    if (m_settings.closeWhileArmed == SessionSettings::CloseAction::Ask) {
        const bool toTray = m_parts.prompter.askYesNo(
            tr("Quovel"),
            tr("Il controllo periodico è attivo. Lasciare Quovel nell'area di notifica, invece di uscire? "
               "La scelta si può cambiare nelle impostazioni."),
            &m_window);
        m_settings.closeWhileArmed =
            toTray ? SessionSettings::CloseAction::ToTray : SessionSettings::CloseAction::Quit;
        m_settings.write(m_parts.settings);
    }
    if (m_settings.closeWhileArmed != SessionSettings::CloseAction::ToTray)
        return false;
    m_window.hide();
    return true;
}

void SessionKeeper::noteClose() {
    SessionSettings::rememberClose(m_parts.settings, m_parts.files.currentFile(),
                                   m_parts.scheduler.isArmed() ? m_parts.scheduler.intervalSeconds() : 0);
}

void SessionKeeper::editSettings() {
    frmSettings dialog(m_settings, RequestSettings::read(m_parts.settings), Autostart::isEnabled(), &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_settings = dialog.settings();
    m_settings.write(m_parts.settings);
    // Read by the run at the start of the next one.
    dialog.requests().write(m_parts.settings);
    m_runNotifier->setEnabled(m_settings.notify);
    m_runNotifier->setFailureLimit(m_settings.failuresBeforeNotice);
    if (dialog.startAtLogin() != Autostart::isEnabled()) {
        const Outcome done = dialog.startAtLogin() ? Autostart::enable(QCoreApplication::applicationFilePath())
                                                   : Autostart::disable();
        if (!done.ok())
            m_parts.prompter.message(Prompter::Icon::Exclamation, tr("Impostazioni"),
                                     tr("Impossibile scrivere %1").arg(Autostart::entryPath()), &m_window);
    }
}

void SessionKeeper::onRunFinished(const CheckRunReport& report) {
    m_runNotifier->reportRun(report);
    if (!m_settings.autoSave || !report.fromTimer || !report.outcome.ok() || !m_parts.list.isModified() ||
        m_parts.files.currentFile().isEmpty())
        return;
    const QString error = m_parts.files.saveCurrent();
    if (!error.isEmpty())
        emit autoSaveFailed(error);
}
