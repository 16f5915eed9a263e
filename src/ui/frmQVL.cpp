#include "ui/frmQVL.h"

#include "core/SiteList.h"
#include "core/Twips.h"

#include <QHeaderView>
#include <QTableView>

frmQVL::frmQVL(QWidget* parent)
    : QMainWindow(parent)
    , m_list(new SiteList(this))
    , m_view(new QTableView(this)) {
    setObjectName(QStringLiteral("frmQVL"));
    setWindowTitle(QStringLiteral("Quovel"));
    m_view->setObjectName(QStringLiteral("lvwURLs"));
    m_view->setModel(m_list);
    m_view->setShowGrid(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->verticalHeader()->hide();
    QFont headerFont = m_view->horizontalHeader()->font();
    headerFont.setBold(true);
    m_view->horizontalHeader()->setFont(headerFont);
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < SiteList::ColumnCount; ++column)
        m_view->setColumnWidth(column, twipsToPixels(SiteList::columnWidthTwips(column), logicalDpiX()));
    setCentralWidget(m_view);
    resize(twipsToPixels(8415, logicalDpiX()), twipsToPixels(3885, logicalDpiY()));
}
