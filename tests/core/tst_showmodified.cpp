#include "core/CheckRun.h"
#include "core/frmShowModified.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

QStringList lines(const QListWidget* list) {
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->item(i)->text();
    return all;
}

CheckRunReport reportOf(const QStringList& changed, const QStringList& timeouts) {
    CheckRunReport report;
    report.changed = changed;
    report.timeouts = timeouts;
    return report;
}

void doubleClickLine(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    // A double-click as the platform delivers it: a click, then the second press reported as a double-click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class TestShowModified : public QObject {
    Q_OBJECT

private slots:
    void fillsLists_data();
    void fillsLists();
    void layout();
    void reusedWhileOpen();
    void nothingToReportCreatesNoWindow_data();
    void nothingToReportCreatesNoWindow();
    void exitDiscardsWindow();
    void doubleClickOpensOnlyWebAddresses_data();
    void doubleClickOpensOnlyWebAddresses();
    void timeoutListIgnoresDoubleClick();
};

void TestShowModified::fillsLists_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty text ignored") << QStringList{QString()} << QStringList{};
    QTest::newRow("one URL") << QStringList{QStringLiteral("http://a.example/")}
                             << QStringList{QStringLiteral("http://a.example/")};
    QTest::newRow("empty pieces kept") << QStringList{QStringLiteral(",a,,b,")}
                                       << QStringList{QString(), QStringLiteral("a"), QString(),
                                                      QStringLiteral("b"), QString()};
    QTest::newRow("blanks not trimmed")
        << QStringList{QStringLiteral(" a , b ")} << QStringList{QStringLiteral(" a "), QStringLiteral(" b ")};
    QTest::newRow("URL with a comma splits")
        << QStringList{QStringLiteral("http://x.example/?q=1,2")}
        << QStringList{QStringLiteral("http://x.example/?q=1"), QStringLiteral("2")};
    QTest::newRow("second text appends, duplicates kept")
        << QStringList{QStringLiteral("u1,u2"), QStringLiteral("u1")}
        << QStringList{QStringLiteral("u1"), QStringLiteral("u2"), QStringLiteral("u1")};
    QTest::newRow("empty text between leaves the list")
        << QStringList{QStringLiteral("u1"), QString(), QStringLiteral("u2")}
        << QStringList{QStringLiteral("u1"), QStringLiteral("u2")};
    QTest::newRow("markup stays text") << QStringList{QStringLiteral("<b>x</b>")}
                                       << QStringList{QStringLiteral("<b>x</b>")};
}

void TestShowModified::fillsLists() {
    QFETCH(QStringList, texts);
    QFETCH(QStringList, expected);
    {
        frmShowModified window;
        for (const QString& text : texts)
            window.setURLsList(text);
        QCOMPARE(lines(window.lbxURLs()), expected);
        QCOMPARE(window.lbxTimeout()->count(), 0);
    }
    {
        frmShowModified window;
        for (const QString& text : texts)
            window.setTimeouts(text);
        QCOMPARE(lines(window.lbxTimeout()), expected);
        QCOMPARE(window.lbxURLs()->count(), 0);
    }
}

void TestShowModified::layout() {
    frmShowModified window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Check response"));
    QVERIFY(window.isWindow());
    QCOMPARE(window.windowModality(), Qt::NonModal);

    const double twipsPerPixel = 1440.0 / window.logicalDpiX();
    const auto px = [twipsPerPixel](int twips) {
        return qRound(twips / twipsPerPixel);
    };
    QCOMPARE(window.size(), QSize(px(6180), px(3960)));

    const auto* label1 = window.findChild<QLabel*>(QStringLiteral("Label1"));
    const auto* label2 = window.findChild<QLabel*>(QStringLiteral("Label2"));
    QVERIFY(label1 && label2);
    QCOMPARE(label1->text(), QStringLiteral("Pagine cambiate:"));
    QCOMPARE(label2->text(), QStringLiteral("Errori di timeout"));
    QCOMPARE(window.cmdOK()->text(), QStringLiteral("EXIT"));
    for (const QWidget* w : {static_cast<const QWidget*>(label1), static_cast<const QWidget*>(label2),
                             static_cast<const QWidget*>(window.cmdOK())}) {
        QVERIFY(w->font().bold());
        QCOMPARE(w->font().pointSizeF(), 8.25);
        QCOMPARE(w->font().family(), QStringLiteral("Arial"));
    }
    QCOMPARE(label1->textFormat(), Qt::PlainText);
    QCOMPARE(label2->textFormat(), Qt::PlainText);

    QCOMPARE(window.lbxURLs()->geometry(), QRect(px(45), px(315), px(5775), px(1815)));
    QCOMPARE(window.lbxTimeout()->geometry(), QRect(px(45), px(2475), px(5775), px(1425)));
    // The button is the tall narrow bar along the right edge, beside the lists.
    const QRect button = window.cmdOK()->geometry();
    QCOMPARE(button, QRect(px(5895), px(45), px(240), px(3885)));
    QVERIFY(button.left() > window.lbxURLs()->geometry().right());
    QVERIFY(button.right() < window.width());
    QVERIFY(button.bottom() < window.height());
}

void TestShowModified::reusedWhileOpen() {
    QWidget owner;
    QPointer<frmShowModified> window;
    frmShowModified::showReport(window, reportOf({QStringLiteral("http://a.example/")}, {}), &owner);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QCOMPARE(lines(window->lbxURLs()), QStringList{QStringLiteral("http://a.example/")});
    QCOMPARE(window->lbxTimeout()->count(), 0);

    frmShowModified* const first = window.data();
    frmShowModified::showReport(window, reportOf({}, {QStringLiteral("http://t1/"), QStringLiteral("http://t2/")}),
                                &owner);
    QCOMPARE(window.data(), first);
    frmShowModified::showReport(window, reportOf({QStringLiteral("http://a.example/")}, {}), &owner);
    QCOMPARE(window.data(), first);
    QCOMPARE(lines(window->lbxURLs()),
             (QStringList{QStringLiteral("http://a.example/"), QStringLiteral("http://a.example/")}));
    QCOMPARE(lines(window->lbxTimeout()),
             (QStringList{QStringLiteral("http://t1/"), QStringLiteral("http://t2/")}));
    // The owner stays usable.
    QVERIFY(!QApplication::activeModalWidget());
}

void TestShowModified::nothingToReportCreatesNoWindow_data() {
    QTest::addColumn<bool>("failed");
    QTest::addColumn<bool>("withFindings");
    QTest::newRow("no findings") << false << false;
    QTest::newRow("failed run with findings") << true << true;
}

void TestShowModified::nothingToReportCreatesNoWindow() {
    QFETCH(bool, failed);
    QFETCH(bool, withFindings);
    CheckRunReport report = withFindings ? reportOf({QStringLiteral("http://a/")}, {}) : reportOf({}, {});
    report.failed = failed;
    QPointer<frmShowModified> window;
    frmShowModified::showReport(window, report, nullptr);
    QVERIFY(window.isNull());
}

void TestShowModified::exitDiscardsWindow() {
    QPointer<frmShowModified> window;
    frmShowModified::showReport(window, reportOf({QStringLiteral("http://a/")}, {QStringLiteral("http://b/")}),
                                nullptr);
    QVERIFY(window);
    QTest::mouseClick(window->cmdOK(), Qt::LeftButton);
    QVERIFY(!window || !window->isVisible());
    QTRY_VERIFY(window.isNull());

    frmShowModified::showReport(window, reportOf({QStringLiteral("http://c/")}, {}), nullptr);
    QVERIFY(window);
    QCOMPARE(lines(window->lbxURLs()), QStringList{QStringLiteral("http://c/")});
    QCOMPARE(window->lbxTimeout()->count(), 0);
    delete window.data();
}

void TestShowModified::doubleClickOpensOnlyWebAddresses_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("opens");
    QTest::newRow("http") << QStringLiteral("http://www.example.com/news.html") << true;
    QTest::newRow("https with query") << QStringLiteral("https://example.org/a?b=c&d=e") << true;
    QTest::newRow("upper-case scheme") << QStringLiteral("HTTP://EXAMPLE.COM/") << true;
    QTest::newRow("with port") << QStringLiteral("http://127.0.0.1:8080/x") << true;
    QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << false;
    QTest::newRow("local path") << QStringLiteral("/usr/bin/xterm") << false;
    QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)") << false;
    QTest::newRow("mailto") << QStringLiteral("mailto:someone@example.com") << false;
    QTest::newRow("ftp") << QStringLiteral("ftp://example.com/") << false;
    QTest::newRow("no host") << QStringLiteral("http://") << false;
    QTest::newRow("blank inside") << QStringLiteral("http://exa mple.com/") << false;
    QTest::newRow("empty piece") << QString() << false;
    QTest::newRow("leading blank") << QStringLiteral(" http://example.com/") << false;
}

void TestShowModified::doubleClickOpensOnlyWebAddresses() {
    QFETCH(QString, line);
    QFETCH(bool, opens);
    frmShowModified window;
    QList<QUrl> opened;
    window.setUrlOpener([&opened](const QUrl& url) { opened << url; });
    window.setURLsList(QStringLiteral("http://first.example/,") + line);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    doubleClickLine(window.lbxURLs(), 1);
    QCOMPARE(window.lbxURLs()->currentRow(), 1);
    if (opens) {
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.at(0), QUrl(line, QUrl::StrictMode));
    } else {
        QVERIFY(opened.isEmpty());
    }
}

void TestShowModified::timeoutListIgnoresDoubleClick() {
    frmShowModified window;
    QList<QUrl> opened;
    window.setUrlOpener([&opened](const QUrl& url) { opened << url; });
    window.setTimeouts(QStringLiteral("http://slow.example/"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    doubleClickLine(window.lbxTimeout(), 0);
    QVERIFY(opened.isEmpty());
}

QTEST_MAIN(TestShowModified)
#include "tst_showmodified.moc"
