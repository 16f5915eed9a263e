#include "ui/ImportCommand.h"

#include "store/SiteImport.h"
#include "ui/frmImport.h"
#include "winsupport/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <memory>

void ImportCommand::runModally(frmImport& dialog) {
    dialog.exec();
}

ImportCommand::ImportCommand(SiteList& list, Prompter& prompter, QWidget* owner, DialogRunner runDialog)
    : QObject(owner)
    , m_list(list)
    , m_prompter(prompter)
    , m_owner(owner)
    , m_runDialog(std::move(runDialog)) {}

void ImportCommand::importSites() {
    Prompter::FileRequest request;
    request.title = tr("Importa siti");
    request.filter = tr("Elenchi di siti (*.yaml *.yml *.opml *.xml *.html *.htm *.txt)|"
                        "*.yaml;*.yml;*.opml;*.xml;*.html;*.htm;*.txt|Tutti i file (*)|*");
    request.initialDir = m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder;
    request.owner = m_owner;
    const QString path = m_prompter.openFileName(request);
    if (path.isEmpty())
        return;
    m_lastFolder = QFileInfo(path).absolutePath();
    importFile(path);
}

int ImportCommand::importFile(const QString& path) {
    ImportRead read = readImportFile(path);
    if (!read.outcome.ok()) {
        m_prompter.message(Prompter::Icon::Exclamation, tr("Importa siti"), read.outcome.errorText(), m_owner);
        return 0;
    }
    QPointer<frmImport> dialog(new frmImport(std::move(read), m_list, QFileInfo(path).fileName(), m_owner));
    m_runDialog(*dialog);
    if (!dialog) // its owner went away while it was open
        return 0;
    const std::unique_ptr<frmImport> discard(dialog.data());
    if (dialog->result() != QDialog::Accepted)
        return 0;
    return addImported(m_list, dialog->chosen());
}
