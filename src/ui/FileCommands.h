#pragma once

#include "store/SiteListSession.h"

#include <functional>
#include <vector>

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

class CheckRun;
class Prompter;
class QLabel;
class QTableView;
class QWidget;
class SiteList;

// The list file commands of the main window: open a list file in place of the list, save the list to a file.
// Each asks for the file through the prompter and reports its own failures there; a cancelled dialog does
// nothing. The open file is watched: when another program saves it, a list without unsaved changes is loaded
// again, and one with unsaved changes is merged with the file at the next save; the status panel says so.
class FileCommands : public QObject {
    Q_OBJECT
public:
    // Texts of the status panel when another program saved the open file (source texts, shown through tr()).
    static constexpr const char* kReloadedText =
        QT_TR_NOOP("Elenco ricaricato: il file è stato salvato da un altro programma.");
    static constexpr const char* kChangedText = QT_TR_NOOP(
        "Il file è stato salvato da un altro programma: il prossimo salvataggio unirà le sue modifiche alle tue.");
    static constexpr const char* kMergedText = QT_TR_NOOP("Salvato unendo le modifiche di un altro programma: %1");

    FileCommands(SiteList& list, CheckRun& run, Prompter& prompter, QTableView& view, QLabel& status,
                 QWidget& window);

    // "&Open": asks for a file and loads it.
    void LoadSiteList();
    // "&Save": asks for a file name (proposing the open list's, or "Siti.qvl"; the *.qvl filter first), asks
    // before replacing an existing file, and writes the list.
    void SaveSiteList();

    // Replaces the list with the file's entries, all or nothing; on success the caption names the file, on
    // failure the load error message is shown and nothing changes. The path of "&Open" and of the command line.
    bool loadFile(const QString& path);
    // Writes the list to path as "&Save" does after its questions: merged with what another program saved
    // there since the list was loaded or saved; a failure is shown and leaves the list modified.
    bool saveFile(const QString& path);

    // The folder the file dialogs start in: that of the list file last opened or saved, else the user's
    // documents folder when there is one, else the home folder.
    QString initialFolder() const;

    // The list file last opened or saved; empty before either.
    QString currentFile() const { return m_currentFile; }
    // Called with the path of each list file opened or saved.
    void setFileNoted(std::function<void(const QString&)> noted) { m_noted = std::move(noted); }
    // Writes the list to the current file without asking; the save of an unattended run. An empty text when it
    // was written, else why not.
    QString saveCurrent();

private:
    // The merged save itself: an empty text when it was written, else why not.
    QString write(const QString& path);
    void remember(const QString& path);
    void watch(const QString& path);
    void checkDisk();
    // Loads the open file again, keeping the sort, the selection, the scroll position, the ticks and the
    // result markers of the sites that are still there.
    bool reloadKeepingView();
    // The same with entries as a read of the open file gives them.
    void showKeepingView(std::vector<SiteEntry> entries);

    SiteList& m_list;
    CheckRun& m_run;
    Prompter& m_prompter;
    QTableView& m_view;
    QLabel& m_status;
    QWidget& m_window;
    QString m_lastFolder;
    QString m_fileName; // of the list last opened or saved
    QString m_currentFile;
    std::function<void(const QString&)> m_noted;
    SiteListSession m_session;
    QSet<quint64> m_checked; // sites checked since the list was loaded or saved
    QFileSystemWatcher m_watcher;
    QTimer m_settle; // one look at the file after a burst of notifications
    bool m_lookAfterRun = false;
};
