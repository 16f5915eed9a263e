#include "store/ListKeys.h"

#include <QSet>

#include <algorithm>
#include <optional>

QString numberedKey(qsizetype number) {
    return QStringLiteral("§") + QString::number(number);
}

namespace {

bool isAscii(const QString& key) {
    return std::all_of(key.cbegin(), key.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// FNV-1a over the characters of a key's identity: with fold, an ASCII key's capitals count as small letters.
size_t identityHash(const QString& text, bool fold) {
    size_t hash = 14695981039346656037u;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        hash = (hash ^ (fold && u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u)) * 1099511628211u;
    }
    return hash;
}

size_t identityHash(const QString& key) {
    return isAscii(key) ? identityHash(key, true) : identityHash(key.toCaseFolded(), false);
}

} // namespace

void assignKeys(std::vector<SiteEntry>& entries, const std::vector<QString>& primaries) {
    // Most lists hold no two keys of one identity: when no two even share a hash, a sort of the hashes says so
    // at once, and each entry takes its primary key.
    std::vector<size_t> hashes;
    hashes.reserve(primaries.size());
    for (const QString& key : primaries)
        hashes.push_back(identityHash(key));
    std::sort(hashes.begin(), hashes.end());
    if (std::adjacent_find(hashes.cbegin(), hashes.cend()) == hashes.cend()) {
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i].key = primaries[i];
        return;
    }
    QSet<QString> taken;
    taken.reserve(qsizetype(primaries.size()));
    // Needed only once a key repeats, which most lists never do.
    std::optional<QSet<QString>> allPrimaries;
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString identity = keyIdentity(primaries[i]);
        if (!taken.contains(identity)) {
            taken.insert(identity);
            entries[i].key = primaries[i];
            continue;
        }
        if (!allPrimaries) {
            allPrimaries.emplace();
            allPrimaries->reserve(qsizetype(primaries.size()));
            for (const QString& k : primaries)
                allPrimaries->insert(keyIdentity(k));
        }
        const QString base = numberedKey(qsizetype(i) + 1);
        QString candidate = base;
        for (int suffix = 2;
             taken.contains(keyIdentity(candidate)) || allPrimaries->contains(keyIdentity(candidate)); ++suffix)
            candidate = base + u'_' + QString::number(suffix);
        taken.insert(keyIdentity(candidate));
        entries[i].key = candidate;
    }
}
