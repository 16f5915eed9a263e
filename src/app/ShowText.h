#pragma once

#include "core/CheckOptions.h"
#include "core/SiteRequest.h"

#include <QString>

// quovel-check --show-text: fetches one page and prints the text that text mode sees, one line per line.
// With a list file, the rules of that URL's site apply and each line is marked: "  " kept, "~ " left out by an
// ignore rule, "# " outside the region. Failures go to standard error. Returns the exit status: 0 when the
// text was printed, 1 when the page could not be fetched or has no text, 2 when the list cannot be read.
// The page is asked for as a check asks for it: the settings' proxy and user agent, and the site's own
// headers, user agent and secrets, never conditionally.
int showText(const QString& url, const QString& listPath, const CheckOptions& options, qint64 maxTextBytes,
             const SecretHeaders& secrets);
