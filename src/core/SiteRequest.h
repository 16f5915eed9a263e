#pragma once

#include "core/Outcome.h"
#include "core/PageFetcher.h"
#include "core/SiteEntry.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>

#include <optional>

// A site's secret header lines (Cookie, Authorization) by URL, as the user's settings keep them.
using SecretHeaders = QHash<QString, QStringList>;

// Why a site is not to be asked at all now: its secrets are missing here, or its server asked to be left
// alone until a time yet to come. Nothing when it may be asked.
std::optional<Outcome> reasonNotToAsk(const SiteEntry& entry, const SecretHeaders& secrets, const QDateTime& now);

// The request for a site's page: its headers and secrets, its user agent and pace, and its validators when
// the next request may be conditional (at most fullRequestEvery − 1 in a row after a full one).
FetchRequest siteRequest(const SiteEntry& entry, const SecretHeaders& secrets, int fullRequestEvery,
                         bool mayBeConditional, const BodyRequest& body);

// What an answer teaches about the site's server. bodyChanged: a full answer's page differs from the last.
// wasConditional: the request carried validators.
ServerMemory learn(const ServerMemory& before, const FetchResult& result, bool wasConditional, bool bodyChanged,
                   const QDateTime& now);
