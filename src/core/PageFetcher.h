#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// Error numbers of the page fetcher. The first two are the ones the check run knows by number.
namespace FetchError {
constexpr int kTimeout = 35761;    // the whole request took longer than the timeout
constexpr int kUrlTooLong = 35769; // longer than kMaxUrlLength: kept in the list, never fetched
constexpr int kBadUrl = 35770;     // not an http or https address, or not a valid one
constexpr int kHostNotFound = 35771;
constexpr int kConnectionRefused = 35772; // could not connect
constexpr int kTlsFailure = 35773;
constexpr int kTooManyRedirects = 35774;
constexpr int kBrokenTransfer = 35775; // reset, fewer bytes than announced, broken chunking or encoding
constexpr int kProxyFailure = 35776;
constexpr int kBadReply = 35777; // not HTTP, or a header line too long
constexpr int kInternal = 35778; // the fetcher could not start a transfer: not about one page
constexpr int kOther = 35779;
constexpr int kHttpStatus = 35781;    // the server answered 400 or more, or a redirect that leads nowhere
constexpr int kRetryLater = 35782;    // the server asked not to be asked again before a time yet to come
constexpr int kSecretMissing = 35783; // the site's secret headers are not in this user's settings
} // namespace FetchError

// Longer addresses are not fetched: no server takes them, and parsing one costs as much as the whole list.
inline constexpr qsizetype kMaxUrlLength = 64 * 1024;

// What one fetch ended with: the page's fingerprint, or an error number and a description.
struct FetchResult {
    quint64 requestId = 0;
    Outcome outcome = Outcome::failure(FetchError::kInternal, {}); // nothing fetched yet is no success
    qint32 fingerprint = 0;
    qint64 bytes = 0; // received, also when the fetch failed
    // The body itself, when the request asked for it and it came whole within its cap.
    bool bodyKept = false;
    bool bodyTooLarge = false; // asked for, but larger than the cap: dropped as it streamed past it
    QByteArray body;
    QByteArray contentType;        // as the server named it, when the body was kept
    bool notModified = false;      // a conditional request answered 304: no body, the page is as it was
    QByteArray etag, lastModified; // the validators of a full answer, as sent
    qint64 retryAfterSeconds = -1; // a 429 or 503 said when to ask again: this many seconds from now
    qint64 wireBytes = 0;          // heads and bodies as they came over the network, every hop
};

// What a request keeps of the body besides its fingerprint: nothing, unless asked.
struct BodyRequest {
    qint64 maxBytes = 0; // a body up to this size is kept; 0 keeps none
    // When set, the body is kept only if its fingerprint differs from this one: an unchanged page costs no
    // more than its fingerprint.
    std::optional<qint32> unlessFingerprint;
};
Q_DECLARE_METATYPE(FetchResult)

// One page to fetch and what to say when asking for it.
struct FetchRequest {
    FetchRequest(QString address = {}, BodyRequest keep = {})
        : url(std::move(address))
        , body(std::move(keep)) {}
    QString url;
    BodyRequest body;
    QByteArray etag, lastModified; // sent as If-None-Match and If-Modified-Since when set
    QList<QByteArray> headers;     // "Name: value" lines, sent to the page's own host only
    QByteArray userAgent;          // empty: the fetcher's own
    int hostDelayMs = -1;          // the least time between two requests to its host; -1: the fetcher's own
};

// How the fetcher speaks to every server.
struct NetworkOptions {
    enum class Proxy { None, System, Manual };
    QByteArray userAgent;        // empty: defaultUserAgent()
    int hostDelayMs = 0;         // the least time between two requests to one host, ±20 %
    Proxy proxy = Proxy::System; // System takes http_proxy, https_proxy and no_proxy as curl does
    QByteArray proxyAddress;     // host:port, for Manual
};

// The largest timeout a fetch takes, in seconds (a signed 16-bit number); a larger one is taken as this.
inline constexpr int kMaxTimeoutSeconds = 32767;

// Fetches pages over http and https with libcurl, several at once, off the user-interface thread.
// Each body is fingerprinted as it streams in and never held whole. The pace per host lives here, where every
// redirect is seen: a hop to another host waits for that host's room and delay like a first request does.
class PageFetcher : public QObject {
    Q_OBJECT
public:
    // timeoutSeconds: the deadline of each request until setTimeout() changes it.
    explicit PageFetcher(int timeoutSeconds, QObject* parent = nullptr);
    ~PageFetcher() override;

    // Deadline for a whole request, connection to last byte, at most kMaxTimeoutSeconds. Applies to requests
    // started afterwards.
    void setTimeout(int seconds);
    int timeout() const;

    // Applies to requests started afterwards.
    void setNetworkOptions(const NetworkOptions& options);

    // Starts fetching; returns the request's id. finished() reports it later, never from inside fetch().
    quint64 fetch(const FetchRequest& request);
    quint64 fetch(const QString& url, const BodyRequest& body = {}) { return fetch(FetchRequest(url, body)); }
    // Abandons every request in progress; they report nothing. Harmless when none is in progress.
    void cancel();
    int inFlight() const;

    // The host of a URL as the fetcher paces it: the same for every address of one server.
    static QString hostKey(const QString& url);
    // Milliseconds until a new request to this host may start (its pace, or a time the server asked for).
    qint64 msUntilReady(const QString& host) const;
    // At most this many requests to one host at once, redirects counted against the host they lead to.
    static constexpr int kPerHostCap = 6;

signals:
    void finished(const FetchResult& result);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
