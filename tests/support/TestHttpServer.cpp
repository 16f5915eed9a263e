#include "TestHttpServer.h"

#include <QUrlQuery>

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {

constexpr qsizetype kChunk = 64 * 1024;
constexpr auto kTrickleStep = std::chrono::milliseconds(500);
constexpr int kMaxHosts = 254;

// flush Z_FULL_FLUSH leaves the stream open: what follows may be repeated, as it refers to nothing earlier.
QByteArray gzip(const QByteArray& data, int flush = Z_FINISH) {
    z_stream s{};
    // windowBits 31: a gzip wrapper rather than raw zlib.
    if (deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&s, uLong(data.size()))) + 32, Qt::Uninitialized);
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    s.avail_in = uInt(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    deflate(&s, flush);
    out.resize(qsizetype(s.total_out));
    deflateEnd(&s);
    return out;
}

// The deterministic body of /page, produced chunk by chunk so that huge pages cost no memory.
struct PageGenerator {
    quint32 state;
    explicit PageGenerator(quint32 seed)
        : state(seed * 2654435761u + 1u) {}
    void fill(char* out, qsizetype n) {
        for (qsizetype i = 0; i < n; ++i) {
            state = state * 1664525u + 1013904223u;
            out[i] = char('a' + (state >> 24) % 26);
        }
    }
};

// A response head; a negative contentLength sends no Content-Length.
QByteArray head(qint64 contentLength, const QByteArray& extra = {}, const char* status = "200 OK") {
    QByteArray h = "HTTP/1.1 " + QByteArray(status) + "\r\n" + extra;
    if (contentLength >= 0)
        h += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    return h + "\r\n";
}

QByteArray withBody(const QByteArray& body, const QByteArray& extra = {}) {
    return head(body.size(), extra) + body;
}

quint16 localPort(int fd) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

// A socket bound to 127.0.0.1 for host 0, 127.0.0.2 for host 1, and so on; -1 on failure.
int loopbackSocket(int hostIndex = 0) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK + quint32(hostIndex));
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}

bool wouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

} // namespace

struct TestHttpServer::Response {
    enum class Tail { KeepAlive, Close, Reset, Trickle, Endless, Generated };
    QByteArray data;
    int delayMs = 0;
    Tail tail = Tail::KeepAlive;
    qint64 generatedSize = 0;
    quint32 seed = 0;
    QByteArray repeat = {}; // what an endless tail sends over and over
};

struct TestHttpServer::Connection {
    int fd = -1;
    int host = 0;
    QByteArray in;
    QByteArray out;
    qsizetype outPos = 0;
    bool answering = false;
    bool dead = false;
    bool clientWantsClose = false;
    Clock::time_point readyAt;
    Response r; // its generatedSize counts down what is left to generate
    PageGenerator generator{0};
};

TestHttpServer::TestHttpServer(int hosts) {
    // Requests to it never go through a proxy the machine may have configured (nor do those of child processes).
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
        qunsetenv(name);
    m_pages.insert(QStringLiteral("/fixed"), QByteArray("<html><body>Quovel test page: fixed.</body></html>\n"));
    for (int i = 0; i < hosts && i < kMaxHosts; ++i) {
        const int fd = loopbackSocket(i);
        if (fd >= 0)
            m_listenFds.push_back(fd);
        if (fd < 0 || listen(fd, 256) != 0)
            break;
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        m_ports.push_back(localPort(fd));
    }
    if (hosts < 1 || int(m_ports.size()) != hosts || pipe2(m_wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_ports.clear(); // not listening; the destructor closes what was opened
        return;
    }
    m_hostAnswering.fill(0, hosts);
    m_hostMaxConcurrent.fill(0, hosts);
    m_thread = std::thread([this] { run(); });
}

TestHttpServer::~TestHttpServer() {
    if (m_thread.joinable()) {
        m_stop = true;
        [[maybe_unused]] const auto written = write(m_wakeFds[1], "x", 1);
        m_thread.join();
    }
    for (int fd : m_listenFds)
        close(fd);
    for (int fd : m_wakeFds)
        if (fd >= 0)
            close(fd);
}

QString TestHttpServer::urlOnHost(int hostIndex, const QString& pathAndQuery) const {
    if (hostIndex < 0 || hostIndex >= int(m_ports.size()))
        return {};
    return QStringLiteral("http://127.0.0.%1:%2").arg(hostIndex + 1).arg(m_ports[std::size_t(hostIndex)]) +
           pathAndQuery;
}

QString TestHttpServer::refusedUrl() {
    // Bound but never listening, and kept for the whole process: no one else can take the port meanwhile.
    static const quint16 port = [] {
        const int fd = loopbackSocket();
        return fd < 0 ? quint16(1) : localPort(fd);
    }();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

QByteArray TestHttpServer::pageBody(qint64 size, quint32 seed) {
    QByteArray body(qsizetype(size), Qt::Uninitialized);
    PageGenerator(seed).fill(body.data(), body.size());
    return body;
}

void TestHttpServer::noteAnswering(int hostIndex, int delta) {
    std::lock_guard lock(m_mutex);
    m_answering += delta;
    m_maxConcurrent = std::max(m_maxConcurrent, m_answering);
    m_hostAnswering[hostIndex] += delta;
    m_hostMaxConcurrent[hostIndex] = std::max(m_hostMaxConcurrent[hostIndex], m_hostAnswering[hostIndex]);
}

TestHttpServer::Response TestHttpServer::respond(const QByteArray& target) {
    using Tail = Response::Tail;
    const qsizetype q = target.indexOf('?');
    const QString path = QString::fromLatin1(target.left(q < 0 ? target.size() : q));
    const QUrlQuery query(q < 0 ? QString() : QString::fromLatin1(target.mid(q + 1)));
    const auto number = [&](const char* key, qint64 fallback) {
        bool ok = false;
        const qint64 v = query.queryItemValue(QString::fromLatin1(key)).toLongLong(&ok);
        return ok ? std::max<qint64>(0, v) : fallback;
    };

    QByteArray fixedBody;
    int changing = 0;
    {
        std::lock_guard lock(m_mutex);
        ++m_hits[path];
        if (m_pages.contains(path))
            return {withBody(m_pages.value(path))};
        fixedBody = m_pages.value(QStringLiteral("/fixed"));
        changing = ++m_changingCount;
    }

    const QByteArray chunked = "Transfer-Encoding: chunked\r\n";
    static const QByteArray endlessChunk =
        QByteArray::number(kChunk, 16) + "\r\n" + QByteArray(kChunk, 'e') + "\r\n";
    if (path == u"/changing")
        return {withBody("<html><body>changing page, version " + QByteArray::number(changing) + "</body></html>")};
    if (path == u"/slow")
        return {withBody("slow page"), int(number("ms", 1000))};
    if (path == u"/trickle")
        return {head(1000000000), 0, Tail::Trickle};
    if (path == u"/endless")
        return {head(-1, chunked), 0, Tail::Endless, 0, 0, endlessChunk};
    if (path == u"/gzipbomb") {
        // A gzip header (ten bytes) and a block that unpacks to a mebibyte of zeros, then that block forever.
        static const QByteArray start = gzip(QByteArray(1 << 20, '\0'), Z_FULL_FLUSH);
        Response r{head(-1, "Content-Encoding: gzip\r\nConnection: close\r\n") + start, 0, Tail::Endless};
        r.repeat = start.mid(10).repeated(64);
        return r;
    }
    if (path == u"/hugeheader")
        return {withBody("page", "X-Huge: " + QByteArray(1 << 20, 'h') + "\r\n")};
    if (path == u"/http09")
        return {"no status line, no header: an HTTP/0.9 answer\n", 0, Tail::Close};
    if (path == u"/reset")
        return {head(10000) + QByteArray(500, 'r'), 0, Tail::Reset};
    if (path == u"/short")
        return {head(1000) + QByteArray(500, 's'), 0, Tail::Close};
    if (path == u"/gzip")
        return {withBody(gzip(fixedBody), "Content-Encoding: gzip\r\n")};
    if (path == u"/badgzip")
        return {withBody("this is not gzip data at all", "Content-Encoding: gzip\r\n")};
    if (path == u"/loop" || path == u"/redirect") {
        const QString to =
            path == u"/loop" ? path : query.queryItemValue(QStringLiteral("to"), QUrl::FullyEncoded);
        return {head(0, "Location: " + to.toLatin1() + "\r\n", "302 Found")};
    }
    if (path == u"/badchunk")
        return {head(-1, chunked) + "5\r\nhello\r\nZZ\r\nxx\r\n0\r\n\r\n", 0, Tail::Close};
    if (path == u"/page") {
        const qint64 size = number("size", 1000);
        return {head(size), int(number("delay_ms", 0)), Tail::Generated, size, quint32(number("seed", 1))};
    }
    return {head(notFoundBody().size(), {}, "404 Not Found") + notFoundBody()};
}

void TestHttpServer::run() {
    using Tail = Response::Tail;
    std::vector<std::unique_ptr<Connection>> conns;

    const auto finishAnswer = [this](Connection& c) {
        if (c.answering)
            noteAnswering(c.host, -1);
        c.answering = false;
    };
    const auto startAnswer = [&](Connection& c) {
        const qsizetype end = c.in.indexOf("\r\n\r\n");
        if (c.answering || end < 0)
            return;
        const QList<QByteArray> lines = c.in.left(end).split('\n');
        c.in.remove(0, end + 4);
        for (const QByteArray& line : lines) {
            const QByteArray lower = line.trimmed().toLower();
            if (lower.startsWith("user-agent:"))
                locked([&] { m_lastUserAgent = line.trimmed().mid(11).trimmed(); });
            c.clientWantsClose |= lower == "connection: close";
        }
        c.r = respond(lines.value(0).trimmed().split(' ').value(1));
        c.answering = true;
        noteAnswering(c.host, +1);
        c.out = c.r.data;
        c.outPos = 0;
        c.readyAt = Clock::now() + std::chrono::milliseconds(std::max(0, c.r.delayMs));
        c.generator = PageGenerator(c.r.seed);
    };
    // Sends what is due; returns when the socket is full, a wait is due, or the answer is done.
    const auto pump = [&](Connection& c) {
        while (c.answering && !c.dead && Clock::now() >= c.readyAt) {
            if (c.outPos < c.out.size()) {
                const ssize_t n =
                    send(c.fd, c.out.constData() + c.outPos, size_t(c.out.size() - c.outPos), MSG_NOSIGNAL);
                if (n < 0) {
                    c.dead = !wouldBlock();
                    return;
                }
                c.outPos += n;
                continue;
            }
            c.outPos = 0;
            c.out.clear();
            switch (c.r.tail) {
            case Tail::KeepAlive:
                finishAnswer(c);
                c.dead = c.clientWantsClose;
                if (!c.dead)
                    startAnswer(c);
                break;
            case Tail::Reset: {
                const linger hard{1, 0};
                setsockopt(c.fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                c.dead = true;
                break;
            }
            case Tail::Close:
                c.dead = true;
                break;
            case Tail::Trickle:
                c.out = "t";
                c.readyAt = Clock::now() + kTrickleStep;
                break;
            case Tail::Endless:
                c.out = c.r.repeat;
                break;
            case Tail::Generated:
                if (c.r.generatedSize == 0)
                    c.r.tail = Tail::KeepAlive;
                c.out.resize(std::min(kChunk, qsizetype(c.r.generatedSize)));
                c.generator.fill(c.out.data(), c.out.size());
                c.r.generatedSize -= c.out.size();
                break;
            }
        }
    };

    std::vector<pollfd> fds;
    while (!m_stop) {
        int timeoutMs = -1;
        const auto now = Clock::now();
        fds.assign(1, {m_wakeFds[0], POLLIN, 0});
        for (int fd : m_listenFds)
            fds.push_back({fd, POLLIN, 0});
        for (const auto& c : conns) {
            short events = POLLIN;
            if (c->answering && now < c->readyAt) {
                const int wait = int(std::chrono::ceil<std::chrono::milliseconds>(c->readyAt - now).count());
                timeoutMs = timeoutMs < 0 ? wait : std::min(timeoutMs, wait);
            } else if (c->answering && c->outPos < c->out.size()) {
                events |= POLLOUT;
            }
            fds.push_back({c->fd, events, 0});
        }
        if (poll(fds.data(), nfds_t(fds.size()), timeoutMs) < 0 && errno != EINTR)
            break;

        const std::size_t firstConn = 1 + m_listenFds.size();
        for (std::size_t i = 0; i < conns.size(); ++i) {
            Connection& c = *conns[i];
            char buf[16384];
            ssize_t n = 0;
            if (fds[firstConn + i].revents & (POLLIN | POLLHUP | POLLERR)) {
                while ((n = recv(c.fd, buf, sizeof buf, 0)) > 0)
                    c.in.append(buf, n);
                c.dead = n == 0 || !wouldBlock();
            }
        }
        for (std::size_t h = 0; h < m_listenFds.size(); ++h) {
            int fd = -1;
            while ((fds[1 + h].revents & POLLIN) &&
                   (fd = accept4(m_listenFds[h], nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0) {
                const int one = 1;
                setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                auto& c = conns.emplace_back(std::make_unique<Connection>());
                c->fd = fd;
                c->host = int(h);
            }
        }
        for (auto& c : conns) {
            if (!c->dead) {
                startAnswer(*c);
                pump(*c);
            }
        }
        std::erase_if(conns, [&](const std::unique_ptr<Connection>& c) {
            if (c->dead) {
                finishAnswer(*c);
                close(c->fd);
            }
            return c->dead;
        });
    }
    for (auto& c : conns) {
        finishAnswer(*c);
        close(c->fd);
    }
}
