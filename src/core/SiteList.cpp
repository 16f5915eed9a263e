#include "core/SiteList.h"

#include "core/SiteFields.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <utility>

namespace {

struct ColumnInfo {
    const char16_t* key;
    const char* caption;
    int widthTwips;
    SiteList::Field field;
};

constexpr std::array<ColumnInfo, SiteList::ColumnCount> kColumns{{
    {u"x1", QT_TRANSLATE_NOOP("SiteList", "                      URL"), 2900, SiteList::Field::Url},
    {u"x2", QT_TRANSLATE_NOOP("SiteList", "RES"), 550, SiteList::Field::Res},
    {u"x3", QT_TRANSLATE_NOOP("SiteList", "      CRC"), 1180, SiteList::Field::Crc},
    {u"x4", QT_TRANSLATE_NOOP("SiteList", "   Ultimo controllo"), 1670, SiteList::Field::RDateTime},
    {u"x5", QT_TRANSLATE_NOOP("SiteList", "   Descrizione"), 2000, SiteList::Field::Descrizione},
}};

bool validColumn(int column) {
    return column >= 0 && column < SiteList::ColumnCount;
}

bool validCell(const QModelIndex& index) {
    return index.isValid() && !index.parent().isValid() && validColumn(index.column());
}

QString fieldOf(const SiteEntry& e, SiteList::Field f) {
    const QString* text = site_list::textField(e, f);
    return text ? *text : e.crc.text();
}

// Column showing a field, or -1 for a field without a column (nick).
int columnOf(SiteList::Field f) {
    for (int c = 0; c < SiteList::ColumnCount; ++c) {
        if (kColumns[c].field == f)
            return c;
    }
    return -1;
}

} // namespace

SiteList::SiteList(QObject* parent)
    : QAbstractTableModel(parent) {}

QString SiteList::columnKey(int column) {
    return validColumn(column) ? QString::fromUtf16(kColumns[column].key) : QString();
}

QString SiteList::columnCaption(int column) {
    return validColumn(column) ? QCoreApplication::translate("SiteList", kColumns[column].caption) : QString();
}

int SiteList::columnWidthTwips(int column) {
    return validColumn(column) ? kColumns[column].widthTwips : 0;
}

SiteList::Field SiteList::columnField(int column) {
    return kColumns[column].field;
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
    SiteEntry& e = m_entries[pos];
    if (QString* target = site_list::textField(e, f)) {
        if (*target == text)
            return;
        const QString before = std::exchange(*target, text);
        if (f == Field::Url) {
            emitFieldChanged(pos, f);
            emit urlChanged(pos, before, text);
            return;
        }
    } else {
        const StoredCrc crc = StoredCrc::fromText(text);
        if (e.crc == crc)
            return;
        e.crc = crc;
    }
    emitFieldChanged(pos, f);
}

void SiteList::setCrc(int pos, const StoredCrc& crc) {
    if (!validRow(pos) || m_entries[pos].crc == crc)
        return;
    m_entries[pos].crc = crc;
    emitFieldChanged(pos, Field::Crc);
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

void SiteList::setOptions(int pos, const SiteOptions& options) {
    if (!validRow(pos) || m_entries[pos].options == options)
        return;
    m_entries[pos].options = options;
    const QModelIndex cell = index(pos, ColUrl);
    emit dataChanged(cell, cell, {OptionsRole});
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

int SiteList::removeIf(const std::function<bool(const SiteEntry&)>& doomed) {
    const int n = count();
    std::vector<int> newRowOfOld(n);
    int kept = 0;
    for (int row = 0; row < n; ++row)
        newRowOfOld[row] = doomed(m_entries[row]) ? -1 : kept++;
    if (kept == n)
        return 0;
    // One layout change for any pattern of rows: views keep the selection of the rows that stay.
    emit layoutAboutToBeChanged();
    const int selected = selectedRow();
    if (selected >= 0 && newRowOfOld[selected] < 0)
        m_selectedId = 0;
    m_idByKey.clear(); // rebuilt at the next lookup; dropped first, as in clear()
    for (int row = 0; row < n; ++row) {
        if (newRowOfOld[row] >= 0 && newRowOfOld[row] != row)
            m_entries[newRowOfOld[row]] = std::move(m_entries[row]);
    }
    m_entries.erase(m_entries.begin() + kept, m_entries.end());
    m_rowsDirty = m_keysDirty = true;
    movePersistentRows(newRowOfOld);
    emit layoutChanged();
    return n - kept;
}

void SiteList::clear() {
    beginResetModel();
    // The key index shares each entry's key text: dropped first, it lets every entry free all its texts at
    // once, side by side on the heap, which takes a third of the time of freeing the keys apart later.
    m_idByKey.clear();
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_rowById.clear();
    m_selectedId = 0;
    m_rowsDirty = m_keysDirty = m_keysMayRepeat = false;
    endResetModel();
}

void SiteList::replaceAll(std::vector<SiteEntry> entries) {
    beginResetModel();
    m_idByKey.clear(); // first, as in clear()
    m_entries = std::move(entries);
    for (SiteEntry& e : m_entries)
        e.id = m_nextId++;
    m_selectedId = 0;
    m_rowsDirty = m_keysDirty = true;
    m_keysMayRepeat = false;
    endResetModel();
}

void SiteList::movePersistentRows(const std::vector<int>& newRowOfOld) {
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& idx : from) {
        const int row = newRowOfOld[idx.row()];
        to.append(row < 0 ? QModelIndex() : index(row, idx.column()));
    }
    changePersistentIndexList(from, to);
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
