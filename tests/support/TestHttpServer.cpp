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
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

constexpr qsizetype kChunk = 64 * 1024;
constexpr auto kTrickleStep = std::chrono::milliseconds(500);

QByteArray gzip(const QByteArray& data) {
    z_stream s{};
    // windowBits 31: a gzip wrapper rather than raw zlib.
    if (deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&s, uLong(data.size()))) + 32, Qt::Uninitialized);
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    s.avail_in = uInt(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    deflate(&s, Z_FINISH);
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

QByteArray head(int status, const char* reason, qint64 contentLength, const QByteArray& extra = {}) {
    QByteArray h = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    if (contentLength >= 0)
        h += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    h += extra;
    h += "\r\n";
    return h;
}

QByteArray redirect(const QByteArray& location) {
    return head(302, "Found", 0, "Location: " + location + "\r\n");
}

void setNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

quint16 localPort(int fd) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

constexpr int kMaxHosts = 254;

// 127.0.0.1 for host 0, 127.0.0.2 for host 1, and so on.
quint32 hostAddress(int hostIndex) {
    return INADDR_LOOPBACK + quint32(hostIndex);
}

int loopbackSocket(int hostIndex = 0) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(hostAddress(hostIndex));
    addr.sin_port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

struct TestHttpServer::Response {
    enum class Tail { KeepAlive, Close, Reset, Trickle, Endless, Generated };
    QByteArray data;
    int delayMs = 0;
    Tail tail = Tail::KeepAlive;
    qint64 generatedSize = 0;
    quint32 seed = 0;
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
    Response::Tail tail = Response::Tail::KeepAlive;
    qint64 remaining = 0;
    PageGenerator generator{0};
};

TestHttpServer::TestHttpServer(int hosts) {
    m_pages.insert(QStringLiteral("/fixed"), QByteArray("<html><body>Quovel test page: fixed.</body></html>\n"));
    if (hosts < 1 || hosts > kMaxHosts)
        return;
    std::vector<Listener> listeners;
    const auto closeAll = [&listeners] {
        for (const Listener& l : listeners)
            close(l.fd);
    };
    for (int i = 0; i < hosts; ++i) {
        const int fd = loopbackSocket(i);
        if (fd < 0 || listen(fd, 256) != 0) {
            if (fd >= 0)
                close(fd);
            closeAll();
            return;
        }
        setNonBlocking(fd);
        listeners.push_back({fd, localPort(fd)});
    }
    if (pipe2(m_wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_wakeFds[0] = m_wakeFds[1] = -1;
        closeAll();
        return;
    }
    m_listeners = std::move(listeners);
    m_hostAnswering.assign(std::size_t(hosts), 0);
    m_hostMaxConcurrent.assign(std::size_t(hosts), 0);
    m_thread = std::thread([this] { run(); });
}

TestHttpServer::~TestHttpServer() {
    if (m_thread.joinable()) {
        m_stop = true;
        const char c = 'x';
        [[maybe_unused]] const auto written = write(m_wakeFds[1], &c, 1);
        m_thread.join();
    }
    for (const Listener& l : m_listeners)
        close(l.fd);
    for (int fd : m_wakeFds)
        if (fd >= 0)
            close(fd);
}

QString TestHttpServer::urlOnHost(int hostIndex, const QString& pathAndQuery) const {
    if (hostIndex < 0 || hostIndex >= hostCount())
        return {};
    return QStringLiteral("http://127.0.0.%1:%2%3")
        .arg(hostIndex + 1)
        .arg(m_listeners[std::size_t(hostIndex)].port)
        .arg(pathAndQuery);
}

QString TestHttpServer::refusedUrl() {
    // Bound but never listening, and kept for the whole process: no one else can take the port meanwhile.
    static const quint16 port = [] {
        const int fd = loopbackSocket();
        return fd < 0 ? quint16(1) : localPort(fd);
    }();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

int TestHttpServer::hits(const QString& path) const {
    std::lock_guard lock(m_mutex);
    return m_hits.value(path);
}

int TestHttpServer::connections() const {
    std::lock_guard lock(m_mutex);
    return m_connections;
}

int TestHttpServer::maxConcurrent() const {
    std::lock_guard lock(m_mutex);
    return m_maxConcurrent;
}

int TestHttpServer::maxConcurrentOnHost(int hostIndex) const {
    std::lock_guard lock(m_mutex);
    return hostIndex >= 0 && hostIndex < int(m_hostMaxConcurrent.size())
               ? m_hostMaxConcurrent[std::size_t(hostIndex)]
               : 0;
}

QByteArray TestHttpServer::lastUserAgent() const {
    std::lock_guard lock(m_mutex);
    return m_lastUserAgent;
}

void TestHttpServer::setPage(const QString& path, const QByteArray& body) {
    std::lock_guard lock(m_mutex);
    m_pages.insert(path, body);
}

QByteArray TestHttpServer::page(const QString& path) const {
    std::lock_guard lock(m_mutex);
    return m_pages.value(path);
}

QByteArray TestHttpServer::pageBody(qint64 size, quint32 seed) {
    QByteArray body(qsizetype(size), Qt::Uninitialized);
    PageGenerator(seed).fill(body.data(), body.size());
    return body;
}

QByteArray TestHttpServer::notFoundBody() {
    return QByteArray("<html><body>404: nothing here.</body></html>\n");
}

void TestHttpServer::noteAnswering(int hostIndex, int delta) {
    std::lock_guard lock(m_mutex);
    m_answering += delta;
    m_maxConcurrent = std::max(m_maxConcurrent, m_answering);
    int& onHost = m_hostAnswering[std::size_t(hostIndex)];
    onHost += delta;
    int& peak = m_hostMaxConcurrent[std::size_t(hostIndex)];
    peak = std::max(peak, onHost);
}

TestHttpServer::Response TestHttpServer::respond(const QByteArray& target) {
    using Tail = Response::Tail;
    const qsizetype q = target.indexOf('?');
    const QString path = QString::fromLatin1(target.left(q < 0 ? target.size() : q));
    const QUrlQuery query(q < 0 ? QString() : QString::fromLatin1(target.mid(q + 1)));
    const auto number = [&](const char* key, qint64 fallback) {
        bool ok = false;
        const qint64 v = query.queryItemValue(QString::fromLatin1(key)).toLongLong(&ok);
        return ok ? v : fallback;
    };

    QByteArray fixedBody;
    int changing = 0;
    {
        std::lock_guard lock(m_mutex);
        ++m_hits[path];
        if (m_pages.contains(path)) {
            const QByteArray body = m_pages.value(path);
            return {head(200, "OK", body.size()) + body};
        }
        fixedBody = m_pages.value(QStringLiteral("/fixed"));
        changing = ++m_changingCount;
    }

    if (path == u"/changing") {
        const QByteArray body =
            "<html><body>changing page, version " + QByteArray::number(changing) + "</body></html>";
        return {head(200, "OK", body.size()) + body};
    }
    if (path == u"/slow") {
        const QByteArray body = "slow page";
        return {head(200, "OK", body.size()) + body, int(number("ms", 1000))};
    }
    if (path == u"/trickle")
        return {head(200, "OK", 1000000000), 0, Tail::Trickle};
    if (path == u"/endless")
        return {head(200, "OK", -1, "Transfer-Encoding: chunked\r\n"), 0, Tail::Endless};
    if (path == u"/reset")
        return {head(200, "OK", 10000) + QByteArray(500, 'r'), 0, Tail::Reset};
    if (path == u"/short")
        return {head(200, "OK", 1000) + QByteArray(500, 's'), 0, Tail::Close};
    if (path == u"/gzip") {
        const QByteArray body = gzip(fixedBody);
        return {head(200, "OK", body.size(), "Content-Encoding: gzip\r\n") + body};
    }
    if (path == u"/badgzip") {
        const QByteArray body = "this is not gzip data at all";
        return {head(200, "OK", body.size(), "Content-Encoding: gzip\r\n") + body};
    }
    if (path == u"/loop")
        return {redirect("/loop")};
    if (path == u"/tofile")
        return {redirect("file:///etc/passwd")};
    if (path == u"/redirect")
        return {redirect(query.queryItemValue(QStringLiteral("to"), QUrl::FullyEncoded).toLatin1())};
    if (path == u"/badchunk") {
        return {head(200, "OK", -1, "Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\nZZ\r\nxx\r\n0\r\n\r\n", 0,
                Tail::Close};
    }
    if (path == u"/page") {
        Response r{head(200, "OK", std::max<qint64>(0, number("size", 1000))), int(number("delay_ms", 0)),
                   Tail::Generated};
        r.generatedSize = std::max<qint64>(0, number("size", 1000));
        r.seed = quint32(number("seed", 1));
        return r;
    }
    const QByteArray body = notFoundBody();
    return {head(404, "Not Found", body.size()) + body};
}

void TestHttpServer::run() {
    using Tail = Response::Tail;
    static const QByteArray endlessChunk =
        QByteArray::number(kChunk, 16) + "\r\n" + QByteArray(kChunk, 'e') + "\r\n";
    std::vector<std::unique_ptr<Connection>> conns;

    const auto finishAnswer = [this](Connection& c) {
        if (c.answering) {
            c.answering = false;
            noteAnswering(c.host, -1);
        }
    };
    const auto startAnswer = [&](Connection& c) {
        const qsizetype end = c.in.indexOf("\r\n\r\n");
        if (c.answering || end < 0)
            return;
        const QByteArray request = c.in.left(end);
        c.in.remove(0, end + 4);
        const QList<QByteArray> lines = request.split('\n');
        const QList<QByteArray> words = lines.value(0).trimmed().split(' ');
        for (const QByteArray& line : lines) {
            const QByteArray lower = line.trimmed().toLower();
            if (lower.startsWith("user-agent:")) {
                std::lock_guard lock(m_mutex);
                m_lastUserAgent = line.trimmed().mid(11).trimmed();
            } else if (lower == "connection: close") {
                c.clientWantsClose = true;
            }
        }
        Response r = respond(words.value(1));
        c.answering = true;
        noteAnswering(c.host, +1);
        c.out = r.data;
        c.outPos = 0;
        c.readyAt = Clock::now() + std::chrono::milliseconds(std::max(0, r.delayMs));
        c.tail = r.tail;
        c.remaining = r.generatedSize;
        c.generator = PageGenerator(r.seed);
    };
    // Sends what is due; returns when the socket is full, a wait is due, or the answer is done.
    const auto pump = [&](Connection& c) {
        while (c.answering && !c.dead && Clock::now() >= c.readyAt) {
            if (c.outPos < c.out.size()) {
                const ssize_t n =
                    send(c.fd, c.out.constData() + c.outPos, size_t(c.out.size() - c.outPos), MSG_NOSIGNAL);
                if (n < 0) {
                    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                        c.dead = true;
                    return;
                }
                c.outPos += n;
                continue;
            }
            c.outPos = 0;
            c.out.clear();
            switch (c.tail) {
            case Tail::KeepAlive:
                finishAnswer(c);
                if (c.clientWantsClose)
                    c.dead = true;
                else
                    startAnswer(c);
                break;
            case Tail::Close:
                c.dead = true;
                break;
            case Tail::Reset: {
                const linger hard{1, 0};
                setsockopt(c.fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                c.dead = true;
                break;
            }
            case Tail::Trickle:
                c.out = "t";
                c.readyAt = Clock::now() + kTrickleStep;
                break;
            case Tail::Endless:
                c.out = endlessChunk;
                break;
            case Tail::Generated:
                if (c.remaining == 0) {
                    c.tail = Tail::KeepAlive;
                } else {
                    c.out.resize(std::min(kChunk, qsizetype(c.remaining)));
                    c.generator.fill(c.out.data(), c.out.size());
                    c.remaining -= c.out.size();
                }
                break;
            }
        }
    };

    std::vector<pollfd> fds;
    while (!m_stop) {
        int timeoutMs = -1;
        const auto now = Clock::now();
        fds.clear();
        fds.push_back({m_wakeFds[0], POLLIN, 0});
        for (const Listener& l : m_listeners)
            fds.push_back({l.fd, POLLIN, 0});
        for (const auto& c : conns) {
            short events = POLLIN;
            if (c->answering && now < c->readyAt) {
                const auto wait = std::chrono::ceil<std::chrono::milliseconds>(c->readyAt - now).count();
                timeoutMs = timeoutMs < 0 ? int(wait) : std::min(timeoutMs, int(wait));
            } else if (c->answering && c->outPos < c->out.size()) {
                events |= POLLOUT;
            }
            fds.push_back({c->fd, events, 0});
        }
        if (poll(fds.data(), nfds_t(fds.size()), timeoutMs) < 0 && errno != EINTR)
            break;

        const std::size_t firstConn = 1 + m_listeners.size();
        for (std::size_t i = 0; i < conns.size(); ++i) {
            Connection& c = *conns[i];
            if (!(fds[firstConn + i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[16384];
            for (;;) {
                const ssize_t n = recv(c.fd, buf, sizeof buf, 0);
                if (n > 0) {
                    c.in.append(buf, n);
                    continue;
                }
                if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
                    c.dead = true;
                break;
            }
        }
        for (std::size_t h = 0; h < m_listeners.size(); ++h) {
            if (!(fds[1 + h].revents & POLLIN))
                continue;
            for (;;) {
                const int fd = accept4(m_listeners[h].fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (fd < 0)
                    break;
                const int one = 1;
                setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                auto c = std::make_unique<Connection>();
                c->fd = fd;
                c->host = int(h);
                conns.push_back(std::move(c));
                std::lock_guard lock(m_mutex);
                ++m_connections;
            }
        }
        for (auto& c : conns) {
            if (!c->dead) {
                startAnswer(*c);
                pump(*c);
            }
        }
        std::erase_if(conns, [&](const std::unique_ptr<Connection>& c) {
            if (!c->dead)
                return false;
            finishAnswer(*c);
            close(c->fd);
            return true;
        });
    }
    for (auto& c : conns) {
        finishAnswer(*c);
        close(c->fd);
    }
}
