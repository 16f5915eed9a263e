#include "ui/FileCommands.h"

#include "core/SiteList.h"
#include "store/SiteListFile.h"
#include "winsupport/CommonDialog.h"
#include "winsupport/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

namespace {
const QString kSaveErrorTitle = QStringLiteral("Save error");
} // namespace

FileCommands::FileCommands(SiteList& list, Prompter& prompter, QWidget& window)
    : m_list(list)
    , m_prompter(prompter)
    , m_window(window) {}

QString FileCommands::initialFolder() const {
    if (!m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir())
        return m_lastFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void FileCommands::remember(const QString& path) {
    const QFileInfo info(path);
    m_lastFolder = info.absolutePath();
    m_currentFile = info.absoluteFilePath();
    if (m_noted)
        m_noted(m_currentFile);
    m_window.setWindowTitle(SiteListFileTexts::kCaptionPrefix + info.fileName());
}

void FileCommands::LoadSiteList() {
    // A fresh dialog object for each command: no choice carries over from one to the next.
    CommonDialog dialog(m_prompter, initialFolder());
    dialog.setDialogTitle(SiteListFileTexts::kOpenTitle);
    dialog.setDefaultExt(SiteListFileTexts::kOpenDefaultExt);
    dialog.setFilter(SiteListFileTexts::kFilter);
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
        m_prompter.message(Prompter::Icon::Exclamation, SiteListFileTexts::kLoadErrorTitle,
                           SiteListFileTexts::kFormatError, &m_window);
        return false;
    }
    remember(path);
    // Loading leaves the modified flag alone: changes made before still count as unsaved.
    m_list.replaceAll(std::move(read.entries));
    return true;
}

void FileCommands::SaveSiteList() {
    CommonDialog dialog(m_prompter, initialFolder());
    dialog.setDialogTitle(SiteListFileTexts::kSaveTitle);
    dialog.setDefaultExt(SiteListFileTexts::kSaveDefaultExt);
    dialog.setFilter(SiteListFileTexts::kFilter);
    dialog.setFilterIndex(0);
    dialog.setHOwner(&m_window);
    // The dialog does not ask before replacing a file: the question below is the only one.
    dialog.ShowSave();
    const QString path = dialog.FileName();
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) &&
        !m_prompter.askYesNo(SiteListFileTexts::kOverwriteTitle, SiteListFileTexts::kOverwriteQuestion, &m_window))
        return;
    const Outcome written = writeSiteListFile(path, m_list.entries());
    // A failed save is always reported, wherever the command came from: it must never look like success.
    if (!written.ok()) {
        m_prompter.message(Prompter::Icon::Critical, kSaveErrorTitle, written.errorText(), &m_window);
        return;
    }
    m_list.setModified(false);
    remember(path);
}

QString FileCommands::saveCurrent() {
    if (m_currentFile.isEmpty())
        return QStringLiteral("-");
    const Outcome written = writeSiteListFile(m_currentFile, m_list.entries());
    if (!written.ok())
        return written.errorText();
    m_list.setModified(false);
    return {};
}
