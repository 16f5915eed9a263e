#include "core/CheckRun.h"
#include "core/SiteList.h"
#include "support/DataRows.h"
#include "ui/RunNotifier.h"

#include <QImage>
#include <QTest>

namespace {

// A periodic run's report: c changed pages http://c1.example/ …, f failing sites http://f1.example/ … (each at
// its streak's count), r sites reachable again after 3 failures.
CheckRunReport report(int c, QList<int> f = {}, int r = 0) {
    CheckRunReport run;
    run.outcome = Outcome::success();
    run.fromTimer = true;
    for (int i = 1; i <= c; ++i)
        run.changed << QStringLiteral("http://c%1.example/").arg(i);
    for (int i = 0; i < f.size(); ++i)
        run.streaks.append({0, QStringLiteral("http://f%1.example/").arg(i + 1), f[i], f[i] - 1, {}});
    for (int i = 1; i <= r; ++i)
        run.streaks.append({0, QStringLiteral("http://r%1.example/").arg(i), 0, 3, {}});
    return run;
}

} // namespace

class TestRunNotifier : public QObject {
    Q_OBJECT
private slots:
    void text_data() {
        columns<CheckRunReport, QString>("run", "expected");
        QTest::newRow("one change") << report(1) << "1 pagina cambiata: c1";
        QTest::newRow("more than five") << report(7) << "7 pagine cambiate: c1, c2, c3, c4, c5, …";
        QTest::newRow("failures: only the third in a row, no nick: the URL")
            << report(0, {1, 3, 4, 3}) << "2 siti non raggiungibili: f2, http://f4.example/";
        QTest::newRow("all three") << report(2, {3}, 1)
                                   << "2 pagine cambiate: c1, c2\n1 sito non raggiungibile: f1\n"
                                      "1 sito di nuovo raggiungibile: r1";
        QTest::newRow("nothing to tell") << report(0, {1, 2, 4}) << "";
    }
    void text() {
        QFETCH(CheckRunReport, run);
        SiteList list; // nicked by host, except f4; and an entry that did not change
        QStringList urls{QStringLiteral("http://x.example/")};
        urls += run.changed;
        for (const FailureStreak& s : run.streaks)
            urls << s.url;
        for (const QString& url : urls) {
            list.add(url, url);
            const QString nick = QUrl(url).host().section(u'.', 0, 0);
            list.setField(list.count() - 1, SiteList::Field::Nick, nick == u"f4" ? QString() : nick);
        }
        const RunNotifier::Notice notice = RunNotifier::noticeOf(run, 3);
        QTEST(notice.isEmpty() ? QString() : RunNotifier::noticeText(notice, list), "expected");
    }

    void namesArePlainShortLines() {
        SiteList list;
        list.add(QStringLiteral("a"), QStringLiteral("http://c1.example/"));
        list.setField(0, SiteList::Field::Nick,
                      QStringLiteral("<b>Bold</b> &amp; co\nInventata: riga\x01") + QString(500, u'z'));
        const QString text = RunNotifier::noticeText(RunNotifier::noticeOf(report(1), 3), list);
        QVERIFY(text.contains(QStringLiteral("Bold")));
        for (const QChar c : {u'<', u'>', u'&', u'\x01', u'\n'})
            QVERIFY2(!text.contains(c), qPrintable(text));
        QVERIFY(text.size() < 2 * 64);
    }

    void binaryCarriesTheIcon() {
        for (const int size : {48, 128, 256})
            QCOMPARE(QImage(QStringLiteral(":/icons/quovel-%1.png").arg(size)).size(), QSize(size, size));
    }
};

QTEST_MAIN(TestRunNotifier)
#include "tst_runnotifier.moc"
