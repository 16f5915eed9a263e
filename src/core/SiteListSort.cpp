#include "core/SiteList.h"

#include "core/SiteFields.h"

#include <algorithm>
#include <vector>

// Sorting the list by a column's text, without regard to case: it is the window's slowest answer on a long
// list, so it folds each text once and moves each entry once.

namespace {

// The field's text folded to compare without regard to case, added to `to`; ASCII without a copy.
void appendFolded(QString& to, const SiteEntry& e, SiteList::Field f) {
    const QString* field = site_list::textField(e, f);
    const QString crc = field ? QString() : e.crc.text();
    const QString& text = field ? *field : crc;
    const QChar* p = text.constData();
    const qsizetype size = text.size();
    if (!std::all_of(p, p + size, [](QChar c) { return c.unicode() < 0x80; })) {
        to += text.toCaseFolded();
        return;
    }
    const qsizetype at = to.size();
    to.resize(at + size);
    QChar* out = to.data() + at;
    for (qsizetype i = 0; i < size; ++i)
        out[i] = p[i] >= u'A' && p[i] <= u'Z' ? QChar(p[i].unicode() + 32) : p[i];
}

// Asks for memory ahead of its use: a sort reads texts and moves entries in an order the processor cannot guess.
void prefetch(const void* at, size_t bytes) {
#if defined(__GNUC__)
    for (size_t line = 0; line < bytes; line += 64)
        __builtin_prefetch(static_cast<const char*>(at) + line, 1);
#else
    Q_UNUSED(at);
    Q_UNUSED(bytes);
#endif
}

} // namespace

void SiteList::sortByColumn(int column1to5, Qt::SortOrder order) {
    if (column1to5 < 1 || column1to5 > ColumnCount)
        return;
    const Field f = columnField(column1to5 - 1);
    const int n = count();
    // The texts folded once, end to end in one buffer: comparisons then read memory in one place. Each key
    // carries its first four characters after the prefix all keys share, packed so that comparing the numbers
    // orders them as comparing the texts would; only keys that agree there compare their texts.
    struct Key {
        quint64 head;
        qsizetype start;
        qsizetype length;
        int row;
    };
    QString folded;
    std::vector<Key> keys;
    keys.reserve(n);
    constexpr int kAhead = 8;
    for (int row = 0; row < n; ++row) {
        if (row + kAhead < n) {
            if (const QString* ahead = site_list::textField(m_entries[size_t(row + kAhead)], f))
                prefetch(ahead->constData(), 1);
        }
        const qsizetype start = folded.size();
        appendFolded(folded, m_entries[row], f);
        keys.push_back({0, start, folded.size() - start, row});
    }
    const auto text = [&folded](const Key& k) {
        return QStringView(folded).sliced(k.start, k.length);
    };
    qsizetype shared = keys.empty() ? 0 : keys.front().length;
    for (const Key& k : keys) {
        const QStringView first = text(keys.front()), mine = text(k);
        shared = std::min(shared, mine.size());
        for (qsizetype i = 0; i < shared; ++i) {
            if (first[i] != mine[i]) {
                shared = i;
                break;
            }
        }
    }
    for (Key& k : keys) {
        for (qsizetype i = 0; i < 4; ++i)
            k.head = k.head << 16 | (shared + i < k.length ? folded[k.start + shared + i].unicode() : 0u);
    }
    const auto less = [&](const Key& a, const Key& b) {
        return a.head != b.head ? a.head < b.head : text(a).sliced(shared) < text(b).sliced(shared);
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(keys.begin(), keys.end(), less);
    else
        std::stable_sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) { return less(b, a); });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOfOld(n);
    std::vector<int> oldRowOfNew(n);
    for (int row = 0; row < n; ++row) {
        newRowOfOld[keys[row].row] = row;
        oldRowOfNew[row] = keys[row].row;
    }
    // In place, one cycle of the permutation at a time: every entry moves once, and no second list is made.
    std::vector<bool> placed(n);
    for (int i = 0; i < n; ++i) {
        if (placed[i] || oldRowOfNew[i] == i)
            continue;
        SiteEntry held = std::move(m_entries[i]);
        int to = i;
        while (true) {
            placed[to] = true;
            const int from = oldRowOfNew[to];
            if (from == i) {
                m_entries[to] = std::move(held);
                break;
            }
            prefetch(&m_entries[size_t(oldRowOfNew[oldRowOfNew[oldRowOfNew[from]]])], sizeof(SiteEntry));
            m_entries[to] = std::move(m_entries[from]);
            to = from;
        }
    }
    m_rowsDirty = true;
    movePersistentRows(newRowOfOld);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
