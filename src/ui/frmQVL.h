#pragma once

#include <QMainWindow>

class QTableView;
class SiteList;

// The main window: the site list with its five columns.
class frmQVL : public QMainWindow {
    Q_OBJECT
public:
    explicit frmQVL(QWidget* parent = nullptr);

    SiteList* siteList() const { return m_list; }
    QTableView* listView() const { return m_view; }

private:
    SiteList* m_list;
    QTableView* m_view;
};
