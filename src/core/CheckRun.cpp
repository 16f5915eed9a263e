#include "core/CheckRun.h"

#include "core/Clock.h"
#include "core/PageArchive.h"
#include "core/PageFetcher.h"
#include "core/PageText.h"
#include "core/SiteList.h"
#include "core/SiteRequest.h"

#include <QCoreApplication>
#include <QHash>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <limits>
#include <vector>

namespace {
// Positions that need no fetch handled per event-loop turn: big lists finish fast, the window stays live.
constexpr int kPositionsPerTurn = 4096;
constexpr int kStatusUrlChars = 60;
constexpr int kTypeMismatch = 13;
constexpr int kJudgedByBody = 35780;   // a note, not an error: the page was judged by its body
constexpr int kSelectorFailed = 35790; // the site's selector matched nothing or cannot be used

} // namespace

QString CheckRunReport::errorMessage() const {
    return CheckRun::tr("Errore %1.").arg(outcome.errorNumber()) + QStringLiteral("\r\n") + outcome.errorText();
}

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

void CheckRun::Impl::begin(bool bFromTimer) {
    active = true;
    fromTimer = bFromTimer;
    stopRequested = false;
    ++generation;
    turnScheduled = false;
    next = 0;
    inFlight.clear();
    perHost.clear();
    waiting.clear();
    waitingCount = 0;
    findings.clear();
    notes.clear();
    streaks.clear();
    checked = 0;
    notDue = 0;
    bytesReceived = 0;
    textsPending = 0;
    checkedUrls.clear();
    options = optionsSource();
    parallel = std::max(1, options.parallel);

    if (fromTimer)
        list.setAllTicks(SiteList::TickAll);
    fetcher.cancel();
    fetcher.setTimeout(options.timeoutSeconds);
    fetcher.setNetworkOptions(options.network);
    wakeScheduled = false;

    snapshot.clear();
    snapshot.reserve(std::size_t(list.count()));
    for (const SiteEntry& entry : list.entries())
        snapshot.push_back(entry.id);

    emit q->started(fromTimer);
    scheduleTurn();
}

void CheckRun::Impl::scheduleTurn() {
    if (turnScheduled)
        return;
    turnScheduled = true;
    const quint64 gen = generation;
    QTimer::singleShot(0, q, [this, gen] {
        if (gen != generation)
            return;
        turnScheduled = false;
        turn();
    });
}

// One turn of the event loop: starts the fetches there is room for and passes over positions needing none.
// A ticked entry whose host is at its cap waits, and the entries after it go ahead: a list grouped by host
// still fetches from several hosts at once. Results are reported in list order all the same.
void CheckRun::Impl::turn() {
    if (!active)
        return;
    if (!stopRequested)
        startWaiting();
    int handled = 0;
    while (next < snapshot.size() && !stopRequested && inFlight.size() + textsPending < parallel) {
        if (handled >= kPositionsPerTurn) {
            scheduleTurn();
            return;
        }
        ++handled;
        startOrWait(next++);
    }
    if ((stopRequested || (next >= snapshot.size() && waitingCount == 0)) && inFlight.isEmpty() &&
        textsPending == 0)
        finish();
}

void CheckRun::Impl::wait(const QString& host, std::size_t position) {
    std::deque<std::size_t>& queue = waiting[host];
    queue.insert(std::upper_bound(queue.begin(), queue.end(), position), position);
    ++waitingCount;
}

// Starts waiting entries whose host has room again, the earliest in the list first.
void CheckRun::Impl::startWaiting() {
    while (waitingCount > 0 && inFlight.size() + textsPending < parallel) {
        auto best = waiting.end();
        for (auto it = waiting.begin(); it != waiting.end(); ++it) {
            if ((best == waiting.end() || it->front() < best->front()) && hostWait(it.key()) == 0)
                best = it;
        }
        if (best == waiting.end()) {
            qint64 soonest = -1;
            for (auto it = waiting.cbegin(); it != waiting.cend(); ++it) {
                const qint64 ms = hostWait(it.key());
                if (ms > 0 && (soonest < 0 || ms < soonest))
                    soonest = ms;
            }
            wakeIn(soonest);
            return;
        }
        const std::size_t position = best->front();
        best->pop_front();
        --waitingCount;
        if (best->empty())
            waiting.erase(best);
        // The address may have been edited while it waited: its host is asked again.
        startOrWait(position);
    }
}

// 0 when a page of host may start now; the milliseconds until it may, or -1 while the host is at its cap.
// A host with a page in flight and a pace to keep waits too: the fetcher starts the pace only when the
// request leaves, and a second page handed over meanwhile would take a place of the run's parallelism
// waiting there.
qint64 CheckRun::Impl::hostWait(const QString& host) const {
    const int busy = perHost.value(host);
    if (busy >= PageFetcher::kPerHostCap)
        return -1;
    return fetcher.msUntilReady(host);
}

void CheckRun::Impl::wakeIn(qint64 ms) {
    if (ms <= 0 || wakeScheduled)
        return;
    wakeScheduled = true;
    const quint64 gen = generation;
    QTimer::singleShot(std::chrono::milliseconds(ms), q, [this, gen] {
        if (gen != generation)
            return;
        wakeScheduled = false;
        turn();
    });
}

// Starts the entry at this position of the run, or queues it while its host is at its cap or keeps its pace;
// an entry that is gone or no longer ticked is passed over, and one that may not be asked now fails at once.
void CheckRun::Impl::startOrWait(std::size_t position) {
    const int row = list.rowOfId(snapshot[position]);
    if (row < 0 || !list.isTicked(row))
        return;
    const QDateTime due = list.entryAt(row).options->nextDue();
    if (fromTimer && due.isValid() && clock.now() < due) {
        list.setTicked(row, false);
        ++notDue;
        return;
    }
    if (const std::optional<Outcome> why = reasonNotToAsk(list.entryAt(row), secrets, clock.now())) {
        refuse(row, position, *why);
        return;
    }
    const QString host = PageFetcher::hostKey(list.field(row, SiteList::Field::Url));
    const qint64 ms = hostWait(host);
    if (ms != 0) {
        wait(host, position);
        wakeIn(ms);
    } else {
        startFetch(row, position, host);
    }
}

void CheckRun::Impl::refuse(int row, std::size_t position, const Outcome& why) {
    // A server that asked for a pause is not failing: the pause does not count towards a failure notice.
    markFailed(row, Flight{position, snapshot[position], list.field(row, SiteList::Field::Url), {}}, why,
               why.errorNumber() != FetchError::kRetryLater);
}

void CheckRun::Impl::startFetch(int row, std::size_t position, const QString& host) {
    const QString url = list.field(row, SiteList::Field::Url);
    list.setField(row, SiteList::Field::Res, ResultMarker::kBusy);
    emit q->statusText(CheckRun::tr("Browsing %1...").arg(url.left(kStatusUrlChars)));
    // The body is kept for its text when its fingerprint changed, or when a site in text mode has no text
    // fingerprint to compare with yet.
    const SiteOptions& site = list.entryAt(row).options;
    // A "not modified" answer keeps the stored fingerprints: only a page that has them is asked conditionally.
    const std::optional<qint32> stored = list.entryAt(row).crc.value();
    const bool baseline = (!site.textMode || site.hasBaseline()) && stored.has_value();
    BodyRequest body;
    if (archive || site.textMode) {
        body.maxBytes = options.maxTextBytes;
        if (baseline)
            body.unlessFingerprint = stored;
    }
    const FetchRequest request = siteRequest(list.entryAt(row), secrets, options.fullRequestEvery, baseline, body);
    const quint64 requestId = fetcher.fetch(request);
    const bool conditional = !request.etag.isEmpty() || !request.lastModified.isEmpty();
    inFlight.insert(requestId, Flight{position, snapshot[position], url, host, conditional});
    ++perHost[host];
}

void CheckRun::Impl::onFetched(const FetchResult& result) {
    const auto it = inFlight.constFind(result.requestId);
    if (!active || it == inFlight.constEnd())
        return;
    const Flight flight = it.value();
    inFlight.erase(it);
    bytesReceived += result.wireBytes;
    if (--perHost[flight.host] <= 0)
        perHost.remove(flight.host);

    const int row = list.rowOfId(flight.entryId);
    if (row >= 0 && list.field(row, SiteList::Field::Url) != flight.url) {
        // The address was edited while its page was fetched: that page is not the entry's any more, so the
        // entry keeps its fingerprint and its tick, and loses only the busy marker.
        if (list.field(row, SiteList::Field::Res) == ResultMarker::kBusy)
            list.setField(row, SiteList::Field::Res, ResultMarker::kNone);
    } else if (row >= 0) {
        handleResult(row, flight, result);
        if (!active)
            return; // the result ended the run
    }
    turn();
}

// A page that cannot be fetched is marked like one that timed out (its fingerprint and time stay) and the
// run goes on: one dead site must not keep every other page of the list from being checked.
void CheckRun::Impl::handleResult(int row, const Flight& flight, const FetchResult& result) {
    if (!result.outcome.ok()) {
        if (result.outcome.errorNumber() == FetchError::kInternal) {
            fail(result.outcome);
            return;
        }
        Outcome outcome = result.outcome;
        if (result.retryAfterSeconds >= 0) {
            const ServerMemory m =
                learn(list.entryAt(row).options->server, result, flight.conditional, false, clock.now());
            rememberServer(row, m);
            outcome = Outcome::failure(outcome.errorNumber(),
                                       outcome.errorText() +
                                           QCoreApplication::translate("CheckRun", ": riprovare dopo il %1.")
                                               .arg(generalDateTimeText(m.retryAt.toLocalTime())));
        }
        markFailed(row, flight, outcome);
        return;
    }

    const std::optional<qint32> stored = list.entryAt(row).crc.value();
    if (!stored) {
        fail(Outcome::failure(kTypeMismatch, CheckRun::tr("Type mismatch")));
        return;
    }
    const bool bodyChanged = !result.notModified && *stored != result.fingerprint;
    rememberServer(row,
                   learn(list.entryAt(row).options->server, result, flight.conditional, bodyChanged, clock.now()));
    if (result.notModified) {
        settle(row, flight, *stored, false);
        return;
    }
    const bool textual = result.bodyKept && hasPageText(result.body, result.contentType);
    if (textual) {
        readText(row, flight, result);
        return;
    }
    if (list.entryAt(row).options->textMode && (result.bodyTooLarge || result.bodyKept)) {
        const QString why =
            result.bodyTooLarge
                ? CheckRun::tr("Pagina più grande di %1 KiB: confrontata per intero, non per testo.")
                      .arg(options.maxTextBytes / 1024)
                : CheckRun::tr("Pagina senza testo (%1): confrontata per intero, non per testo.")
                      .arg(QString::fromLatin1(result.contentType).simplified().left(80));
        judgedByBody(row, flight, why);
    }
    settle(row, flight, result.fingerprint, bodyChanged);
}

// Reads the page's text on a worker: it goes into the page's history (a text like the latest one adds
// nothing there), and a site in text mode is judged by it. The row keeps its busy marker meanwhile.
void CheckRun::Impl::readText(int row, const Flight& flight, const FetchResult& result) {
    const SiteOptions site = list.entryAt(row).options;
    const QDateTime when = clock.now();
    const quint64 gen = generation;
    ++textsPending;
    CheckRun* const owner = q; // alive while a text is read: the pool waits for its workers when it goes
    PageArchive* const keeper = archive;
    TextResult base{flight.position, flight.entryId, flight.url, result.fingerprint, site,
                    std::nullopt,    false,          {}};
    textPool.start([this, owner, gen, keeper, site, when, base, body = result.body, type = result.contentType] {
        TextResult out = base;
        // A site's selector decides what its text is, in its history too.
        const bool selecting = site.textMode && !site.selector.isEmpty();
        const SelectorXPath selector =
            selecting ? selectorXPath(site.selectorKind, site.selector) : SelectorXPath{};
        const PageText page = selector.error.isEmpty() ? extractPageText(body, type, selector.xpath) : PageText{};
        out.tooComplex = page.status == PageText::TooComplex;
        out.selectorFailure = !selector.error.isEmpty() ? selector.error
                              : page.status == PageText::NoMatch
                                  ? CheckRun::tr("Nessun elemento corrisponde al selettore")
                              : page.status == PageText::BadSelector
                                  ? CheckRun::tr("Selettore non supportato: %1").arg(site.selector)
                                  : QString();
        if (page.status == PageText::Read && selector.error.isEmpty()) {
            if (keeper)
                keeper->record(out.url, page.text, when, out.fingerprint);
            if (site.textMode)
                out.textCrc = TextRules(site).fingerprint(page.text);
        }
        QMetaObject::invokeMethod(
            owner,
            [this, gen, out] {
                if (gen == generation)
                    onText(out);
            },
            Qt::QueuedConnection);
    });
}

void CheckRun::Impl::onText(const TextResult& text) {
    --textsPending;
    const int row = list.rowOfId(text.entryId);
    const Flight flight{text.position, text.entryId, text.url, {}};
    if (row >= 0 && list.field(row, SiteList::Field::Url) != text.url) {
        if (list.field(row, SiteList::Field::Res) == ResultMarker::kBusy)
            list.setField(row, SiteList::Field::Res, ResultMarker::kNone);
    } else if (row >= 0) {
        const bool bodyChanged = list.entryAt(row).crc.value() != text.fingerprint;
        SiteOptions site = list.entryAt(row).options;
        bool changed = bodyChanged;
        if (!text.selectorFailure.isEmpty() && site.sameRules(text.rules)) {
            // A failed check: both fingerprints stay, so the next check compares with what was last seen.
            list.setField(row, SiteList::Field::Res, ResultMarker::kTimeout);
            findings.push_back(
                {text.position, text.entryId, text.url, Outcome::failure(kSelectorFailed, text.selectorFailure)});
            list.setModified(true);
            list.setTicked(row, false);
            ++checked;
            turn();
            return;
        }
        if (site.textMode && text.tooComplex) {
            judgedByBody(row, flight,
                         CheckRun::tr("Pagina troppo grande o troppo annidata per leggerne il testo: confrontata "
                                      "per intero, non per testo."));
        } else if (site.textMode && text.textCrc) {
            if (!site.sameRules(text.rules)) {
                // Rules changed while the text was read: its fingerprint is not one of theirs, and the page is
                // judged by its body; the new rules take their own at the next check.
                site.textCrc.reset();
            } else {
                // With no text fingerprint to compare with (new rules, a new extraction), the new one is taken
                // silently: the page counts as changed only when its body changed too.
                if (site.hasBaseline())
                    changed = *text.textCrc != *site.textCrc;
                site.textCrc = text.textCrc;
                site.version = kTextVersion;
            }
            storeOptions(row, site);
        }
        settle(row, flight, text.fingerprint, changed);
    }
    turn();
}

void CheckRun::Impl::markFailed(int row, const Flight& flight, const Outcome& outcome, bool counts) {
    list.setField(row, SiteList::Field::Res, ResultMarker::kTimeout);
    findings.push_back({flight.position, flight.entryId, flight.url, outcome});
    if (counts)
        notePace(row, flight.position, true);
    list.setModified(true);
    list.setTicked(row, false);
    ++checked;
}

// Validators and their counter change at most checks and, like the check time, leave the list unmodified;
// a server found lying or asking for a pause is worth a save.
void CheckRun::Impl::rememberServer(int row, const ServerMemory& memory) {
    SiteOptions site = list.entryAt(row).options;
    const bool worthSaving =
        memory.validatorsIgnored != site.server.validatorsIgnored || memory.retryAt != site.server.retryAt;
    site.server = memory;
    list.setOptions(row, site);
    if (worthSaving)
        list.setModified(true);
}

// A site in text mode judged by its body this time says why; its text fingerprint no longer belongs to the
// page, and is taken again, silently, once the page has a text that can be read.
void CheckRun::Impl::judgedByBody(int row, const Flight& flight, const QString& why) {
    notes.append({flight.entryId, flight.url, Outcome::failure(kJudgedByBody, why)});
    SiteOptions site = list.entryAt(row).options;
    site.textCrc.reset();
    storeOptions(row, site);
}

// A text fingerprint taken or dropped is part of the list, to be saved.
void CheckRun::Impl::storeOptions(int row, const SiteOptions& site) {
    if (site == list.entryAt(row).options)
        return;
    list.setOptions(row, site);
    list.setModified(true);
}

// The time of the check for a site with a minimum interval, and its failures in a row. The time alone is not
// an edit to save, as the last-check column is not.
void CheckRun::Impl::notePace(int row, std::size_t position, bool failed) {
    SiteOptions site = list.entryAt(row).options;
    const QDateTime now = clock.now();
    if (site.minInterval > 0)
        site.lastChecked = now;
    const int before = site.failures;
    if (failed) {
        if (++site.failures == 1)
            site.failingSince = now;
    } else {
        site.failures = 0;
        site.failingSince = QDateTime();
    }
    if (failed || before > 0) {
        streaks.emplace_back(position,
                             FailureStreak{list.entryAt(row).id, list.entryAt(row).url, site.failures, before,
                                           failed ? site.failingSince : list.entryAt(row).options->failingSince});
        list.setModified(true);
    }
    list.setOptions(row, site);
}

// Writes the outcome of a fetched page into its row: the marker, the body's fingerprint and the time.
void CheckRun::Impl::settle(int row, const Flight& flight, qint32 fingerprint, bool changed) {
    if (!changed) {
        list.setField(row, SiteList::Field::Res, ResultMarker::kEqual);
    } else {
        list.setField(row, SiteList::Field::Res, ResultMarker::kChanged);
        emit q->beep();
        findings.push_back({flight.position, flight.entryId, flight.url, Outcome::success()});
    }
    if (changed || list.entryAt(row).crc != StoredCrc(fingerprint))
        list.setModified(true);
    list.setCrc(row, StoredCrc(fingerprint));
    list.setField(row, SiteList::Field::RDateTime, generalDateTimeText(clock.now()));
    notePace(row, flight.position, false);
    list.setTicked(row, false);
    checkedUrls.append(flight.url);
    ++checked;
    emit q->checked(flight.entryId);
}

CheckRunReport CheckRun::Impl::report() const {
    std::vector<Finding> ordered = findings;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Finding& a, const Finding& b) { return a.position < b.position; });
    CheckRunReport r;
    for (const Finding& f : ordered) {
        (f.outcome.ok() ? r.changed : r.timeouts).append(f.url);
        if (!f.outcome.ok() && f.outcome.errorNumber() != FetchError::kTimeout)
            r.failures.append({f.entryId, f.url, f.outcome});
    }
    r.notes = notes;
    auto paced = streaks;
    std::stable_sort(paced.begin(), paced.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& streak : paced)
        r.streaks.append(streak.second);
    r.checked = checked;
    r.notDue = notDue;
    r.bytesReceived = bytesReceived;
    r.fromTimer = fromTimer;
    r.outcome = Outcome::success();
    return r;
}

// Ends the run at once; the rows in flight keep their busy marker and their tick.
void CheckRun::Impl::fail(const Outcome& outcome) {
    fetcher.cancel();
    inFlight.clear();
    perHost.clear();
    CheckRunReport r = report();
    r.outcome = outcome;
    endRun(r);
}

void CheckRun::Impl::finish() {
    fetcher.cancel();
    if (archive && !checkedUrls.isEmpty()) {
        PageArchive* const keeper = archive;
        textPool.start(
            [keeper, urls = std::move(checkedUrls), when = clock.now()] { keeper->noteChecked(urls, when); });
        checkedUrls = QStringList();
    }
    emit q->statusText(
        CheckRun::tr("Last check at %1").arg(clock.now().time().toString(QStringLiteral("HH:mm:ss"))));
    CheckRunReport r = report();
    r.stopped = stopRequested && (next < snapshot.size() || waitingCount > 0);
    endRun(r);
}

void CheckRun::Impl::endRun(const CheckRunReport& r) {
    active = false;
    // A stop belongs to the run it was given to; it never carries over to the next one.
    stopRequested = false;
    ++generation;
    turnScheduled = false;
    snapshot.clear();
    snapshot.shrink_to_fit();
    waiting.clear();
    waitingCount = 0;
    findings.clear();
    emit q->finished(r);
    if (timerRunDeferred && !active) {
        timerRunDeferred = false;
        q->CheckSelectedURLs(true);
    }
}

CheckRun::CheckRun(SiteList& list, const Clock& clock, OptionsSource options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Impl>(this, list, clock, std::move(options))) {
    connect(&d->fetcher, &PageFetcher::finished, this,
            [this](const FetchResult& result) { d->onFetched(result); });
}

CheckRun::CheckRun(SiteList& list, const Clock& clock, const CheckOptions& fixed, QObject* parent)
    : CheckRun(
          list, clock, [fixed] { return fixed; }, parent) {}

CheckRun::~CheckRun() = default;

CheckOptions CheckRun::options() const {
    return d->optionsSource();
}

void CheckRun::setSecrets(const SecretHeaders& secrets) {
    d->secrets = secrets;
}

void CheckRun::setArchive(PageArchive* archive) {
    d->archive = archive;
}

CheckRun::Start CheckRun::CheckSelectedURLs(bool bFromTimer) {
    if (d->active) {
        if (!bFromTimer)
            return Start::Refused;
        d->timerRunDeferred = true;
        return Start::Deferred;
    }
    d->begin(bFromTimer);
    return Start::Started;
}

bool CheckRun::isActive() const {
    return d->active;
}

void CheckRun::requestStop() {
    if (d->active)
        d->stopRequested = true;
}

bool CheckRun::StopRequested() const {
    return d->stopRequested;
}

PageFetcher& CheckRun::fetcher() {
    return d->fetcher;
}
