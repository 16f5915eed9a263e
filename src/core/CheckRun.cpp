#include "core/CheckRun.h"

#include "core/CheckRunImpl.h"
#include "core/Clock.h"
#include "core/PageArchive.h"
#include "core/PageText.h"
#include "core/SiteList.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <limits>

using namespace check_run;

QString CheckRunReport::errorMessage() const {
    return CheckRun::tr("Errore %1.").arg(outcome.errorNumber()) + QStringLiteral("\r\n") + outcome.errorText();
}

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
