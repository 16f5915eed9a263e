#pragma once

// How a check run fetches. Its owner reads them from the settings (SettingsStore::checkOptions) and hands
// them over; there are no defaults here, so that they are written in one place only.
struct CheckOptions {
    int timeoutSeconds; // deadline of each fetch, whole seconds from 1
    int parallel;       // pages fetched at once, from 1
};
