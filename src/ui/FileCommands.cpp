#include "ui/FileCommands.h"

#include "core/Language.h"
#include "core/SiteList.h"
#include "store/SiteListFile.h"
#include "winsupport/CommonDialog.h"
#include "winsupport/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

namespace {
QString shown(const QString& text) {
    return Language::text("SiteListFileTexts", text);
}
} // namespace

FileCommands::FileCommands(SiteList& list, Prompter& prompter, QWidget& window)
    : m_list(list)
    , m_prompter(prompter)
    , m_window(window) {}

QString FileCommands::initialFolder() const {
    if (!m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir())
        return m_lastFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A folder that is not there would end up as the proposed file name.
    return documents.isEmpty() || !QFileInfo(documents).isDir() ? QDir::homePath() : documents;
}

void FileCommands::remember(const QString& path) {
    const QFileInfo info(path);
    m_lastFolder = info.absolutePath();
    m_fileName = info.fileName();
    m_window.setWindowTitle(shown(SiteListFileTexts::kCaptionPrefix) + info.fileName());
}

void FileCommands::LoadSiteList() {
    // A fresh dialog object for each command: no choice carries over from one to the next.
    CommonDialog dialog(m_prompter, initialFolder());
    dialog.setDialogTitle(shown(SiteListFileTexts::kOpenTitle));
    dialog.setDefaultExt(SiteListFileTexts::kOpenDefaultExt);
    dialog.setFilter(shown(SiteListFileTexts::kFilter));
    dialog.setFilterIndex(0);
    // Owned by the window, so it stays on top of it; the schedule keeps running while it is open.
    dialog.setHOwner(&m_window);
    dialog.ShowOpen();
    const QString path = dialog.FileName();
    // A cancelled dialog is no malformed file: nothing to say, nothing changes.
    if (path.isEmpty())
        return;
    loadFile(path);
}

bool FileCommands::loadFile(const QString& path) {
    SiteListReadResult read = readSiteListFile(path);
    if (!read.outcome.ok()) {
        m_prompter.messageDetail(Prompter::Icon::Exclamation, shown(SiteListFileTexts::kLoadErrorTitle),
                                 shown(SiteListFileTexts::kFormatError), read.detail, &m_window);
        return false;
    }
    remember(path);
    // Loading leaves the modified flag alone: changes made before still count as unsaved.
    m_list.replaceAll(std::move(read.entries));
    return true;
}

void FileCommands::SaveSiteList() {
    CommonDialog dialog(m_prompter, initialFolder());
    dialog.setDialogTitle(shown(SiteListFileTexts::kSaveTitle));
    // File managers tell a list by its .qvl name: a *.xml glob wins over the content as soon as they see it.
    dialog.setDefaultExt(SiteListFileTexts::kSaveDefaultExt);
    dialog.setFilter(shown(SiteListFileTexts::kFilter));
    dialog.setFilterIndex(2); // counted from 1
    dialog.setFileName(m_fileName.isEmpty() ? tr("Siti.qvl") : m_fileName);
    // The proposed name stays the dialog's FileName when the person cancels: only the result tells.
    dialog.setCancelError(true);
    dialog.setHOwner(&m_window);
    // The dialog does not ask before replacing a file: the question below is the only one.
    if (!dialog.ShowSave().ok())
        return;
    const QString path = dialog.FileName();
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) && !m_prompter.askYesNo(shown(SiteListFileTexts::kOverwriteTitle),
                                                        shown(SiteListFileTexts::kOverwriteQuestion), &m_window))
        return;
    const Outcome written = writeSiteListFile(path, m_list.entries());
    // A failed save is always reported, wherever the command came from: it must never look like success.
    if (!written.ok()) {
        m_prompter.message(Prompter::Icon::Critical, tr("Save error"), written.errorText(), &m_window);
        return;
    }
    m_list.setModified(false);
    remember(path);
}
