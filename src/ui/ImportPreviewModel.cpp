#include "ui/ImportPreviewModel.h"

#include <algorithm>

ImportPreviewModel::ImportPreviewModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void ImportPreviewModel::setSites(std::vector<ImportedSite> sites) {
    beginResetModel();
    m_sites = std::move(sites);
    m_ticked.assign(m_sites.size(), 1);
    endResetModel();
    emit tickedChanged();
}

std::vector<ImportedSite> ImportPreviewModel::chosen() const {
    std::vector<ImportedSite> out;
    for (size_t i = 0; i < m_sites.size(); ++i) {
        if (m_ticked[i])
            out.push_back(m_sites[i]);
    }
    return out;
}

int ImportPreviewModel::tickedCount() const {
    return int(std::count(m_ticked.begin(), m_ticked.end(), 1));
}

void ImportPreviewModel::setAllTicked(bool ticked) {
    if (m_sites.empty())
        return;
    std::fill(m_ticked.begin(), m_ticked.end(), ticked ? 1 : 0);
    emit dataChanged(index(0, ColUrl), index(rowCount() - 1, ColUrl), {Qt::CheckStateRole});
    emit tickedChanged();
}

QString ImportPreviewModel::optionsText(const SiteOptions& options) {
    QStringList parts;
    if (options.textMode)
        parts << tr("testo");
    if (!options.selector.isEmpty()) // the site's own text, one line: never read as markup
        parts << tr("selettore %1").arg(options.selector.simplified());
    if (!options.ignore.isEmpty())
        parts << tr("%n regole da ignorare", nullptr, int(options.ignore.size()));
    return parts.join(QStringLiteral("; "));
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_sites.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ImportedSite& site = m_sites[size_t(index.row())];
    if (role == Qt::CheckStateRole && index.column() == ColUrl)
        return m_ticked[size_t(index.row())] ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole && index.column() == ColOptions && !site.notImported.isEmpty())
        return site.notImported.join(u'\n');
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case ColUrl:
        return site.url;
    case ColNick:
        return site.nick;
    case ColDescrizione:
        return site.descrizione;
    case ColOptions:
        return optionsText(site.options);
    default:
        return {};
    }
}

bool ImportPreviewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != ColUrl || role != Qt::CheckStateRole || index.row() >= rowCount())
        return false;
    m_ticked[size_t(index.row())] = value.toInt() == Qt::Checked ? 1 : 0;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit tickedChanged();
    return true;
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColUrl:
        return tr("URL");
    case ColNick:
        return tr("Nick");
    case ColDescrizione:
        return tr("Descrizione");
    case ColOptions:
        return tr("Opzioni");
    default:
        return {};
    }
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return index.column() == ColUrl ? base | Qt::ItemIsUserCheckable : base;
}
