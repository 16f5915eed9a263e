#include "core/PageFetcher.h"

#include "core/FetchAddress.h"
#include "core/FetchErrors.h"
#include "core/FetchTransfer.h"
#include "core/HostPace.h"
#include "core/HttpText.h"

#include <curl/curl.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

using page_fetch::Request;
using page_fetch::SteadyClock;
using page_fetch::Transfer;

constexpr long kMaxRedirects = 10;
constexpr int kIdlePollMs = 10000;

bool initCurl() {
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

} // namespace

struct PageFetcher::Impl {
    PageFetcher* q;
    int timeoutSeconds = 1;
    NetworkOptions net;
    quint64 nextId = 1;
    int inFlight = 0; // owner thread only
    std::atomic<quint64> generation{0};
    HostPace pace{kPerHostCap};

    CURLM* multi = nullptr;
    std::thread worker;
    std::mutex mutex;
    std::deque<Request> queue; // guarded by mutex
    bool stop = false;         // guarded by mutex
    // A private CA or a company proxy's, where the user names one as for OpenSSL's own tools.
    const QByteArray caFile = qgetenv("SSL_CERT_FILE");
    const QByteArray caDir = qgetenv("SSL_CERT_DIR");

    explicit Impl(PageFetcher* owner)
        : q(owner) {
        if (!initCurl())
            return;
        multi = curl_multi_init();
        if (!multi)
            return;
        // The pace caps requests per host (HostPace): a request queued inside curl for a free connection would
        // use up its deadline waiting, and fail as a timeout without ever reaching the server.
        curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, 0L);
        // Pages of one host that offers HTTP/2 share one connection.
        curl_multi_setopt(multi, CURLMOPT_PIPELINING, long(CURLPIPE_MULTIPLEX));
        worker = std::thread([this] { run(); });
    }

    ~Impl() {
        if (worker.joinable()) {
            {
                std::lock_guard lock(mutex);
                stop = true;
            }
            curl_multi_wakeup(multi);
            worker.join();
        }
        if (multi)
            curl_multi_cleanup(multi);
    }

    // Runs on the owner's thread, later: never inside fetch(), and never for an abandoned request.
    void post(const FetchResult& result, quint64 resultGeneration) {
        QMetaObject::invokeMethod(
            q,
            [this, result, resultGeneration] {
                if (resultGeneration != generation.load())
                    return;
                --inFlight;
                emit q->finished(result);
            },
            Qt::QueuedConnection);
    }

    void postError(quint64 id, quint64 resultGeneration, int errorNumber, int timeout, const QString& detail = {},
                   qint64 bytes = 0) {
        FetchResult r;
        r.requestId = id;
        r.bytes = bytes;
        QString text = describeFetchError(errorNumber, timeout);
        if (!detail.isEmpty())
            text += QStringLiteral(" (") + detail + QLatin1Char(')');
        r.outcome = Outcome::failure(errorNumber, text);
        post(r, resultGeneration);
    }

    bool start(Transfer& t) {
        return page_fetch::openHop(t, caFile, caDir) && curl_multi_add_handle(multi, t.easy) == CURLM_OK;
    }

    int delayOf(const Transfer& t) const {
        return t.request.what.hostDelayMs >= 0 && t.host == t.firstHost ? t.request.what.hostDelayMs
                                                                        : t.request.net.hostDelayMs;
    }

    // Starts the waiting hops whose host has room and whose time has come; the milliseconds until the next
    // one's time, or kIdlePollMs.
    qint64 startReady(std::deque<std::unique_ptr<Transfer>>& pending,
                      std::unordered_map<CURL*, std::unique_ptr<Transfer>>& active) {
        qint64 sleepMs = kIdlePollMs;
        const quint64 current = generation.load();
        for (auto it = pending.begin(); it != pending.end();) {
            Transfer& t = **it;
            const auto now = SteadyClock::now();
            const auto discard = [&] {
                if (t.request.admitted)
                    pace.finished(t.host);
                return pending.erase(it);
            };
            if (t.request.generation != current) {
                it = discard();
                continue;
            }
            const qint64 waitMs = pace.waitMs(t.host, now);
            // A server that asked to be left alone past this request's deadline is not asked now.
            const std::optional<SteadyClock::time_point> heldOff = pace.heldOffUntil(t.host, now);
            if (heldOff &&
                *heldOff > (t.started ? t.deadline : now + std::chrono::seconds(t.request.timeoutSeconds))) {
                FetchResult r;
                r.requestId = t.request.id;
                r.wireBytes = t.wireBytes;
                r.retryAfterSeconds = std::chrono::ceil<std::chrono::seconds>(*heldOff - now).count();
                r.outcome = Outcome::failure(
                    FetchError::kRetryLater,
                    QCoreApplication::translate("PageFetcher",
                                                "Il server ha chiesto di non essere interrogato per %1 secondi.")
                        .arg(r.retryAfterSeconds));
                post(r, t.request.generation);
                it = discard();
                continue;
            }
            if (t.started && now >= t.deadline) {
                postError(t.request.id, t.request.generation, FetchError::kTimeout, t.request.timeoutSeconds);
                it = discard();
                continue;
            }
            const bool admitted = std::exchange(t.request.admitted, false);
            if (!admitted && (waitMs != 0 || !pace.tryStart(t.host, now, delayOf(t)))) {
                if (waitMs > 0)
                    sleepMs = std::min(sleepMs, waitMs);
                ++it;
                continue;
            }
            std::unique_ptr<Transfer> started = std::move(*it);
            it = pending.erase(it);
            if (!start(*started)) {
                pace.finished(started->host);
                postError(started->request.id, started->request.generation, FetchError::kInternal,
                          started->request.timeoutSeconds);
                continue;
            }
            CURL* e = started->easy;
            active.emplace(e, std::move(started));
        }
        return sleepMs;
    }

    void run() {
        std::unordered_map<CURL*, std::unique_ptr<Transfer>> active;
        std::deque<std::unique_ptr<Transfer>> pending;
        const auto drop = [&](CURL* e) {
            curl_multi_remove_handle(multi, e);
            pace.finished(active.at(e)->host);
            active.erase(e);
        };
        std::vector<Request> incoming;
        for (;;) {
            {
                std::lock_guard lock(mutex);
                if (stop)
                    break;
                incoming.assign(queue.begin(), queue.end());
                queue.clear();
            }
            const quint64 current = generation.load();
            std::vector<CURL*> abandoned;
            for (const auto& [e, t] : active)
                if (t->request.generation != current)
                    abandoned.push_back(e);
            for (CURL* e : abandoned)
                drop(e);
            for (Request& r : incoming) {
                if (r.generation != current) {
                    if (r.admitted)
                        pace.finished(hostKey(r.url));
                    continue;
                }
                auto t = std::make_unique<Transfer>();
                t->url = r.url;
                t->host = hostKey(r.url);
                t->firstHost = t->host;
                t->request = std::move(r);
                pending.push_back(std::move(t));
            }
            qint64 sleepMs = startReady(pending, active);
            bool ended = false;

            int running = 0;
            curl_multi_perform(multi, &running);
            int queued = 0;
            while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
                if (msg->msg != CURLMSG_DONE)
                    continue;
                const auto it = active.find(msg->easy_handle);
                if (it == active.end())
                    continue;
                const std::unique_ptr<Transfer> done = std::move(it->second);
                const CURLcode result = msg->data.result;
                curl_multi_remove_handle(multi, msg->easy_handle);
                pace.finished(done->host);
                active.erase(it);
                // A redirect: the same request, whose next hop waits for the host it leads to.
                if (std::unique_ptr<Transfer> hop = finish(*done, result))
                    pending.push_back(std::move(hop));
                ended = true;
            }
            if (ended) // a next hop, or room for a waiting one
                sleepMs = std::min(sleepMs, startReady(pending, active));
            curl_multi_poll(multi, nullptr, 0, int(sleepMs), nullptr);
        }
        for (const auto& [e, t] : active)
            curl_multi_remove_handle(multi, e);
    }

    static QString hostKey(const QByteArray& url) {
        CURLU* h = curl_url();
        char* host = nullptr;
        QString key;
        if (h &&
            curl_url_set(h, CURLUPART_URL, url.constData(), CURLU_ALLOW_SPACE | CURLU_URLENCODE) == CURLUE_OK &&
            curl_url_get(h, CURLUPART_HOST, &host, 0) == CURLUE_OK)
            key = QString::fromUtf8(host).toLower();
        while (key.endsWith(u'.'))
            key.chop(1);
        curl_free(host);
        curl_url_cleanup(h);
        return key;
    }

    // Reports the request's end; or, for a redirect to follow, gives back the transfer ready for its next hop.
    std::unique_ptr<Transfer> finish(Transfer& t, CURLcode code) {
        long status = 0;
        curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &status);
        curl_off_t body = 0;
        long head = 0;
        curl_easy_getinfo(t.easy, CURLINFO_SIZE_DOWNLOAD_T, &body);
        curl_easy_getinfo(t.easy, CURLINFO_HEADER_SIZE, &head);
        t.wireBytes += qint64(body) + head;
        const bool conditional = !t.request.what.etag.isEmpty() || !t.request.what.lastModified.isEmpty();
        FetchResult r;
        r.requestId = t.request.id;
        r.bytes = t.crc.size();
        r.wireBytes = t.wireBytes;
        if (code == CURLE_OK && status == 304 && conditional) {
            r.outcome = Outcome::success();
            r.notModified = true;
            post(r, t.request.generation);
            return nullptr;
        }
        const char* location = nullptr;
        if (code == CURLE_OK && status >= 300 && status < 400 &&
            curl_easy_getinfo(t.easy, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location) {
            CheckedUrl next = checkUrl(QString::fromUtf8(location));
            if (next.errorNumber != 0 || ++t.hops > kMaxRedirects) {
                postError(t.request.id, t.request.generation,
                          next.errorNumber != 0 ? next.errorNumber : FetchError::kTooManyRedirects,
                          t.request.timeoutSeconds, {}, r.bytes);
                return nullptr;
            }
            auto hop = std::make_unique<Transfer>();
            hop->request = t.request;
            hop->url = std::move(next.url);
            hop->host = hostKey(hop->url);
            hop->firstHost = t.firstHost;
            hop->hops = t.hops;
            hop->started = true;
            hop->deadline = t.deadline;
            hop->wireBytes = t.wireBytes;
            return hop;
        }
        // A redirect with no usable target, like an error page, is not the page.
        const bool deadEnd = code == CURLE_OK && status >= 300 && status < 400;
        if ((code == CURLE_OK || t.failedStatus) && (status >= 400 || deadEnd)) {
            QString text = httpStatusText(status, t.statusPhrase);
            if (deadEnd)
                text += QCoreApplication::translate("PageFetcher",
                                                    ": reindirizzamento senza una destinazione utilizzabile.");
            if (status == 429 || status == 503) {
                if (const auto seconds = retryAfterSeconds(t.retryAfter, QDateTime::currentDateTimeUtc())) {
                    r.retryAfterSeconds = *seconds;
                    pace.holdOff(t.host, SteadyClock::now() + std::chrono::seconds(*seconds));
                }
            }
            r.outcome = Outcome::failure(FetchError::kHttpStatus, text);
            post(r, t.request.generation);
            return nullptr;
        }
        if (code == CURLE_OK) {
            r.outcome = Outcome::success();
            r.fingerprint = t.crc.value();
            r.etag = t.etag;
            r.lastModified = t.lastModified;
            const BodyRequest& wanted = t.request.what.body;
            if (wanted.maxBytes > 0 && t.bodyTooLarge) {
                r.bodyTooLarge = true;
            } else if (wanted.maxBytes > 0 && wanted.unlessFingerprint != r.fingerprint) {
                r.bodyKept = true;
                r.body = std::move(t.body);
                const char* type = nullptr;
                if (curl_easy_getinfo(t.easy, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
                    r.contentType = QByteArray(type);
            }
            post(r, t.request.generation);
            return nullptr;
        }
        const QString detail = t.errorBuffer[0] ? QString::fromUtf8(t.errorBuffer).trimmed()
                                                : QString::fromUtf8(curl_easy_strerror(code));
        postError(t.request.id, t.request.generation, page_fetch::errorNumberOf(t, code), t.request.timeoutSeconds,
                  t.overran ? QString() : detail, t.crc.size());
        return nullptr;
    }
};

PageFetcher::PageFetcher(int timeoutSeconds, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Impl>(this)) {
    setTimeout(timeoutSeconds);
}

PageFetcher::~PageFetcher() = default;

void PageFetcher::setTimeout(int seconds) {
    // Zero would mean no deadline at all to curl, and a page that never ends would stall the run for good; a
    // deadline decades away would do the same.
    d->timeoutSeconds = std::clamp(seconds, 1, kMaxTimeoutSeconds);
}

int PageFetcher::timeout() const {
    return d->timeoutSeconds;
}

void PageFetcher::setNetworkOptions(const NetworkOptions& options) {
    d->net = options;
}

quint64 PageFetcher::fetch(const FetchRequest& request) {
    const quint64 id = d->nextId++;
    const quint64 generation = d->generation.load();
    ++d->inFlight;
    if (!d->worker.joinable()) {
        d->postError(id, generation, FetchError::kInternal, d->timeoutSeconds,
                     QCoreApplication::translate("PageFetcher", "libcurl non inizializzata"));
        return id;
    }
    CheckedUrl checked = checkUrl(request.url);
    if (checked.errorNumber != 0) {
        d->postError(id, generation, checked.errorNumber, d->timeoutSeconds);
        return id;
    }
    // The place is taken here, so that the run sees the host's pace at once, before the worker starts it.
    const QString host = Impl::hostKey(checked.url);
    const int delay = request.hostDelayMs >= 0 ? request.hostDelayMs : d->net.hostDelayMs;
    const bool admitted = d->pace.tryStart(host, std::chrono::steady_clock::now(), delay);
    {
        std::lock_guard lock(d->mutex);
        d->queue.push_back({id, generation, std::move(checked.url), d->timeoutSeconds, request, d->net, admitted});
    }
    curl_multi_wakeup(d->multi);
    return id;
}

void PageFetcher::cancel() {
    ++d->generation;
    d->inFlight = 0;
    {
        std::lock_guard lock(d->mutex);
        for (const Request& r : d->queue) {
            if (r.admitted)
                d->pace.finished(Impl::hostKey(r.url));
        }
        d->queue.clear();
    }
    if (d->multi)
        curl_multi_wakeup(d->multi);
}

int PageFetcher::inFlight() const {
    return d->inFlight;
}

QString PageFetcher::hostKey(const QString& url) {
    return Impl::hostKey(url.trimmed().toUtf8());
}

qint64 PageFetcher::msUntilReady(const QString& host) const {
    return d->pace.waitMs(host, std::chrono::steady_clock::now());
}
