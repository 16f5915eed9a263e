#include "core/FetchTransfer.h"

#include "core/FetchAddress.h"
#include "core/FetchErrors.h"
#include "core/Version.h"

#include <QList>

#include <algorithm>
#include <cstring>
#include <optional>

namespace page_fetch {

namespace {

constexpr char kAllowedProtocols[] = "http,https";

// Every head line of every answer, redirects included; a status line starts a new head.
size_t onHeader(char* data, size_t size, size_t count, void* userData) {
    auto* t = static_cast<Transfer*>(userData);
    const std::size_t n = size * count;
    const QByteArrayView line = QByteArrayView(data, qsizetype(n)).trimmed();
    const auto value = [&line](const char* name) {
        const qsizetype length = qsizetype(std::strlen(name));
        return line.size() > length && line.at(length) == ':' &&
                       line.first(length).compare(name, Qt::CaseInsensitive) == 0
                   ? line.sliced(length + 1).trimmed().toByteArray().left(1024)
                   : std::optional<QByteArray>();
    };
    if (line.startsWith("HTTP/")) {
        const QList<QByteArray> parts = line.toByteArray().split(' ');
        t->status = parts.value(1).toLong();
        t->statusPhrase = parts.mid(2).join(' ');
        t->etag.clear(), t->lastModified.clear(), t->retryAfter.clear();
    } else if (const auto etag = value("etag")) {
        t->etag = *etag;
    } else if (const auto lastModified = value("last-modified")) {
        t->lastModified = *lastModified;
    } else if (const auto retry = value("retry-after")) {
        t->retryAfter = *retry;
    }
    return n;
}

size_t onBody(char* data, size_t size, size_t count, void* userData) {
    auto* t = static_cast<Transfer*>(userData);
    // An error page is not the page: nothing of it is fingerprinted or downloaded further.
    if (t->status >= 400) {
        t->failedStatus = true;
        return 0;
    }
    // Nor is the short note of a redirect.
    if (t->status >= 300)
        return size * count;
    // curl checks its deadline between reads, but one read of a compressed page can unpack into gigabytes.
    if (SteadyClock::now() >= t->deadline) {
        t->overran = true;
        return 0;
    }
    const std::size_t n = size * count;
    t->crc.add(data, n);
    if (t->request.what.body.maxBytes > 0 && !t->bodyTooLarge) {
        if (t->body.size() + qint64(n) > t->request.what.body.maxBytes) {
            t->bodyTooLarge = true;
            t->body = QByteArray();
        } else {
            t->body.append(data, qsizetype(n));
        }
    }
    return n;
}

} // namespace

bool openHop(Transfer& t, const QByteArray& caFile, const QByteArray& caDir) {
    CURL* e = curl_easy_init();
    if (!e)
        return false;
    t.easy = e;
    const auto now = SteadyClock::now();
    if (!t.started)
        t.deadline = now + std::chrono::seconds(t.request.timeoutSeconds);
    t.started = true;
    const long timeoutMs =
        std::max(1L, long(std::chrono::duration_cast<std::chrono::milliseconds>(t.deadline - now).count()));
    const FetchRequest& what = t.request.what;
    const NetworkOptions& n = t.request.net;
    curl_easy_setopt(e, CURLOPT_URL, t.url.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    // Redirects are followed here, hop by hop, so that each is paced by the host it leads to.
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    // Over https, where HTTP/2 is offered, a page waits for the host's connection to share it rather than
    // open one more. Plain http has no HTTP/2 to wait for, and a slow first answer would hold up the others.
    if (t.url.startsWith("https:")) {
        curl_easy_setopt(e, CURLOPT_PIPEWAIT, 1L);
    }
    // A name lookup that never answers is left behind at the deadline: otherwise its resolver thread is
    // joined when the timed-out transfer is removed, and every other transfer stalls meanwhile.
#if CURL_AT_LEAST_VERSION(7, 87, 0)
    curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);
#endif
    if (!caFile.isEmpty())
        curl_easy_setopt(e, CURLOPT_CAINFO, caFile.constData());
    if (!caDir.isEmpty())
        curl_easy_setopt(e, CURLOPT_CAPATH, caDir.constData());
    // The proxy is chosen here rather than by curl, so that a failed connection can tell whose it was.
    const QByteArray proxy = n.proxy == NetworkOptions::Proxy::Manual   ? n.proxyAddress
                             : n.proxy == NetworkOptions::Proxy::System ? systemProxyFor(t.url)
                                                                        : QByteArray();
    t.viaProxy = !proxy.isEmpty();
    curl_easy_setopt(e, CURLOPT_PROXY, proxy.constData());
    curl_easy_setopt(e, CURLOPT_NOPROXY, "");
    // Empty: every encoding this libcurl decodes (gzip, deflate, br, zstd as built), so the fingerprint is
    // of the decoded page.
    curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
    const QByteArray& agent = !what.userAgent.isEmpty() ? what.userAgent : n.userAgent;
    curl_easy_setopt(e, CURLOPT_USERAGENT, agent.isEmpty() ? defaultUserAgent() : agent.constData());
    if (!what.etag.isEmpty())
        t.headerList = curl_slist_append(t.headerList, QByteArray("If-None-Match: " + what.etag).constData());
    if (!what.lastModified.isEmpty())
        t.headerList =
            curl_slist_append(t.headerList, QByteArray("If-Modified-Since: " + what.lastModified).constData());
    // The site's own headers, its secrets among them, never follow a redirect to another host.
    if (t.host == t.firstHost) {
        for (const QByteArray& line : what.headers)
            t.headerList = curl_slist_append(t.headerList, line.constData());
    }
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, t.headerList);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t.errorBuffer);
    curl_easy_setopt(e, CURLOPT_PRIVATE, &t);
    return true;
}

int errorNumberOf(const Transfer& t, CURLcode code) {
    if (t.overran)
        return FetchError::kTimeout;
    long status = 0;
    curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &status);
    // An answer without a status line (HTTP/0.9), not a refused redirect.
    if (code == CURLE_UNSUPPORTED_PROTOCOL && status == 0)
        return FetchError::kBadReply;
    // During a transfer this means a header line longer than curl takes, not a machine out of memory.
    if (code == CURLE_OUT_OF_MEMORY)
        return FetchError::kBadReply;
    // Through a proxy, the only connection curl makes is to the proxy.
    if (code == CURLE_COULDNT_CONNECT && t.viaProxy)
        return FetchError::kProxyFailure;
    return fetchErrorOf(code);
}

} // namespace page_fetch
