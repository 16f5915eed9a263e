#include "store/SiteListMerge.h"

#include <QHash>

#include <algorithm>

namespace {

constexpr qsizetype kNone = -1;

} // namespace

std::vector<qsizetype> matchByUrl(const std::vector<SiteEntry>& from, const std::vector<SiteEntry>& to) {
    // Two readings of one list mostly hold the same URLs in the same order: as far as they do, each site is its
    // own match, and the counts of every URL before the rest agree.
    std::size_t same = 0;
    while (same < from.size() && same < to.size() && from[same].url == to[same].url)
        ++same;
    std::vector<qsizetype> match(from.size(), kNone);
    for (std::size_t i = 0; i < same; ++i)
        match[i] = qsizetype(i);
    if (same == from.size() || same == to.size())
        return match;
    QHash<QString, qsizetype> next;
    next.reserve(qsizetype(to.size() - same));
    std::vector<qsizetype> after(to.size(), kNone);
    for (qsizetype i = qsizetype(to.size()) - 1; i >= qsizetype(same); --i) {
        const auto it = next.find(to[std::size_t(i)].url);
        if (it == next.end()) {
            next.insert(to[std::size_t(i)].url, i);
        } else {
            after[std::size_t(i)] = *it;
            *it = i;
        }
    }
    for (std::size_t i = same; i < from.size(); ++i) {
        const auto it = next.find(from[i].url);
        if (it == next.end() || *it == kNone)
            continue;
        match[i] = *it;
        *it = after[std::size_t(*it)];
    }
    return match;
}

namespace {

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

// The base's sites by id. The ids of one list mostly lie in a range not much longer than the list: then an
// array over that range finds them, without the random probes of a hash table.
class BaseIndex {
public:
    explicit BaseIndex(const std::vector<SiteEntry>& base) {
        if (base.empty())
            return;
        const auto [low, high] = std::minmax_element(
            base.cbegin(), base.cend(), [](const SiteEntry& a, const SiteEntry& b) { return a.id < b.id; });
        if (high->id - low->id < 2 * base.size()) {
            m_first = low->id;
            m_dense.assign(std::size_t(high->id - low->id) + 1, kNone);
            for (std::size_t i = 0; i < base.size(); ++i)
                m_dense[std::size_t(base[i].id - m_first)] = qsizetype(i);
        } else {
            for (std::size_t i = 0; i < base.size(); ++i)
                m_sparse.insert(base[i].id, qsizetype(i));
        }
    }
    // The last site of base with that id, or kNone.
    qsizetype find(quint64 id) const {
        if (!m_dense.empty())
            return id >= m_first && id - m_first < m_dense.size() ? m_dense[std::size_t(id - m_first)] : kNone;
        return m_sparse.value(id, kNone);
    }

private:
    quint64 m_first = 0;
    std::vector<qsizetype> m_dense;
    QHash<quint64, qsizetype> m_sparse;
};

QString nameOf(const SiteEntry& e) {
    return e.nick.isEmpty() ? e.url : e.nick;
}

} // namespace

SiteListMerge mergeSiteLists(const std::vector<SiteEntry>& base, const std::vector<SiteEntry>& mine,
                             const std::vector<SiteEntry>& theirs, const QSet<quint64>& checked,
                             MergeOrder order) {
    const BaseIndex baseOfId(base);
    const std::vector<qsizetype> theirsOfBase = matchByUrl(base, theirs);
    std::vector<bool> theirsKnown(theirs.size(), false);
    for (qsizetype t : theirsOfBase) {
        if (t != kNone)
            theirsKnown[std::size_t(t)] = true;
    }

    SiteListMerge out;
    // What becomes of mine, in its order (a deleted site is not there), and where each of mine went.
    std::vector<SiteEntry>& kept = out.entries;
    kept.reserve(mine.size() + theirs.size());
    out.theirs.reserve(mine.size() + theirs.size());
    std::vector<qsizetype> keptOfMine(mine.size(), kNone);
    std::vector<qsizetype> mineOfTheirs(theirs.size(), kNone);
    const auto keep = [&](std::size_t i, SiteEntry&& e, qsizetype t) {
        keptOfMine[i] = qsizetype(kept.size());
        kept.push_back(std::move(e));
        out.theirs.push_back(t);
    };
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const SiteEntry& m = mine[i];
        const qsizetype b = baseOfId.find(m.id);
        if (b == kNone) {
            keep(i, SiteEntry(m), kNone); // added by mine
            continue;
        }
        const SiteEntry& before = base[std::size_t(b)];
        const qsizetype t = theirsOfBase[std::size_t(b)];
        if (t == kNone) {
            // Deleted by theirs: kept only when mine edited it, and said either way.
            if (edited(m, before))
                keep(i, SiteEntry(m), kNone);
            out.merged << nameOf(m);
            continue;
        }
        mineOfTheirs[std::size_t(t)] = qsizetype(i);
        keep(i, combine(m, before, theirs[std::size_t(t)], checked.contains(m.id)), t);
        if (!sameStored(kept.back(), m))
            out.merged << nameOf(kept.back());
    }

    const auto addTheirs = [&out, &theirs](std::vector<SiteEntry>& into, std::vector<qsizetype>& from,
                                           std::size_t t) {
        SiteEntry added = theirs[t];
        added.id = 0;
        out.merged << nameOf(added);
        into.push_back(std::move(added));
        from.push_back(qsizetype(t));
    };
    if (order == MergeOrder::Mine) {
        for (std::size_t t = 0; t < theirs.size(); ++t) {
            if (!theirsKnown[t])
                addTheirs(out.entries, out.theirs, t);
        }
        return out;
    }
    std::vector<SiteEntry> entries;
    std::vector<qsizetype> theirsOf;
    entries.reserve(kept.size() + theirs.size());
    theirsOf.reserve(kept.size() + theirs.size());
    std::vector<bool> placed(kept.size(), false);
    const auto place = [&](qsizetype k) {
        entries.push_back(std::move(kept[std::size_t(k)]));
        theirsOf.push_back(out.theirs[std::size_t(k)]);
        placed[std::size_t(k)] = true;
    };
    for (std::size_t t = 0; t < theirs.size(); ++t) {
        const qsizetype m = mineOfTheirs[t];
        if (!theirsKnown[t])
            addTheirs(entries, theirsOf, t);
        else if (m != kNone && keptOfMine[std::size_t(m)] != kNone)
            place(keptOfMine[std::size_t(m)]);
    }
    for (std::size_t k = 0; k < placed.size(); ++k) {
        if (!placed[k])
            place(qsizetype(k));
    }
    out.entries = std::move(entries);
    out.theirs = std::move(theirsOf);
    return out;
}
