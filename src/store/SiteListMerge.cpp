#include "store/SiteListMerge.h"

#include <QHash>

#include <optional>

namespace {

constexpr qsizetype kNone = -1;

// For each entry of `from`, the index of the entry of `to` with the same URL and the same number of that URL
// before it, or kNone. The entries of `to` with each URL are chained in their order, and each entry of `from`
// takes the next one of its URL.
std::vector<qsizetype> matchByUrl(const std::vector<SiteEntry>& from, const std::vector<SiteEntry>& to) {
    QHash<QString, qsizetype> next;
    next.reserve(qsizetype(to.size()));
    std::vector<qsizetype> after(to.size(), kNone);
    for (qsizetype i = qsizetype(to.size()) - 1; i >= 0; --i) {
        const auto it = next.find(to[std::size_t(i)].url);
        if (it == next.end()) {
            next.insert(to[std::size_t(i)].url, i);
        } else {
            after[std::size_t(i)] = *it;
            *it = i;
        }
    }
    std::vector<qsizetype> match(from.size(), kNone);
    for (std::size_t i = 0; i < from.size(); ++i) {
        const auto it = next.find(from[i].url);
        if (it == next.end() || *it == kNone)
            continue;
        match[i] = *it;
        *it = after[std::size_t(*it)];
    }
    return match;
}

bool edited(const SiteEntry& now, const SiteEntry& before) {
    return now.url != before.url || now.nick != before.nick || now.descrizione != before.descrizione ||
           !now.options->sameRules(before.options) || !now.options->sameRequest(before.options);
}

// Mine's site with theirs' work taken where mine did not do its own.
SiteEntry combine(const SiteEntry& m, const SiteEntry& b, const SiteEntry& t, bool checkedByMine) {
    SiteEntry r = m;
    if (m.nick == b.nick)
        r.nick = t.nick;
    if (m.descrizione == b.descrizione)
        r.descrizione = t.descrizione;
    r.unknown = t.unknown;
    const bool myRules = !m.options->sameRules(b.options);
    const bool theirRules = !t.options->sameRules(b.options);
    // Results of a check of another address, or under other rules, are not this site's.
    const bool myResults = checkedByMine || m.url != b.url;
    if (!myResults) {
        r.crc = t.crc;
        r.rdatetime = t.rdatetime;
    }
    // Options the three agree on, as most sites' default ones, stay as they are.
    if (m.options == t.options && m.options == b.options)
        return r;
    SiteOptions options = m.options;
    if (!myRules) {
        options = t.options;
        if (myResults && !theirRules) {
            options.textCrc = m.options->textCrc;
            options.version = m.options->version;
        }
    }
    // How the page is asked for is the user's edit, apart from the rules; what the server said is the
    // result of whichever check it came from.
    options.takeRequest(m.options->sameRequest(b.options) ? *t.options : *m.options);
    options.takeCheckResults(myResults ? *m.options : *t.options);
    options.unknown = t.options->unknown;
    r.options = options;
    return r;
}

bool sameStored(const SiteEntry& a, const SiteEntry& b) {
    return a.url == b.url && a.nick == b.nick && a.descrizione == b.descrizione && a.crc == b.crc &&
           a.rdatetime == b.rdatetime && a.options == b.options && a.unknown == b.unknown;
}

QString nameOf(const SiteEntry& e) {
    return e.nick.isEmpty() ? e.url : e.nick;
}

} // namespace

SiteListMerge mergeSiteLists(const std::vector<SiteEntry>& base, const std::vector<SiteEntry>& mine,
                             const std::vector<SiteEntry>& theirs, const QSet<quint64>& checked,
                             MergeOrder order) {
    QHash<quint64, std::size_t> baseOfId;
    for (std::size_t i = 0; i < base.size(); ++i)
        baseOfId.insert(base[i].id, i);
    const std::vector<qsizetype> theirsOfBase = matchByUrl(base, theirs);
    std::vector<bool> theirsKnown(theirs.size(), false);
    for (qsizetype t : theirsOfBase) {
        if (t != kNone)
            theirsKnown[std::size_t(t)] = true;
    }

    SiteListMerge out;
    // What becomes of each of mine (none: deleted), and which of mine each of theirs is.
    std::vector<std::optional<SiteEntry>> result(mine.size());
    std::vector<qsizetype> mineOfTheirs(theirs.size(), kNone);
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const SiteEntry& m = mine[i];
        const auto b = baseOfId.constFind(m.id);
        if (b == baseOfId.constEnd()) {
            result[i] = m; // added by mine
            continue;
        }
        const SiteEntry& before = base[*b];
        const qsizetype t = theirsOfBase[*b];
        if (t == kNone) {
            // Deleted by theirs: kept only when mine edited it, and said either way.
            if (edited(m, before))
                result[i] = m;
            out.merged << nameOf(m);
            continue;
        }
        mineOfTheirs[std::size_t(t)] = qsizetype(i);
        result[i] = combine(m, before, theirs[std::size_t(t)], checked.contains(m.id));
        if (!sameStored(*result[i], m))
            out.merged << nameOf(*result[i]);
    }

    const auto addTheirs = [&out](const SiteEntry& t) {
        SiteEntry added = t;
        added.id = 0;
        out.merged << nameOf(added);
        out.entries.push_back(std::move(added));
    };
    out.entries.reserve(mine.size() + theirs.size());
    if (order == MergeOrder::Mine) {
        for (std::optional<SiteEntry>& r : result) {
            if (r)
                out.entries.push_back(std::move(*r));
        }
        for (std::size_t t = 0; t < theirs.size(); ++t) {
            if (!theirsKnown[t])
                addTheirs(theirs[t]);
        }
    } else {
        std::vector<bool> placed(mine.size(), false);
        for (std::size_t t = 0; t < theirs.size(); ++t) {
            const qsizetype m = mineOfTheirs[t];
            if (!theirsKnown[t]) {
                addTheirs(theirs[t]);
            } else if (m != kNone && result[std::size_t(m)]) {
                out.entries.push_back(std::move(*result[std::size_t(m)]));
                placed[std::size_t(m)] = true;
            }
        }
        for (std::size_t i = 0; i < mine.size(); ++i) {
            if (!placed[i] && result[i])
                out.entries.push_back(std::move(*result[i]));
        }
    }
    return out;
}
