#include "core/Fingerprint.h"
#include "core/PageFetcher.h"
#include "support/TestHttpServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr int kWaitMs = 20000; // generous: a loaded 2-core machine must not make these flaky

} // namespace

class TestPageFetcher : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestHttpServer> m_server;

    FetchResult fetchOne(PageFetcher& fetcher, const QString& url) {
        QSignalSpy spy(&fetcher, &PageFetcher::finished);
        const quint64 id = fetcher.fetch(url);
        // Never reported from inside fetch(), not even a refused address.
        if (spy.count() != 0)
            return {};
        if (!spy.wait(kWaitMs) || spy.count() != 1)
            return {};
        const auto result = spy.at(0).at(0).value<FetchResult>();
        return result.requestId == id ? result : FetchResult{};
    }

    QString absolute(const QString& url) const { return url.startsWith(u'/') ? m_server->url(url) : url; }

private slots:
    void initTestCase() {
        for (const char* name :
             {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
            qunsetenv(name);
        m_server = std::make_unique<TestHttpServer>();
        QVERIFY(m_server->isListening());
    }

    void cleanupTestCase() { m_server.reset(); }

    void fixedPageFingerprint() {
        PageFetcher fetcher;
        const FetchResult first = fetchOne(fetcher, m_server->url(QStringLiteral("/fixed")));
        const FetchResult second = fetchOne(fetcher, m_server->url(QStringLiteral("/fixed")));
        QVERIFY2(first.ok, qPrintable(first.errorDescription));
        QVERIFY(second.ok);
        const QByteArray body = m_server->page(QStringLiteral("/fixed"));
        QCOMPARE(first.fingerprint, calcCRC32(body));
        QCOMPARE(second.fingerprint, first.fingerprint);
        QCOMPARE(first.bytes, qint64(body.size()));
        QCOMPARE(first.errorNumber, 0);
        QCOMPARE(fetcher.inFlight(), 0);
    }

    void pageAddresses_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("samePageAs"); // a path of the server whose body this one must equal

        QTest::newRow("gzip is fingerprinted decoded") << "/gzip"
                                                       << "/fixed";
        QTest::newRow("redirect is followed") << "/redirect?to=/fixed"
                                              << "/fixed";
        QTest::newRow("fragment is not sent") << "/fixed#part"
                                              << "/fixed";
        QTest::newRow("upper-case scheme") << "HTTP://127.0.0.1:%1/fixed"
                                           << "/fixed";
        QTest::newRow("surrounding blanks") << "  http://127.0.0.1:%1/fixed "
                                            << "/fixed";
    }

    void pageAddresses() {
        QFETCH(QString, path);
        QFETCH(QString, samePageAs);
        const QString url = path.contains(u"%1") ? path.arg(m_server->port()) : absolute(path);

        PageFetcher fetcher;
        const FetchResult result = fetchOne(fetcher, url);
        QVERIFY2(result.ok, qPrintable(result.errorDescription));
        QCOMPARE(result.fingerprint, calcCRC32(m_server->page(samePageAs)));
    }

    void spaceInStoredAddress() {
        m_server->setPage(QStringLiteral("/a%20b"), "blank page");
        PageFetcher fetcher;
        const FetchResult result = fetchOne(fetcher, m_server->url(QStringLiteral("/a b")));
        QVERIFY2(result.ok, qPrintable(result.errorDescription));
        QCOMPARE(result.fingerprint, calcCRC32("blank page"));
    }

    void changingPageDiffers() {
        PageFetcher fetcher;
        const FetchResult first = fetchOne(fetcher, m_server->url(QStringLiteral("/changing")));
        const FetchResult second = fetchOne(fetcher, m_server->url(QStringLiteral("/changing")));
        QVERIFY(first.ok && second.ok);
        QVERIFY(first.fingerprint != second.fingerprint);
    }

    void changedPageIsSeen() {
        PageFetcher fetcher;
        m_server->setPage(QStringLiteral("/mine"), "first version");
        const FetchResult before = fetchOne(fetcher, m_server->url(QStringLiteral("/mine")));
        m_server->setPage(QStringLiteral("/mine"), "second version");
        const FetchResult after = fetchOne(fetcher, m_server->url(QStringLiteral("/mine")));
        QVERIFY(before.ok && after.ok);
        QCOMPARE(after.fingerprint, calcCRC32("second version"));
        QVERIFY(before.fingerprint != after.fingerprint);
    }

    void errorStatusIsAPage() {
        PageFetcher fetcher;
        const FetchResult result = fetchOne(fetcher, m_server->url(QStringLiteral("/notfound")));
        QVERIFY2(result.ok, qPrintable(result.errorDescription));
        QCOMPARE(result.fingerprint, calcCRC32(TestHttpServer::notFoundBody()));
    }

    void largePageStreamsThrough() {
        constexpr qint64 size = 5'000'000;
        PageFetcher fetcher;
        const FetchResult result =
            fetchOne(fetcher, m_server->url(QStringLiteral("/page?size=%1&seed=7").arg(size)));
        QVERIFY2(result.ok, qPrintable(result.errorDescription));
        QCOMPARE(result.bytes, size);
        QCOMPARE(result.fingerprint, calcCRC32(TestHttpServer::pageBody(size, 7)));
    }

    void identifiesItself() {
        PageFetcher fetcher;
        QVERIFY(fetchOne(fetcher, m_server->url(QStringLiteral("/fixed"))).ok);
        QCOMPARE(m_server->lastUserAgent(), QByteArray("Quovel/" QUOVEL_VERSION));
    }

    void reusesConnections() {
        TestHttpServer server;
        PageFetcher fetcher;
        for (int i = 0; i < 3; ++i)
            QVERIFY(fetchOne(fetcher, server.url(QStringLiteral("/fixed"))).ok);
        QCOMPARE(server.hits(QStringLiteral("/fixed")), 3);
        QCOMPARE(server.connections(), 1);
    }

    void errors_data() {
        QTest::addColumn<QString>("url"); // a path of the test server, or a whole address
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("alsoAccepted");

        using namespace FetchError;
        QTest::newRow("slow answer") << "/slow?ms=30000" << 1 << kTimeout << kTimeout;
        QTest::newRow("trickling body") << "/trickle" << 2 << kTimeout << kTimeout;
        QTest::newRow("endless body") << "/endless" << 1 << kTimeout << kTimeout; // streamed, never held
        QTest::newRow("refused") << TestHttpServer::refusedUrl() << 5 << kConnectionRefused << kConnectionRefused;
        QTest::newRow("reset") << "/reset" << 5 << kBrokenTransfer << kBrokenTransfer;
        QTest::newRow("short body") << "/short" << 5 << kBrokenTransfer << kBrokenTransfer;
        QTest::newRow("bad chunk") << "/badchunk" << 5 << kBrokenTransfer << kBrokenTransfer;
        QTest::newRow("bad gzip") << "/badgzip" << 5 << kBrokenTransfer << kBrokenTransfer;
        QTest::newRow("redirect loop") << "/loop" << 5 << kTooManyRedirects << kTooManyRedirects;
        QTest::newRow("redirect to file") << "/tofile" << 5 << kBadUrl << kBadUrl;
        QTest::newRow("host not found") << "http://nonexistent.invalid/" << 5 << kHostNotFound << kProxyFailure;
    }

    void errors() {
        QFETCH(QString, url);
        QFETCH(int, timeout);
        QFETCH(int, expected);
        QFETCH(int, alsoAccepted);

        PageFetcher fetcher;
        fetcher.setTimeout(timeout);
        QElapsedTimer clock;
        clock.start();
        const FetchResult result = fetchOne(fetcher, absolute(url));
        QVERIFY2(result.requestId != 0, "no single report");
        QVERIFY(!result.ok);
        QVERIFY2(result.errorNumber == expected || result.errorNumber == alsoAccepted,
                 qPrintable(QString::number(result.errorNumber) + u' ' + result.errorDescription));
        QVERIFY(!result.errorDescription.isEmpty());
        // The deadline is for the whole request; generous slack for a loaded machine.
        QVERIFY2(clock.elapsed() < timeout * 1000 + 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(fetcher.inFlight(), 0);
    }

    void badAddresses_data() {
        QTest::addColumn<QString>("url");
        QTest::newRow("empty") << QString();
        QTest::newRow("blank") << QStringLiteral("   ");
        QTest::newRow("no scheme") << QStringLiteral("not a url");
        QTest::newRow("host without scheme") << QStringLiteral("127.0.0.1:%1/fixed");
        QTest::newRow("file") << QStringLiteral("file:///etc/passwd");
        QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1:%1/");
        QTest::newRow("gopher") << QStringLiteral("gopher://127.0.0.1:%1/");
        QTest::newRow("data") << QStringLiteral("data:text/plain,hello");
        QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)");
        QTest::newRow("no host") << QStringLiteral("http://");
        QTest::newRow("control character") << QStringLiteral("http://127.0.0.1:%1/fi\nxed");
        QTest::newRow("port out of range") << QStringLiteral("http://127.0.0.1:99999/");
    }

    void badAddresses() {
        QFETCH(QString, url);
        TestHttpServer server; // its own, so that no connection at all can be seen
        if (url.contains(u"%1"))
            url = url.arg(server.port());

        PageFetcher fetcher;
        const FetchResult result = fetchOne(fetcher, url);
        QVERIFY2(result.requestId != 0, "no single report");
        QVERIFY(!result.ok);
        QCOMPARE(result.errorNumber, FetchError::kBadUrl);
        QVERIFY(!result.errorDescription.isEmpty());
        QTest::qWait(100);
        QCOMPARE(server.connections(), 0);
    }

    void severalAtOnce() {
        constexpr int count = 64;
        TestHttpServer server;
        PageFetcher fetcher;
        QSignalSpy spy(&fetcher, &PageFetcher::finished);
        QHash<quint64, int> seedOf;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < count; ++i)
            seedOf.insert(
                fetcher.fetch(server.url(QStringLiteral("/page?size=20000&delay_ms=1000&seed=%1").arg(i))), i);
        QCOMPARE(seedOf.size(), count);
        QCOMPARE(fetcher.inFlight(), count);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), count, kWaitMs);
        // One after the other would take a minute; together they take about one delay.
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        QSet<quint64> reported;
        for (const auto& args : spy) {
            const auto result = args.at(0).value<FetchResult>();
            QVERIFY2(result.ok, qPrintable(result.errorDescription));
            QCOMPARE(result.fingerprint,
                     calcCRC32(TestHttpServer::pageBody(20000, quint32(seedOf.value(result.requestId)))));
            reported.insert(result.requestId);
        }
        QCOMPARE(reported.size(), count);
        QCOMPARE(fetcher.inFlight(), 0);
        QVERIFY2(server.maxConcurrent() > 1, qPrintable(QString::number(server.maxConcurrent())));
    }

    void cancelSilencesAbandonedRequests() {
        PageFetcher fetcher;
        QSignalSpy spy(&fetcher, &PageFetcher::finished);
        for (int i = 0; i < 3; ++i)
            fetcher.fetch(m_server->url(QStringLiteral("/slow?ms=1000")));
        // Reported later through the event queue: cancel must silence it too.
        fetcher.fetch(QStringLiteral("ftp://example.invalid/"));
        fetcher.cancel();
        QCOMPARE(fetcher.inFlight(), 0);
        QTest::qWait(2500);
        QCOMPARE(spy.count(), 0);

        // The fetcher stays usable after a cancel.
        const FetchResult result = fetchOne(fetcher, m_server->url(QStringLiteral("/fixed")));
        QVERIFY(result.ok);
        fetcher.cancel(); // harmless when nothing is in progress
        QCOMPARE(fetcher.inFlight(), 0);
    }

    void destroyedWithRequestsInFlight() {
        TestHttpServer server;
        auto fetcher = std::make_unique<PageFetcher>();
        int reports = 0;
        connect(fetcher.get(), &PageFetcher::finished, this, [&reports] { ++reports; });
        fetcher->fetch(server.url(QStringLiteral("/endless")));
        fetcher->fetch(server.url(QStringLiteral("/trickle")));
        fetcher->fetch(server.url(QStringLiteral("/slow?ms=5000")));
        QTRY_VERIFY_WITH_TIMEOUT(server.hits(QStringLiteral("/endless")) == 1 &&
                                     server.hits(QStringLiteral("/trickle")) == 1 &&
                                     server.hits(QStringLiteral("/slow")) == 1,
                                 kWaitMs);
        fetcher->fetch(QStringLiteral("not a url")); // its report is still in the event queue
        QElapsedTimer clock;
        clock.start();
        fetcher.reset();
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(200);
        QCOMPARE(reports, 0);
    }

    void timeoutHasAFloor_data() {
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("expected");
        QTest::newRow("negative") << -100 << 1;
        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("fifteen") << 15 << 15;
    }

    void timeoutHasAFloor() {
        QFETCH(int, set);
        QFETCH(int, expected);
        PageFetcher fetcher;
        QCOMPARE(fetcher.timeout(), 15);
        fetcher.setTimeout(set);
        QCOMPARE(fetcher.timeout(), expected);
    }
};

QTEST_GUILESS_MAIN(TestPageFetcher)
#include "tst_pagefetcher.moc"
