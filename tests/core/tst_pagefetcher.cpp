#include "core/Fingerprint.h"
#include "core/HttpText.h"
#include "core/PageFetcher.h"
#include "core/Version.h"
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
        return fetchWith(fetcher, FetchRequest{address(url), body});
    }
    static FetchResult fetchWith(PageFetcher& fetcher, const FetchRequest& request) {
        QSignalSpy spy(&fetcher, &PageFetcher::finished);
        const quint64 id = fetcher.fetch(request);
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
            QCOMPARE(m_server.lastUserAgent(), QByteArray(defaultUserAgent()));
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

    // What the request says: the site's headers and user agent, to its own host only, validators as given.
    void requestAsSet() {
        TestHttpServer server(2);
        server.setPage(u"/v"_s, "a page with validators");
        PageFetcher fetcher(5);
        FetchRequest r{server.url(u"/v"_s)};
        r.headers = {"Accept-Language: it", "Cookie: sessione=1"};
        r.userAgent = "Mio/1";
        const FetchResult full = fetchWith(fetcher, r);
        QVERIFY(full.outcome.ok() && !full.notModified && !full.etag.isEmpty() && full.wireBytes > 22);
        const QList<QByteArray> sent = server.lastHeaders(u"/v"_s);
        for (const char* line : {"Accept-Language: it", "Cookie: sessione=1", "User-Agent: Mio/1"})
            QVERIFY2(sent.contains(line), line);
        QVERIFY(std::any_of(sent.cbegin(), sent.cend(), [](const QByteArray& h) {
            return h.startsWith("Accept-Encoding:") && h.contains("gzip") && h.contains("br") &&
                   h.contains("zstd");
        }));
        r.etag = full.etag;
        const FetchResult again = fetchWith(fetcher, r);
        QVERIFY(again.outcome.ok() && again.notModified && again.wireBytes < 200);
        server.setPage(u"/v"_s, "changed");
        QVERIFY(!fetchWith(fetcher, r).notModified);
        // A redirect to another host takes none of the site's headers there.
        r.url = server.url(u"/redirect?to="_s) + server.urlOnHost(1, u"/v"_s);
        QVERIFY(fetchWith(fetcher, r).outcome.ok());
        QCOMPARE(server.hits(u"/v"_s), 4);
        QVERIFY(!server.lastHeaders(u"/v"_s).contains("Cookie: sessione=1"));
    }

    void retryAfterValue_data() {
        columns<QByteArray, qint64>("value", "seconds");
        QTest::newRow("seconds") << QByteArray(" 120 ") << qint64(120);
        QTest::newRow("HTTP date") << QByteArray("Wed, 07 Jan 2026 11:00:00 GMT") << qint64(3600);
        QTest::newRow("past date") << QByteArray("Wed, 07 Jan 2026 09:00:00 GMT") << qint64(0);
        QTest::newRow("capped at a day") << QByteArray("9999999999999999") << qint64(86400);
        QTest::newRow("date capped") << QByteArray("Fri, 01 Jan 2027 00:00:00 GMT") << qint64(86400);
        QTest::newRow("neither") << QByteArray("soon") << qint64(-1);
    }
    void retryAfterValue() {
        const auto [value, seconds] = ::fetch<QByteArray, qint64>("value", "seconds");
        const QDateTime now(QDate(2026, 1, 7), QTime(10, 0), Qt::UTC);
        QCOMPARE(retryAfterSeconds(value, now).value_or(-1), seconds);
    }

    // A 429 or 503 with Retry-After holds its host: a request that cannot wait that long is not sent.
    void retryAfterHoldsTheHost() {
        TestHttpServer server;
        PageFetcher fetcher(3);
        const FetchResult r = fetchWith(fetcher, {server.url(u"/status?code=429&retry_after=1"_s)});
        QVERIFY(r.outcome.errorText().startsWith(u"HTTP 429 Too Many Requests"_s));
        QCOMPARE(r.retryAfterSeconds, 1);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(fetchWith(fetcher, {server.url(u"/fixed"_s)}).outcome.ok()); // waits its second
        QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(fetchWith(fetcher, {server.url(u"/status?code=503&retry_after=600"_s)}).retryAfterSeconds, 600);
        const FetchResult held = fetchWith(fetcher, {server.url(u"/fixed"_s)});
        QCOMPARE(held.outcome.errorNumber(), FetchError::kRetryLater);
        QCOMPARE(server.hits(u"/fixed"_s), 1);
    }

    // The least time between two requests to a host, ±20 %, holds up no other host.
    void hostPace() {
        TestHttpServer server(2);
        server.setPage(u"/a"_s, "a");
        server.setPage(u"/b"_s, "b");
        PageFetcher fetcher(10);
        fetcher.setNetworkOptions({{}, 400, NetworkOptions::Proxy::System, {}});
        QSignalSpy spy(&fetcher, &PageFetcher::finished);
        for (int i = 0; i < 4; ++i) {
            fetcher.fetch(server.urlOnHost(0, u"/a"_s));
            FetchRequest own(server.urlOnHost(1, u"/b"_s));
            own.hostDelayMs = 150; // the site's own pace
            fetcher.fetch(own);
        }
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 8, 20000);
        const QList<qint64> a = server.arrivals(u"/a"_s), b = server.arrivals(u"/b"_s);
        QVERIFY(std::abs(a.first() - b.first()) < 100);
        for (int i = 1; i < 4; ++i) {
            QVERIFY2(a[i] - a[i - 1] >= 315 && a[i] - a[i - 1] < 480 + 150,
                     qPrintable(QString::number(a[i] - a[i - 1])));
            QVERIFY2(b[i] - b[i - 1] >= 115 && b[i] - b[i - 1] < 180 + 150,
                     qPrintable(QString::number(b[i] - b[i - 1])));
        }
    }

    void proxyAsSet_data() {
        // proxy: the Proxy setting's text, with %1 for the test server's port; http_proxy is a dead proxy
        columns<QString, QString, QByteArray, int>("proxy", "url", "noProxy", "expected");
        const int failure = FetchError::kProxyFailure;
        QTest::newRow("none: direct, whatever the environment") << u"none"_s << u"/fixed"_s << QByteArray() << 0;
        QTest::newRow("system: the environment's") << u"system"_s << u"/fixed"_s << QByteArray() << failure;
        QTest::newRow("system: no_proxy names the host")
            << u"system"_s << u"/fixed"_s << QByteArray("example.org, 127.0.0.1,") << 0;
        QTest::newRow("manual: through it")
            << u"127.0.0.1:%1"_s << u"http://only-the-proxy-knows.quovel.test/fixed"_s << QByteArray() << 0;
        QTest::newRow("manual, dead") << TestHttpServer::refusedUrl().mid(7).chopped(1) << u"/fixed"_s
                                      << QByteArray() << failure;
        QTest::newRow("manual, no such name")
            << u"no-such-proxy.quovel.test:3128"_s << u"/fixed"_s << QByteArray() << failure;
    }
    void proxyAsSet() {
        const auto [proxy, url, noProxyList, expected] =
            ::fetch<QString, QString, QByteArray, int>("proxy", "url", "noProxy", "expected");
        const QByteArray noProxy = qgetenv("no_proxy"), noProxyUpper = qgetenv("NO_PROXY");
        qputenv("http_proxy", TestHttpServer::refusedUrl().toLatin1());
        qputenv("no_proxy", noProxyList), qunsetenv("NO_PROXY");
        using P = NetworkOptions::Proxy;
        const QString address = proxy.contains(u"%1") ? proxy.arg(m_server.port()) : proxy;
        PageFetcher fetcher(5);
        fetcher.setNetworkOptions({{},
                                   0,
                                   proxy == u"none"     ? P::None
                                   : proxy == u"system" ? P::System
                                                        : P::Manual,
                                   address.toLatin1()});
        const FetchResult r = fetchWith(fetcher, {this->address(url)});
        qunsetenv("http_proxy");
        qputenv("no_proxy", noProxy), qputenv("NO_PROXY", noProxyUpper);
        QCOMPARE(r.outcome.errorNumber(), expected);
    }

    void headerLines_data() {
        columns<QString, QString>("line", "problem");
        QTest::newRow("plain") << u"Accept-Language: it, en;q=0.5"_s << QString();
        QTest::newRow("secret") << u"Authorization: Bearer x"_s << QString();
        QTest::newRow("no colon") << u"Accept-Language it"_s << u"Nome: valore"_s;
        QTest::newRow("blank in the name") << u"Accept Language: it"_s << u"Nome: valore"_s;
        QTest::newRow("line break") << u"X-A: 1\nHost: evil"_s << u"riga sola"_s;
        QTest::newRow("managed by curl") << u"host: example.org"_s << u"programma"_s;
        QTest::newRow("no value") << u"X-A:  "_s << u"valore"_s;
    }
    void headerLines() {
        const auto [line, problem] = ::fetch<QString, QString>("line", "problem");
        const QString found = requestHeaderProblem(line);
        QVERIFY2(problem.isEmpty() ? found.isEmpty() : found.contains(problem), qPrintable(found));
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
