#pragma once

#include <QByteArray>
#include <QString>

// Where a fetch may go: the address checked, and the proxy the environment names. Internal to the page
// fetcher.

struct CheckedUrl {
    QByteArray url; // normalised, ready for curl; empty when refused
    int errorNumber = 0;
};

// Refuses anything but a well-formed http or https address before any connection is made.
CheckedUrl checkUrl(const QString& text);

// The proxy the environment names for a URL, as curl reads it: http_proxy (lower case only) or https_proxy,
// else all_proxy, unless no_proxy names the host ("*", the host itself or a domain it is in). Empty: none.
QByteArray systemProxyFor(const QByteArray& url);
