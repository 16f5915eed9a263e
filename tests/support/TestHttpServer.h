#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <vector>

// A scripted HTTP/1.1 server on loopback for tests and benchmarks, a thread for each connection. It listens on
// 127.0.0.1 and, when asked for more hosts, on 127.0.0.2, 127.0.0.3, …, each serving the same pages.
// Paths: /fixed, /slow?ms=N, /trickle, /endless, /reset, /short, /gzip, /badgzip, /gzipbomb, /loop,
// /redirect?to=ADDRESS, /status?code=N&retry_after=V, /badchunk, /hugeheader, /http09,
// /page?size=BYTES&delay_ms=MS&seed=S, and any path given to setPage(); every other path answers 404 with
// notFoundBody(). Creating one removes the proxy variables from the environment, so that requests to it from this
// process and its children go direct.
class TestHttpServer {
public:
    explicit TestHttpServer(int hosts = 1); // loopback addresses from 127.0.0.1 upwards (1 to 254)
    ~TestHttpServer();

    bool isListening() const { return !m_ports.empty(); }
    quint16 port() const { return isListening() ? m_ports.front() : quint16(0); } // the port of 127.0.0.1
    QString url(const QString& pathAndQuery) const { return urlOnHost(0, pathAndQuery); }
    // The address of pathAndQuery on host hostIndex (0 is 127.0.0.1).
    QString urlOnHost(int hostIndex, const QString& pathAndQuery) const {
        return QStringLiteral("http://127.0.0.%1:%2").arg(hostIndex + 1).arg(m_ports.value(hostIndex)) +
               pathAndQuery;
    }
    // An http address on loopback where nothing listens: connecting is refused.
    static QString refusedUrl();

    // Requests seen for a path (without its query); the most answered at once, over all hosts or on one host.
    // Each is read under the lock, which the temporary holds to the end of the statement.
    int hits(const QString& path) const { return std::lock_guard(m_mutex), m_hits.value(path); }
    int maxConcurrent(int hostIndex = -1) const {
        return std::lock_guard(m_mutex), m_answering.value(hostIndex + 1).second;
    }
    QByteArray lastUserAgent() const { return std::lock_guard(m_mutex), m_lastUserAgent; }
    // The header lines of the last request for a path, and when each request for it came (ms, steady clock).
    QList<QByteArray> lastHeaders(const QString& path) const {
        return std::lock_guard(m_mutex), m_headers.value(path);
    }
    QList<qint64> arrivals(const QString& path) const { return std::lock_guard(m_mutex), m_arrivals.value(path); }
    qint64 bytesSent() const { return std::lock_guard(m_mutex), m_bytesSent; }
    // Pages of setPage() carry an ETag and answer 304 to a request that names it; a lying server answers 304
    // to every conditional request.
    void setLying(bool lying) {
        const std::lock_guard lock(m_mutex);
        m_lying = lying;
    }
    // Serves body at path with status 200 from now on; "/fixed" can be changed this way too.
    void setPage(const QString& path, const QByteArray& body) {
        const std::lock_guard lock(m_mutex);
        m_pages.insert(path, body);
    }
    // The path answers 404 from now on.
    void removePage(const QString& path) {
        const std::lock_guard lock(m_mutex);
        m_pages.remove(path);
    }
    QByteArray page(const QString& path) const { return std::lock_guard(m_mutex), m_pages.value(path); }

    // The body of /page?size=size&seed=seed, for comparing fingerprints.
    static QByteArray pageBody(qint64 size, quint32 seed);
    static QByteArray notFoundBody() { return "<html><body>404: nothing here.</body></html>\n"; }

private:
    bool answer(int fd, const QByteArray& target, const QList<QByteArray>& headers);
    void serve(int fd, int host);
    bool pause(int ms);
    void note(int host, int delta);

    std::vector<int> m_listenFds;
    QList<quint16> m_ports;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed; // a thread ended, or the server stops
    bool m_stop = false;
    int m_threads = 0;
    QList<int> m_open; // connections being served
    QHash<QString, int> m_hits;
    QHash<QString, QByteArray> m_pages;
    QByteArray m_lastUserAgent;
    QHash<QString, QList<QByteArray>> m_headers;
    static constexpr qsizetype kArrivalsKept = 1000; // per path
    QHash<QString, QList<qint64>> m_arrivals;
    qint64 m_bytesSent = 0;
    bool m_lying = false;
    QList<std::pair<int, int>> m_answering; // now and at most: over all hosts first, then host by host
};
