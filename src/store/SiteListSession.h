#pragma once

#include "core/Outcome.h"
#include "store/SiteListFile.h"
#include "store/SiteListMerge.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// How a save went: and when another program had written the file since, whose sites were merged.
struct SiteListSave {
    Outcome outcome = Outcome::failure(-1, {});
    bool merged = false;     // the file now holds more than the list that was saved
    QStringList mergedSites; // where the other program's work was taken or met this one's
    // After a merged save, the list as a read of the file gives it, with the ids of mine (0 for sites mine did
    // not have); none in the unlikely case that it cannot be told without reading the file.
    std::optional<std::vector<SiteEntry>> entries;
};

// A list file that other programs may write at any time, as this program last read or wrote it: a save
// writes over nothing it has not seen. It takes the lock beside the file, reads the file again and, when
// another program wrote it since, merges the two lists (mergeSiteLists) before writing.
class SiteListSession {
public:
    // Reads the file; when that works it is the file this session compares with and saves to, and setBase()
    // is due once the caller holds its entries.
    SiteListReadResult load(const QString& path, SiteListRoot root = SiteListRoot::Any);
    // The list as the caller holds it after load() or a merged save, with its ids: the base of the next merge.
    void setBase(const std::vector<SiteEntry>& entries);
    const QString& path() const { return m_path; }
    // Whether the file on disk is not the one last loaded or saved here (its content is read to tell).
    bool changedOnDisk() const;

    // Writes mine to path. When path is this session's file and another program changed it since, its new
    // content is merged in first. checked: the ids of mine whose check results are new since the last load
    // or save. A file that another program changed into one that cannot be read is not overwritten.
    SiteListSave save(const QString& path, const std::vector<SiteEntry>& mine, const QSet<quint64>& checked,
                      MergeOrder order);

    // Held only while a save reads the file again and writes it; QLockFile never writes through a link.
    static QString lockPath(const QString& path) { return path + QStringLiteral(".lock"); }

private:
    QString m_path;
    SiteListRoot m_rootRule = SiteListRoot::Any;
    QByteArray m_digest;
    // The base of the next merge, as much of each site as the merge reads.
    struct BaseSite {
        quint64 id = 0;
        QString url, nick, descrizione;
        SharedOptions options;
    };
    std::vector<BaseSite> m_base;
    std::vector<SiteEntry> base() const;
    UnknownXml m_root;
};
