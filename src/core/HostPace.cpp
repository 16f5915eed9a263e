#include "core/HostPace.h"

#include <QRandomGenerator>

#include <algorithm>

qint64 HostPace::waitMs(const QString& host, Time now) const {
    const std::lock_guard lock(m_mutex);
    const auto it = m_hosts.constFind(host);
    if (it == m_hosts.constEnd())
        return 0;
    if (it->active >= m_cap)
        return -1;
    const Time ready = std::max(it->nextStart, it->heldOff);
    if (ready <= now)
        return 0;
    // Rounded up: a caller that waits this long finds the host ready.
    return std::chrono::ceil<std::chrono::milliseconds>(ready - now).count();
}

bool HostPace::tryStart(const QString& host, Time now, int delayMs) {
    const std::lock_guard lock(m_mutex);
    State& s = m_hosts[host];
    if (s.active >= m_cap || s.nextStart > now || s.heldOff > now)
        return false;
    ++s.active;
    if (delayMs > 0) {
        const double jitter = 0.8 + 0.4 * QRandomGenerator::global()->generateDouble();
        s.nextStart = now + std::chrono::microseconds(qint64(delayMs * 1000.0 * jitter));
    }
    return true;
}

void HostPace::finished(const QString& host) {
    const std::lock_guard lock(m_mutex);
    const auto it = m_hosts.find(host);
    if (it != m_hosts.end() && it->active > 0)
        --it->active;
}

void HostPace::holdOff(const QString& host, Time until) {
    const std::lock_guard lock(m_mutex);
    State& s = m_hosts[host];
    s.heldOff = std::max(s.heldOff, until);
}

std::optional<HostPace::Time> HostPace::heldOffUntil(const QString& host, Time now) const {
    const std::lock_guard lock(m_mutex);
    const auto it = m_hosts.constFind(host);
    if (it == m_hosts.constEnd() || it->heldOff <= now)
        return std::nullopt;
    return it->heldOff;
}
