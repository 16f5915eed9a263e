#include "store/ListKeys.h"

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

// A set of keys by identity (keyIdentity): an ASCII key, the usual one, is folded as it is hashed and
// compared, never copied; open addressing over one array.
class KeySet {
public:
    explicit KeySet(size_t expected) {
        size_t size = 16;
        while (size < expected * 2)
            size *= 2;
        m_slots.assign(size, Slot{});
        m_keys.reserve(expected);
    }
    // False when a key of the same identity is there already.
    bool insert(const QString& key) {
        Key k = made(key);
        Slot& slot = m_slots[slotOf(k)];
        if (slot.index >= 0)
            return false;
        slot = {k.hash, qsizetype(m_keys.size())};
        m_keys.push_back(std::move(k));
        return true;
    }
    bool contains(const QString& key) const { return m_slots[slotOf(made(key))].index >= 0; }

private:
    struct Key {
        QString text;      // the key, or its case folding when it is not ASCII
        bool fold = false; // text is an ASCII key: its capitals count as small letters
        size_t hash = 0;
        char16_t at(qsizetype i) const {
            const char16_t c = text[i].unicode();
            return fold && c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        }
    };
    struct Slot {
        size_t hash = 0;
        qsizetype index = -1;
    };

    static Key made(const QString& key) {
        const bool ascii = isAscii(key);
        Key k{ascii ? key : key.toCaseFolded(), ascii, 0};
        k.hash = identityHash(k.text, ascii);
        return k;
    }
    static bool same(const Key& a, const Key& b) {
        if (a.text.size() != b.text.size())
            return false;
        for (qsizetype i = 0; i < a.text.size(); ++i) {
            if (a.at(i) != b.at(i))
                return false;
        }
        return true;
    }
    // The slot holding k's identity, or the free one where it goes.
    size_t slotOf(const Key& k) const {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = k.hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (slot.index < 0 || (slot.hash == k.hash && same(m_keys[size_t(slot.index)], k)))
                return i;
        }
    }

    std::vector<Slot> m_slots;
    std::vector<Key> m_keys;
};

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
    KeySet taken(primaries.size());
    // Needed only once a key repeats, which most lists never do.
    std::optional<KeySet> allPrimaries;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (taken.insert(primaries[i])) {
            entries[i].key = primaries[i];
            continue;
        }
        if (!allPrimaries) {
            allPrimaries.emplace(primaries.size());
            for (const QString& k : primaries)
                allPrimaries->insert(k);
        }
        const QString base = numberedKey(qsizetype(i) + 1);
        QString candidate = base;
        for (int suffix = 2; taken.contains(candidate) || allPrimaries->contains(candidate); ++suffix)
            candidate = base + u'_' + QString::number(suffix);
        taken.insert(candidate);
        entries[i].key = candidate;
    }
}
