#include "core/Clock.h"

#include <QLocale>

QString generalDateTimeText(const QDateTime& dateTime) {
    const QLocale locale;
    return locale.toString(dateTime.date(), QLocale::ShortFormat) + u' ' +
           dateTime.time().toString(QStringLiteral("HH:mm:ss"));
}
