#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

// A scripted HTTP/1.1 server on loopback for tests and benchmarks, serving on its own thread. It listens on
// 127.0.0.1 and, when asked for more hosts, on 127.0.0.2, 127.0.0.3, …, each serving the same routes and pages.
// Paths: /fixed, /changing, /slow?ms=N, /trickle, /endless, /reset, /short, /gzip, /badgzip, /gzipbomb, /loop,
// /redirect?to=ADDRESS, /badchunk, /hugeheader, /http09, /page?size=BYTES&delay_ms=MS&seed=S, and any path
// given to setPage().
// Every other path answers 404 with notFoundBody(). Creating one removes the proxy variables from the
// environment, so that requests to it from this process and its children go direct.
class TestHttpServer {
    template <typename F> auto locked(F f) const {
        std::lock_guard lock(m_mutex);
        return f();
    }

public:
    // hosts: how many loopback addresses to listen on, from 127.0.0.1 upwards (1 to 254).
    explicit TestHttpServer(int hosts = 1);
    ~TestHttpServer();

    bool isListening() const { return !m_ports.empty(); }
    quint16 port() const { return isListening() ? m_ports.front() : quint16(0); } // the port of 127.0.0.1
    QString url(const QString& pathAndQuery) const { return urlOnHost(0, pathAndQuery); }
    // The address of pathAndQuery on host hostIndex (0 is 127.0.0.1); empty when there is no such host.
    QString urlOnHost(int hostIndex, const QString& pathAndQuery) const;
    // An http address on loopback where nothing listens: connecting is refused.
    static QString refusedUrl();

    // Requests seen for a path (without its query).
    int hits(const QString& path) const {
        return locked([&] { return m_hits.value(path); });
    }
    // The most requests being answered at the same time, over all hosts or by one host.
    int maxConcurrent() const {
        return locked([&] { return m_maxConcurrent; });
    }
    int maxConcurrentOnHost(int hostIndex) const {
        return locked([&] { return m_hostMaxConcurrent.value(hostIndex); });
    }
    QByteArray lastUserAgent() const {
        return locked([&] { return m_lastUserAgent; });
    }

    // Serves body at path with status 200 from now on; "/fixed" can be changed this way too.
    void setPage(const QString& path, const QByteArray& body) {
        locked([&] { m_pages.insert(path, body); });
    }
    QByteArray page(const QString& path) const {
        return locked([&] { return m_pages.value(path); });
    }

    // The body of /page?size=size&seed=seed, for comparing fingerprints.
    static QByteArray pageBody(qint64 size, quint32 seed);
    static QByteArray notFoundBody() { return "<html><body>404: nothing here.</body></html>\n"; }

private:
    struct Connection;
    struct Response;

    void run();
    Response respond(const QByteArray& target);
    void noteAnswering(int hostIndex, int delta);

    std::vector<int> m_listenFds;
    std::vector<quint16> m_ports;
    int m_wakeFds[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    mutable std::mutex m_mutex;
    QHash<QString, int> m_hits;
    QHash<QString, QByteArray> m_pages;
    QByteArray m_lastUserAgent;
    int m_answering = 0;
    int m_maxConcurrent = 0;
    QList<int> m_hostAnswering;
    QList<int> m_hostMaxConcurrent;
    int m_changingCount = 0;
};
