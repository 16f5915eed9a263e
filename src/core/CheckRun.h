#pragma once

#include <QObject>
#include <QStringList>

class Clock;
class PageFetcher;
class SettingsStore;
class SiteList;

// What one check run found, handed over when it ends.
struct CheckRunReport {
    QStringList changed;  // URLs of the pages that changed, in list order
    QStringList timeouts; // URLs whose fetch timed out, in list order
    int checked = 0;      // entries handled (equal, changed or timed out)
    bool fromTimer = false;
    bool stopped = false; // ended early by a stop request
    bool failed = false;  // ended by an unexpected error
    int errorNumber = 0;
    QString errorDescription;

    // The results window is shown when the run ended normally and found a change or a timeout.
    bool showResults() const { return !failed && (!changed.isEmpty() || !timeouts.isEmpty()); }
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

    CheckRun(SiteList& list, const SettingsStore& settings, const Clock& clock, QObject* parent = nullptr);
    ~CheckRun() override;

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
    void finished(const CheckRunReport& report);

private:
    struct Impl;
    Impl* d;
};
