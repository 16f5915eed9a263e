#pragma once

#include <QObject>
#include <QString>

#include <functional>

class Prompter;
class QWidget;
class SiteList;
class frmImport;

// File > "Importa…": asks for a file, reads it, shows the preview, and adds the ticked sites on OK (Cancel
// adds nothing). Failures are told through the prompter; the preview is shown through a runner, so tests
// answer it without a modal loop.
class ImportCommand : public QObject {
    Q_OBJECT
public:
    using DialogRunner = std::function<void(frmImport& dialog)>;
    static void runModally(frmImport& dialog);

    ImportCommand(SiteList& list, Prompter& prompter, QWidget* owner, DialogRunner runDialog = &runModally);

    void importSites();
    // The preview of this file and what follows it; how many sites were added.
    int importFile(const QString& path);

private:
    SiteList& m_list;
    Prompter& m_prompter;
    QWidget* m_owner;
    DialogRunner m_runDialog;
    QString m_lastFolder;
};
