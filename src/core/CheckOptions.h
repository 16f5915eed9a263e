#pragma once

#include "core/PageFetcher.h"

#include <QtGlobal>

// How a check run fetches, read from the settings (SettingsStore::checkOptions) at the start of every run; the
// timeout, parallelism and text size have no defaults here: they live with the settings, in one place only.
struct CheckOptions {
    int timeoutSeconds;  // deadline of each fetch, whole seconds from 1
    int parallel;        // pages fetched at once, from 1
    qint64 maxTextBytes; // a body is held for its text up to this size; above it, a page is judged by its body
    // After a full request, at most this many less one conditional requests follow; 1 sends none.
    int fullRequestEvery = 10;
    NetworkOptions network{};
};
