#pragma once

#include "core/PageFetcher.h"

// How a check run fetches. Its owner reads them from the settings (SettingsStore::checkOptions) and hands
// them over; the timeout and parallelism have no defaults here; the others default to what a new user gets.
struct CheckOptions {
    int timeoutSeconds; // deadline of each fetch, whole seconds from 1
    int parallel;       // pages fetched at once, from 1
    // After a full request, at most this many less one conditional requests follow; 1 sends none.
    int fullRequestEvery = 10;
    NetworkOptions network{};
};
