#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Where the check run leaves the text of every page whose body changed, so the change can be shown later.
// Both calls may come from worker threads, at the same time: an implementation is thread-safe, and never
// fails loudly (a history that cannot be written is simply not there later).
class PageArchive {
public:
    virtual ~PageArchive() = default;
    // A new version of url's page text (as extracted, before any rule), checked at `when`; bodyCrc is the
    // fingerprint of the body it was read from.
    virtual void record(const QString& url, const QString& text, const QDateTime& when, qint32 bodyCrc) = 0;
    // These pages were checked at `when` (changed or not): their history is still wanted.
    virtual void noteChecked(const QStringList& urls, const QDateTime& when) = 0;
};
