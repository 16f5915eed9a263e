#include "schedule/ConnectionState.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QNetworkInformation>
#include <QNetworkInterface>

namespace {

// Route flags of the kernel (linux/route.h, linux/ipv6_route.h).
constexpr unsigned kRouteUp = 0x0001;
constexpr unsigned kRouteReject = 0x0200;

// Nothing when the file cannot be read (no such file on this system).
std::optional<QByteArray> readProcFile(const char* path) {
    QFile file(QString::fromLatin1(path));
    // Files under /proc report size 0, so read until the end rather than by size.
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// The system's network information, loaded on first use; null where no backend that knows reachability loads.
const QNetworkInformation* networkInformation() {
    static const bool loaded = QCoreApplication::instance() && QNetworkInformation::loadBackendByFeatures(
                                                                   QNetworkInformation::Feature::Reachability);
    return loaded ? QNetworkInformation::instance() : nullptr;
}

QList<QByteArray> fieldsOf(const QByteArray& line) {
    return line.simplified().split(' ');
}

bool isLoopbackName(const QByteArray& iface) {
    return iface == "lo";
}

} // namespace

bool ConnectionState::hasIpv4DefaultRoute(const QByteArray& routeTable) {
    const QList<QByteArray> lines = routeTable.split('\n');
    // Iface Destination Gateway Flags RefCnt Use Metric Mask ...; the first line is the header.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = fieldsOf(lines.at(i));
        if (f.size() < 8)
            continue;
        bool okFlags = false;
        const unsigned flags = f.at(3).toUInt(&okFlags, 16);
        if (!okFlags || isLoopbackName(f.at(0)))
            continue;
        if (f.at(1) == "00000000" && f.at(7) == "00000000" && (flags & kRouteUp) && !(flags & kRouteReject))
            return true;
    }
    return false;
}

bool ConnectionState::hasIpv6DefaultRoute(const QByteArray& routeTable) {
    static const QByteArray kAnyAddress(32, '0');
    // dest prefixlen src srcprefixlen nexthop metric refcnt use flags iface; no header.
    for (const QByteArray& line : routeTable.split('\n')) {
        const QList<QByteArray> f = fieldsOf(line);
        if (f.size() < 10)
            continue;
        bool okFlags = false;
        const unsigned flags = f.at(8).toUInt(&okFlags, 16);
        // The kernel keeps an unreachable ::/0 route on lo; it is no way out.
        if (!okFlags || isLoopbackName(f.at(9)))
            continue;
        if (f.at(0) == kAnyAddress && f.at(1) == "00" && (flags & kRouteUp) && !(flags & kRouteReject))
            return true;
    }
    return false;
}

bool ConnectionState::hasRunningInterface() {
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const QNetworkInterface::InterfaceFlags flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            const QAbstractSocket::NetworkLayerProtocol protocol = entry.ip().protocol();
            if (protocol == QAbstractSocket::IPv4Protocol || protocol == QAbstractSocket::IPv6Protocol)
                return true;
        }
    }
    return false;
}

std::optional<bool> ConnectionState::isOnline(QNetworkInformation::Reachability reachability) {
    if (reachability == QNetworkInformation::Reachability::Unknown)
        return std::nullopt;
    return reachability != QNetworkInformation::Reachability::Disconnected;
}

bool ConnectionState::IsConnected() const {
    if (const QNetworkInformation* info = networkInformation()) {
        if (const std::optional<bool> online = isOnline(info->reachability()))
            return *online;
    }
    if (!hasRunningInterface())
        return false;
    const std::optional<QByteArray> v4 = readProcFile("/proc/net/route");
    const std::optional<QByteArray> v6 = readProcFile("/proc/net/ipv6_route");
    if (!v4 && !v6)
        return true;
    return (v4 && hasIpv4DefaultRoute(*v4)) || (v6 && hasIpv6DefaultRoute(*v6));
}
