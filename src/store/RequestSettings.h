#pragma once

#include <QString>

class SettingsStore;

// How every page is asked for, as the settings dialog edits it: the check run reads the same keys through
// SettingsStore::checkOptions at the start of each run.
struct RequestSettings {
    QString proxy;             // Proxy: "none", "" or "system", or host:port
    QString userAgent;         // UserAgent: empty for the built-in one
    int hostDelayMs = 0;       // HostDelayMs
    int fullRequestEvery = 10; // FullRequestEvery

    static RequestSettings read(const SettingsStore& store);
    bool write(SettingsStore& store) const;
    // Whether a manual proxy text names host:port.
    static bool isProxyAddress(const QString& text);
};
