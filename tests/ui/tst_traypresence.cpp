#include "core/CheckRun.h"
#include "core/SiteList.h"
#include "store/SettingsStore.h"
#include "support/DataRows.h"
#include "ui/TrayPresence.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A report with c changed and t timed-out pages: http://c1.example/ ... and http://t1.example/ ...
CheckRunReport report(int c, int t, bool fromTimer = true) {
    CheckRunReport r;
    r.outcome = Outcome::success();
    r.fromTimer = fromTimer;
    for (int i = 1; i <= c; ++i)
        r.changed << QStringLiteral("http://c%1.example/").arg(i);
    for (int i = 1; i <= t; ++i)
        r.timeouts << QStringLiteral("http://t%1.example/").arg(i);
    return r;
}

} // namespace

class TestTrayPresence : public QObject {
    Q_OBJECT
private slots:
    void decision_data() {
        // notify: "-": not set
        columns<CheckRunReport, bool, QString, bool>("run", "background", "notify", "expected");
        QTest::newRow("scheduled, in background") << report(2, 0) << true << "-" << true;
        QTest::newRow("timeouts only, on") << report(0, 1) << true << "1" << true;
        QTest::newRow("manual run") << report(2, 1, false) << true << "-" << false;
        QTest::newRow("window active") << report(2, 1) << false << "-" << false;
        QTest::newRow("turned off") << report(1, 1) << true << "0" << false;
    }
    void decision() {
        const auto [run, background, notify] = fetch<CheckRunReport, bool, QString>("run", "background", "notify");
        QTemporaryDir dir;
        SettingsStore settings = SettingsStore::atPath(dir.filePath(QStringLiteral("s.ini")));
        if (notify != u'-')
            QVERIFY(settings.save(SettingKeys::kSettings, Settings::kNotify.name(), notify));
        QTEST(TrayPresence::shouldNotify(run, background, settings), "expected");
    }

    void text_data() {
        columns<CheckRunReport, QString>("run", "expected");
        QTest::newRow("one change") << report(1, 0)
                                    << "1 pagina cambiata, nessun errore di timeout.\nCambiate: c1";
        QTest::newRow("no nick: the URL")
            << report(0, 2) << "Nessuna pagina cambiata, 2 errori di timeout.\nIn timeout: t1, http://t2.example/";
        QTest::newRow("five of seven") << report(4, 3)
                                       << "4 pagine cambiate, 3 errori di timeout.\nCambiate: c1, c2, c3, c4\n"
                                          "In timeout: t1\n…e altre 2 pagine.";
        QTest::newRow("one unnamed") << report(6, 0)
                                     << "6 pagine cambiate, nessun errore di timeout.\nCambiate: c1, c2, c3, c4, "
                                        "c5\n…e un'altra pagina.";
    }
    void text() {
        QFETCH(CheckRunReport, run);
        SiteList list; // nicked by host, except t2; and an entry that did not change
        for (const QString& url : QStringList{QStringLiteral("http://x.example/")} + run.timeouts + run.changed) {
            list.add(url, url);
            const QString nick = QUrl(url).host().section(u'.', 0, 0);
            list.setField(list.count() - 1, SiteList::Field::Nick, nick == u"t2" ? QString() : nick);
        }
        QTEST(TrayPresence::noticeText(run, TrayPresence::pageNames(run, list)), "expected");
    }

    void namesArePlainShortLines() {
        const QString hostile = QStringLiteral("<b>Bold</b> &amp; co\nInventata: riga\x01") + QString(500, u'z');
        const QString text = TrayPresence::noticeText(report(2, 0), {hostile, QStringLiteral("x<y")});
        QVERIFY(text.contains(QStringLiteral("Bold")));
        for (const QChar c : {u'<', u'>', u'&', u'\x01'})
            QVERIFY2(!text.contains(c), qPrintable(text));
        const QStringList lines = text.split(u'\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(1).size() < 2 * 64);
    }

    void binaryCarriesTheIcon() {
        for (const int size : {48, 128, 256})
            QCOMPARE(QImage(QStringLiteral(":/icons/quovel-%1.png").arg(size)).size(), QSize(size, size));
    }
};

QTEST_MAIN(TestTrayPresence)
#include "tst_traypresence.moc"
