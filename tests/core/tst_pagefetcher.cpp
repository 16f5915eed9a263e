#include "core/Fingerprint.h"
#include "core/PageFetcher.h"
#include "support/DataRows.h"
#include "support/TestHttpServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

class TestPageFetcher : public QObject {
    Q_OBJECT
    TestHttpServer m_server;

    // A path of the test server, a whole address, or one with %1 for the server's port.
    QString address(const QString& url) const {
        return url.startsWith(u'/') ? m_server.url(url) : url.contains(u"%1") ? url.arg(m_server.port()) : url;
    }
    // Fetches url alone; an empty result unless it was reported exactly once, later, and nothing is left.
    FetchResult fetchOne(const QString& url, int timeout = 5, const BodyRequest& body = {}) {
        PageFetcher fetcher(timeout);
        QSignalSpy spy(&fetcher, &PageFetcher::finished);
        const quint64 id = fetcher.fetch(address(url), body);
        if (spy.count() != 0 || !spy.wait(20000) || spy.count() != 1 || fetcher.inFlight() != 0)
            return {};
        const auto result = spy.at(0).at(0).value<FetchResult>();
        return result.requestId == id ? result : FetchResult{};
    }

private slots:
    void initTestCase() {
        QVERIFY(m_server.isListening());
        m_server.setPage(u"/a%20b"_s, "blank in the address");
    }

    void fetch_data() {
        // expected 0: fetched, and fingerprinted as body (else the error text starts with body); environment:
        // NAME=value set for this fetch only
        columns<QString, int, int, QByteArray, QByteArray>("url", "timeout", "expected", "body", "environment");
        using namespace FetchError;
        const auto row = [](const char* name, const QString& url, int timeout, int expected,
                            const QByteArray& body = {}, const QByteArray& environment = {}) {
            QTest::newRow(name) << url << timeout << expected << body << environment;
        };
        const QByteArray fixed = m_server.page(u"/fixed"_s);
        row("plain", u"/fixed"_s, 5, 0, fixed);
        row("gzip is fingerprinted decoded", u"/gzip"_s, 5, 0, fixed);
        row("redirect is followed", u"/redirect?to=/fixed"_s, 5, 0, fixed);
        // An error page is no page; its status is named, by its standard phrase where it has one.
        for (const char* text :
             {"HTTP 404 Not Found", "HTTP 500 Internal Server Error", "HTTP 503 Service Unavailable",
              "HTTP 418 Phrase of the server", "HTTP 301 Moved Permanently: reindirizzamento"})
            QTest::addRow("%s", text) << u"/status?code="_s + QLatin1String(text + 5, 3) << 5 << kHttpStatus
                                      << QByteArray(text) << QByteArray();
        row("fragment, upper-case scheme, blanks", u"  HTTP://127.0.0.1:%1/fixed#part "_s, 5, 0, fixed);
        row("blank inside the address", u"/a b"_s, 5, 0, "blank in the address");
        row("5 MB streams through", u"/page?size=5000000&seed=7"_s, 5, 0, TestHttpServer::pageBody(5000000, 7));
        row("slow answer", u"/slow?ms=30000"_s, 1, kTimeout);
        row("trickling body", u"/trickle"_s, 1, kTimeout);
        row("endless body", u"/endless"_s, 1, kTimeout); // streamed, never held
        row("gzip bomb", u"/gzipbomb"_s, 1, kTimeout);
        row("name lookup that never answers", u"http://stalling-name.quovel.test/"_s, 1, kTimeout);
        row("refused", TestHttpServer::refusedUrl(), 5, kConnectionRefused);
        row("dead proxy", u"http://behind-a-proxy.quovel.test/"_s, 5, kProxyFailure, {},
            "http_proxy=" + TestHttpServer::refusedUrl().toLatin1());
        row("private CA file missing", u"https://127.0.0.1:%1/fixed"_s, 3, kTlsFailure, {},
            "SSL_CERT_FILE=/nonexistent/quovel-ca.pem");
        row("reset", u"/reset"_s, 5, kBrokenTransfer);
        row("short body", u"/short"_s, 5, kBrokenTransfer);
        row("bad chunk", u"/badchunk"_s, 5, kBrokenTransfer);
        row("bad gzip", u"/badgzip"_s, 5, kBrokenTransfer);
        row("1 MB header line", u"/hugeheader"_s, 5, kBadReply);
        row("HTTP/0.9 answer", u"/http09"_s, 5, kBadReply);
        row("redirect loop", u"/loop"_s, 5, kTooManyRedirects);
        row("address longer than 64 Ki characters", u"/fixed?"_s + QString(kMaxUrlLength, u'a'), 5, kUrlTooLong,
            "Indirizzo troppo lungo");
        // curl alone would follow this one: only our protocol list stops it.
        row("redirect to ftp", u"/redirect?to=ftp://127.0.0.1:1/"_s, 5, kBadUrl);
        // Refused before any connection: an http server would not answer these with kBadUrl.
        for (const QString& bad :
             {u""_s, u"   "_s, u"not a url"_s, u"127.0.0.1:%1/fixed"_s, u"file:///etc/passwd"_s,
              u"ftp://127.0.0.1:%1/"_s, u"data:text/plain,hello"_s, u"javascript:alert(1)"_s, u"http://"_s,
              u"http://127.0.0.1:%1/fi\nxed"_s, u"http://127.0.0.1:99999/"_s})
            QTest::addRow("bad address \"%s\"", qPrintable(QString(bad).replace(u'\n', u'|')))
                << bad << 5 << kBadUrl << QByteArray() << QByteArray();
    }
    void fetch() {
        const auto [url, timeout, expected, body, environment] =
            ::fetch<QString, int, int, QByteArray, QByteArray>("url", "timeout", "expected", "body",
                                                               "environment");
        const QByteArray name = environment.left(environment.indexOf('='));
        if (!name.isEmpty())
            qputenv(name.constData(), environment.mid(name.size() + 1));
        QElapsedTimer clock;
        clock.start();
        const FetchResult result = fetchOne(url, timeout);
        const qint64 elapsed = clock.elapsed();
        if (!name.isEmpty())
            qunsetenv(name.constData());
        QVERIFY2(result.requestId != 0, "no single report");
        QCOMPARE(result.outcome.errorNumber(), expected);
        QCOMPARE(result.outcome.errorText().isEmpty(), expected == 0);
        if (expected != 0)
            QVERIFY2(result.outcome.errorText().startsWith(QString::fromUtf8(body)),
                     qPrintable(result.outcome.errorText()));
        if (expected == 0) {
            QCOMPARE(result.fingerprint, calcCRC32(body));
            QCOMPARE(m_server.lastUserAgent(), QByteArray("Quovel/" QUOVEL_VERSION));
        }
        // The deadline is for the whole request, name lookup and unpacking included; slack for a loaded machine.
        QVERIFY2(elapsed < timeout * 1000 + 3000, qPrintable(QString::number(elapsed)));
    }

    // A timeout that would overflow a deadline, or make a run endless, is taken as the largest one stored.
    void timeoutWithinBounds() {
        PageFetcher fetcher(0);
        QCOMPARE(fetcher.timeout(), 1);
        fetcher.setTimeout(std::numeric_limits<int>::max());
        QCOMPARE(fetcher.timeout(), 32767);
    }

    // A body is handed over only when asked for, within its cap, and when its fingerprint is not the given one.
    void bodyKeptForItsText_data() {
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<bool>("sameFingerprint");
        QTest::addColumn<int>("kept"); // 1 kept, 0 not, -1 too large
        QTest::newRow("not asked") << qint64(0) << false << 0;
        QTest::newRow("changed, within the cap") << qint64(64 * 1024) << false << 1;
        QTest::newRow("unchanged") << qint64(64 * 1024) << true << 0;
        QTest::newRow("over the cap") << qint64(4096) << false << -1;
    }
    void bodyKeptForItsText() {
        QFETCH(qint64, maxBytes);
        QFETCH(bool, sameFingerprint);
        QFETCH(int, kept);
        const QByteArray page = TestHttpServer::pageBody(50000, 7);
        BodyRequest body{maxBytes, calcCRC32(page) ^ (sameFingerprint ? 0 : 1)};
        const FetchResult r = fetchOne(u"/page?size=50000&seed=7"_s, 5, body);
        QVERIFY(r.outcome.ok());
        QCOMPARE(r.fingerprint, calcCRC32(page));
        QCOMPARE(r.bodyKept, kept == 1);
        QCOMPARE(r.bodyTooLarge, kept == -1);
        QCOMPARE(r.body, kept == 1 ? page : QByteArray());
    }

    void cancelSilencesAbandonedRequests() {
        PageFetcher fetcher(5);
        QSignalSpy spy(&fetcher, &PageFetcher::finished);
        fetcher.fetch(m_server.url(u"/slow?ms=500"_s));
        fetcher.fetch(m_server.url(u"/slow?ms=500"_s));
        fetcher.fetch(u"ftp://example.invalid/"_s); // reported later through the event queue: silenced too
        fetcher.cancel();
        QCOMPARE(fetcher.inFlight(), 0);
        // Still usable afterwards; by the time this slower page is reported, the abandoned ones would have been.
        const quint64 id = fetcher.fetch(m_server.url(u"/slow?ms=800"_s));
        QVERIFY(spy.wait(20000));
        QCOMPARE(spy.at(0).at(0).value<FetchResult>().requestId, id);
    }

    void destroyedWithRequestsInFlight() {
        TestHttpServer server; // its own, to count its hits from zero
        auto fetcher = std::make_unique<PageFetcher>(5);
        int reports = 0;
        connect(fetcher.get(), &PageFetcher::finished, this, [&reports] { ++reports; });
        for (const QString& path : {u"/endless"_s, u"/trickle"_s, u"/slow?ms=5000"_s})
            fetcher->fetch(server.url(path));
        QTRY_VERIFY_WITH_TIMEOUT(
            server.hits(u"/endless"_s) && server.hits(u"/trickle"_s) && server.hits(u"/slow"_s), 20000);
        fetcher->fetch(u"not a url"_s); // its report is still in the event queue
        QElapsedTimer clock;
        clock.start();
        fetcher.reset();
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        bool flushed = false; // once this runs, the queued report would have come
        QTimer::singleShot(0, this, [&flushed] { flushed = true; });
        QTRY_VERIFY(flushed);
        QCOMPARE(reports, 0);
    }
};

QTEST_GUILESS_MAIN(TestPageFetcher)
#include "tst_pagefetcher.moc"
