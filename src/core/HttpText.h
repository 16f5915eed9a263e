#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// Texts of HTTP as the fetcher reads and writes them: status names, request header lines, Retry-After.

// "HTTP 404 Not Found": the standard phrase of a status, the server's own where it is not a known one.
QString httpStatusText(long status, const QByteArray& serverPhrase);

// An empty text when the "Name: value" line may be sent as written; the reason otherwise: a line break, no
// name, or a header the fetcher manages itself (Host, Content-Length, …).
QString requestHeaderProblem(const QString& line);
// Cookie and Authorization carry the user's secrets: their values stay out of the list file.
bool isSecretHeader(const QString& line);

// Seconds from now until the time a Retry-After value names (whole seconds or an HTTP date), at most a day;
// nothing when it names none.
std::optional<qint64> retryAfterSeconds(const QByteArray& value, const QDateTime& nowUtc);
inline constexpr qint64 kMaxRetryAfterSeconds = 24 * 60 * 60;
