#pragma once

#include "store/SiteImport.h"

#include <QAbstractTableModel>

#include <vector>

// The sites an import would add, one row each with a tick (all ticked at first): URL, nick, description and
// the options they bring.
class ImportPreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColUrl = 0, ColNick, ColDescrizione, ColOptions, ColumnCount };

    explicit ImportPreviewModel(QObject* parent = nullptr);

    void setSites(std::vector<ImportedSite> sites);
    // The ticked sites, in file order.
    std::vector<ImportedSite> chosen() const;
    int tickedCount() const;
    void setAllTicked(bool ticked);

    // The options as the list shows them: "testo; 2 regole da ignorare".
    static QString optionsText(const SiteOptions& options);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void tickedChanged();

private:
    std::vector<ImportedSite> m_sites;
    std::vector<char> m_ticked;
};
