#include "core/SiteList.h"
#include "core/Twips.h"
#include "ui/frmQVL.h"

#include <QHeaderView>
#include <QTableView>
#include <QTest>

// The main window as far as it goes: the site list with its five columns.
class TestFrmQVL : public QObject {
    Q_OBJECT
private slots:
    void showsTheFiveColumns_data();
    void showsTheFiveColumns();
    void headerIsBold();
};

void TestFrmQVL::showsTheFiveColumns_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("widthTwips");
    QTest::newRow("url") << 0 << QStringLiteral("                      URL") << 2900;
    QTest::newRow("res") << 1 << QStringLiteral("RES") << 550;
    QTest::newRow("crc") << 2 << QStringLiteral("      CRC") << 1180;
    QTest::newRow("date") << 3 << QStringLiteral("   Ultimo controllo") << 1670;
    QTest::newRow("description") << 4 << QStringLiteral("   Descrizione") << 2000;
}

void TestFrmQVL::showsTheFiveColumns() {
    QFETCH(int, column);
    QFETCH(QString, caption);
    QFETCH(int, widthTwips);
    frmQVL window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Quovel"));
    QTableView* view = window.listView();
    QCOMPARE(view->model()->columnCount(), 5);
    QCOMPARE(view->model()->rowCount(), 0);
    QCOMPARE(view->model()->headerData(column, Qt::Horizontal).toString(), caption);
    QCOMPARE(view->columnWidth(column), twipsToPixels(widthTwips, window.logicalDpiX()));
}

void TestFrmQVL::headerIsBold() {
    frmQVL window;
    QVERIFY(window.listView()->horizontalHeader()->font().bold());
}

QTEST_MAIN(TestFrmQVL)
#include "tst_frmqvl.moc"
