#pragma once

#include <QByteArray>

// Whether the computer is online; the start command asks before a manual check run. Tests replace it.
class ConnectionState {
public:
    virtual ~ConnectionState() = default;

    // Online when an interface other than loopback is up and running with an address and a default route
    // exists (IPv4 or IPv6).
    virtual bool IsConnected() const;

    // True when the kernel's IPv4 route table (the text of /proc/net/route) holds a usable default route.
    static bool hasIpv4DefaultRoute(const QByteArray& routeTable);
    // The same for the IPv6 route table (the text of /proc/net/ipv6_route).
    static bool hasIpv6DefaultRoute(const QByteArray& routeTable);
    // True when some interface other than loopback is up and running and has an IPv4 or IPv6 address.
    static bool hasRunningInterface();
};
