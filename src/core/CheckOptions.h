#pragma once

#include <QtGlobal>

// The largest timeout a fetch takes, in seconds (a signed 16-bit number); a larger one is taken as this.
inline constexpr int kMaxTimeoutSeconds = 32767;

// How a check run fetches, read from the settings (SettingsStore::checkOptions) at the start of every run;
// there are no defaults here: they live with the settings, in one place only.
struct CheckOptions {
    int timeoutSeconds;  // deadline of each fetch, whole seconds from 1
    int parallel;        // pages fetched at once, from 1
    qint64 maxTextBytes; // a body is held for its text up to this size; above it, a page is judged by its body
};
