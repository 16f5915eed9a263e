#pragma once

#include "core/Outcome.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// Error numbers of the page fetcher. The first two are the ones the check run knows by number.
namespace FetchError {
constexpr int kTimeout = 35761;        // the whole request took longer than the timeout
constexpr int kStillExecuting = 35764; // kept for its number; the fetcher never reports it
constexpr int kUrlTooLong = 35769;     // longer than kMaxUrlLength: kept in the list, never fetched
constexpr int kBadUrl = 35770;         // not an http or https address, or not a valid one
constexpr int kHostNotFound = 35771;
constexpr int kConnectionRefused = 35772; // could not connect
constexpr int kTlsFailure = 35773;
constexpr int kTooManyRedirects = 35774;
constexpr int kBrokenTransfer = 35775; // reset, fewer bytes than announced, broken chunking or encoding
constexpr int kProxyFailure = 35776;
constexpr int kBadReply = 35777; // not HTTP, or a header line too long
constexpr int kInternal = 35778; // the fetcher could not start a transfer: not about one page
constexpr int kOther = 35779;
constexpr int kHttpStatus = 35781; // the server answered 400 or more, or a redirect that leads nowhere
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
    QByteArray contentType; // as the server named it, when the body was kept
};

// What a request keeps of the body besides its fingerprint: nothing, unless asked.
struct BodyRequest {
    qint64 maxBytes = 0; // a body up to this size is kept; 0 keeps none
    // When set, the body is kept only if its fingerprint differs from this one: an unchanged page costs no
    // more than its fingerprint.
    std::optional<qint32> unlessFingerprint;
};
Q_DECLARE_METATYPE(FetchResult)

// Fetches pages over http and https with libcurl, several at once, off the user-interface thread.
// Each body is fingerprinted as it streams in and never held whole.
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

    // Starts fetching url; returns the request's id. finished() reports it later, never from inside fetch().
    quint64 fetch(const QString& url, const BodyRequest& body = {});
    // Abandons every request in progress; they report nothing. Harmless when none is in progress.
    void cancel();
    int inFlight() const;

signals:
    void finished(const FetchResult& result);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
