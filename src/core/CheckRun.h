#pragma once

#include "core/CheckOptions.h"
#include "core/Outcome.h"

#include <QList>
#include <QObject>
#include <QStringList>

class Clock;
class PageArchive;
class PageFetcher;
class SiteList;

// A page the run could not fetch for a reason other than its deadline; its row is marked as a timeout.
struct PageFailure {
    quint64 entryId;
    QString url;
    Outcome outcome; // the fetch error's number and text
};

// What one check run found, handed over when it ends.
struct CheckRunReport {
    QStringList changed;         // URLs of the pages that changed, in list order
    QStringList timeouts;        // URLs that timed out or could not be fetched, in list order
    QList<PageFailure> failures; // why the pages among timeouts that did not time out failed, in list order
    QList<PageFailure> notes;    // pages in text mode judged by their whole body instead, and why (not errors)
    int checked = 0;             // entries handled (equal, changed, timed out or failed)
    bool fromTimer = false;
    bool stopped = false; // ended early by a stop request
    // Failure when the run ended on an unexpected error; an empty report is no success either.
    Outcome outcome = Outcome::failure(-1, {});

    // The results window is shown when the run ended normally and found a change or a timeout.
    bool showResults() const { return outcome.ok() && (!changed.isEmpty() || !timeouts.isEmpty()); }
    // "Errore " + number + "." + CR LF + description, for a message box titled "Errore!".
    QString errorMessage() const;
};
Q_DECLARE_METATYPE(CheckRunReport)

// The check run: fetches every ticked entry, compares fingerprints and writes the outcome back into the list.
// Asynchronous: CheckSelectedURLs returns at once and finished() reports the end.
class CheckRun : public QObject {
    Q_OBJECT
public:
    enum class Start { Started, Deferred, Refused };

    CheckRun(SiteList& list, const Clock& clock, const CheckOptions& options, QObject* parent = nullptr);
    ~CheckRun() override;

    // The timeout and parallelism of the runs started from now on.
    void setOptions(const CheckOptions& options);
    CheckOptions options() const;
    // Where the text of each page whose body changed is kept; none keeps no history. Not owned; it must
    // outlive the run.
    void setArchive(PageArchive* archive);
    // A body is held for its text only up to this size; above it a page in text mode is judged by its body.
    void setMaxTextBytes(qint64 bytes);
    static constexpr qint64 kDefaultMaxTextBytes = qint64(8) * 1024 * 1024;

    // Starts a run. While a run is active, a run from the timer is remembered (once) and started when the
    // current one ends (Deferred); a manual start is refused (Refused).
    Start CheckSelectedURLs(bool bFromTimer);
    bool isActive() const;

    // The stop request: the run in progress starts no new fetch and ends when those in flight are done.
    // Given while no run is active, it is dropped.
    void requestStop();
    bool StopRequested() const;

    PageFetcher& fetcher();

signals:
    void started(bool fromTimer);
    void statusText(const QString& text); // the text of the status bar's first panel
    void beep();                          // once per changed page
    void checked(quint64 entryId);        // the entry's check results (crc, time, text fingerprint) are new
    void finished(const CheckRunReport& report);

private:
    struct Impl;
    Impl* d;
};
