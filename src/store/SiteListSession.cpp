#include "store/SiteListSession.h"

#include "store/BoundedFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLockFile>

namespace {

// The lock is held for a read and a write: one older than this was left by a process that died.
constexpr int kStaleLockMs = 60 * 1000;
constexpr int kLockWaitMs = 10 * 1000;

bool sameFile(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

Outcome saveFailure(const QString& path, const QString& reason) {
    return Outcome::failure(
        SiteListFileErrors::kFileAccess,
        QCoreApplication::translate("SiteListFile", "Impossibile salvare il file \"%1\": %2").arg(path, reason));
}

} // namespace

SiteListReadResult SiteListSession::load(const QString& path, SiteListRoot root) {
    SiteListReadResult read = readSiteListFile(path, root);
    if (read.outcome.ok()) {
        m_path = path;
        m_rootRule = root;
        m_digest = read.digest;
        m_root = read.root;
        m_base.clear(); // the caller gives it, with the ids its list gave the entries (setBase)
    }
    return read;
}

void SiteListSession::setBase(const std::vector<SiteEntry>& entries) {
    static const SiteOptions kDefault;
    m_base.clear();
    m_base.reserve(entries.size());
    for (const SiteEntry& e : entries) {
        m_base.push_back({e.id, e.url, e.nick, e.descrizione,
                          e.options == kDefault ? nullptr : std::make_unique<const SiteOptions>(e.options)});
    }
}

std::vector<SiteEntry> SiteListSession::base() const {
    std::vector<SiteEntry> entries(m_base.size());
    for (size_t i = 0; i < m_base.size(); ++i) {
        const BaseSite& b = m_base[i];
        SiteEntry& e = entries[i];
        e.id = b.id;
        e.url = b.url;
        e.nick = b.nick;
        e.descrizione = b.descrizione;
        if (b.options)
            e.options = *b.options;
    }
    return entries;
}

bool SiteListSession::changedOnDisk() const {
    if (m_path.isEmpty())
        return false;
    // The bytes' digest tells; the file is parsed by whoever acts on the change. One that cannot be read is no
    // longer the one last read.
    QByteArray data;
    QString detail;
    return readBoundedFile(m_path, kMaxSiteListFileSize, data, detail) != 0 || ListDigest::of(data) != m_digest;
}

SiteListSave SiteListSession::save(const QString& path, const std::vector<SiteEntry>& mine,
                                   const QSet<quint64>& checked, MergeOrder order) {
    SiteListSave result;
    QLockFile lock(lockPath(path));
    lock.setStaleLockTime(kStaleLockMs);
    // A lock that cannot be made at all (a full disk, a folder that cannot be written) is no other writer: the
    // write goes on and says why it fails.
    if (!lock.tryLock(kLockWaitMs) && QFileInfo::exists(lockPath(path))) {
        result.outcome = saveFailure(
            path, QCoreApplication::translate("SiteListFile", "un altro programma lo sta salvando (%1 bloccato).")
                      .arg(lockPath(path)));
        return result;
    }
    const std::vector<SiteEntry>* entries = &mine;
    UnknownXml root = sameFile(path, m_path) ? m_root : UnknownXml{};
    SiteListMerge merge;
    if (sameFile(path, m_path)) {
        SiteListReadResult now = readSiteListFile(path, m_rootRule, m_digest);
        if (now.outcome.ok() && !now.unchanged) {
            merge = mergeSiteLists(base(), mine, now.entries, checked, order);
            entries = &merge.entries;
            root = std::move(now.root);
            result.merged = true;
            result.mergedSites = merge.merged;
        } else if (!now.outcome.ok() && now.outcome.errorNumber() != SiteListFileErrors::kFileNotFound) {
            result.outcome =
                saveFailure(path, QCoreApplication::translate(
                                      "SiteListFile", "un altro programma lo ha cambiato e non si legge più (%1).")
                                      .arg(now.detail));
            return result;
        }
    }
    QByteArray digest;
    result.outcome = writeSiteListFile(path, *entries, root, &digest);
    if (result.outcome.ok()) {
        m_path = path;
        m_digest = std::move(digest);
        m_root = std::move(root);
        setBase(*entries);
    }
    return result;
}
