#pragma once

// How a check run fetches. Its owner reads them from the settings (SettingsStore::checkOptions) and hands
// them over; there are no defaults here, so that they are written in one place only.
// The largest Timeout the preferences can store; a larger one from elsewhere is taken as this.
inline constexpr int kMaxTimeoutSeconds = 32767;

struct CheckOptions {
    int timeoutSeconds; // deadline of each fetch, whole seconds from 1
    int parallel;       // pages fetched at once, from 1
};
