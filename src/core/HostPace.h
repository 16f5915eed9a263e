#pragma once

#include <QHash>
#include <QString>

#include <chrono>
#include <mutex>
#include <optional>

// The pace of requests to each host, shared by the check run (which asks before it starts a page) and the
// fetcher's worker (which asks before every hop): how many at once, the least time between two starts, with
// ±20 % jitter so that many watchers do not fall into step, and a time a server asked to be left alone until.
class HostPace {
public:
    using Time = std::chrono::steady_clock::time_point;
    explicit HostPace(int perHostCap)
        : m_cap(perHostCap) {}

    // 0 when a request to host may start at now; otherwise the milliseconds until it may, or -1 while the
    // host is at its cap (until a request ends).
    qint64 waitMs(const QString& host, Time now) const;
    // Takes a place for a request to host when waitMs() is 0; delayMs then keeps the next start away.
    bool tryStart(const QString& host, Time now, int delayMs);
    void finished(const QString& host);
    // No request to host starts before until.
    void holdOff(const QString& host, Time until);
    // The time a server asked its host to be left alone until, when that is later than now.
    std::optional<Time> heldOffUntil(const QString& host, Time now) const;

private:
    struct State {
        int active = 0;
        Time nextStart{};
        Time heldOff{};
    };
    const int m_cap;
    mutable std::mutex m_mutex;
    QHash<QString, State> m_hosts;
};
