#include "core/SiteList.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>
#include <system_error>
#include <utility>

namespace {

// Lists at least this long are freed on a helper thread when they are cleared or replaced.
constexpr std::size_t kDisposeOnThreadFrom = 4096;

struct ColumnInfo {
    const char16_t* key;
    const char16_t* caption;
    int widthTwips;
    SiteList::Field field;
};

constexpr std::array<ColumnInfo, SiteList::ColumnCount> kColumns{{
    {u"x1", u"                      URL", 2900, SiteList::Field::Url},
    {u"x2", u"RES", 550, SiteList::Field::Res},
    {u"x3", u"      CRC", 1180, SiteList::Field::Crc},
    {u"x4", u"   Ultimo controllo", 1670, SiteList::Field::RDateTime},
    {u"x5", u"   Descrizione", 2000, SiteList::Field::Descrizione},
}};

bool validColumn(int column) {
    return column >= 0 && column < SiteList::ColumnCount;
}

bool validCell(const QModelIndex& index) {
    return index.isValid() && !index.parent().isValid() && validColumn(index.column());
}

const QString& fieldOf(const SiteEntry& e, SiteList::Field f) {
    switch (f) {
    case SiteList::Field::Url:
        return e.url;
    case SiteList::Field::Res:
        return e.res;
    case SiteList::Field::Crc:
        return e.crc;
    case SiteList::Field::RDateTime:
        return e.rdatetime;
    case SiteList::Field::Descrizione:
        return e.descrizione;
    case SiteList::Field::Nick:
        break;
    }
    return e.nick;
}

QString& fieldOf(SiteEntry& e, SiteList::Field f) {
    return const_cast<QString&>(fieldOf(std::as_const(e), f));
}

// Column showing a field, or -1 for a field without a column (nick).
int columnOf(SiteList::Field f) {
    for (int c = 0; c < SiteList::ColumnCount; ++c) {
        if (kColumns[c].field == f)
            return c;
    }
    return -1;
}

constexpr size_t kPrefetchAhead = 32;

inline void prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// The texts of one column, case-folded and laid end to end: one allocation for the whole list.
class FoldedColumn {
public:
    FoldedColumn(const std::vector<SiteEntry>& entries, SiteList::Field f) {
        qsizetype total = 0;
        for (const SiteEntry& e : entries)
            total += fieldOf(e, f).size();
        m_units = std::make_unique_for_overwrite<char16_t[]>(static_cast<size_t>(total));
        m_starts.reserve(entries.size() + 1);
        qsizetype at = 0;
        for (size_t row = 0; row < entries.size(); ++row) {
            // The texts lie scattered over the heap: asking for one some rows ahead hides most of the wait.
            if (row + kPrefetchAhead < entries.size())
                prefetch(fieldOf(entries[row + kPrefetchAhead], f).constData());
            m_starts.push_back(at);
            const QString& text = fieldOf(entries[row], f);
            for (qsizetype i = 0; i < text.size(); ++i)
                at += fold(text, i, m_units.get() + at);
        }
        m_starts.push_back(at);
    }

    QStringView text(size_t row) const {
        return QStringView(m_units.get() + m_starts[row], m_starts[row + 1] - m_starts[row]);
    }

    // Length of the start that every text shares.
    qsizetype commonPrefixLength() const {
        if (m_starts.size() < 2)
            return 0;
        const QStringView first = text(0);
        qsizetype length = first.size();
        for (size_t row = 1; row + 1 < m_starts.size() && length > 0; ++row) {
            const QStringView t = text(row);
            length = std::min(length, t.size());
            qsizetype i = 0;
            while (i < length && t[i] == first[i])
                ++i;
            length = i;
        }
        return length;
    }

private:
    // Writes the folded form of the code unit(s) at text[i] and returns how many units it wrote;
    // the length never changes, so a pair's low half is written with its high half and skipped.
    static qsizetype fold(const QString& text, qsizetype& i, char16_t* out) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80) {
            *out = (u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u;
            return 1;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(u, text.at(i + 1).unicode()));
            out[0] = QChar::requiresSurrogates(folded) ? QChar::highSurrogate(folded) : u;
            out[1] = QChar::requiresSurrogates(folded) ? QChar::lowSurrogate(folded) : text.at(i + 1).unicode();
            ++i;
            return 2;
        }
        const char32_t folded = QChar::toCaseFolded(char32_t(u));
        *out = QChar::requiresSurrogates(folded) ? u : char16_t(folded);
        return 1;
    }

    std::unique_ptr<char16_t[]> m_units;
    std::vector<qsizetype> m_starts;
};

// One entry's place in a sort: the first eight code units after the shared prefix, packed so that
// integer order is text order, and the rest of the text for the entries that share those.
struct SortKey {
    quint64 high;
    quint64 low;
    const char16_t* rest; // the units after the packed ones
    int tail;             // units after the shared prefix: tells "ab" from "ab" and a NUL, which pack alike
    int row;

    std::u16string_view restView() const { return {rest, static_cast<size_t>(std::max(tail - 8, 0))}; }

    friend bool operator<(const SortKey& a, const SortKey& b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        const int byRest = a.restView().compare(b.restView());
        return byRest != 0 ? byRest < 0 : a.tail < b.tail;
    }
};

SortKey makeSortKey(QStringView folded, qsizetype skip, int row) {
    auto pack = [&](qsizetype from) {
        quint64 packed = 0;
        for (qsizetype i = from; i < from + 4; ++i)
            packed = (packed << 16) | (i < folded.size() ? folded[i].unicode() : 0u);
        return packed;
    };
    const qsizetype tail = folded.size() - skip;
    return {pack(skip), pack(skip + 4), folded.utf16() + skip + std::min<qsizetype>(tail, 8),
            static_cast<int>(tail), row};
}

} // namespace

SiteList::SiteList(QObject* parent)
    : QAbstractTableModel(parent) {}

SiteList::~SiteList() {
    if (m_disposer.joinable())
        m_disposer.join();
}

QString SiteList::columnKey(int column) {
    return validColumn(column) ? QString::fromUtf16(kColumns[column].key) : QString();
}

QString SiteList::columnCaption(int column) {
    return validColumn(column) ? QString::fromUtf16(kColumns[column].caption) : QString();
}

int SiteList::columnWidthTwips(int column) {
    return validColumn(column) ? kColumns[column].widthTwips : 0;
}

int SiteList::count() const {
    return static_cast<int>(m_entries.size());
}

const SiteEntry& SiteList::entryAt(int pos) const {
    static const SiteEntry kNoEntry;
    return validRow(pos) ? m_entries[pos] : kNoEntry;
}

QString SiteList::field(int pos, Field f) const {
    return validRow(pos) ? fieldOf(m_entries[pos], f) : QString();
}

void SiteList::setField(int pos, Field f, const QString& text) {
    if (!validRow(pos))
        return;
    QString& target = fieldOf(m_entries[pos], f);
    if (target == text)
        return;
    target = text;
    emitFieldChanged(pos, f);
}

void SiteList::emitFieldChanged(int pos, Field f) {
    const int column = columnOf(f);
    if (column >= 0) {
        const QModelIndex cell = index(pos, column);
        emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole});
    } else {
        const QModelIndex cell = index(pos, ColUrl);
        emit dataChanged(cell, cell, {NickRole});
    }
}

bool SiteList::isTicked(int pos) const {
    return validRow(pos) && m_entries[pos].ticked;
}

void SiteList::setTicked(int pos, bool ticked) {
    if (!validRow(pos) || m_entries[pos].ticked == ticked)
        return;
    m_entries[pos].ticked = ticked;
    const QModelIndex cell = index(pos, ColUrl);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void SiteList::setAllTicks(TickMode mode) {
    if (m_entries.empty())
        return;
    for (SiteEntry& e : m_entries) {
        switch (mode) {
        case UntickAll:
            e.ticked = false;
            break;
        case TickAll:
            e.ticked = true;
            break;
        case InvertTicks:
            e.ticked = !e.ticked;
            break;
        }
    }
    emit dataChanged(index(0, ColUrl), index(count() - 1, ColUrl), {Qt::CheckStateRole});
}

bool SiteList::add(const QString& key, const QString& url) {
    if (containsKey(key))
        return false;
    const int row = count();
    beginInsertRows({}, row, row);
    SiteEntry e;
    e.url = url;
    e.key = key;
    e.id = m_nextId++;
    if (!m_rowsDirty)
        m_rowById.insert(e.id, row);
    if (!key.isEmpty())
        m_idByKey.insert(keyIdentity(key), e.id);
    m_entries.push_back(std::move(e));
    endInsertRows();
    return true;
}

bool SiteList::containsKey(const QString& key) const {
    return rowOfKey(key) >= 0;
}

int SiteList::rowOfKey(const QString& key) const {
    if (key.isEmpty())
        return -1;
    rebuildKeyIndex();
    return rowOfId(m_idByKey.value(keyIdentity(key), 0));
}

bool SiteList::remove(const QString& key) {
    const int row = rowOfKey(key);
    if (row < 0)
        return false;
    beginRemoveRows({}, row, row);
    const quint64 id = m_entries[row].id;
    if (id == m_selectedId)
        m_selectedId = 0;
    m_entries.erase(m_entries.begin() + row);
    m_idByKey.remove(keyIdentity(key));
    // Another entry may hold the same key and must become findable.
    if (m_keysMayRepeat)
        m_keysDirty = true;
    m_rowsDirty = true;
    endRemoveRows();
    return true;
}

void SiteList::clear() {
    beginResetModel();
    std::vector<SiteEntry> old;
    old.swap(m_entries);
    m_selectedId = 0;
    m_rowById.clear();
    m_rowsDirty = m_keysDirty = m_keysMayRepeat = false;
    endResetModel();
    disposeLater(std::move(old), std::exchange(m_idByKey, {}));
}

void SiteList::replaceAll(std::vector<SiteEntry> entries) {
    beginResetModel();
    std::vector<SiteEntry> old = std::exchange(m_entries, std::move(entries));
    for (SiteEntry& e : m_entries)
        e.id = m_nextId++;
    m_selectedId = 0;
    m_rowsDirty = m_keysDirty = true;
    m_keysMayRepeat = false;
    endResetModel();
    // The key index is rebuilt from the new entries at the next lookup.
    disposeLater(std::move(old), std::exchange(m_idByKey, {}));
}

void SiteList::disposeLater(std::vector<SiteEntry> entries, QHash<QString, quint64> keyIndex) {
    // A short list is freed here at once: a thread would cost more than it saves.
    if (entries.size() < kDisposeOnThreadFrom)
        return;
    // One disposal at a time, so that a burst of loads cannot pile up threads.
    if (m_disposer.joinable())
        m_disposer.join();
    try {
        // QString's reference counts are atomic, so texts still shared elsewhere may be released here.
        m_disposer = std::thread([doomed = std::move(entries), index = std::move(keyIndex)]() mutable {
            std::vector<SiteEntry>().swap(doomed);
            index = {};
        });
    } catch (const std::system_error&) {
        // No thread to be had: the entries were freed here, as they would have been anyway.
    }
}

void SiteList::rebuildRowIndex() const {
    if (!m_rowsDirty)
        return;
    m_rowById.clear();
    m_rowById.reserve(count());
    for (int row = 0; row < count(); ++row)
        m_rowById.insert(m_entries[row].id, row);
    m_rowsDirty = false;
}

void SiteList::rebuildKeyIndex() const {
    if (!m_keysDirty)
        return;
    m_idByKey.clear();
    m_idByKey.reserve(count());
    m_keysMayRepeat = false;
    for (const SiteEntry& e : m_entries) {
        if (e.key.isEmpty())
            continue;
        // With repeated keys the first entry in display order answers for the key.
        const QString identity = keyIdentity(e.key);
        if (m_idByKey.contains(identity))
            m_keysMayRepeat = true;
        else
            m_idByKey.insert(identity, e.id);
    }
    m_keysDirty = false;
}

int SiteList::rowOfId(quint64 id) const {
    if (id == 0)
        return -1;
    rebuildRowIndex();
    return m_rowById.value(id, -1);
}

int SiteList::selectedRow() const {
    return rowOfId(m_selectedId);
}

void SiteList::setSelectedRow(int pos) {
    m_selectedId = validRow(pos) ? m_entries[pos].id : 0;
}

QString SiteList::keyFromUrl(const QString& url) {
    QString kept;
    kept.reserve(url.size());
    for (const QChar c : url) {
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9'))
            kept.append(c);
    }
    const qsizetype www = kept.indexOf(u"www", 0, Qt::CaseSensitive);
    return www < 0 ? kept : kept.mid(www + 3);
}

void SiteList::sortByColumn(int column1to5, Qt::SortOrder order) {
    if (column1to5 < 1 || column1to5 > ColumnCount)
        return;
    const Field f = kColumns[column1to5 - 1].field;
    const int n = count();

    // Folded once per entry, then compared by a packed prefix that settles most comparisons without
    // touching the texts: this keeps a sort of a long list fast.
    const FoldedColumn folded(m_entries, f);
    const qsizetype skip = folded.commonPrefixLength();
    std::vector<SortKey> keys;
    keys.reserve(n);
    for (int row = 0; row < n; ++row)
        keys.push_back(makeSortKey(folded.text(row), skip, row));
    if (order == Qt::AscendingOrder)
        std::stable_sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) { return a < b; });
    else
        std::stable_sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) { return b < a; });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Permuted in place, cycle by cycle: a second array of entries would cost more in fresh pages
    // than the random moves cost here.
    std::vector<bool> placed(n, false);
    for (int start = 0; start < n; ++start) {
        if (placed[start])
            continue;
        SiteEntry held = std::move(m_entries[start]);
        int to = start;
        for (;;) {
            placed[to] = true;
            const int from = keys[to].row;
            if (from == start) {
                m_entries[to] = std::move(held);
                break;
            }
            m_entries[to] = std::move(m_entries[from]);
            to = from;
        }
    }
    m_rowsDirty = true;

    const QModelIndexList from = persistentIndexList();
    if (!from.isEmpty()) {
        std::vector<int> newRowOfOld(n);
        for (int newRow = 0; newRow < n; ++newRow)
            newRowOfOld[keys[newRow].row] = newRow;
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& idx : from)
            to.append(index(newRowOfOld[idx.row()], idx.column()));
        changePersistentIndexList(from, to);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SiteList::setModified(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

int SiteList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int SiteList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SiteList::data(const QModelIndex& index, int role) const {
    if (!validCell(index) || !validRow(index.row()))
        return {};
    const SiteEntry& e = m_entries[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return fieldOf(e, kColumns[index.column()].field);
    case Qt::CheckStateRole:
        if (index.column() == ColUrl)
            return e.ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case NickRole:
        return e.nick;
    case KeyRole:
        return e.key;
    case IdRole:
        return e.id;
    default:
        return {};
    }
}

bool SiteList::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!validCell(index) || !validRow(index.row()))
        return false;
    if (role != Qt::CheckStateRole || index.column() != ColUrl)
        return false;
    setTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant SiteList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !validColumn(section))
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return columnCaption(section);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

Qt::ItemFlags SiteList::flags(const QModelIndex& index) const {
    if (!validCell(index) || !validRow(index.row()))
        return Qt::NoItemFlags;
    if (index.column() == ColUrl)
        return Qt::ItemIsUserCheckable | Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

void SiteList::sort(int column, Qt::SortOrder order) {
    sortByColumn(column + 1, order);
}
