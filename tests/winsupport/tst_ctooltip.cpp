#include "support/DataRows.h"
#include "winsupport/CTooltip.h"
#include "winsupport/TooltipWindow.h"

#include <QApplication>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {
QString titleOf(const CTooltip& tip) {
    return QString::number(tip.window()->titleIcon()) + u':' + tip.window()->title();
}
} // namespace

class TestCTooltip : public QObject {
    Q_OBJECT
private slots:
    void titleRules_data() {
        columns<QString, int, QString, QString, int, QString>("title", "icon", "afterCreate", "liveTitle",
                                                              "liveIcon", "afterLive");
        // clang-format off
        // Create sets the title when there is a title or an icon; a live write needs both.
        QTest::newRow("icon alone at Create") << "" << 1 << "1:" << "" << 1 << "1:";
        QTest::newRow("nothing at Create") << "" << 0 << "0:" << "B" << 0 << "0:";
        QTest::newRow("live empty title kept out") << "A" << 1 << "1:A" << "" << 1 << "1:A";
        QTest::newRow("live write without icon") << "A" << 0 << "0:A" << "B" << 0 << "0:A";
        QTest::newRow("live title and icon") << "A" << 1 << "1:A" << "B" << 3 << "3:B";
    }
    // clang-format on

    void titleRules() {
        const auto [title, icon] = fetch<QString, int>("title", "icon");
        QWidget host;
        CTooltip tip;
        tip.setTitle(title);
        tip.setIcon(icon);
        QVERIFY(tip.Create(&host));
        QTEST(titleOf(tip), "afterCreate");
        const auto [liveTitle, liveIcon] = fetch<QString, int>("liveTitle", "liveIcon");
        tip.setIcon(liveIcon);
        tip.setTitle(liveTitle);
        QTEST(titleOf(tip), "afterLive");
        QCOMPARE(tip.Title(), liveTitle);
    }

    void lifecycle() {
        auto* host = new QWidget;
        CTooltip tip;
        tip.Destroy(); // before any Create: nothing happens
        tip.setTipText(QStringLiteral("before"));
        tip.setStyle(1);
        QVERIFY(tip.Create(host));
        QVERIFY(tip.Create(host));
        QCOMPARE(host->findChildren<TooltipWindow*>().size(), 1);
        QCOMPARE(tip.window()->text(), QStringLiteral("before"));
        tip.setTipText(QStringLiteral("after"));
        tip.setStyle(0);
        tip.setDelayTime(40);
        QCOMPARE(tip.window()->text(), QStringLiteral("after"));
        QVERIFY(tip.window()->options().balloon);
        QCOMPARE(tip.window()->options().delayMs, 500);
        tip.Destroy();
        tip.Destroy();
        QVERIFY(!tip.window() && host->findChildren<TooltipWindow*>().isEmpty());
        QVERIFY(!tip.Create(nullptr));
        tip.Create(host);
        delete host; // the tip goes with its widget
        QVERIFY(!tip.window());
        QCOMPARE(tip.TipText(), QStringLiteral("after"));
    }

    // Read as markup, each text would come out narrower than its characters set side by side.
    void plainText() {
        for (const QString& text : {QStringLiteral("<html><b>x</b>&lt;</html>"),
                                    QStringLiteral("<img src=\"file:///etc/passwd\">"), QStringLiteral("A&B")}) {
            QWidget host;
            CTooltip tip;
            tip.setIcon(1);
            tip.setTitle(text);
            tip.setTipText(text);
            tip.Create(&host);
            tip.window()->popUp(QPoint(100, 100));
            QFont bold = QApplication::font("QTipLabel");
            bold.setBold(true);
            QVERIFY(tip.window()->isVisible());
            QVERIFY2(tip.window()->width() > QFontMetrics(bold).horizontalAdvance(text), qPrintable(text));
            QCOMPARE(tip.window()->text(), text);
        }
    }

    // A description of any size from a list file makes a tip no taller than the screen, at once.
    void hugeTextIsCut() {
        for (const QString& text : {QStringLiteral("line\n").repeated(100000), QString(1000000, u'w')}) {
            QWidget host;
            CTooltip tip;
            tip.setTipText(text);
            tip.Create(&host);
            tip.window()->popUp(QPoint(0, 0));
            QVERIFY(tip.window()->height() < host.screen()->availableGeometry().height());
        }
    }

    void showsOnRestAndHides() {
        QStandardItemModel model(3, 2);
        QTableView view;
        view.setModel(&model);
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        CTooltip tip;
        tip.setTipText(QStringLiteral("https://example.com/\r\nDescription"));
        tip.setDelayTime(30);
        tip.setVisibleTime(300);
        tip.Create(view.viewport());
        TooltipWindow* window = tip.window();

        QTest::mouseMove(view.viewport(), QPoint(20, 10));
        QTRY_VERIFY(window->isVisible());
        QVERIFY(window->geometry().top() > view.viewport()->mapToGlobal(QPoint(20, 10)).y()); // below the pointer
        QTRY_VERIFY(!window->isVisible()); // the display time ran out

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(view.viewport(), &leave);
        QTest::mouseMove(view.viewport(), QPoint(30, 20));
        QTRY_VERIFY(window->isVisible());
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(30, 20));
        QVERIFY(!window->isVisible());
        QTest::mouseMove(view.viewport(), QPoint(40, 20));
        QTRY_VERIFY(window->isVisible());
        QApplication::sendEvent(view.viewport(), &leave);
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(TestCTooltip)
#include "tst_ctooltip.moc"
