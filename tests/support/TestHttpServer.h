#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// A scripted HTTP/1.1 server on 127.0.0.1 for tests and benchmarks, serving on its own thread.
//
// Paths: /fixed, /changing, /slow?ms=N, /trickle, /endless, /reset, /short, /gzip, /badgzip, /notfound,
// /loop, /tofile, /redirect?to=PATH, /badchunk, /page?size=BYTES&delay_ms=MS&seed=S, and any path given
// to setPage(). Every other path answers 404.
class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool isListening() const { return m_listenFd >= 0; }
    quint16 port() const { return m_port; }
    QString url(const QString& pathAndQuery) const;
    // An http address on loopback where nothing listens: connecting is refused.
    static QString refusedUrl();

    // Requests seen for a path (without its query).
    int hits(const QString& path) const;
    // Connections accepted so far.
    int connections() const;
    // The most requests being answered at the same time.
    int maxConcurrent() const;
    QByteArray lastUserAgent() const;

    // Serves body at path with status 200 from now on; "/fixed" can be changed this way too.
    void setPage(const QString& path, const QByteArray& body);
    QByteArray page(const QString& path) const;

    // The body of /page?size=size&seed=seed, for comparing fingerprints.
    static QByteArray pageBody(qint64 size, quint32 seed);
    static QByteArray notFoundBody();

private:
    struct Connection;
    struct Response;

    void run();
    Response respond(const QByteArray& target);
    void noteAnswering(int delta);

    int m_listenFd = -1;
    int m_wakeFds[2] = {-1, -1};
    quint16 m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    mutable std::mutex m_mutex;
    QHash<QString, int> m_hits;
    QHash<QString, QByteArray> m_pages;
    QByteArray m_lastUserAgent;
    int m_connections = 0;
    int m_answering = 0;
    int m_maxConcurrent = 0;
    int m_changingCount = 0;
};
