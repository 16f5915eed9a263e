#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/Fingerprint.h"
#include "core/PageFetcher.h"
#include "core/SiteList.h"
#include "store/SettingsStore.h"
#include "support/TestHttpServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

class FixedClock : public Clock {
public:
    QDateTime now() const override { return m_now; }
    QDateTime m_now{QDate(2024, 3, 5), QTime(15, 4, 5)};
};

// One run's world: a loopback server, a list, settings in a temporary folder, a fixed clock.
struct World {
    QTemporaryDir dir;
    SettingsStore settings = SettingsStore::atPath(dir.filePath(QStringLiteral("Quovel.conf")));
    TestHttpServer server;
    SiteList list;
    FixedClock clock;
    CheckRun run{list, settings, clock};
    QSignalSpy finished{&run, &CheckRun::finished};
    QSignalSpy status{&run, &CheckRun::statusText};
    QSignalSpy beeps{&run, &CheckRun::beep};

    explicit World(int parallel = 6, int timeoutSeconds = 2) {
        settings.save(SettingKeys::kSettings, SettingKeys::kParallel, QString::number(parallel));
        settings.save(SettingKeys::kSettings, SettingKeys::kTimeout, QString::number(timeoutSeconds));
    }

    // Adds a ticked entry with key k pointing at the server's path.
    int addPage(const QString& key, const QString& pathAndQuery, const QString& crc = QStringLiteral("0"),
                bool ticked = true) {
        return addUrl(key, server.url(pathAndQuery), crc, ticked);
    }
    int addUrl(const QString& key, const QString& url, const QString& crc = QStringLiteral("0"),
               bool ticked = true) {
        if (!list.add(key, url))
            return -1;
        const int row = list.rowOfKey(key);
        list.setField(row, SiteList::Field::Crc, crc);
        list.setTicked(row, ticked);
        return row;
    }
    const SiteEntry& entry(const QString& key) const { return list.entryAt(list.rowOfKey(key)); }

    bool waitRuns(int runs = 1) {
        for (int i = 0; i < 600 && finished.count() < runs; ++i)
            QTest::qWait(50);
        return finished.count() >= runs;
    }
    CheckRunReport report(int index = 0) const { return finished.at(index).at(0).value<CheckRunReport>(); }
    QString lastStatus() const { return status.isEmpty() ? QString() : status.last().at(0).toString(); }
    QString stampText() const { return generalDateTimeText(clock.m_now); }
};

QString crcText(const QByteArray& body) {
    return QString::number(calcCRC32(body));
}

} // namespace

class TestCheckRun : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void mixedRun();
    void emptyOrOneBytePageEqualsZero_data();
    void emptyOrOneBytePageEqualsZero();
    void modifiedFlag_data();
    void modifiedFlag();
    void statusText_data();
    void statusText();
    void emptyList();
    void sameResultsAnyParallelism_data();
    void sameResultsAnyParallelism();
    void parallelism_data();
    void parallelism();
    void parallelismOverSeveralHosts_data();
    void parallelismOverSeveralHosts();
    void settingsFallBack_data();
    void settingsFallBack();
    void stopInTheMiddle_data();
    void stopInTheMiddle();
    void stopWhileIdleIsDropped();
    void timerRunDuringRunIsDeferred_data();
    void timerRunDuringRunIsDeferred();
    void manualStartWhileActiveIsRefused();
    void timerRunTicksEverything();
    void editingTheListDuringARun_data();
    void editingTheListDuringARun();
    void urlEditedDuringItsFetch();
    void unexpectedErrorEndsTheRun_data();
    void unexpectedErrorEndsTheRun();
    void bigListWithFewTicks();
    void stopBetweenBatches();
};

void TestCheckRun::initTestCase() {
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
        qunsetenv(name);
}

void TestCheckRun::mixedRun() {
    World w(6, 2);
    const QByteArray same = "unchanged page\n";
    const QByteArray fresh = "a page that changed\n";
    w.server.setPage(QStringLiteral("/same"), same);
    w.server.setPage(QStringLiteral("/fresh"), fresh);
    w.addPage(QStringLiteral("same"), QStringLiteral("/same"), crcText(same));
    w.addPage(QStringLiteral("fresh"), QStringLiteral("/fresh"), QStringLiteral("12345"));
    w.addPage(QStringLiteral("slow"), QStringLiteral("/trickle"), QStringLiteral("777"));
    w.addPage(QStringLiteral("idle"), QStringLiteral("/same"), QStringLiteral("42"), false);
    w.list.setField(w.list.rowOfKey(QStringLiteral("slow")), SiteList::Field::RDateTime, QStringLiteral("ieri"));
    w.list.setField(w.list.rowOfKey(QStringLiteral("idle")), SiteList::Field::Res, ResultMarker::kChanged);

    QCOMPARE(w.run.CheckSelectedURLs(false), CheckRun::Start::Started);
    QVERIFY(w.run.isActive());
    QVERIFY(w.waitRuns());
    QVERIFY(!w.run.isActive());

    const SiteEntry& s = w.entry(QStringLiteral("same"));
    QCOMPARE(s.res, ResultMarker::kEqual);
    QCOMPARE(s.crc, crcText(same));
    QCOMPARE(s.rdatetime, w.stampText());
    QVERIFY(!s.ticked);

    const SiteEntry& f = w.entry(QStringLiteral("fresh"));
    QCOMPARE(f.res, ResultMarker::kChanged);
    QCOMPARE(f.crc, crcText(fresh));
    QCOMPARE(f.rdatetime, w.stampText());
    QVERIFY(!f.ticked);

    const SiteEntry& t = w.entry(QStringLiteral("slow"));
    QCOMPARE(t.res, ResultMarker::kTimeout);
    QCOMPARE(t.crc, QStringLiteral("777"));
    QCOMPARE(t.rdatetime, QStringLiteral("ieri"));
    QVERIFY(!t.ticked);

    const SiteEntry& i = w.entry(QStringLiteral("idle"));
    QCOMPARE(i.res, ResultMarker::kChanged);
    QCOMPARE(i.crc, QStringLiteral("42"));
    QVERIFY(i.rdatetime.isEmpty());
    QCOMPARE(w.server.hits(QStringLiteral("/same")), 1);

    QVERIFY(w.list.isModified());
    QCOMPARE(w.beeps.count(), 1);
    QCOMPARE(w.lastStatus(), QStringLiteral("Last check at 15:04:05"));
    const CheckRunReport r = w.report();
    QCOMPARE(r.changed, QStringList{w.server.url(QStringLiteral("/fresh"))});
    QCOMPARE(r.timeouts, QStringList{w.server.url(QStringLiteral("/trickle"))});
    QCOMPARE(r.checked, 3);
    QVERIFY(r.showResults());
    QVERIFY(!r.failed);
    QVERIFY(!r.stopped);
    QVERIFY(!r.fromTimer);
    QVERIFY(!w.run.StopRequested());
}

void TestCheckRun::emptyOrOneBytePageEqualsZero_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("marker");
    QTest::newRow("empty page") << QByteArray() << ResultMarker::kEqual;
    QTest::newRow("one byte") << QByteArray("x") << ResultMarker::kEqual;
    QTest::newRow("two bytes") << QByteArray("xy") << ResultMarker::kChanged;
}

void TestCheckRun::emptyOrOneBytePageEqualsZero() {
    QFETCH(QByteArray, body);
    QFETCH(QString, marker);
    World w;
    w.server.setPage(QStringLiteral("/p"), body);
    w.addPage(QStringLiteral("p"), QStringLiteral("/p"), QStringLiteral("0"));
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    QCOMPARE(w.entry(QStringLiteral("p")).res, marker);
    QCOMPARE(w.entry(QStringLiteral("p")).crc, crcText(body));
    const bool changed = marker == ResultMarker::kChanged;
    QCOMPARE(w.report().showResults(), changed);
    QCOMPARE(w.beeps.count(), changed ? 1 : 0);
    QCOMPARE(w.list.isModified(), changed);
}

void TestCheckRun::modifiedFlag_data() {
    QTest::addColumn<bool>("modifiedBefore");
    QTest::addColumn<bool>("pageChanged");
    QTest::addColumn<bool>("modifiedAfter");
    QTest::newRow("clean, equal") << false << false << false;
    QTest::newRow("unsaved edits, equal") << true << false << true;
    QTest::newRow("clean, changed") << false << true << true;
}

void TestCheckRun::modifiedFlag() {
    QFETCH(bool, modifiedBefore);
    QFETCH(bool, pageChanged);
    QFETCH(bool, modifiedAfter);
    World w;
    const QByteArray body = "body\n";
    w.server.setPage(QStringLiteral("/p"), body);
    w.addPage(QStringLiteral("p"), QStringLiteral("/p"), pageChanged ? QStringLiteral("1") : crcText(body));
    w.list.setModified(modifiedBefore);
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    QCOMPARE(w.list.isModified(), modifiedAfter);
    QCOMPARE(w.report().showResults(), pageChanged);
}

void TestCheckRun::statusText_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("short") << QStringLiteral("/s");
    QTest::newRow("longer than 60") << QStringLiteral("/") + QString(80, u'a');
}

void TestCheckRun::statusText() {
    QFETCH(QString, path);
    World w;
    w.server.setPage(path, "x");
    w.addPage(QStringLiteral("p"), path);
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    QCOMPARE(w.status.count(), 2);
    QCOMPARE(w.status.at(0).at(0).toString(),
             QStringLiteral("Browsing ") + w.server.url(path).left(60) + QStringLiteral("..."));
    QCOMPARE(w.status.at(1).at(0).toString(), QStringLiteral("Last check at 15:04:05"));
}

void TestCheckRun::emptyList() {
    World w;
    QCOMPARE(w.run.CheckSelectedURLs(false), CheckRun::Start::Started);
    QVERIFY(w.waitRuns());
    QCOMPARE(w.lastStatus(), QStringLiteral("Last check at 15:04:05"));
    QVERIFY(!w.report().showResults());
    QCOMPARE(w.report().checked, 0);
    QVERIFY(!w.list.isModified());
}

void TestCheckRun::sameResultsAnyParallelism_data() {
    QTest::addColumn<int>("parallel");
    QTest::newRow("one at a time") << 1;
    QTest::newRow("six at once") << 6;
}

void TestCheckRun::sameResultsAnyParallelism() {
    QFETCH(int, parallel);
    World w(parallel, 2);
    // The timeout comes first and answers last: the lists must still be in list order.
    w.addPage(QStringLiteral("t"), QStringLiteral("/trickle"), QStringLiteral("5"));
    QStringList expectedChanged;
    for (int i = 0; i < 9; ++i) {
        const QString path =
            QStringLiteral("/page?size=%1&delay_ms=%2&seed=%3").arg(1000 + i).arg(20 * (9 - i)).arg(i);
        const QString crc =
            i % 3 == 0 ? crcText(TestHttpServer::pageBody(1000 + i, quint32(i))) : QStringLiteral("9");
        w.addPage(QStringLiteral("e%1").arg(i), path, crc, i != 4);
        if (i % 3 != 0 && i != 4)
            expectedChanged << w.server.url(path);
    }
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    const CheckRunReport r = w.report();
    QCOMPARE(r.changed, expectedChanged);
    QCOMPARE(r.timeouts, QStringList{w.server.url(QStringLiteral("/trickle"))});
    QCOMPARE(r.checked, 9);
    QCOMPARE(w.beeps.count(), expectedChanged.size());
    for (int i = 0; i < 9; ++i) {
        const SiteEntry& e = w.entry(QStringLiteral("e%1").arg(i));
        const QString expected = i == 4 ? QString() : i % 3 == 0 ? ResultMarker::kEqual : ResultMarker::kChanged;
        QCOMPARE(e.res, expected);
        QVERIFY(!e.ticked);
    }
    QCOMPARE(w.entry(QStringLiteral("t")).res, ResultMarker::kTimeout);
    QCOMPARE(w.server.hits(QStringLiteral("/page")), 8);
}

void TestCheckRun::parallelism_data() {
    QTest::addColumn<int>("parallel");
    QTest::addColumn<int>("lowest");
    QTest::addColumn<int>("highest");
    QTest::newRow("N=1") << 1 << 1 << 1;
    QTest::newRow("N=6") << 6 << 2 << 6;
    QTest::newRow("N=20, six per host") << 20 << 2 << 6;
}

void TestCheckRun::parallelism() {
    QFETCH(int, parallel);
    QFETCH(int, lowest);
    QFETCH(int, highest);
    World w(parallel);
    for (int i = 0; i < 14; ++i)
        w.addPage(QStringLiteral("e%1").arg(i), QStringLiteral("/page?size=500&delay_ms=150&seed=%1").arg(i));
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    QCOMPARE(w.report().checked, 14);
    QVERIFY2(w.server.maxConcurrent() >= lowest && w.server.maxConcurrent() <= highest,
             qPrintable(QString::number(w.server.maxConcurrent())));
}

void TestCheckRun::parallelismOverSeveralHosts_data() {
    QTest::addColumn<int>("hosts");
    QTest::addColumn<int>("parallel");
    QTest::addColumn<int>("highest");
    QTest::newRow("3 hosts, N=18") << 3 << 18 << 18;
    QTest::newRow("3 hosts, N=32, six per host") << 3 << 32 << 18;
}

void TestCheckRun::parallelismOverSeveralHosts() {
    QFETCH(int, hosts);
    QFETCH(int, parallel);
    QFETCH(int, highest);
    World w(parallel);
    TestHttpServer server(hosts);
    QVERIFY(server.isListening());
    QCOMPARE(server.hostCount(), hosts);
    // Eight pages per host, taken in turn: more than the per-host cap, so the cap has to hold them back.
    const int pages = 8 * hosts;
    for (int i = 0; i < pages; ++i) {
        const QString url =
            server.urlOnHost(i % hosts, QStringLiteral("/page?size=500&delay_ms=300&seed=%1").arg(i));
        QVERIFY(w.addUrl(QStringLiteral("e%1").arg(i), url) >= 0);
    }
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    QCOMPARE(w.report().checked, pages);
    QVERIFY(!w.report().failed);
    QCOMPARE(server.hits(QStringLiteral("/page")), pages);
    const int all = server.maxConcurrent();
    QVERIFY2(all > 6 && all <= highest, qPrintable(QString::number(all)));
    for (int h = 0; h < hosts; ++h) {
        const int onHost = server.maxConcurrentOnHost(h);
        QVERIFY2(onHost >= 1 && onHost <= 6, qPrintable(QStringLiteral("host %1: %2").arg(h).arg(onHost)));
    }
}

void TestCheckRun::settingsFallBack_data() {
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<int>("expectedTimeout");
    QTest::addColumn<QString>("parallel");
    QTest::addColumn<int>("expectedMaxConcurrent");
    QTest::newRow("numbers") << QStringLiteral("7") << 7 << QStringLiteral("1") << 1;
    QTest::newRow("zero, below one") << QStringLiteral("0") << 15 << QStringLiteral("0") << 1;
    QTest::newRow("negative") << QStringLiteral("-3") << 15 << QStringLiteral("-3") << 1;
    QTest::newRow("not numbers") << QStringLiteral("abc") << 15 << QStringLiteral("molti") << 6;
    QTest::newRow("fractions") << QStringLiteral("2.5") << 15 << QStringLiteral("2.5") << 6;
}

void TestCheckRun::settingsFallBack() {
    QFETCH(QString, timeout);
    QFETCH(int, expectedTimeout);
    QFETCH(QString, parallel);
    QFETCH(int, expectedMaxConcurrent);
    World w;
    w.settings.save(SettingKeys::kSettings, SettingKeys::kTimeout, timeout);
    w.settings.save(SettingKeys::kSettings, SettingKeys::kParallel, parallel);
    for (int i = 0; i < 6; ++i)
        w.addPage(QStringLiteral("e%1").arg(i), QStringLiteral("/page?size=10&delay_ms=100&seed=%1").arg(i));
    w.run.CheckSelectedURLs(false);
    QCOMPARE(w.run.fetcher().timeout(), expectedTimeout);
    QVERIFY(w.waitRuns());
    if (expectedMaxConcurrent == 1)
        QCOMPARE(w.server.maxConcurrent(), 1);
    else
        QVERIFY(w.server.maxConcurrent() > 1);
}

void TestCheckRun::stopInTheMiddle_data() {
    QTest::addColumn<int>("parallel");
    QTest::newRow("N=1") << 1;
    QTest::newRow("N=3") << 3;
}

void TestCheckRun::stopInTheMiddle() {
    QFETCH(int, parallel);
    World w(parallel);
    for (int i = 0; i < 7; ++i)
        w.addPage(QStringLiteral("e%1").arg(i), QStringLiteral("/page?size=100&delay_ms=200&seed=%1").arg(i));
    // Stop once the first turn has started what it may: the fetches in flight finish, nothing new starts.
    connect(&w.run, &CheckRun::statusText, &w.run, [&w](const QString& text) {
        if (text.startsWith(QStringLiteral("Browsing ")))
            QTimer::singleShot(0, &w.run, [&w] { w.run.requestStop(); });
    });
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    const CheckRunReport r = w.report();
    QVERIFY(r.stopped);
    QCOMPARE(r.checked, parallel);
    QCOMPARE(r.changed.size(), parallel);
    QVERIFY(r.showResults());
    for (int i = 0; i < 7; ++i) {
        const SiteEntry& e = w.entry(QStringLiteral("e%1").arg(i));
        QCOMPARE(e.ticked, i >= parallel);
        QCOMPARE(e.res, i < parallel ? ResultMarker::kChanged : QString());
    }
    QCOMPARE(w.lastStatus(), QStringLiteral("Last check at 15:04:05"));
    QVERIFY(!w.run.StopRequested());
    QCOMPARE(w.run.fetcher().inFlight(), 0);
}

void TestCheckRun::stopWhileIdleIsDropped() {
    World w(1);
    for (int i = 0; i < 3; ++i)
        w.addPage(QStringLiteral("e%1").arg(i), QStringLiteral("/page?size=10&delay_ms=0&seed=%1").arg(i));
    w.run.requestStop();
    QVERIFY(!w.run.StopRequested());
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    QCOMPARE(w.report().checked, 3);
    QVERIFY(!w.report().stopped);
}

void TestCheckRun::timerRunDuringRunIsDeferred_data() {
    QTest::addColumn<bool>("firstRunFails");
    QTest::newRow("after a normal run") << false;
    QTest::newRow("after a failed run") << true;
}

void TestCheckRun::timerRunDuringRunIsDeferred() {
    QFETCH(bool, firstRunFails);
    World w(1);
    QSignalSpy started(&w.run, &CheckRun::started);
    w.server.setPage(QStringLiteral("/a"), "a");
    w.server.setPage(QStringLiteral("/b"), "b");
    w.addPage(QStringLiteral("a"), QStringLiteral("/a"),
              firstRunFails ? QStringLiteral("x1") : QStringLiteral("0"));
    w.addPage(QStringLiteral("b"), QStringLiteral("/b"), QStringLiteral("0"), false);
    QCOMPARE(w.run.CheckSelectedURLs(false), CheckRun::Start::Started);
    QCOMPARE(w.run.CheckSelectedURLs(true), CheckRun::Start::Deferred);
    QCOMPARE(w.run.CheckSelectedURLs(true), CheckRun::Start::Deferred);
    QVERIFY(w.waitRuns(2));
    QTest::qWait(300);
    QCOMPARE(w.finished.count(), 2);
    QCOMPARE(started.count(), 2);
    QCOMPARE(started.at(1).at(0).toBool(), true);
    QCOMPARE(w.report(0).failed, firstRunFails);
    QVERIFY(w.report(1).fromTimer);
    QCOMPARE(w.server.hits(QStringLiteral("/a")), 2);
    // The timer run ticked /b too; when /a fails first, /b is never reached.
    QCOMPARE(w.server.hits(QStringLiteral("/b")), firstRunFails ? 0 : 1);
    QVERIFY(!w.run.isActive());
}

void TestCheckRun::manualStartWhileActiveIsRefused() {
    World w;
    w.addPage(QStringLiteral("a"), QStringLiteral("/page?size=10&delay_ms=100&seed=1"));
    QCOMPARE(w.run.CheckSelectedURLs(false), CheckRun::Start::Started);
    QCOMPARE(w.run.CheckSelectedURLs(false), CheckRun::Start::Refused);
    QVERIFY(w.waitRuns());
    QTest::qWait(200);
    QCOMPARE(w.finished.count(), 1);
    QCOMPARE(w.server.hits(QStringLiteral("/page")), 1);
}

void TestCheckRun::timerRunTicksEverything() {
    World w;
    for (int i = 0; i < 4; ++i)
        w.addPage(QStringLiteral("e%1").arg(i), QStringLiteral("/page?size=10&delay_ms=0&seed=%1").arg(i),
                  QStringLiteral("0"), false);
    QCOMPARE(w.run.CheckSelectedURLs(true), CheckRun::Start::Started);
    QVERIFY(w.waitRuns());
    QCOMPARE(w.report().checked, 4);
    QVERIFY(w.report().fromTimer);
    QCOMPARE(w.server.hits(QStringLiteral("/page")), 4);
    for (const SiteEntry& e : w.list.entries())
        QVERIFY(!e.ticked);
}

void TestCheckRun::editingTheListDuringARun_data() {
    QTest::addColumn<int>("parallel");
    QTest::newRow("N=1") << 1;
    QTest::newRow("N=2") << 2;
}

void TestCheckRun::editingTheListDuringARun() {
    QFETCH(int, parallel);
    World w(parallel);
    for (int i = 0; i < 6; ++i) {
        const QString path = QStringLiteral("/s%1").arg(i);
        w.server.setPage(path, path.toUtf8());
        w.addPage(QStringLiteral("e%1").arg(i), path);
    }
    // While e1 is in flight: reverse the order, delete e1 (in flight) and e4 (not reached), add a ticked entry.
    bool edited = false;
    connect(&w.run, &CheckRun::statusText, &w.run, [&](const QString& text) {
        if (edited || !text.endsWith(QStringLiteral("/s1...")))
            return;
        edited = true;
        QTimer::singleShot(0, &w.run, [&w] {
            w.list.sortByColumn(1, Qt::DescendingOrder);
            w.list.remove(QStringLiteral("e1"));
            w.list.remove(QStringLiteral("e4"));
            w.addPage(QStringLiteral("late"), QStringLiteral("/late"));
        });
    });
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    QVERIFY(edited);
    for (int i : {0, 1, 2, 3, 5})
        QCOMPARE(w.server.hits(QStringLiteral("/s%1").arg(i)), 1);
    QCOMPARE(w.server.hits(QStringLiteral("/s4")), 0);
    QCOMPARE(w.server.hits(QStringLiteral("/late")), 0);
    const CheckRunReport r = w.report();
    QCOMPARE(r.checked, 4);
    QStringList expected;
    for (int i : {0, 2, 3, 5})
        expected << w.server.url(QStringLiteral("/s%1").arg(i));
    QCOMPARE(r.changed, expected); // in the order of the list as the run found it
    for (int i : {0, 2, 3, 5}) {
        QCOMPARE(w.entry(QStringLiteral("e%1").arg(i)).res, ResultMarker::kChanged);
        QVERIFY(!w.entry(QStringLiteral("e%1").arg(i)).ticked);
    }
    QVERIFY(w.entry(QStringLiteral("late")).ticked);
    QVERIFY(w.entry(QStringLiteral("late")).res.isEmpty());
}

void TestCheckRun::urlEditedDuringItsFetch() {
    World w(1);
    w.server.setPage(QStringLiteral("/old"), "old page");
    w.addPage(QStringLiteral("a"), QStringLiteral("/old"));
    connect(&w.run, &CheckRun::statusText, &w.run, [&w](const QString& text) {
        if (text.startsWith(QStringLiteral("Browsing ")))
            w.list.setField(0, SiteList::Field::Url, w.server.url(QStringLiteral("/new")));
    });
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    // The result is the entry's: stored, and listed under the address that was fetched.
    QCOMPARE(w.entry(QStringLiteral("a")).crc, crcText("old page"));
    QCOMPARE(w.report().changed, QStringList{w.server.url(QStringLiteral("/old"))});
}

void TestCheckRun::unexpectedErrorEndsTheRun_data() {
    QTest::addColumn<int>("parallel");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("number");
    QTest::newRow("refused, N=1") << 1 << true << FetchError::kConnectionRefused;
    QTest::newRow("bad crc, N=1") << 1 << false << 13;
    QTest::newRow("refused, N=6") << 6 << true << FetchError::kConnectionRefused;
    QTest::newRow("bad crc, N=6") << 6 << false << 13;
}

void TestCheckRun::unexpectedErrorEndsTheRun() {
    QFETCH(int, parallel);
    QFETCH(bool, refused);
    QFETCH(int, number);
    World w(parallel);
    w.server.setPage(QStringLiteral("/a"), "first page");
    w.addPage(QStringLiteral("a"), QStringLiteral("/a"), QStringLiteral("1"));
    if (refused)
        w.addUrl(QStringLiteral("bad"), TestHttpServer::refusedUrl());
    else
        w.addPage(QStringLiteral("bad"), QStringLiteral("/a"), QStringLiteral("12 34"));
    for (int i = 0; i < 3; ++i)
        w.addPage(QStringLiteral("later%1").arg(i), QStringLiteral("/page?size=10&delay_ms=2000&seed=%1").arg(i));
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    QTest::qWait(200);
    QCOMPARE(w.finished.count(), 1);
    const CheckRunReport r = w.report();
    QVERIFY(r.failed);
    QCOMPARE(r.errorNumber, number);
    QVERIFY(!r.errorDescription.isEmpty());
    if (!refused)
        QCOMPARE(r.errorMessage(), QStringLiteral("Errore 13.\r\nType mismatch"));
    QCOMPARE(r.errorMessage(), QStringLiteral("Errore %1.\r\n").arg(number) + r.errorDescription);
    QVERIFY(!r.showResults());
    QVERIFY(w.lastStatus().startsWith(QStringLiteral("Browsing ")));
    if (parallel == 1)
        QCOMPARE(w.entry(QStringLiteral("a")).res, ResultMarker::kChanged);
    QCOMPARE(w.entry(QStringLiteral("bad")).res, ResultMarker::kBusy);
    QVERIFY(w.entry(QStringLiteral("bad")).ticked);
    for (int i = 0; i < 3; ++i) {
        const SiteEntry& e = w.entry(QStringLiteral("later%1").arg(i));
        QVERIFY(e.ticked);
        // One at a time never reaches them; in parallel they were in flight and keep the busy marker.
        QCOMPARE(e.res, parallel == 1 ? QString() : ResultMarker::kBusy);
    }
    QCOMPARE(w.run.fetcher().inFlight(), 0);
    QVERIFY(!w.run.isActive());
}

void TestCheckRun::bigListWithFewTicks() {
    World w;
    w.server.setPage(QStringLiteral("/a"), "a");
    std::vector<SiteEntry> entries(100000);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].url = w.server.url(QStringLiteral("/a"));
        entries[i].key = QStringLiteral("k%1").arg(i);
    }
    entries[10].ticked = true;
    entries[99999].ticked = true;
    w.list.replaceAll(std::move(entries));
    w.run.CheckSelectedURLs(false);
    QVERIFY(w.waitRuns());
    QCOMPARE(w.report().checked, 2);
    QCOMPARE(w.server.hits(QStringLiteral("/a")), 2);
}

void TestCheckRun::stopBetweenBatches() {
    World w;
    std::vector<SiteEntry> entries(100000);
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].key = QStringLiteral("k%1").arg(i);
    entries.back().url = w.server.url(QStringLiteral("/page?size=1&delay_ms=0&seed=1"));
    entries.back().ticked = true;
    w.list.replaceAll(std::move(entries));
    w.run.CheckSelectedURLs(false);
    QTimer::singleShot(0, &w.run, [&w] { w.run.requestStop(); });
    QVERIFY(w.waitRuns());
    QVERIFY(w.report().stopped);
    QCOMPARE(w.report().checked, 0);
    QVERIFY(w.list.entries().back().ticked);
}

QTEST_GUILESS_MAIN(TestCheckRun)
#include "tst_checkrun.moc"
