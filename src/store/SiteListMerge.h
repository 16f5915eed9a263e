#pragma once

#include "core/SiteEntry.h"

#include <QSet>
#include <QStringList>

#include <vector>

// Whose order of the sites a merged list keeps; the sites only one side added come after.
enum class MergeOrder { Mine, Theirs };

// A list merged from this writer's and another writer's: what to write, and the sites where the other
// writer's work was taken or met this writer's (by nick, or URL when the site has none).
struct SiteListMerge {
    std::vector<SiteEntry> entries;
    QStringList merged;
    std::vector<qsizetype> theirs; // for each entry, the index of its site in theirs, or -1 when theirs has none
};

// For each site of from, the index of the site of to with the same URL and as many sites of that URL before it,
// or -1.
std::vector<qsizetype> matchByUrl(const std::vector<SiteEntry>& from, const std::vector<SiteEntry>& to);

// Three-way merge of a site list file. base: the file as this writer last read or wrote it, with the ids of
// mine (only their ids, URLs, nicks, descriptions and options are read); mine: this writer's list now; theirs: the
// file as another writer left it. Mine is matched with base by id, theirs by URL (the n-th site of one URL in base
// with the n-th in theirs). Edits (URL, nick, description, the site's rules) are mine where mine made them and
// theirs elsewhere; check results (crc, check time, text fingerprint) are mine for the sites in checked and theirs
// for the others. A site one side deleted stays deleted, unless mine edited it; a check is no edit. Sites either
// side added are kept.
SiteListMerge mergeSiteLists(const std::vector<SiteEntry>& base, const std::vector<SiteEntry>& mine,
                             const std::vector<SiteEntry>& theirs, const QSet<quint64>& checked, MergeOrder order);
