#pragma once

#include "core/CheckRun.h"
#include "core/PageFetcher.h"
#include "core/SiteRequest.h"

#include <QHash>
#include <QThreadPool>

#include <deque>
#include <vector>

// The state of a check run, shared by the files that make it up. Internal to the check run.

namespace check_run {
// Positions that need no fetch handled per event-loop turn: big lists finish fast, the window stays live.
constexpr int kPositionsPerTurn = 4096;
constexpr int kStatusUrlChars = 60;
constexpr int kTypeMismatch = 13;
constexpr int kJudgedByBody = 35780;   // a note, not an error: the page was judged by its body
constexpr int kSelectorFailed = 35790; // the site's selector matched nothing or cannot be used

} // namespace check_run

struct CheckRun::Impl {
    struct Flight {
        std::size_t position; // in the run's snapshot
        quint64 entryId;
        QString url;
        QString host;
        bool conditional = false; // the request carried validators
    };
    struct Finding {
        std::size_t position;
        quint64 entryId;
        QString url;
        Outcome outcome; // success for a changed page, the fetch error otherwise
    };

    CheckRun* q;
    SiteList& list;
    const Clock& clock;
    // What a page's text gave, back from the worker that read it.
    struct TextResult {
        std::size_t position;
        quint64 entryId;
        QString url;
        qint32 fingerprint;
        SiteOptions rules;             // the site's options the text was read with
        std::optional<qint32> textCrc; // for a site in text mode
        bool tooComplex = false;       // the page had no text the parser could read
        QString selectorFailure;       // why the site's selector gave no text
    };

    OptionsSource optionsSource;
    CheckOptions options;
    PageFetcher fetcher{options.timeoutSeconds};
    PageArchive* archive = nullptr;
    // Texts are read off the user-interface thread; a page whose text is being read counts against the run's
    // parallelism as a page being fetched does. The pool waits for its workers when it goes.
    QThreadPool textPool;
    int textsPending = 0;
    QStringList checkedUrls; // pages whose history is still wanted
    SecretHeaders secrets;
    bool wakeScheduled = false; // a turn is due when a waiting host's pace allows

    bool active = false;
    bool fromTimer = false;
    bool stopRequested = false;
    bool timerRunDeferred = false;
    quint64 generation = 0; // tells a continuation of an earlier run from one of this run
    bool turnScheduled = false;
    int parallel = 1;

    std::vector<quint64> snapshot; // ids of the entries present when the run started, in list order
    std::size_t next = 0;
    QHash<quint64, Flight> inFlight; // by request id
    QHash<QString, int> perHost;
    // Ticked positions passed over while their host was at its cap, by host, each in list order.
    QHash<QString, std::deque<std::size_t>> waiting;
    std::size_t waitingCount = 0;
    std::vector<Finding> findings;
    QList<PageFailure> notes;
    std::vector<std::pair<std::size_t, FailureStreak>> streaks;
    int checked = 0;
    int notDue = 0;
    qint64 bytesReceived = 0;

    Impl(CheckRun* owner, SiteList& l, const Clock& c, OptionsSource o)
        : q(owner)
        , list(l)
        , clock(c)
        , optionsSource(std::move(o))
        , options(optionsSource()) {}

    void begin(bool bFromTimer);
    void scheduleTurn();
    void turn();
    void startWaiting();
    void wait(const QString& host, std::size_t position);
    void startOrWait(std::size_t position);
    void startFetch(int row, std::size_t position, const QString& host);
    void refuse(int row, std::size_t position, const Outcome& why);
    // counts: the failure counts towards the site's failures in a row.
    void markFailed(int row, const Flight& flight, const Outcome& outcome, bool counts = true);
    void rememberServer(int row, const ServerMemory& memory);
    qint64 hostWait(const QString& host) const;
    void wakeIn(qint64 ms);
    void onFetched(const FetchResult& result);
    void handleResult(int row, const Flight& flight, const FetchResult& result);
    void readText(int row, const Flight& flight, const FetchResult& result);
    void onText(const TextResult& text);
    void settle(int row, const Flight& flight, qint32 fingerprint, bool changed);
    void storeOptions(int row, const SiteOptions& site);
    void notePace(int row, std::size_t position, bool failed);
    void judgedByBody(int row, const Flight& flight, const QString& why);
    void fail(const Outcome& outcome);
    void finish();
    CheckRunReport report() const;
    void endRun(const CheckRunReport& report);
};
