#include "core/FetchAddress.h"

#include "core/PageFetcher.h"

#include <curl/curl.h>

#include <QUrl>

#include <algorithm>

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

namespace {

QByteArray environment(const char* lower, const char* upper = nullptr) {
    QByteArray value = qgetenv(lower);
    if (value.isEmpty() && upper)
        value = qgetenv(upper);
    return value.trimmed();
}

} // namespace

QByteArray systemProxyFor(const QByteArray& url) {
    const bool https = url.startsWith("https:");
    QByteArray proxy = https ? environment("https_proxy", "HTTPS_PROXY") : environment("http_proxy");
    if (proxy.isEmpty())
        proxy = environment("all_proxy", "ALL_PROXY");
    if (proxy.isEmpty())
        return {};
    QString host = QUrl(QString::fromLatin1(url)).host().toLower();
    for (QByteArray entry : environment("no_proxy", "NO_PROXY").split(',')) {
        entry = entry.trimmed().toLower();
        if (entry.startsWith('.'))
            entry.remove(0, 1);
        if (entry.isEmpty())
            continue;
        const QString domain = QString::fromLatin1(entry);
        if (domain == u"*" || host == domain || host.endsWith(u'.' + domain))
            return {};
    }
    return proxy;
}
