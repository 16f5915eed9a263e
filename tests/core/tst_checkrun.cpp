#include "core/CheckRun.h"
#include "core/Fingerprint.h"
#include "core/PageFetcher.h"
#include "core/PageText.h"
#include "store/PageHistory.h"
#include "support/DataRows.h"
#include "support/World.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kLastCheck = u"Last check at 15:04:05"_s;

void addParallelRows(int many) {
    QTest::addColumn<int>("parallel");
    QTest::newRow("N=1") << 1;
    QTest::addRow("N=%d", many) << many;
}

} // namespace

class TestCheckRun : public QObject {
    Q_OBJECT
    static QString key(int i) { return u"e%1"_s.arg(i); }
    static QString crcText(const QByteArray& body) { return QString::number(calcCRC32(body)); }
    static QString page(int seed, int delayMs) {
        return u"/page?size=100&delay_ms=%1&seed=%2"_s.arg(delayMs).arg(seed);
    }

    static QByteArray newsPage(const char* stamp, int visitors, const char* price) {
        return QByteArray("<html><head><script>var t = \"") + stamp + "\";</script></head><body><h1>Notizie</h1>" +
               "<p>Visitatori: " + QByteArray::number(visitors) + "</p><p>Il prezzo è " + price +
               " euro</p></body></html>";
    }

private slots:
    // A page whose only changes are a time stamp in a script and a visitor counter is unchanged in text mode
    // with a rule for the counter; a real change is reported, and every body goes into the page's history.
    void textModeJudgesByText() {
        QTemporaryDir dir;
        PageHistory history(dir.path());
        World w;
        w.run.setArchive(&history);
        w.server.setPage(u"/news"_s, newsPage("12:00:01", 1041, "10"));
        w.server.setPage(u"/plain"_s, newsPage("12:00:01", 1041, "10"));
        w.add(u"news"_s, u"/news"_s);
        w.add(u"plain"_s, u"/plain"_s);
        w.server.setPage(u"/bin"_s, QByteArray("PK\3\4\0\0\0\0data", 12));
        w.add(u"bin"_s, u"/bin"_s); // no text to read: judged by its bytes, and said so
        w.server.setPage(u"/deep"_s, QByteArray("<div>").repeated(2000) + "x");
        w.add(u"deep"_s, u"/deep"_s); // too deep for the selector's tree: the same
        SiteOptions options;
        options.textMode = true;
        options.ignore = QStringList{u"^Visitatori:"_s};
        w.list.setOptions(0, options);
        w.list.setOptions(2, options);
        options.selector = u"//div"_s;
        w.list.setOptions(3, options);
        options.selector.clear();
        const auto check = [&w](int runs) {
            w.list.setAllTicks(SiteList::TickAll);
            w.run.CheckSelectedURLs(false);
            return w.waitRuns(runs);
        };
        QVERIFY(check(1));
        QCOMPARE(w.entry(u"news"_s).res, ResultMarker::kChanged); // a new page
        QVERIFY(w.entry(u"news"_s).options->hasBaseline());
        QCOMPARE(w.entry(u"bin"_s).res, ResultMarker::kChanged);
        QCOMPARE(w.report().notes.size(), 2);
        for (const auto& note : w.report().notes)
            QVERIFY(note.entryId == w.entry(u"bin"_s).id || note.entryId == w.entry(u"deep"_s).id);
        QVERIFY(history.versions(w.server.url(u"/bin"_s)).empty());
        QVERIFY(history.versions(w.server.url(u"/deep"_s)).empty());

        w.server.setPage(u"/news"_s, newsPage("12:05:09", 1042, "10"));
        w.server.setPage(u"/plain"_s, newsPage("12:05:09", 1042, "10"));
        QVERIFY(check(2));
        QCOMPARE(w.entry(u"news"_s).res, ResultMarker::kEqual);
        QCOMPARE(w.entry(u"news"_s).crc.text(), crcText(newsPage("12:05:09", 1042, "10")));
        QCOMPARE(w.entry(u"plain"_s).res, ResultMarker::kChanged);

        w.server.setPage(u"/news"_s, newsPage("12:07:00", 1043, "12"));
        QVERIFY(check(3));
        QCOMPARE(w.entry(u"news"_s).res, ResultMarker::kChanged);
        QCOMPARE(w.report(2).changed, QStringList{w.server.url(u"/news"_s)});

        // New rules with no text fingerprint to compare with: taken silently when the body did not change.
        options = w.entry(u"news"_s).options;
        options.ignore.clear();
        options.textCrc.reset();
        w.list.setOptions(0, options);
        QVERIFY(check(4));
        QCOMPARE(w.entry(u"news"_s).res, ResultMarker::kEqual);
        QVERIFY(w.entry(u"news"_s).options->hasBaseline());

        const std::vector<PageVersion> versions = history.versions(w.server.url(u"/news"_s));
        QCOMPARE(versions.size(), size_t(3));
        QCOMPARE(versions.back().text, u"Notizie\nVisitatori: 1043\nIl prezzo è 12 euro"_s);
        QCOMPARE(versions.back().bodyCrc, calcCRC32(newsPage("12:07:00", 1043, "12")));
    }

    // A 304 is "unchanged" with the fingerprint kept; after N - 1 of them a full request follows, and a server
    // whose full answer then shows a change it had called unchanged is not asked conditionally again.
    void conditionalRequests_data() {
        columns<bool>("lying");
        QTest::newRow("honest") << false;
        QTest::newRow("lying") << true;
    }
    void conditionalRequests() {
        QFETCH(bool, lying);
        World w;
        w.options.fullRequestEvery = 3;
        w.server.setPage(u"/v"_s, "first");
        w.add(u"v"_s, u"/v"_s, crcText("first"));
        const auto check = [&w](int run) {
            w.list.setTicked(0, true);
            w.clock.m_now = w.clock.m_now.addSecs(60);
            w.run.CheckSelectedURLs(false);
            return w.waitRuns(run) ? w.entry(u"v"_s).res : QString();
        };
        const auto conditional = [&w] {
            const QList<QByteArray> sent = w.server.lastHeaders(u"/v"_s);
            return std::any_of(sent.cbegin(), sent.cend(),
                               [](const QByteArray& h) { return h.startsWith("If-None-Match"); });
        };
        QCOMPARE(check(1), ResultMarker::kEqual);
        QVERIFY(!conditional() && !w.entry(u"v"_s).options->server.etag.isEmpty());
        QCOMPARE(check(2), ResultMarker::kEqual);
        QVERIFY(conditional());
        QCOMPARE(w.entry(u"v"_s).rdatetime, generalDateTimeText(w.clock.now()));
        QCOMPARE(w.entry(u"v"_s).crc.text(), crcText("first"));
        w.server.setPage(u"/v"_s, "second");
        w.server.setLying(lying);
        QCOMPARE(check(3), lying ? ResultMarker::kEqual : ResultMarker::kChanged);
        QVERIFY(conditional());
        QCOMPARE(check(4), lying ? ResultMarker::kChanged : ResultMarker::kEqual);
        QCOMPARE(conditional(), !lying); // the honest server's count began again at its full answer
        QCOMPARE(w.entry(u"v"_s).options->server.validatorsIgnored, lying);
        QCOMPARE(w.entry(u"v"_s).crc.text(), crcText("second"));
        check(5);
        QCOMPARE(conditional(), !lying);
    }

    // A site whose server asked for a pause, or whose secrets are not here, fails unasked.
    void notAskedWhenItMayNotBe() {
        World w(6, 2); // the server that asked for a pause is left alone: the other host is asked
        w.add(u"busy"_s, w.server.urlOnHost(1, u"/status?code=503&retry_after=3600"_s), u"5"_s);
        w.add(u"secret"_s, u"/fixed"_s, u"6"_s);
        SiteOptions withSecrets;
        withSecrets.hasSecrets = true;
        w.list.setOptions(1, withSecrets);
        w.run.CheckSelectedURLs(false);
        QVERIFY(w.waitRuns(1));
        QCOMPARE(w.report().failures.size(), 2);
        QVERIFY(w.report().failures.at(0).outcome.errorText().contains(u"riprovare dopo il"_s));
        QCOMPARE(w.report().failures.at(1).outcome.errorNumber(), FetchError::kSecretMissing);
        QCOMPARE(w.entry(u"busy"_s).options->server.retryAt, w.clock.now().toUTC().addSecs(3600));
        QCOMPARE(w.server.hits(u"/fixed"_s), 0);
        w.run.setSecrets({{w.server.url(u"/fixed"_s), {u"Cookie: a=1"_s}}});
        w.clock.m_now = w.clock.m_now.addSecs(1800);
        w.list.setAllTicks(SiteList::TickAll);
        w.run.CheckSelectedURLs(false);
        QVERIFY(w.waitRuns(2));
        QCOMPARE(w.report(1).failures.at(0).outcome.errorNumber(), FetchError::kRetryLater);
        QCOMPARE(w.server.hits(u"/status"_s), 1);
        QVERIFY(w.server.lastHeaders(u"/fixed"_s).contains("Cookie: a=1"));
        QCOMPARE(w.entry(u"secret"_s).res, ResultMarker::kChanged);
    }

    // A selector that matches nothing fails the check with that reason: no empty text, no change, and the
    // stored fingerprints stay for the next check.
    void selectorMatchingNothing() {
        World w;
        w.server.setPage(u"/p"_s, "<p id=\"prezzo\">12 euro</p>");
        w.add(u"p"_s, u"/p"_s, u"7"_s);
        SiteOptions site;
        site.textMode = true;
        site.selector = u"#assente"_s;
        site.selectorKind = SelectorKind::Css;
        site.textCrc = 70;
        w.list.setOptions(0, site);
        w.run.CheckSelectedURLs(false);
        QVERIFY(w.waitRuns(1));
        QCOMPARE(w.entry(u"p"_s).res, ResultMarker::kTimeout);
        QCOMPARE(w.entry(u"p"_s).crc.text(), u"7"_s);
        QCOMPARE(w.entry(u"p"_s).options->textCrc, std::optional<qint32>(70));
        QCOMPARE(w.report().failures.size(), 1);
        QCOMPARE(w.report().failures.at(0).outcome.errorText(), u"Nessun elemento corrisponde al selettore"_s);
        QVERIFY(w.report().changed.isEmpty());
    }

    void equalChangedAndTimedOut_data() { addParallelRows(6); }
    void equalChangedAndTimedOut() {
        QFETCH(int, parallel);
        World w(parallel);
        const QString longPath = u"/"_s + QString(80, u'a');
        w.server.setPage(longPath, "long");
        w.server.setPage(u"/empty"_s, {});
        w.server.setPage(u"/x"_s, "x");
        // The timeout comes first and answers last, later pages answer sooner: the lists must keep list order.
        w.add(u"t"_s, u"/trickle"_s, u"777"_s);
        w.list.setField(0, SiteList::Field::RDateTime, u"ieri"_s);
        w.add(u"idle"_s, u"/fixed"_s, u"42"_s, false);
        w.add(u"long"_s, longPath, crcText("long"));
        w.add(u"empty"_s, u"/empty"_s); // empty and one-byte pages fingerprint as 0
        w.add(u"x"_s, u"/x"_s);
        // A page that cannot be fetched is marked like a timeout, and the run goes on.
        w.add(u"dead"_s, TestHttpServer::refusedUrl(), u"555"_s);
        w.add(u"error page"_s, u"/status?code=503"_s, u"556"_s);
        QStringList changed;
        for (int i = 0; i < 4; ++i) {
            w.add(key(i), page(i, 40 * (4 - i)), u"9"_s);
            changed << w.server.url(page(i, 40 * (4 - i)));
        }
        w.list.setModified(false);
        QCOMPARE(w.run.CheckSelectedURLs(false), CheckRun::Start::Started);
        QVERIFY(w.waitRuns());
        for (const QString& k : {u"long"_s, u"empty"_s, u"x"_s, key(0), key(1), key(2), key(3)}) {
            const SiteEntry& e = w.entry(k);
            QCOMPARE(e.res, k.startsWith(u'e') && k != u"empty"_s ? ResultMarker::kChanged : ResultMarker::kEqual);
            QCOMPARE(e.rdatetime, generalDateTimeText(w.clock.now()));
            QVERIFY(!e.ticked);
        }
        QCOMPARE(w.entry(key(2)).crc.text(), crcText(TestHttpServer::pageBody(100, 2)));
        const SiteEntry& t = w.entry(u"t"_s);
        QVERIFY(t.res == ResultMarker::kTimeout && t.crc.text() == u"777"_s && t.rdatetime == u"ieri"_s &&
                !t.ticked);
        const SiteEntry& dead = w.entry(u"dead"_s);
        QVERIFY(dead.res == ResultMarker::kTimeout && dead.crc.text() == u"555"_s && dead.rdatetime.isEmpty() &&
                !dead.ticked);
        QVERIFY(w.entry(u"error page"_s).res == ResultMarker::kTimeout &&
                w.entry(u"error page"_s).crc.text() == u"556"_s);
        QVERIFY(w.entry(u"idle"_s).res.isEmpty() && w.entry(u"idle"_s).crc.text() == u"42"_s);
        QVERIFY(w.list.isModified());
        QCOMPARE(w.beeps.count(), 4);
        QVERIFY(w.status.contains(
            QVariantList{QVariant(u"Browsing "_s + w.server.url(longPath).left(60) + u"..."_s)}));
        QCOMPARE(w.lastStatus(), kLastCheck);
        const CheckRunReport r = w.report();
        QCOMPARE(r.changed, changed);
        QCOMPARE(r.timeouts, (QStringList{w.server.url(u"/trickle"_s), TestHttpServer::refusedUrl(),
                                          w.server.url(u"/status?code=503"_s)}));
        QCOMPARE(r.failures.size(), 2);
        QCOMPARE(r.failures.at(0).entryId, dead.id);
        QCOMPARE(r.failures.at(0).outcome.errorNumber(), FetchError::kConnectionRefused);
        QCOMPARE(r.failures.at(1).outcome.errorText(), u"HTTP 503 Service Unavailable"_s);
        QCOMPARE(r.checked, 10);
        QVERIFY(r.showResults() && r.outcome.ok() && !r.stopped && !r.fromTimer);
    }

    void parallelism_data() {
        // grouped: the list holds the pages host by host rather than taking hosts in turn
        columns<int, int, bool, int, int, bool>("parallel", "hosts", "grouped", "lowest", "highest", "unsaved");
        QTest::newRow("N=1: one at a time") << 1 << 1 << false << 1 << 1 << true;
        QTest::newRow("N=20, one host: six at most") << 20 << 1 << false << 2 << 6 << false;
        QTest::newRow("N=32 over 3 hosts: six per host") << 32 << 3 << false << 7 << 18 << false;
        QTest::newRow("N=32 over 3 hosts grouped: still in parallel") << 32 << 3 << true << 16 << 18 << true;
    }
    void parallelism() {
        const auto [parallel, hosts, grouped, lowest, highest, unsaved] =
            fetch<int, int, bool, int, int, bool>("parallel", "hosts", "grouped", "lowest", "highest", "unsaved");
        World w(parallel, hosts);
        QVERIFY(w.server.isListening());
        // More pages per host than the per-host cap, so the cap has to hold them back; grouped, two rounds.
        const int perHost = grouped ? 12 : 7, pages = perHost * hosts;
        for (int i = 0; i < pages; ++i) {
            const int host = grouped ? i / perHost : i % hosts;
            w.add(key(i), w.server.urlOnHost(host, page(i, 250)), crcText(TestHttpServer::pageBody(100, i)));
        }
        w.list.setModified(unsaved);
        w.run.CheckSelectedURLs(false);
        QCOMPARE(w.run.fetcher().timeout(), 2);
        QVERIFY(w.waitRuns());
        QCOMPARE(w.server.hits(u"/page"_s), pages);
        const int all = w.server.maxConcurrent();
        QVERIFY2(all >= lowest && all <= highest, qPrintable(QString::number(all)));
        for (int h = 0; h < hosts; ++h)
            QVERIFY2(w.server.maxConcurrent(h) <= 6, qPrintable(u"host %1"_s.arg(h)));
        // All pages equal: no results, no beep, and the list's modified flag as it was.
        QVERIFY(!w.report().showResults());
        QCOMPARE(w.report().checked, pages);
        QCOMPARE(w.beeps.count(), 0);
        QCOMPARE(w.list.isModified(), unsaved);
    }

    void stopInTheMiddle_data() { addParallelRows(3); }
    void stopInTheMiddle() {
        QFETCH(int, parallel);
        const int n = parallel;
        World w(parallel);
        for (int i = 0; i < 6; ++i)
            w.add(key(i), page(i, 200));
        // Stop once the first turn has started what it may: the fetches in flight finish, nothing new starts.
        connect(&w.run, &CheckRun::statusText, &w.run, [&w](const QString& text) {
            if (text.startsWith(u"Browsing "_s))
                QTimer::singleShot(0, &w.run, [&w] { w.run.requestStop(); });
        });
        w.run.CheckSelectedURLs(false);
        QVERIFY(w.waitRuns());
        QVERIFY(w.report().stopped && w.report().showResults());
        QCOMPARE(w.report().changed.size(), n);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(w.entry(key(i)).ticked, i >= n);
            QCOMPARE(w.entry(key(i)).res, i < n ? ResultMarker::kChanged : QString());
        }
        QCOMPARE(w.lastStatus(), kLastCheck);
        QVERIFY(!w.run.StopRequested());

        // A stop while idle is dropped: the next run checks all that is left.
        w.run.disconnect(&w.run);
        w.run.requestStop();
        QVERIFY(!w.run.StopRequested());
        w.run.CheckSelectedURLs(false);
        QVERIFY(w.waitRuns(2));
        QVERIFY(!w.report(1).stopped);
        QCOMPARE(w.report(1).checked, 6 - n);
    }

    void timerRunDuringRunIsDeferred_data() {
        QTest::addColumn<bool>("firstRunFails");
        QTest::newRow("after a normal run") << false;
        QTest::newRow("after a failed run") << true;
    }
    void timerRunDuringRunIsDeferred() {
        QFETCH(bool, firstRunFails);
        World w(1);
        w.add(u"a"_s, page(1, 100), firstRunFails ? u"x1"_s : u"0"_s);
        w.add(u"b"_s, u"/fixed"_s, u"0"_s, false);
        QCOMPARE(w.run.CheckSelectedURLs(false), CheckRun::Start::Started);
        QCOMPARE(w.run.CheckSelectedURLs(false), CheckRun::Start::Refused);
        QCOMPARE(w.run.CheckSelectedURLs(true), CheckRun::Start::Deferred);
        QCOMPARE(w.run.CheckSelectedURLs(true), CheckRun::Start::Deferred);
        QVERIFY(w.waitRuns(2));
        QVERIFY(!w.run.isActive()); // a deferral counted twice would have started a third run at once
        QCOMPARE(w.report(0).outcome.ok(), !firstRunFails);
        QVERIFY(w.report(1).fromTimer);
        QCOMPARE(w.server.hits(u"/page"_s), 2);
        // The timer run ticks every entry; when "a" fails first, "b" is never reached.
        QCOMPARE(w.server.hits(u"/fixed"_s), firstRunFails ? 0 : 1);
        QCOMPARE(w.entry(u"b"_s).ticked, firstRunFails);
    }

    void editingTheListDuringARun_data() { addParallelRows(2); }
    void editingTheListDuringARun() {
        QFETCH(int, parallel);
        World w(parallel);
        for (int i = 0; i < 6; ++i) {
            w.server.setPage(u"/s%1"_s.arg(i), "page");
            w.add(key(i), u"/s%1"_s.arg(i));
        }
        // While e1 is in flight: reverse the order, delete e1 and e4 (not reached yet), add a ticked entry.
        bool edited = false;
        connect(&w.run, &CheckRun::statusText, &w.run, [&](const QString& text) {
            if (edited || !text.endsWith(u"/s1..."_s))
                return;
            edited = true;
            QTimer::singleShot(0, &w.run, [&w] {
                w.list.sortByColumn(1, Qt::DescendingOrder);
                w.list.remove(key(1));
                w.list.remove(key(4));
                w.add(u"late"_s, u"/late"_s);
            });
        });
        // An address edited while its page is fetched: that page is no longer the entry's.
        w.add(u"moved"_s, u"/slow"_s);
        connect(&w.run, &CheckRun::statusText, &w.run, [&](const QString& text) {
            if (text.endsWith(u"/slow..."_s))
                QTimer::singleShot(0, &w.run, [&w] {
                    w.list.setField(w.list.rowOfKey(u"moved"_s), SiteList::Field::Url, w.server.url(u"/moved"_s));
                });
        });
        w.run.CheckSelectedURLs(false);
        QVERIFY(w.waitRuns());
        QCOMPARE(w.entry(u"moved"_s).crc.text(), u"0"_s);
        QCOMPARE(w.entry(u"moved"_s).res, ResultMarker::kNone);
        QVERIFY(w.entry(u"moved"_s).ticked);
        QStringList changed;
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(w.server.hits(u"/s%1"_s.arg(i)), i == 4 ? 0 : 1);
            if (i != 1 && i != 4) {
                changed << w.server.url(u"/s%1"_s.arg(i));
                QCOMPARE(w.entry(key(i)).res, ResultMarker::kChanged);
            }
        }
        QCOMPARE(w.report().changed, changed); // in the order of the list as the run found it
        QCOMPARE(w.server.hits(u"/late"_s), 0);
        QVERIFY(w.entry(u"late"_s).ticked);
    }

    void unexpectedErrorEndsTheRun_data() { addParallelRows(6); }
    void unexpectedErrorEndsTheRun() {
        QFETCH(int, parallel);
        World w(parallel);
        w.add(u"a"_s, u"/fixed"_s, u"1"_s);
        w.add(u"bad"_s, u"/fixed"_s, u"12 34"_s);
        for (int i = 0; i < 3; ++i)
            w.add(key(i), page(i, 2000));
        w.run.CheckSelectedURLs(false);
        QVERIFY(w.waitRuns());
        bool flushed = false; // once this runs, any late report would have come
        QTimer::singleShot(0, &w.run, [&flushed] { flushed = true; });
        QTRY_VERIFY(flushed);
        QCOMPARE(w.finished.count(), 1);
        const CheckRunReport r = w.report();
        QVERIFY(!r.outcome.ok() && !r.showResults());
        QCOMPARE(r.errorMessage(), u"Errore 13.\r\nType mismatch"_s);
        QVERIFY(w.lastStatus().startsWith(u"Browsing "_s));
        if (parallel == 1)
            QCOMPARE(w.entry(u"a"_s).res, ResultMarker::kChanged);
        QVERIFY(w.entry(u"bad"_s).res == ResultMarker::kBusy && w.entry(u"bad"_s).ticked);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(w.entry(key(i)).ticked);
            // One at a time never reaches them; in parallel they were in flight and keep the busy marker.
            QCOMPARE(w.entry(key(i)).res, parallel == 1 ? QString() : ResultMarker::kBusy);
        }
        QCOMPARE(w.run.fetcher().inFlight(), 0);
        QVERIFY(!w.run.isActive());
    }
};

QTEST_GUILESS_MAIN(TestCheckRun)
#include "tst_checkrun.moc"
