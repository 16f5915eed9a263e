#pragma once

#include <QCoreApplication>
#include <QString>

class Prompter;
class QWidget;
class SiteList;

// The list file commands of the main window: open a list file in place of the list, save the list to a file.
// Each asks for the file through the prompter and reports its own failures there; a cancelled dialog does
// nothing.
class FileCommands {
    Q_DECLARE_TR_FUNCTIONS(FileCommands)

public:
    FileCommands(SiteList& list, Prompter& prompter, QWidget& window);

    // "&Open": asks for a file and loads it.
    void LoadSiteList();
    // "&Save": asks for a file name (proposing the open list's, or "Siti.qvl"; the *.qvl filter first), asks
    // before replacing an existing file, and writes the list.
    void SaveSiteList();

    // Replaces the list with the file's entries, all or nothing; on success the caption names the file, on
    // failure the load error message is shown and nothing changes. The path of "&Open" and of the command line.
    bool loadFile(const QString& path);

    // The folder the file dialogs start in: that of the list file last opened or saved, else the user's
    // documents folder when there is one, else the home folder.
    QString initialFolder() const;

private:
    void remember(const QString& path);

    SiteList& m_list;
    Prompter& m_prompter;
    QWidget& m_window;
    QString m_lastFolder;
    QString m_fileName; // of the list last opened or saved
};
