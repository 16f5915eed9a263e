#include "core/CheckRun.h"
#include "support/DataRows.h"
#include "ui/frmShowModified.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

namespace {
QStringList lines(const QListWidget* list) {
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->item(i)->text();
    return all;
}

CheckRunReport reportOf(const QStringList& changed, const QStringList& timeouts = {}) {
    CheckRunReport report;
    report.changed = changed;
    report.timeouts = timeouts;
    report.outcome = Outcome::success();
    return report;
}

void doubleClickLine(QListWidget* list, int row) {
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    // As the platform delivers it: a click, then the second press reported as a double-click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}
} // namespace

class TestShowModified : public QObject {
    Q_OBJECT
private slots:
    void fillsLists_data() {
        columns<QStringList, QStringList>("texts", "expected");
        const QString a = QStringLiteral("a"), b = QStringLiteral(" b "), u = QStringLiteral("http://x/?q=1");
        QTest::newRow("empty text ignored") << QStringList{{}} << QStringList{};
        QTest::newRow("empty pieces kept, no trimming")
            << QStringList{QStringLiteral(",a,, b ,")} << QStringList{{}, a, {}, b, {}};
        QTest::newRow("URL with a comma splits")
            << QStringList{u + QStringLiteral(",2")} << QStringList{u, QStringLiteral("2")};
        QTest::newRow("texts append, duplicates kept")
            << QStringList{QStringLiteral("a, b "), {}, a} << QStringList{a, b, a};
    }
    void fillsLists() {
        const auto [texts, expected] = fetch<QStringList, QStringList>("texts", "expected");
        frmShowModified window;
        for (const QString& text : texts) {
            window.setURLsList(text);
            window.setTimeouts(text);
        }
        // Each text goes to its own list only, else lines would come twice.
        QCOMPARE(lines(window.lbxURLs()), expected);
        QCOMPARE(lines(window.lbxTimeout()), expected);
    }
    void reusedWhileOpenAndDiscardedOnExit() {
        // Commas are legal in a path or a query: the run's URLs reach the window whole.
        const QString a = QStringLiteral("http://a/x,y?q=1,2"), t = QStringLiteral("http://t/,");
        QWidget owner;
        QPointer<frmShowModified> window;
        frmShowModified::showReport(window, reportOf({}), &owner);
        QVERIFY(window.isNull()); // nothing to report, no window
        frmShowModified::showReport(window, reportOf({a}), &owner);
        frmShowModified* const first = window.data();
        QVERIFY(first && first->isVisible() && first->isWindow());
        frmShowModified::showReport(window, reportOf({a}, {t}), &owner);
        QCOMPARE(window.data(), first);
        QCOMPARE(lines(window->lbxURLs()), QStringList{a}); // once, however often it changed meanwhile
        QCOMPARE(lines(window->lbxTimeout()), QStringList{t});

        QTest::mouseClick(window->cmdOK(), Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
        frmShowModified::showReport(window, reportOf({t}), &owner);
        QCOMPARE(lines(window->lbxURLs()), QStringList{t});
        QCOMPARE(window->lbxTimeout()->count(), 0);
    }
    void doubleClickOpensOnlyWebAddresses_data() {
        columns<QString, bool>("line", "opens");
        QTest::newRow("http") << QStringLiteral("http://www.example.com/news.html") << true;
        QTest::newRow("https, upper case, port, query")
            << QStringLiteral("HTTPS://127.0.0.1:8080/a?b=c&d=e") << true;
        QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << false;
        QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)") << false;
        QTest::newRow("no host") << QStringLiteral("http://") << false;
        QTest::newRow("leading blank") << QStringLiteral(" http://example.com/") << false;
    }
    void doubleClickOpensOnlyWebAddresses() {
        const auto [line, opens] = fetch<QString, bool>("line", "opens");
        frmShowModified window;
        QList<QUrl> opened;
        window.setUrlOpener([&opened](const QUrl& url) { opened << url; });
        window.setURLsList(QStringLiteral("http://first.example/,") + line);
        window.setTimeouts(QStringLiteral("http://slow.example/"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        doubleClickLine(window.lbxTimeout(), 0); // timeouts are not opened
        QVERIFY(opened.isEmpty());
        doubleClickLine(window.lbxURLs(), 1);
        QCOMPARE(opened, opens ? QList<QUrl>{QUrl(line, QUrl::StrictMode)} : QList<QUrl>{});
    }
    void lineMenuLeadsToTheChangeViewer() {
        const QString changed = QStringLiteral("http://c.example/a,b"), slow = QStringLiteral("http://t.example/");
        frmShowModified window;
        QList<QUrl> opened;
        window.setUrlOpener([&opened](const QUrl& url) { opened << url; });
        window.appendURLs({QStringLiteral("http://first.example/"), changed});
        window.appendTimeouts({slow});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy diffs(&window, &frmShowModified::diffRequested);
        // What each line's menu offers, and what its entries do.
        for (QListWidget* list : {window.lbxURLs(), window.lbxTimeout()}) {
            const QPoint at = list->visualItemRect(list->item(list->count() - 1)).center();
            QContextMenuEvent press(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
            QApplication::sendEvent(list->viewport(), &press);
            QMenu* menu = nullptr;
            QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
            const QList<QAction*> entries = menu->actions();
            QCOMPARE(entries.size(), 2);
            QCOMPARE(entries[1]->isEnabled(), list == window.lbxURLs());
            entries[0]->trigger();
            if (entries[1]->isEnabled())
                entries[1]->trigger();
            menu->close();
        }
        QCOMPARE(opened, (QList<QUrl>{QUrl(changed), QUrl(slow)}));
        QCOMPARE(diffs.count(), 1);
        QCOMPARE(diffs.first().first().toString(), changed);
    }
};

QTEST_MAIN(TestShowModified)
#include "tst_showmodified.moc"
