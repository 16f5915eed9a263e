#include "core/SiteRequest.h"

#include "core/Clock.h"

#include <QCoreApplication>

std::optional<Outcome> reasonNotToAsk(const SiteEntry& entry, const SecretHeaders& secrets, const QDateTime& now) {
    const SiteOptions& site = entry.options;
    // Asked without them, a page behind a login answers with the login page: that is no change.
    if (site.hasSecrets && secrets.value(entry.url).isEmpty())
        return Outcome::failure(FetchError::kSecretMissing,
                                QCoreApplication::translate(
                                    "CheckRun", "Mancano le intestazioni segrete del sito (Cookie, Authorization) "
                                                "nelle impostazioni di questo utente: la pagina non è richiesta "
                                                "senza."));
    if (site.server.retryAt.isValid() && now < site.server.retryAt)
        return Outcome::failure(
            FetchError::kRetryLater,
            QCoreApplication::translate("CheckRun", "Il server ha chiesto di non essere interrogato prima del %1.")
                .arg(generalDateTimeText(site.server.retryAt.toLocalTime())));
    return std::nullopt;
}

FetchRequest siteRequest(const SiteEntry& entry, const SecretHeaders& secrets, int fullRequestEvery,
                         bool mayBeConditional, const BodyRequest& body) {
    const SiteOptions& site = entry.options;
    FetchRequest r;
    r.url = entry.url;
    r.body = body;
    r.userAgent = site.userAgent.toUtf8();
    r.hostDelayMs = site.hostDelayMs;
    for (const QString& line : site.headers)
        r.headers.append(line.toUtf8());
    if (site.hasSecrets) {
        for (const QString& line : secrets.value(entry.url))
            r.headers.append(line.toUtf8());
    }
    const ServerMemory& m = site.server;
    if (mayBeConditional && !m.validatorsIgnored && m.conditional < fullRequestEvery - 1) {
        r.etag = m.etag;
        r.lastModified = m.lastModified;
    }
    return r;
}

ServerMemory learn(const ServerMemory& before, const FetchResult& result, bool wasConditional, bool bodyChanged,
                   const QDateTime& now) {
    ServerMemory m = before;
    if (!result.outcome.ok()) {
        if (result.retryAfterSeconds >= 0)
            m.retryAt = now.toUTC().addSecs(result.retryAfterSeconds);
        return m;
    }
    m.retryAt = QDateTime();
    if (result.notModified) {
        ++m.conditional;
        return m;
    }
    // The forced full request shows a change after a run of "not modified": the server's validators lie, and
    // are not trusted again. An honest server whose page changed just then loses them too: a few bytes, not a
    // change.
    if (!wasConditional && m.conditional > 0 && bodyChanged)
        m.validatorsIgnored = true;
    m.conditional = 0;
    m.etag = result.etag;
    m.lastModified = result.lastModified;
    return m;
}
