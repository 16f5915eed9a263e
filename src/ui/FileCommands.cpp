#include "ui/FileCommands.h"

#include "core/CheckRun.h"
#include "core/Language.h"
#include "core/SiteList.h"
#include "store/SiteListFile.h"
#include "winsupport/CommonDialog.h"
#include "winsupport/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QStandardPaths>
#include <QTableView>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {
QString shown(const QString& text) {
    return Language::text("SiteListFileTexts", text);
}

// Editors write a file in several steps; the file is looked at once they are done.
constexpr int kSettleMs = 300;
constexpr int kNamesShown = 5;

QString siteNames(const QStringList& names) {
    QStringList first = names.mid(0, kNamesShown);
    for (QString& name : first)
        name = name.left(80);
    QString text = first.join(QStringLiteral(", "));
    if (names.size() > kNamesShown)
        text += FileCommands::tr(" e altri %1").arg(names.size() - kNamesShown);
    return text;
}
} // namespace

FileCommands::FileCommands(SiteList& list, CheckRun& run, Prompter& prompter, QTableView& view, QLabel& status,
                           QWidget& window)
    : QObject(&window)
    , m_list(list)
    , m_run(run)
    , m_prompter(prompter)
    , m_view(view)
    , m_status(status)
    , m_window(window) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &FileCommands::checkDisk);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_settle.start(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_settle.start(); });
    connect(&m_run, &CheckRun::checked, this, [this](quint64 id) { m_checked.insert(id); });
    // A list is not replaced under a run: the file is looked at again when the run is over.
    connect(&m_run, &CheckRun::finished, this, [this] {
        if (std::exchange(m_lookAfterRun, false))
            checkDisk();
    });
}

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
    m_currentFile = info.absoluteFilePath();
    if (m_noted)
        m_noted(m_currentFile);
    m_window.setWindowTitle(shown(SiteListFileTexts::kCaptionPrefix) + info.fileName());
}

void FileCommands::watch(const QString& path) {
    // A file replaced by a rename is another file: the watch is set again each time, on the folder too, so
    // that a file deleted and written anew is seen.
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    if (path.isEmpty())
        return;
    m_watcher.addPath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path))
        m_watcher.addPath(path);
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
    SiteListReadResult read = m_session.load(path);
    if (!read.outcome.ok()) {
        m_prompter.messageDetail(Prompter::Icon::Exclamation, shown(SiteListFileTexts::kLoadErrorTitle),
                                 shown(SiteListFileTexts::kFormatError), read.detail, &m_window);
        return false;
    }
    remember(path);
    // Loading leaves the modified flag alone: changes made before still count as unsaved.
    m_list.replaceAll(std::move(read.entries));
    m_session.setBase(m_list.entries());
    m_checked.clear();
    watch(path);
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
    saveFile(path);
}

bool FileCommands::saveFile(const QString& path) {
    const QString error = write(path);
    // A failed save is always reported, wherever the command came from: it must never look like success.
    if (!error.isEmpty())
        m_prompter.message(Prompter::Icon::Critical, tr("Save error"), error, &m_window);
    return error.isEmpty();
}

QString FileCommands::write(const QString& path) {
    SiteListSave saved = m_session.save(path, m_list.entries(), m_checked, MergeOrder::Mine);
    if (!saved.outcome.ok())
        return saved.outcome.errorText();
    m_checked.clear();
    // The file holds both writers' work now: the window shows it, as the save read it back.
    if (saved.merged) {
        bool showing = true;
        if (saved.entries)
            showKeepingView(std::move(*saved.entries));
        else
            showing = reloadKeepingView();
        if (showing)
            m_status.setText(tr(kMergedText).arg(siteNames(saved.mergedSites)));
    }
    m_list.setModified(false);
    remember(path);
    watch(path);
    return QString();
}

void FileCommands::checkDisk() {
    const QString path = m_session.path();
    watch(path);
    if (path.isEmpty() || !QFileInfo::exists(path) || !m_session.changedOnDisk())
        return;
    if (m_run.isActive()) {
        m_lookAfterRun = true;
        return;
    }
    if (m_list.isModified())
        m_status.setText(tr(kChangedText));
    else if (reloadKeepingView())
        m_status.setText(tr(kReloadedText));
}

bool FileCommands::reloadKeepingView() {
    SiteListReadResult read = m_session.load(m_session.path());
    if (!read.outcome.ok())
        return false;
    showKeepingView(std::move(read.entries));
    return true;
}

void FileCommands::showKeepingView(std::vector<SiteEntry> entries) {
    // What the list shows and the file does not keep (a site's result marker and tick) goes to the n-th site of
    // the same URL in the new list, for each n.
    const std::vector<SiteEntry>& old = m_list.entries();
    if (std::any_of(old.cbegin(), old.cend(), [](const SiteEntry& e) { return e.ticked || !e.res.isEmpty(); })) {
        const std::vector<qsizetype> oldOf = matchByUrl(entries, old);
        for (size_t i = 0; i < entries.size(); ++i) {
            if (oldOf[i] >= 0) {
                entries[i].res = old[size_t(oldOf[i])].res;
                entries[i].ticked = old[size_t(oldOf[i])].ticked;
            }
        }
    }
    const int selected = m_list.selectedRow();
    const QString selectedUrl = selected >= 0 ? m_list.entryAt(selected).url : QString();
    const int top = m_view.rowAt(0);
    const QString topUrl = top >= 0 ? m_list.entryAt(top).url : QString();

    m_list.replaceAll(std::move(entries));
    m_session.setBase(m_list.entries());
    m_checked.clear();
    const QHeaderView* header = m_view.horizontalHeader();
    if (header->isSortIndicatorShown())
        m_list.sortByColumn(header->sortIndicatorSection() + 1, header->sortIndicatorOrder());
    const auto rowOf = [this](const QString& url) {
        for (int row = 0; !url.isNull() && row < m_list.count(); ++row) {
            if (m_list.entryAt(row).url == url)
                return row;
        }
        return -1;
    };
    if (const int row = rowOf(selectedUrl); row >= 0)
        m_view.selectionModel()->setCurrentIndex(m_view.model()->index(row, SiteList::ColUrl),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (const int row = rowOf(topUrl); row >= 0)
        m_view.scrollTo(m_view.model()->index(row, SiteList::ColUrl), QAbstractItemView::PositionAtTop);
}

QString FileCommands::saveCurrent() {
    if (m_currentFile.isEmpty())
        return QStringLiteral("-");
    // The same merged save as "&Save": what another program saved meanwhile is kept. Nobody may be there to
    // answer a message box: the reason goes to the caller, and the list stays modified.
    return write(m_currentFile);
}
