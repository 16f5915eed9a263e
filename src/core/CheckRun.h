#pragma once

#include "core/CheckOptions.h"
#include "core/Outcome.h"
#include "core/SiteRequest.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

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

// A site whose run of failed checks went on or ended in this run.
struct FailureStreak {
    quint64 entryId;
    QString url;
    int failures; // in a row, this check included; 0 when this check succeeded
    int before;   // in a row before this check
    QDateTime since;
    // With notices from the K-th failure in a row: this check is the one that reports the outage, or its end.
    bool reachesLimit(int k) const { return failures == k; }
    bool recoversFrom(int k) const { return failures == 0 && before >= k; }
};

// What one check run found, handed over when it ends.
struct CheckRunReport {
    QStringList changed;          // URLs of the pages that changed, in list order
    QStringList timeouts;         // URLs that timed out or could not be fetched, in list order
    QList<PageFailure> failures;  // why the pages among timeouts that did not time out failed, in list order
    QList<PageFailure> notes;     // pages in text mode judged by their whole body instead, and why (not errors)
    QList<FailureStreak> streaks; // in list order
    int checked = 0;              // entries handled (equal, changed, timed out or failed)
    int notDue = 0;               // entries a periodic run passed over for their minimum interval
    qint64 bytesReceived = 0;     // heads and bodies as they came over the network
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

    using OptionsSource = std::function<CheckOptions()>;

    // options is asked at the start of every run, so that a changed setting reaches the next run.
    CheckRun(SiteList& list, const Clock& clock, OptionsSource options, QObject* parent = nullptr);
    CheckRun(SiteList& list, const Clock& clock, const CheckOptions& fixed, QObject* parent = nullptr);
    ~CheckRun() override;

    // What the next run will be started with.
    CheckOptions options() const;
    // The secret header lines of the sites that have them, by URL; a site that has them and whose are not
    // here fails its check unasked.
    void setSecrets(const SecretHeaders& secrets);
    // Where the text of each page whose body changed is kept; none keeps no history. Not owned; it must
    // outlive the run.
    void setArchive(PageArchive* archive);

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
    std::unique_ptr<Impl> d;
};
