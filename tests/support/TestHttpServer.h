#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

// A scripted HTTP/1.1 server on loopback for tests and benchmarks, serving on its own thread.
//
// It listens on 127.0.0.1 and, when asked for more hosts, on 127.0.0.2, 127.0.0.3, … as well (all of
// 127.0.0.0/8 is local on Linux), each on a port of its own; every host serves the same routes and pages.
//
// Paths: /fixed, /changing, /slow?ms=N, /trickle, /endless, /reset, /short, /gzip, /badgzip, /notfound,
// /loop, /tofile, /redirect?to=PATH, /badchunk, /page?size=BYTES&delay_ms=MS&seed=S, and any path given
// to setPage(). Every other path answers 404.
class TestHttpServer {
public:
    // hosts: how many loopback addresses to listen on, from 127.0.0.1 upwards (1 to 254).
    explicit TestHttpServer(int hosts = 1);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool isListening() const { return !m_listeners.empty(); }
    int hostCount() const { return int(m_listeners.size()); }
    // The port of 127.0.0.1.
    quint16 port() const { return m_listeners.empty() ? quint16(0) : m_listeners.front().port; }
    QString url(const QString& pathAndQuery) const { return urlOnHost(0, pathAndQuery); }
    // The address of pathAndQuery on host hostIndex (0 is 127.0.0.1); empty when there is no such host.
    QString urlOnHost(int hostIndex, const QString& pathAndQuery) const;
    // An http address on loopback where nothing listens: connecting is refused.
    static QString refusedUrl();

    // Requests seen for a path (without its query).
    int hits(const QString& path) const;
    // Connections accepted so far.
    int connections() const;
    // The most requests being answered at the same time, over all hosts.
    int maxConcurrent() const;
    // The most requests being answered at the same time by one host.
    int maxConcurrentOnHost(int hostIndex) const;
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
    struct Listener {
        int fd = -1;
        quint16 port = 0;
    };

    void run();
    Response respond(const QByteArray& target);
    void noteAnswering(int hostIndex, int delta);

    std::vector<Listener> m_listeners;
    int m_wakeFds[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    mutable std::mutex m_mutex;
    QHash<QString, int> m_hits;
    QHash<QString, QByteArray> m_pages;
    QByteArray m_lastUserAgent;
    int m_connections = 0;
    int m_answering = 0;
    int m_maxConcurrent = 0;
    std::vector<int> m_hostAnswering;
    std::vector<int> m_hostMaxConcurrent;
    int m_changingCount = 0;
};
