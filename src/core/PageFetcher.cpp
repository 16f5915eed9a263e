#include "core/PageFetcher.h"

#include "core/CheckOptions.h"
#include "core/Fingerprint.h"

#include <curl/curl.h>

#include <QCoreApplication>
#include <QHash>
#include <QList>
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

constexpr char kAllowedProtocols[] = "http,https";
constexpr long kMaxRedirects = 10;
constexpr int kIdlePollMs = 10000;

bool initCurl() {
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

QString describe(int errorNumber, int timeoutSeconds) {
    switch (errorNumber) {
    case FetchError::kTimeout:
        return timeoutSeconds == 1
                   ? QCoreApplication::translate("PageFetcher",
                                                 "Tempo scaduto: la pagina non è arrivata entro 1 secondo.")
                   : QCoreApplication::translate("PageFetcher",
                                                 "Tempo scaduto: la pagina non è arrivata entro %1 secondi.")
                         .arg(timeoutSeconds);
    case FetchError::kUrlTooLong:
        return QCoreApplication::translate("PageFetcher", "Indirizzo troppo lungo");
    case FetchError::kBadUrl:
        return QCoreApplication::translate("PageFetcher",
                                           "Indirizzo non valido: sono ammessi solo indirizzi http e https.");
    case FetchError::kHostNotFound:
        return QCoreApplication::translate("PageFetcher", "Host non trovato.");
    case FetchError::kConnectionRefused:
        return QCoreApplication::translate("PageFetcher", "Connessione al server non riuscita.");
    case FetchError::kTlsFailure:
        return QCoreApplication::translate("PageFetcher", "Connessione sicura (TLS) non riuscita.");
    case FetchError::kTooManyRedirects:
        return QCoreApplication::translate("PageFetcher", "Troppi reindirizzamenti.");
    case FetchError::kBrokenTransfer:
        return QCoreApplication::translate("PageFetcher", "Trasferimento interrotto o incompleto.");
    case FetchError::kProxyFailure:
        return QCoreApplication::translate("PageFetcher", "Errore del proxy.");
    case FetchError::kBadReply:
        return QCoreApplication::translate("PageFetcher", "Risposta del server non valida.");
    case FetchError::kInternal:
        return QCoreApplication::translate("PageFetcher", "Errore interno: il trasferimento non è partito.");
    default:
        return QCoreApplication::translate("PageFetcher", "Errore di rete.");
    }
}

int errorNumberOf(CURLcode code) {
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return FetchError::kTimeout;
    case CURLE_COULDNT_RESOLVE_HOST:
        return FetchError::kHostNotFound;
    case CURLE_COULDNT_CONNECT:
        return FetchError::kConnectionRefused;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
        return FetchError::kTlsFailure;
    case CURLE_TOO_MANY_REDIRECTS:
        return FetchError::kTooManyRedirects;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return FetchError::kBadUrl;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_WRITE_ERROR:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return FetchError::kBrokenTransfer;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_PROXY:
        return FetchError::kProxyFailure;
    default:
        return FetchError::kOther;
    }
}

// The standard phrase of a status; the server's own where it is not one of these (HTTP/2 sends none).
QString statusText(long status, const QByteArray& serverPhrase) {
    static const QHash<long, const char*> phrases = {{300, "Multiple Choices"},
                                                     {301, "Moved Permanently"},
                                                     {302, "Found"},
                                                     {303, "See Other"},
                                                     {307, "Temporary Redirect"},
                                                     {308, "Permanent Redirect"},
                                                     {400, "Bad Request"},
                                                     {401, "Unauthorized"},
                                                     {402, "Payment Required"},
                                                     {403, "Forbidden"},
                                                     {404, "Not Found"},
                                                     {405, "Method Not Allowed"},
                                                     {406, "Not Acceptable"},
                                                     {407, "Proxy Authentication Required"},
                                                     {408, "Request Timeout"},
                                                     {409, "Conflict"},
                                                     {410, "Gone"},
                                                     {429, "Too Many Requests"},
                                                     {451, "Unavailable For Legal Reasons"},
                                                     {500, "Internal Server Error"},
                                                     {501, "Not Implemented"},
                                                     {502, "Bad Gateway"},
                                                     {503, "Service Unavailable"},
                                                     {504, "Gateway Timeout"}};
    const char* known = phrases.value(status);
    const QString phrase =
        known ? QString::fromLatin1(known) : QString::fromLatin1(serverPhrase).simplified().left(80);
    return QStringLiteral("HTTP ") + QString::number(status) + (phrase.isEmpty() ? QString() : u' ' + phrase);
}

struct CheckedUrl {
    QByteArray url; // normalised, ready for curl; empty when refused
    int errorNumber = 0;
};

// Refuses anything but a well-formed http or https address before any connection is made.
CheckedUrl checkUrl(const QString& text) {
    if (text.size() > kMaxUrlLength)
        return {{}, FetchError::kUrlTooLong};
    const QString url = text.trimmed();
    const bool hasControl =
        std::any_of(url.cbegin(), url.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    if (url.isEmpty() || hasControl)
        return {{}, FetchError::kBadUrl};

    CURLU* h = curl_url();
    if (!h)
        return {{}, FetchError::kInternal};
    CheckedUrl result{{}, FetchError::kBadUrl};
    char* scheme = nullptr;
    char* host = nullptr;
    char* normalised = nullptr;
    // Spaces and non-ASCII characters are percent-encoded, as browsers do.
    if (curl_url_set(h, CURLUPART_URL, url.toUtf8().constData(), CURLU_ALLOW_SPACE | CURLU_URLENCODE) ==
            CURLUE_OK &&
        curl_url_get(h, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
        curl_url_get(h, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
        const QByteArray s = QByteArray(scheme).toLower();
        QByteArray hostName = QByteArray(host).toLower();
        while (hostName.endsWith('.'))
            hostName.chop(1);
        if (s != "http" && s != "https") {
            result.errorNumber = FetchError::kBadUrl;
        } else if (hostName == "invalid" || hostName.endsWith(".invalid")) {
            // Reserved never to resolve (RFC 6761): no need to ask a name server.
            result.errorNumber = FetchError::kHostNotFound;
        } else if (curl_url_set(h, CURLUPART_FRAGMENT, nullptr, 0) == CURLUE_OK &&
                   curl_url_get(h, CURLUPART_URL, &normalised, 0) == CURLUE_OK) {
            result = {QByteArray(normalised), 0};
        }
    }
    curl_free(scheme);
    curl_free(host);
    curl_free(normalised);
    curl_url_cleanup(h);
    return result;
}

struct Request {
    quint64 id;
    quint64 generation;
    QByteArray url;
    int timeoutSeconds;
    BodyRequest body;
};

using SteadyClock = std::chrono::steady_clock;

struct Transfer {
    Request request;
    CURL* easy = nullptr;
    Crc32Stream crc;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    SteadyClock::time_point deadline;
    bool overran = false; // stopped by the deadline inside the body callback
    QByteArray body;      // while it stays within the request's cap
    bool bodyTooLarge = false;
    long status = 0;           // of the latest response head
    QByteArray statusPhrase;   // its reason phrase
    bool failedStatus = false; // the body of an error answer was refused

    ~Transfer() {
        if (easy)
            curl_easy_cleanup(easy);
    }
};

// Every head line of every answer, redirects included; a status line starts a new head.
size_t onHeader(char* data, size_t size, size_t count, void* userData) {
    auto* t = static_cast<Transfer*>(userData);
    const std::size_t n = size * count;
    const QByteArrayView line = QByteArrayView(data, qsizetype(n)).trimmed();
    if (line.startsWith("HTTP/")) {
        const QList<QByteArray> parts = line.toByteArray().split(' ');
        t->status = parts.value(1).toLong();
        t->statusPhrase = parts.mid(2).join(' ');
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
    // curl checks its deadline between reads, but one read of a compressed page can unpack into gigabytes.
    if (SteadyClock::now() >= t->deadline) {
        t->overran = true;
        return 0;
    }
    const std::size_t n = size * count;
    t->crc.add(data, n);
    if (t->request.body.maxBytes > 0 && !t->bodyTooLarge) {
        if (t->body.size() + qint64(n) > t->request.body.maxBytes) {
            t->bodyTooLarge = true;
            t->body = QByteArray();
        } else {
            t->body.append(data, qsizetype(n));
        }
    }
    return n;
}

// "host port N" of a URL, as curl names the server it could not connect to.
QByteArray serverName(const char* url) {
    CURLU* h = curl_url();
    char* host = nullptr;
    char* port = nullptr;
    QByteArray name;
    if (h && url && curl_url_set(h, CURLUPART_URL, url, 0) == CURLUE_OK &&
        curl_url_get(h, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
        curl_url_get(h, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK) {
        QByteArray hostName(host);
        if (hostName.startsWith('[') && hostName.endsWith(']'))
            hostName = hostName.mid(1, hostName.size() - 2);
        name = "to " + hostName + " port " + QByteArray(port) + ' ';
    }
    curl_free(host);
    curl_free(port);
    curl_url_cleanup(h);
    return name;
}

// The error number of a failed transfer, told apart where curl's code alone would mislead.
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
    if (code == CURLE_COULDNT_CONNECT) {
        // curl names the server it tried: when that is not the page's own, it was the proxy.
        const char* url = nullptr;
        curl_easy_getinfo(t.easy, CURLINFO_EFFECTIVE_URL, &url);
        const QByteArray target = serverName(url);
        if (!target.isEmpty() && t.errorBuffer[0] && !QByteArray(t.errorBuffer).contains(target))
            return FetchError::kProxyFailure;
    }
    return errorNumberOf(code);
}

} // namespace

struct PageFetcher::Impl {
    PageFetcher* q;
    int timeoutSeconds = 1;
    quint64 nextId = 1;
    int inFlight = 0; // owner thread only
    std::atomic<quint64> generation{0};

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
        // The check run caps connections per host itself: a request queued inside curl for a free connection
        // would use up its deadline waiting, and fail as a timeout without ever reaching the server.
        curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, 0L);
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
        QString text = describe(errorNumber, timeout);
        if (!detail.isEmpty())
            text += QStringLiteral(" (") + detail + QLatin1Char(')');
        r.outcome = Outcome::failure(errorNumber, text);
        post(r, resultGeneration);
    }

    bool start(Transfer& t) {
        CURL* e = curl_easy_init();
        if (!e)
            return false;
        t.easy = e;
        const long timeoutMs = long(t.request.timeoutSeconds) * 1000L;
        curl_easy_setopt(e, CURLOPT_URL, t.request.url.constData());
        curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
        curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols);
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, timeoutMs);
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
        curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
        // A name lookup that never answers is left behind at the deadline: otherwise its resolver thread is
        // joined when the timed-out transfer is removed, and every other transfer stalls meanwhile.
#if CURL_AT_LEAST_VERSION(7, 87, 0)
        curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);
#endif
        if (!caFile.isEmpty())
            curl_easy_setopt(e, CURLOPT_CAINFO, caFile.constData());
        if (!caDir.isEmpty())
            curl_easy_setopt(e, CURLOPT_CAPATH, caDir.constData());
        // Empty: every encoding curl can decode, so the fingerprint is of the decoded page.
        curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
        curl_easy_setopt(e, CURLOPT_USERAGENT, "Quovel/" QUOVEL_VERSION);
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &onBody);
        curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
        curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &onHeader);
        curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
        curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t.errorBuffer);
        curl_easy_setopt(e, CURLOPT_PRIVATE, &t);
        t.deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
        return curl_multi_add_handle(multi, e) == CURLM_OK;
    }

    void run() {
        std::unordered_map<CURL*, std::unique_ptr<Transfer>> active;
        const auto drop = [&](CURL* e) {
            curl_multi_remove_handle(multi, e);
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
                if (r.generation != current)
                    continue;
                auto t = std::make_unique<Transfer>();
                t->request = std::move(r);
                if (!start(*t)) {
                    postError(t->request.id, t->request.generation, FetchError::kInternal,
                              t->request.timeoutSeconds);
                    continue;
                }
                active.emplace(t->easy, std::move(t));
            }

            int running = 0;
            curl_multi_perform(multi, &running);
            int queued = 0;
            while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
                if (msg->msg != CURLMSG_DONE)
                    continue;
                const auto it = active.find(msg->easy_handle);
                if (it == active.end())
                    continue;
                finish(*it->second, msg->data.result);
                drop(msg->easy_handle);
            }
            curl_multi_poll(multi, nullptr, 0, kIdlePollMs, nullptr);
        }
        for (const auto& [e, t] : active)
            curl_multi_remove_handle(multi, e);
    }

    void finish(Transfer& t, CURLcode code) {
        long status = 0;
        curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &status);
        // A redirect curl did not follow had no usable target: the page is not there either.
        const bool deadEnd = code == CURLE_OK && status >= 300 && status < 400;
        if ((code == CURLE_OK || t.failedStatus) && (status >= 400 || deadEnd)) {
            QString text = statusText(status, t.statusPhrase);
            if (deadEnd)
                text += QCoreApplication::translate("PageFetcher",
                                                    ": reindirizzamento senza una destinazione utilizzabile.");
            FetchResult r;
            r.requestId = t.request.id;
            r.bytes = t.crc.size();
            r.outcome = Outcome::failure(FetchError::kHttpStatus, text);
            post(r, t.request.generation);
            return;
        }
        if (code == CURLE_OK) {
            FetchResult r;
            r.requestId = t.request.id;
            r.outcome = Outcome::success();
            r.fingerprint = t.crc.value();
            r.bytes = t.crc.size();
            const BodyRequest& wanted = t.request.body;
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
            return;
        }
        const QString detail = t.errorBuffer[0] ? QString::fromUtf8(t.errorBuffer).trimmed()
                                                : QString::fromUtf8(curl_easy_strerror(code));
        postError(t.request.id, t.request.generation, errorNumberOf(t, code), t.request.timeoutSeconds,
                  t.overran ? QString() : detail, t.crc.size());
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

quint64 PageFetcher::fetch(const QString& url, const BodyRequest& body) {
    const quint64 id = d->nextId++;
    const quint64 generation = d->generation.load();
    ++d->inFlight;
    if (!d->worker.joinable()) {
        d->postError(id, generation, FetchError::kInternal, d->timeoutSeconds,
                     QCoreApplication::translate("PageFetcher", "libcurl non inizializzata"));
        return id;
    }
    CheckedUrl checked = checkUrl(url);
    if (checked.errorNumber != 0) {
        d->postError(id, generation, checked.errorNumber, d->timeoutSeconds);
        return id;
    }
    {
        std::lock_guard lock(d->mutex);
        d->queue.push_back({id, generation, std::move(checked.url), d->timeoutSeconds, body});
    }
    curl_multi_wakeup(d->multi);
    return id;
}

void PageFetcher::cancel() {
    ++d->generation;
    d->inFlight = 0;
    {
        std::lock_guard lock(d->mutex);
        d->queue.clear();
    }
    if (d->multi)
        curl_multi_wakeup(d->multi);
}

int PageFetcher::inFlight() const {
    return d->inFlight;
}
