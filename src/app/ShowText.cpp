#include "app/ShowText.h"

#include "core/PageFetcher.h"
#include "core/PageText.h"
#include "store/SiteListFile.h"

#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

void printErr(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

int showText(const QString& url, const QString& listPath, const CheckOptions& options, qint64 maxTextBytes,
             const SecretHeaders& secrets) {
    std::optional<SiteOptions> site;
    SiteEntry asked;
    asked.url = url;
    if (!listPath.isEmpty()) {
        const SiteListReadResult read = readSiteListFile(listPath, SiteListRoot::ElencoSiti);
        if (!read.outcome.ok()) {
            printErr(QStringLiteral("quovel-check: %1: %2 (%3)\n")
                         .arg(listPath, read.outcome.errorText(), read.detail));
            return 2;
        }
        for (const SiteEntry& entry : read.entries) {
            if (entry.url == url) {
                site = entry.options;
                asked = entry;
                break;
            }
        }
        if (!site)
            printErr(QStringLiteral("quovel-check: %1 is not in %2: no rules applied\n").arg(url, listPath));
    }

    const BodyRequest body{maxTextBytes, std::nullopt};
    if (const std::optional<Outcome> why = reasonNotToAsk(asked, secrets, QDateTime::currentDateTimeUtc())) {
        printErr(QStringLiteral("%1: %2\n").arg(url, why->errorText()));
        return 1;
    }
    PageFetcher fetcher(options.timeoutSeconds);
    fetcher.setNetworkOptions(options.network);
    FetchResult result;
    QObject::connect(&fetcher, &PageFetcher::finished, &fetcher, [&result](const FetchResult& r) {
        result = r;
        QCoreApplication::quit();
    });
    fetcher.fetch(siteRequest(asked, secrets, 1, false, body));
    QCoreApplication::exec();

    if (!result.outcome.ok()) {
        printErr(QStringLiteral("%1: Errore %2: %3\n")
                     .arg(url)
                     .arg(result.outcome.errorNumber())
                     .arg(result.outcome.errorText()));
        return 1;
    }
    if (result.bodyTooLarge) {
        printErr(QStringLiteral("%1: Pagina più grande di %2 KiB: confrontata per intero, non per testo.\n")
                     .arg(url)
                     .arg(maxTextBytes / 1024));
        return 1;
    }
    if (!hasPageText(result.body, result.contentType)) {
        printErr(QStringLiteral("%1: Pagina senza testo (%2): confrontata per intero, non per testo.\n")
                     .arg(url, QString::fromLatin1(result.contentType).simplified().left(80)));
        return 1;
    }
    // A site's selector in text mode decides what the text is.
    SelectorXPath selector;
    if (site && site->textMode && !site->selector.isEmpty()) {
        selector = selectorXPath(site->selectorKind, site->selector);
        if (!selector.error.isEmpty()) {
            printErr(QStringLiteral("%1: %2\n").arg(url, selector.error));
            return 1;
        }
    }
    const PageText page = extractPageText(result.body, result.contentType, selector.xpath);
    if (page.matches >= 0)
        printErr(QStringLiteral("%1: il selettore corrisponde a %2 elementi\n").arg(url).arg(page.matches));
    if (page.status == PageText::NoMatch || page.status == PageText::BadSelector) {
        printErr(QStringLiteral("%1: %2\n")
                     .arg(url, page.status == PageText::NoMatch
                                   ? QStringLiteral("Nessun elemento corrisponde al selettore")
                                   : QStringLiteral("Selettore non supportato: %1").arg(site->selector)));
        return 1;
    }
    if (page.status == PageText::TooComplex) {
        printErr(QStringLiteral("%1: Pagina troppo grande o troppo annidata per leggerne il testo: confrontata "
                                "per intero, non per testo.\n")
                     .arg(url));
        return 1;
    }
    QString out;
    if (site) {
        const FilteredText filtered = TextRules(*site).apply(page.text);
        for (qsizetype i = 0; i < filtered.lines.size(); ++i) {
            const LineFate fate = filtered.fates[i];
            out += fate == LineFate::Kept ? u"  " : fate == LineFate::Ignored ? u"~ " : u"# ";
            out += filtered.lines[i];
            out += u'\n';
        }
    } else if (!page.text.isEmpty()) {
        out = page.text + u'\n';
    }
    const QByteArray bytes = out.toUtf8();
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) ||
        std::fflush(stdout) != 0) {
        printErr(QStringLiteral("quovel-check: cannot write to standard output\n"));
        return 2;
    }
    return 0;
}
