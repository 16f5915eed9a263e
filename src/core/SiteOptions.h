#pragma once

#include "core/PageSelector.h"
#include "core/UnknownXml.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// The version of the text taken from a page: raised whenever the extraction gives other text for the same
// bytes, so every stored text fingerprint made by an older one is taken again, silently.
inline constexpr int kTextVersion = 3;

// A site's ignore rules are matched against every line of its page: these bound the work a list file can ask.
inline constexpr int kMaxIgnoreRules = 100;
inline constexpr int kMaxRuleLength = 1000;

// What the last checks learnt from a site's server, kept to ask it less. Check results, not the user's edits:
// a check changes them, and of two writers of a list the later check's are kept.
struct ServerMemory {
    QByteArray etag, lastModified;  // the validators of the last full answer, sent with the next request
    int conditional = 0;            // conditional requests since the last full one
    bool validatorsIgnored = false; // the server once called a changed page unchanged: no more validators
    QDateTime retryAt;              // the server asked not to be requested before this (UTC); invalid if not

    bool operator==(const ServerMemory&) const = default;
    bool isEmpty() const { return *this == ServerMemory{}; }
};

// How one site is judged when its body changed: the whole body (the default), or the text read from it,
// with the site's own rules for what is noise.
struct SiteOptions {
    bool textMode = false; // judge the page by its text, not by its bytes
    bool noDigits = false; // digits are taken out of the text first (counters, dates)
    QStringList ignore;    // regular expressions; a line matching any of them is left out
    QString start;         // the text is kept from the first line containing this, when set
    QString end;           // up to the first later line containing this, when set
    QString selector;      // when set, the text is that of the elements it matches
    SelectorKind selectorKind = SelectorKind::XPath;
    std::optional<qint32> textCrc; // the text fingerprint of the last check; none before the first
    int version = kTextVersion;    // the extraction that made textCrc
    qint64 minInterval = 0;        // seconds a periodic run lets pass between two checks of the site; 0: none
    QDateTime lastChecked;         // the latest check, kept for a site with a minimum interval only
    int failures = 0;              // consecutive failed checks
    QDateTime failingSince;        // the first of them
    // How its page is asked for.
    QString userAgent;       // the site's own user agent; empty: the setting's
    int hostDelayMs = -1;    // the site's own least time between two requests to its host; -1: the setting's
    QStringList headers;     // "Name: value" lines sent with each request; secrets are not among them
    bool hasSecrets = false; // Cookie or Authorization lines, kept in the user's settings by URL
    ServerMemory server;
    UnknownXml unknown{}; // what a later version wrote in the options, kept as read

    bool operator==(const SiteOptions&) const = default;

    // Default options are not written to the list file, so a list that uses none stays as it always was.
    bool isDefault() const {
        return !textMode && !noDigits && ignore.isEmpty() && start.isEmpty() && end.isEmpty() &&
               selector.isEmpty() && !textCrc && unknown.isEmpty() && minInterval == 0 && failures == 0 &&
               userAgent.isEmpty() && hostDelayMs < 0 && headers.isEmpty() && !hasSecrets && server.isEmpty();
    }
    // The rules that decide what the text is; the stored fingerprint and its version are not among them.
    bool sameRules(const SiteOptions& o) const {
        return textMode == o.textMode && noDigits == o.noDigits && ignore == o.ignore && start == o.start &&
               end == o.end && selector == o.selector && (selector.isEmpty() || selectorKind == o.selectorKind);
    }
    // The user's settings of how and how often the page is asked for.
    bool sameRequest(const SiteOptions& o) const {
        return minInterval == o.minInterval && userAgent == o.userAgent && hostDelayMs == o.hostDelayMs &&
               headers == o.headers && hasSecrets == o.hasSecrets;
    }
    // What checks learnt, apart from the text fingerprint: taken from the same check, never mixed.
    void takeCheckResults(const SiteOptions& from) {
        lastChecked = from.lastChecked;
        failures = from.failures;
        failingSince = from.failingSince;
        server = from.server;
    }
    void takeRequest(const SiteOptions& from) {
        minInterval = from.minInterval;
        userAgent = from.userAgent;
        hostDelayMs = from.hostDelayMs;
        headers = from.headers;
        hasSecrets = from.hasSecrets;
    }
    // A stored text fingerprint made by this extraction, to compare the next text with.
    bool hasBaseline() const { return textCrc.has_value() && version == kTextVersion; }
    // When a periodic run checks the site next; invalid when the next run does.
    QDateTime nextDue() const {
        return minInterval > 0 && lastChecked.isValid() ? lastChecked.addSecs(minInterval) : QDateTime();
    }
};
