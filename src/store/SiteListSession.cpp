#include "store/SiteListSession.h"

#include "store/BoundedFile.h"
#include "store/ListKeys.h"
#include "store/XmlEntities.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>

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

// A merged site that a read of the file gives as it is: one taken unchanged from theirs, which was read from a
// file itself, with no options and nothing unknown, whose fields all come back from a write as they were.
bool readAlike(const SiteEntry& e, const SiteEntry& t) {
    return t.options.unset() && t.unknown.isEmpty() && e.options == t.options && e.unknown.isEmpty() &&
           e.url == t.url && e.nick == t.nick && e.descrizione == t.descrizione && e.crc == t.crc &&
           e.rdatetime == t.rdatetime;
}

// The merged list as a read of the file written from it gives it, without reading the whole file again: the sites
// a read might give otherwise are written and read on their own, in the same form, and every site takes the key
// a read of the whole list gives it. False, and the list as it was, when those sites do not read back.
bool makeAsRead(std::vector<SiteEntry>& entries, const std::vector<qsizetype>& theirsOf,
                const std::vector<SiteEntry>& theirs) {
    std::vector<std::size_t> others;
    std::vector<SiteEntry> written;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const qsizetype t = theirsOf[i];
        if (t < 0 || !readAlike(entries[i], theirs[std::size_t(t)])) {
            others.push_back(i);
            written.push_back(entries[i]);
        }
    }
    if (!written.empty()) {
        const SiteListReadResult read = readSiteListData(siteListBytes(written));
        if (!read.outcome.ok() || read.entries.size() != written.size())
            return false;
        for (std::size_t j = 0; j < others.size(); ++j) {
            SiteEntry& e = entries[others[j]];
            const SiteEntry& r = read.entries[j];
            e.url = r.url;
            e.crc = r.crc;
            e.rdatetime = r.rdatetime;
            e.descrizione = r.descrizione;
            e.nick = r.nick;
            e.options = r.options;
            e.unknown = r.unknown;
        }
    }
    // The key of a record is its nick as the file holds it, before the entities are taken out.
    std::vector<QString> primaries;
    primaries.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SiteEntry& e = entries[i];
        e.res.clear();
        e.ticked = false;
        primaries.push_back(e.nick.isEmpty() ? numberedKey(qsizetype(i) + 1) : XMLEntityEncode(e.nick));
    }
    assignKeys(entries, primaries);
    return true;
}

// What a read finds of the root's own unknown content: a child written after the last site is read as after it.
UnknownXml rootAsRead(UnknownXml root, std::size_t sites) {
    for (auto& [known, bytes] : root.children)
        known = std::min(known, qsizetype(sites));
    return root;
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
    m_base.clear();
    m_base.reserve(entries.size());
    for (const SiteEntry& e : entries)
        m_base.push_back({e.id, e.url, e.nick, e.descrizione, e.options});
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
        e.options = b.options;
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
    std::vector<SiteEntry> theirs;
    if (sameFile(path, m_path)) {
        SiteListReadResult now = readSiteListFile(path, m_rootRule, m_digest);
        if (now.outcome.ok() && !now.unchanged) {
            theirs = std::move(now.entries);
            merge = mergeSiteLists(base(), mine, theirs, checked, order);
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
    if (!result.outcome.ok())
        return result;
    m_path = path;
    m_digest = std::move(digest);
    if (!result.merged) {
        m_root = std::move(root);
        setBase(mine);
        return result;
    }
    // The merged list is what the caller shows and the next merge starts from: as a read of the file gives it.
    m_root = rootAsRead(std::move(root), merge.entries.size());
    const bool asRead = makeAsRead(merge.entries, merge.theirs, theirs);
    setBase(merge.entries);
    if (asRead)
        result.entries = std::move(merge.entries);
    return result;
}
