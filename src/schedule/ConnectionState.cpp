#include "schedule/ConnectionState.h"

#include <QFile>
#include <QList>

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

namespace {

// Route flags of the kernel (linux/route.h, linux/ipv6_route.h).
constexpr unsigned kRouteUp = 0x0001;
constexpr unsigned kRouteReject = 0x0200;

QByteArray readProcFile(const char* path) {
    QFile file(QString::fromLatin1(path));
    // Files under /proc report size 0, so read until the end rather than by size.
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
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
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (const ifaddrs* a = list; a && !found; a = a->ifa_next) {
        if (!a->ifa_addr)
            continue;
        const int family = a->ifa_addr->sa_family;
        const unsigned flags = a->ifa_flags;
        found = (family == AF_INET || family == AF_INET6) && (flags & IFF_UP) && (flags & IFF_RUNNING) &&
                !(flags & IFF_LOOPBACK);
    }
    freeifaddrs(list);
    return found;
}

bool ConnectionState::IsConnected() const {
    if (!hasRunningInterface())
        return false;
    return hasIpv4DefaultRoute(readProcFile("/proc/net/route")) ||
           hasIpv6DefaultRoute(readProcFile("/proc/net/ipv6_route"));
}
