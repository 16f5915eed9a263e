#include "store/SiteListFile.h"
#include "support/World.h"

#include <QTemporaryDir>

using namespace Qt::StringLiterals;

// A site's minimum interval between periodic checks, and its failures in a row, as the run keeps them.
class TestCheckPace : public QObject {
    Q_OBJECT
private slots:
    void periodicRunsSkipSitesNotDue() {
        World w;
        for (const QString& k : {u"soon"_s, u"due"_s, u"plain"_s})
            w.add(k, u"/fixed"_s);
        const QDateTime now = w.clock.m_now;
        for (const auto& [k, ago] : {std::pair{u"soon"_s, 600}, std::pair{u"due"_s, 7200}}) {
            SiteOptions o;
            o.minInterval = 3600;
            o.lastChecked = now.addSecs(-ago);
            w.list.setOptions(w.list.rowOfKey(k), o);
        }
        w.list.setField(w.list.rowOfKey(u"soon"_s), SiteList::Field::Res, ResultMarker::kChanged);
        w.run.CheckSelectedURLs(true);
        QVERIFY(w.waitRuns(1));
        QCOMPARE(w.report().notDue, 1);
        QCOMPARE(w.report().checked, 2);
        QCOMPARE(w.entry(u"soon"_s).res, ResultMarker::kChanged); // keeps its mark
        QCOMPARE(w.entry(u"soon"_s).options->lastChecked, now.addSecs(-600));
        QCOMPARE(w.entry(u"due"_s).options->lastChecked, now);
        QVERIFY(!w.entry(u"plain"_s).options->lastChecked.isValid()); // kept only with an interval

        // A manual run of a ticked site checks it all the same.
        w.list.setTicked(w.list.rowOfKey(u"soon"_s), true);
        w.run.CheckSelectedURLs(false);
        QVERIFY(w.waitRuns(2));
        QCOMPARE(w.report(1).checked, 1);
        QCOMPARE(w.entry(u"soon"_s).options->lastChecked, now);
    }

    // Failures in a row are counted from the first one's time, and end at the first good check.
    void failuresInARow() {
        World w;
        w.add(u"a"_s, TestHttpServer::refusedUrl());
        const QDateTime first = w.clock.m_now;
        for (int n = 1; n <= 3; ++n) {
            w.run.CheckSelectedURLs(true);
            QVERIFY(w.waitRuns(n));
            const FailureStreak s = w.report(n - 1).streaks.value(0);
            QCOMPARE(s.failures, n);
            QCOMPARE(s.since, first);
            QCOMPARE(s.reachesLimit(2), n == 2); // reported once per outage
            w.clock.m_now = w.clock.m_now.addSecs(60);
        }
        QCOMPARE(w.entry(u"a"_s).options->failures, 3);

        // Kept in the list file, and read back the same.
        QTemporaryDir dir;
        const QString path = dir.filePath(u"l.qvl"_s);
        QVERIFY(writeSiteListFile(path, w.list.entries()).ok());
        const SiteListReadResult read = readSiteListFile(path);
        QVERIFY(read.outcome.ok());
        QCOMPARE(read.entries.at(0).options, w.entry(u"a"_s).options);

        w.list.setField(0, SiteList::Field::Url, w.server.url(u"/fixed"_s));
        w.run.CheckSelectedURLs(true);
        QVERIFY(w.waitRuns(4));
        const FailureStreak back = w.report(3).streaks.value(0);
        QVERIFY(back.recoversFrom(3) && !back.recoversFrom(4));
        QCOMPARE(w.entry(u"a"_s).options->failures, 0);
        QVERIFY(!w.entry(u"a"_s).options->failingSince.isValid()); // nothing more to write of the outage
        w.run.CheckSelectedURLs(true);
        QVERIFY(w.waitRuns(5));
        QVERIFY(w.report(4).streaks.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCheckPace)
#include "tst_checkpace.moc"
