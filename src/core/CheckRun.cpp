#include "core/CheckRun.h"

#include "core/Clock.h"
#include "core/PageFetcher.h"
#include "core/SiteList.h"
#include "store/SettingsStore.h"

#include <QHash>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <vector>

namespace {
constexpr int kDefaultTimeoutSeconds = 15;
constexpr int kDefaultParallel = 6;
constexpr int kMaxParallel = 64;
constexpr int kPerHostCap = 6;
// Positions that need no fetch handled per event-loop turn: big lists finish fast, the window stays live.
constexpr int kPositionsPerTurn = 4096;
constexpr int kStatusUrlChars = 60;
constexpr int kTypeMismatch = 13;

QString setting(const SettingsStore& settings, const QString& key, const QString& defaultText) {
    return settings.get(SettingKeys::kSettings, key, defaultText).trimmed();
}

// Anything but a whole number of at least one second counts as the default.
int readTimeout(const SettingsStore& settings) {
    bool ok = false;
    const int seconds = setting(settings, SettingKeys::kTimeout, SettingKeys::kDefaultTimeout).toInt(&ok);
    return ok && seconds >= 1 ? seconds : kDefaultTimeoutSeconds;
}

int readParallel(const SettingsStore& settings) {
    bool ok = false;
    const int n = setting(settings, SettingKeys::kParallel, SettingKeys::kDefaultParallel).toInt(&ok);
    return ok ? std::clamp(n, 1, kMaxParallel) : kDefaultParallel;
}

// A crc text as the list keeps it: optional minus sign, digits, within the signed 32-bit range.
bool parseCrc(const QString& text, qint32* value) {
    const qsizetype digitsFrom = text.startsWith(u'-') ? 1 : 0;
    if (text.size() == digitsFrom || text.size() - digitsFrom > 11)
        return false;
    for (qsizetype i = digitsFrom; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return false;
    }
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return false;
    *value = qint32(n);
    return true;
}
} // namespace

QString CheckRunReport::errorMessage() const {
    return QStringLiteral("Errore ") + QString::number(errorNumber) + u'.' + QStringLiteral("\r\n") +
           errorDescription;
}

struct CheckRun::Impl {
    struct Flight {
        std::size_t position; // in the run's snapshot
        quint64 entryId;
        QString url;
        QString host;
    };
    struct Finding {
        std::size_t position;
        QString url;
        bool timedOut;
    };

    CheckRun* q;
    SiteList& list;
    const SettingsStore& settings;
    const Clock& clock;
    PageFetcher fetcher;

    bool active = false;
    bool fromTimer = false;
    bool stopRequested = false;
    bool timerRunDeferred = false;
    quint64 generation = 0; // tells a continuation of an earlier run from one of this run
    bool turnScheduled = false;
    int parallel = kDefaultParallel;

    std::vector<quint64> snapshot; // ids of the entries present when the run started, in list order
    std::size_t next = 0;
    QHash<quint64, Flight> inFlight; // by request id
    QHash<QString, int> perHost;
    std::vector<Finding> findings;
    int checked = 0;

    Impl(CheckRun* owner, SiteList& l, const SettingsStore& s, const Clock& c)
        : q(owner)
        , list(l)
        , settings(s)
        , clock(c) {}

    void begin(bool bFromTimer);
    void scheduleTurn();
    void turn();
    bool startFetch(int row, std::size_t position);
    void onFetched(const FetchResult& result);
    void handleResult(int row, const Flight& flight, const FetchResult& result);
    void fail(int number, const QString& description);
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
    findings.clear();
    checked = 0;

    const int timeout = readTimeout(settings);
    parallel = readParallel(settings);

    if (fromTimer)
        list.setAllTicks(SiteList::TickAll);
    fetcher.cancel();
    fetcher.setTimeout(timeout);

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
void CheckRun::Impl::turn() {
    if (!active)
        return;
    int handled = 0;
    while (next < snapshot.size() && !stopRequested) {
        if (handled >= kPositionsPerTurn) {
            scheduleTurn();
            return;
        }
        const int row = list.rowOfId(snapshot[next]);
        if (row < 0 || !list.isTicked(row)) {
            ++next;
            ++handled;
            continue;
        }
        if (!startFetch(row, next))
            break; // no room now: a result coming back frees it
        ++next;
        ++handled;
    }
    if ((next >= snapshot.size() || stopRequested) && inFlight.isEmpty())
        finish();
}

bool CheckRun::Impl::startFetch(int row, std::size_t position) {
    if (inFlight.size() >= parallel)
        return false;
    const QString url = list.field(row, SiteList::Field::Url);
    const QString host = QUrl(url).host().toLower();
    if (perHost.value(host) >= kPerHostCap)
        return false;

    list.setField(row, SiteList::Field::Res, ResultMarker::kBusy);
    emit q->statusText(QStringLiteral("Browsing ") + url.left(kStatusUrlChars) + QStringLiteral("..."));
    const quint64 requestId = fetcher.fetch(url);
    inFlight.insert(requestId, Flight{position, snapshot[position], url, host});
    ++perHost[host];
    return true;
}

void CheckRun::Impl::onFetched(const FetchResult& result) {
    const auto it = inFlight.constFind(result.requestId);
    if (!active || it == inFlight.constEnd())
        return;
    const Flight flight = it.value();
    inFlight.erase(it);
    if (--perHost[flight.host] <= 0)
        perHost.remove(flight.host);

    const int row = list.rowOfId(flight.entryId);
    if (row >= 0) {
        handleResult(row, flight, result);
        if (!active)
            return; // the result ended the run
    }
    turn();
}

void CheckRun::Impl::handleResult(int row, const Flight& flight, const FetchResult& result) {
    if (!result.ok) {
        if (result.errorNumber != FetchError::kTimeout) {
            fail(result.errorNumber, result.errorDescription);
            return;
        }
        list.setField(row, SiteList::Field::Res, ResultMarker::kTimeout);
        findings.push_back({flight.position, flight.url, true});
        list.setModified(true);
        list.setTicked(row, false);
        ++checked;
        return;
    }

    qint32 stored = 0;
    if (!parseCrc(list.field(row, SiteList::Field::Crc), &stored)) {
        fail(kTypeMismatch, QStringLiteral("Type mismatch"));
        return;
    }
    if (stored == result.fingerprint) {
        list.setField(row, SiteList::Field::Res, ResultMarker::kEqual);
    } else {
        list.setField(row, SiteList::Field::Res, ResultMarker::kChanged);
        emit q->beep();
        findings.push_back({flight.position, flight.url, false});
        list.setModified(true);
    }
    list.setField(row, SiteList::Field::Crc, QString::number(result.fingerprint));
    list.setField(row, SiteList::Field::RDateTime, generalDateTimeText(clock.now()));
    list.setTicked(row, false);
    ++checked;
}

CheckRunReport CheckRun::Impl::report() const {
    std::vector<Finding> ordered = findings;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Finding& a, const Finding& b) { return a.position < b.position; });
    CheckRunReport r;
    for (const Finding& f : ordered)
        (f.timedOut ? r.timeouts : r.changed).append(f.url);
    r.checked = checked;
    r.fromTimer = fromTimer;
    return r;
}

// Ends the run at once; the rows in flight keep their busy marker and their tick.
void CheckRun::Impl::fail(int number, const QString& description) {
    fetcher.cancel();
    inFlight.clear();
    perHost.clear();
    CheckRunReport r = report();
    r.failed = true;
    r.errorNumber = number;
    r.errorDescription = description;
    endRun(r);
}

void CheckRun::Impl::finish() {
    fetcher.cancel();
    emit q->statusText(QStringLiteral("Last check at ") + clock.now().time().toString(QStringLiteral("HH:mm:ss")));
    CheckRunReport r = report();
    r.stopped = stopRequested && next < snapshot.size();
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
    findings.clear();
    emit q->finished(r);
    if (timerRunDeferred && !active) {
        timerRunDeferred = false;
        q->CheckSelectedURLs(true);
    }
}

CheckRun::CheckRun(SiteList& list, const SettingsStore& settings, const Clock& clock, QObject* parent)
    : QObject(parent)
    , d(new Impl(this, list, settings, clock)) {
    connect(&d->fetcher, &PageFetcher::finished, this,
            [this](const FetchResult& result) { d->onFetched(result); });
}

CheckRun::~CheckRun() {
    delete d;
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
