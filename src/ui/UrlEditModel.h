#pragma once

#include <QIdentityProxyModel>

// The site list as the main window's list view sees it: the URL column can be edited in place, the others
// cannot. Rows are the list's rows, one for one.
class UrlEditModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
};
