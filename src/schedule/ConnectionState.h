#pragma once

#include <QByteArray>
#include <QNetworkInformation>

#include <optional>

// Whether the computer is online; the start command asks before a manual check run. Tests replace it.
class ConnectionState {
public:
    virtual ~ConnectionState() = default;

    // What the system's network information says where a backend for it loads and knows the answer; otherwise
    // online when an interface other than loopback is up and running with an address and a default route
    // exists (IPv4 or IPv6; where the kernel's route tables cannot be read, the interface alone decides).
    virtual bool IsConnected() const;

    // A network with limited reach or behind a captive portal still reaches intranet pages: only one that is
    // disconnected is offline. Nothing when the system does not know.
    static std::optional<bool> isOnline(QNetworkInformation::Reachability reachability);
    // True when the kernel's IPv4 route table (the text of /proc/net/route) holds a usable default route.
    static bool hasIpv4DefaultRoute(const QByteArray& routeTable);
    // The same for the IPv6 route table (the text of /proc/net/ipv6_route).
    static bool hasIpv6DefaultRoute(const QByteArray& routeTable);
    // True when some interface other than loopback is up and running and has an IPv4 or IPv6 address.
    static bool hasRunningInterface();
};
