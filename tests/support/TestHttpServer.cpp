#include "TestHttpServer.h"

#include <QUrlQuery>

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// windowBits 31: a gzip wrapper rather than raw zlib. flush Z_FULL_FLUSH leaves the stream open: what follows
// may be repeated, as it refers to nothing earlier.
QByteArray gzip(const QByteArray& data, int flush = Z_FINISH) {
    z_stream s{};
    deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
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

// A response head; a negative contentLength sends no Content-Length. With a body, its length is sent.
QByteArray head(qint64 contentLength, const QByteArray& extra = {}, const char* status = "200 OK") {
    QByteArray h = "HTTP/1.1 " + QByteArray(status) + "\r\n" + extra;
    if (contentLength >= 0)
        h += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    return h + "\r\n";
}
QByteArray withBody(const QByteArray& body, const QByteArray& extra = {}, const char* status = "200 OK") {
    return head(body.size(), extra, status) + body;
}

// A socket bound to 127.0.0.1 for host 0, 127.0.0.2 for host 1, and so on, and its port; -1 on failure.
int loopbackSocket(int hostIndex, quint16& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK + quint32(hostIndex));
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(fd);
        return -1;
    }
    port = ntohs(addr.sin_port);
    return fd;
}

// A blocking call, made again when a signal interrupted it.
template <typename F> auto retried(F f) {
    auto r = f();
    while (r < 0 && errno == EINTR)
        r = f();
    return r;
}

bool sendAll(int fd, const QByteArray& bytes) {
    QByteArrayView data(bytes);
    for (ssize_t n = 0; !data.isEmpty(); data = data.sliced(n))
        if ((n = retried([&] { return send(fd, data.data(), size_t(data.size()), MSG_NOSIGNAL); })) <= 0)
            return false;
    return true;
}

// The deterministic text of /page, made piece by piece from state, so that a large page costs the server no
// memory.
quint32 fillPage(quint32 state, char* out, qsizetype n) {
    for (char* end = out + n; out != end; ++out) {
        state = state * 1664525u + 1013904223u;
        *out = char('a' + (state >> 24) % 26);
    }
    return state;
}

} // namespace

TestHttpServer::TestHttpServer(int hosts) {
    // Requests to it never go through a proxy the machine may have configured (nor do those of child processes).
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
        qunsetenv(name);
    m_pages.insert(QStringLiteral("/fixed"), QByteArray("<html><body>Quovel test page: fixed.</body></html>\n"));
    for (int i = 0; i < hosts && i < 254; ++i) {
        quint16 port = 0;
        const int fd = loopbackSocket(i, port);
        if (fd >= 0)
            m_listenFds.push_back(fd);
        if (fd < 0 || listen(fd, 256) != 0)
            break;
        m_ports.push_back(port);
    }
    if (hosts < 1 || int(m_ports.size()) != hosts) {
        m_ports.clear(); // not listening; the destructor closes what was opened
        return;
    }
    m_answering.fill({0, 0}, hosts + 1);
    m_threads = hosts;
    for (int h = 0; h < hosts; ++h)
        std::thread([this, h, listener = m_listenFds[std::size_t(h)]] {
            for (int fd; (fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0 || errno != EINVAL;) {
                if (fd < 0)
                    continue; // a client that left before being accepted, or a signal: only a shutdown ends this
                const int one = 1;
                setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                const std::lock_guard lock(m_mutex);
                m_open << fd, ++m_threads;
                if (m_stop) // accepted as the server stops: it is past the destructor's shutdown
                    shutdown(fd, SHUT_RDWR);
                std::thread([this, fd, h] { serve(fd, h); }).detach();
            }
            const std::lock_guard lock(m_mutex);
            --m_threads, m_changed.notify_all();
        }).detach();
}

TestHttpServer::~TestHttpServer() {
    std::unique_lock lock(m_mutex);
    m_stop = true;
    // Wakes every thread blocked on a socket or waiting to answer, and waits until they have all ended.
    for (int fd : m_listenFds)
        shutdown(fd, SHUT_RDWR);
    for (int fd : std::as_const(m_open))
        shutdown(fd, SHUT_RDWR);
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_threads == 0; });
    for (int fd : m_listenFds)
        close(fd);
}

QString TestHttpServer::refusedUrl() {
    // Bound but never listening, and kept for the whole process: no one else can take the port meanwhile.
    static const quint16 port = [] {
        quint16 p = 1;
        loopbackSocket(0, p);
        return p;
    }();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

QByteArray TestHttpServer::pageBody(qint64 size, quint32 seed) {
    QByteArray body(qsizetype(size), Qt::Uninitialized);
    fillPage(seed * 2654435761u + 1u, body.data(), body.size());
    return body;
}

bool TestHttpServer::pause(int ms) {
    std::unique_lock lock(m_mutex);
    return !m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stop; });
}

void TestHttpServer::note(int host, int delta) {
    const std::lock_guard lock(m_mutex);
    for (auto* n : {&m_answering[0], &m_answering[host + 1]})
        n->second = std::max(n->second, n->first += delta);
}

// Answers one request; false when the connection is to end.
bool TestHttpServer::answer(int fd, const QByteArray& target, const QList<QByteArray>& headers) {
    const QUrl url = QUrl::fromEncoded(target);
    const QString path = url.path(QUrl::FullyEncoded);
    const auto number = [query = QUrlQuery(url)](const char* key, int fallback) {
        const QString v = query.queryItemValue(QString::fromLatin1(key), QUrl::FullyEncoded);
        return v.isEmpty() ? fallback : std::max(0, v.toInt());
    };
    // Sends start, then again and again every everyMs until the client leaves.
    const auto endless = [&](const QByteArray& start, const QByteArray& again, int everyMs = 0) {
        for (bool sent = sendAll(fd, start); sent;)
            sent = pause(everyMs) && sendAll(fd, again);
        return false;
    };
    std::unique_lock lock(m_mutex);
    ++m_hits[path];
    m_headers[path] = headers;
    m_arrivals[path].append(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    // The latest arrivals only: a soak of thousands of runs must not grow the server.
    if (QList<qint64>& times = m_arrivals[path]; times.size() > kArrivalsKept)
        times.remove(0, times.size() - kArrivalsKept);
    const bool known = m_pages.contains(path);
    const QByteArray body = m_pages.value(known ? path : u"/fixed"_qs);
    const bool lying = m_lying;
    lock.unlock();
    if (known) {
        const QByteArray etag = '"' + QByteArray::number(qHash(body)) + '"';
        const auto asked = std::find_if(headers.cbegin(), headers.cend(), [](const QByteArray& h) {
            return h.toLower().startsWith("if-none-match:");
        });
        const QByteArray reply = asked != headers.cend() && (lying || asked->mid(14).trimmed() == etag)
                                     ? head(-1, "ETag: " + etag + "\r\n", "304 Not Modified")
                                     : withBody(body, "ETag: " + etag + "\r\n");
        lock.lock();
        m_bytesSent += reply.size();
        lock.unlock();
        return sendAll(fd, reply);
    }
    if (path == u"/slow")
        return pause(number("ms", 1000)) && sendAll(fd, withBody("slow page"));
    if (path == u"/page") {
        QByteArray piece(64 * 1024, Qt::Uninitialized);
        quint32 state = quint32(number("seed", 1)) * 2654435761u + 1u;
        qint64 left = number("size", 1000);
        for (bool sent = pause(number("delay_ms", 0)) && sendAll(fd, head(left)); sent; left -= piece.size()) {
            if (left == 0)
                return true;
            piece.resize(qsizetype(std::min<qint64>(left, piece.size())));
            state = fillPage(state, piece.data(), piece.size());
            sent = sendAll(fd, piece);
        }
        return false;
    }
    const QByteArray chunked = "Transfer-Encoding: chunked\r\n", gzipped = "Content-Encoding: gzip\r\n";
    // A gzip header (ten bytes) and a block that unpacks to a mebibyte of zeros, then that block forever.
    static const QByteArray bomb = gzip(QByteArray(1 << 20, '\0'), Z_FULL_FLUSH);
    if (path == u"/gzipbomb")
        return endless(head(-1, gzipped) + bomb, bomb.mid(10).repeated(64));
    if (path == u"/endless")
        return endless(head(-1, chunked), "10000\r\n" + QByteArray(0x10000, 'e') + "\r\n");
    if (path == u"/trickle")
        return endless(head(1000000000), "t", 500);
    if (path == u"/reset") { // the body stops halfway and the connection is torn down
        const linger hard{1, 0};
        sendAll(fd, head(1000) + QByteArray(500, 'r'));
        return setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard), false;
    }
    // Answers after which the connection closes: a body that stops halfway, a bad chunk, no head at all.
    static const QHash<QString, QByteArray> closing = {
        {u"/short"_qs, head(1000) + QByteArray(500, 's')},
        {u"/badchunk"_qs, head(-1, chunked) + "5\r\nhello\r\nZZ\r\nxx\r\n0\r\n\r\n"},
        {u"/http09"_qs, "no status line, no header: an HTTP/0.9 answer\n"}};
    if (closing.contains(path))
        return sendAll(fd, closing.value(path)), false;
    static const QHash<QString, QByteArray> replies = {
        {u"/hugeheader"_qs, withBody("page", "X-Huge: " + QByteArray(1 << 20, 'h') + "\r\n")},
        {u"/badgzip"_qs, withBody("this is not gzip data at all", gzipped)},
        {u"/loop"_qs, head(0, "Location: /loop\r\n", "302 Found")}};
    if (path == u"/gzip")
        return sendAll(fd, withBody(gzip(body), gzipped));
    if (path == u"/status") { // an answer with this status and a small page; no Location for a 3xx
        const QByteArray status = QByteArray::number(number("code", 500)) + " Phrase of the server";
        const QString retry = QUrlQuery(url).queryItemValue(u"retry_after"_qs, QUrl::FullyDecoded);
        const QByteArray extra = retry.isEmpty() ? QByteArray() : "Retry-After: " + retry.toLatin1() + "\r\n";
        return sendAll(fd, withBody("a page of status " + status, extra, status.constData()));
    }
    if (path == u"/redirect") {
        const QString to = QUrlQuery(url).queryItemValue(u"to"_qs, QUrl::FullyEncoded);
        return sendAll(fd, head(0, "Location: " + to.toLatin1() + "\r\n", "302 Found"));
    }
    return sendAll(fd, replies.value(path, withBody(notFoundBody(), {}, "404 Not Found")));
}

void TestHttpServer::serve(int fd, int host) {
    QByteArray in;
    for (bool open = true; open;) {
        qsizetype end = -1;
        char buf[4096];
        for (ssize_t n = 0; (end = in.indexOf("\r\n\r\n")) < 0 &&
                            (n = retried([&] { return recv(fd, buf, sizeof buf, 0); })) > 0;)
            in.append(buf, n);
        if (end < 0)
            break;
        const QList<QByteArray> lines = in.left(end).split('\n');
        in.remove(0, end + 4);
        for (const QByteArray& line : lines) {
            const QByteArray lower = line.trimmed().toLower();
            if (lower.startsWith("user-agent:")) {
                const std::lock_guard lock(m_mutex);
                m_lastUserAgent = line.trimmed().mid(11).trimmed();
            }
            open = open && lower != "connection: close";
        }
        note(host, +1);
        QList<QByteArray> headers;
        for (const QByteArray& line : lines.mid(1))
            headers.append(line.trimmed());
        open = answer(fd, lines.value(0).trimmed().split(' ').value(1), headers) && open;
        note(host, -1);
    }
    const std::lock_guard lock(m_mutex);
    m_open.removeOne(fd), close(fd);
    --m_threads, m_changed.notify_all();
}
