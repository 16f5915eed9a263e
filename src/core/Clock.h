#pragma once

#include <QDateTime>

// The source of the current date and time; tests replace it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
};

// The date and time as the program shows them in the last-check column and the next-check hover text:
// the locale's short date, a blank, the time as hh:mm:ss.
QString generalDateTimeText(const QDateTime& dateTime);
