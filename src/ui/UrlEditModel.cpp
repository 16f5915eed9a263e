#include "ui/UrlEditModel.h"

Qt::ItemFlags UrlEditModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QIdentityProxyModel::flags(index);
    return index.isValid() && index.column() == 0 ? base | Qt::ItemIsEditable : base;
}
