#include "core/HttpText.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

QString httpStatusText(long status, const QByteArray& serverPhrase) {
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

QString requestHeaderProblem(const QString& line) {
    // Headers curl writes itself, or whose value must agree with what it sends.
    static const QStringList managed = {
        QStringLiteral("host"),         QStringLiteral("content-length"),      QStringLiteral("transfer-encoding"),
        QStringLiteral("connection"),   QStringLiteral("accept-encoding"),     QStringLiteral("te"),
        QStringLiteral("upgrade"),      QStringLiteral("if-none-match"),       QStringLiteral("if-modified-since"),
        QStringLiteral("keep-alive"),   QStringLiteral("proxy-authorization"), QStringLiteral("expect"),
        QStringLiteral("content-type"), QStringLiteral("user-agent")};
    static const QRegularExpression token(QStringLiteral("^[!#$%&'*+.^_`|~0-9A-Za-z-]+$"));
    if (std::any_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() < 0x20 && c != u'\t'; }))
        return QCoreApplication::translate("PageFetcher", "Un'intestazione sta su una riga sola.");
    const qsizetype colon = line.indexOf(u':');
    const QString name = line.left(colon).trimmed();
    if (colon < 0 || !token.match(name).hasMatch())
        return QCoreApplication::translate("PageFetcher", "Scrivere l'intestazione come «Nome: valore».");
    if (managed.contains(name.toLower()))
        return QCoreApplication::translate("PageFetcher", "L'intestazione %1 la scrive il programma stesso.")
            .arg(name);
    if (line.mid(colon + 1).trimmed().isEmpty())
        return QCoreApplication::translate("PageFetcher", "L'intestazione %1 non ha un valore.").arg(name);
    return {};
}

bool isSecretHeader(const QString& line) {
    const QString name = line.left(line.indexOf(u':')).trimmed();
    return name.compare(u"cookie", Qt::CaseInsensitive) == 0 ||
           name.compare(u"authorization", Qt::CaseInsensitive) == 0;
}

std::optional<qint64> retryAfterSeconds(const QByteArray& value, const QDateTime& nowUtc) {
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    qint64 seconds = 0;
    if (std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; })) {
        bool ok = false;
        seconds = text.size() > 12 ? kMaxRetryAfterSeconds : text.toLongLong(&ok);
    } else {
        // IMF-fixdate, as servers send it: RFC 2822 to Qt, once its "GMT" is a numeric zone.
        QString date = QString::fromLatin1(text);
        if (date.endsWith(u" GMT"))
            date = date.chopped(3) + QStringLiteral("+0000");
        const QDateTime when = QDateTime::fromString(date, Qt::RFC2822Date);
        if (!when.isValid())
            return std::nullopt;
        seconds = nowUtc.secsTo(when);
    }
    return std::clamp<qint64>(seconds, 0, kMaxRetryAfterSeconds);
}
