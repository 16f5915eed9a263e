#pragma once

#include "core/SiteEntry.h"

#include <QAbstractTableModel>
#include <QHash>

#include <functional>
#include <vector>

// The site list: the ordered set of watched pages, as a table model with five columns and a check box per row.
class SiteList : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColUrl = 0, ColRes, ColCrc, ColDateTime, ColDescrizione, ColumnCount };
    enum class Field { Url, Res, Crc, RDateTime, Descrizione, Nick };
    enum TickMode { UntickAll = 0, TickAll = 1, InvertTicks = 2 };
    // Extra data roles for fields that have no column.
    enum Role { NickRole = Qt::UserRole + 1, KeyRole, IdRole, OptionsRole };

    explicit SiteList(QObject* parent = nullptr);

    // Column key ("x1".."x5"), caption and initial width in twips, by 0-based column.
    static QString columnKey(int column);
    static QString columnCaption(int column);
    static int columnWidthTwips(int column);

    int count() const;
    const SiteEntry& entryAt(int pos) const;
    const std::vector<SiteEntry>& entries() const { return m_entries; }

    QString field(int pos, Field f) const;
    // A fingerprint's text is read as StoredCrc::fromText reads it.
    void setField(int pos, Field f, const QString& text);
    void setCrc(int pos, const StoredCrc& crc);

    // The site's options (entryAt(pos).options reads them); the modified flag is the caller's to set.
    void setOptions(int pos, const SiteOptions& options);

    bool isTicked(int pos) const;
    void setTicked(int pos, bool ticked);
    void setAllTicks(TickMode mode);

    // Adds an unticked entry after the last one; false (list unchanged) when the key is taken.
    // An empty key is no key: it is never taken and never found.
    bool add(const QString& key, const QString& url);
    bool containsKey(const QString& key) const;
    int rowOfKey(const QString& key) const; // -1 when absent
    bool remove(const QString& key);
    // Removes every entry the predicate dooms, with one layout change whatever rows they are; persistent
    // indexes of the rows that stay follow them. Returns how many were removed.
    int removeIf(const std::function<bool(const SiteEntry&)>& doomed);
    void clear();
    // Replaces every entry at once (one model reset); keys should be unique (with repeats the first one
    // answers lookups). Ids are given anew.
    void replaceAll(std::vector<SiteEntry> entries);

    // Position of the entry with this id, or -1 when it is no longer in the list.
    int rowOfId(quint64 id) const;

    // The selected entry (the list's current item), followed across sorts; -1 when none.
    int selectedRow() const;
    void setSelectedRow(int pos);

    static QString keyFromUrl(const QString& url);

    // Sorts by the text of column 1..5, stable, without regard to letter case.
    void sortByColumn(int column1to5, Qt::SortOrder order);

    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    void modifiedChanged(bool modified);
    // setField gave the entry at pos another URL (what belongs to the page by its URL may follow it).
    void urlChanged(int pos, const QString& before, const QString& after);

private:
    bool validRow(int pos) const { return pos >= 0 && pos < count(); }
    static Field columnField(int column); // of a valid column
    void emitFieldChanged(int pos, Field f);
    void rebuildRowIndex() const;
    void rebuildKeyIndex() const;
    // Points the persistent indexes at the new row of each old row (-1: the row is gone).
    void movePersistentRows(const std::vector<int>& newRowOfOld);

    std::vector<SiteEntry> m_entries;
    quint64 m_nextId = 1;
    quint64 m_selectedId = 0; // 0: no selected entry
    // Row of each id; rebuilt on demand after rows move.
    mutable QHash<quint64, int> m_rowById;
    mutable bool m_rowsDirty = false;
    // Id of each folded key: independent of positions, so a sort leaves it valid.
    mutable QHash<QString, quint64> m_idByKey;
    mutable bool m_keysDirty = false;
    mutable bool m_keysMayRepeat = false; // replaceAll brought two entries with one key
    bool m_modified = false;
};
