#pragma once

#include "core/CheckOptions.h"

#include <QLatin1StringView>
#include <QtGlobal>

#include <algorithm>

// A whole number kept under "Settings" in the settings store: the value used while none is stored or the
// stored text is no whole number, and the bounds a stored value is brought within.
struct Setting {
    const char* key;
    qint64 defaultValue;
    qint64 minimum;
    qint64 maximum;

    QLatin1StringView name() const { return QLatin1StringView(key); }
    constexpr qint64 within(qint64 value) const { return std::clamp(value, minimum, maximum); }
};

// Every such setting, one row each: the store, the preferences and quovel-check read them from here.
namespace Settings {
// Seconds a page may take; the preferences refuse less than 15; a signed 16-bit number.
inline constexpr Setting kTimeout{"Timeout", 15, 15, kMaxTimeoutSeconds};
// Pages fetched at once (at most six of them from one host).
inline constexpr Setting kParallel{"Parallel", 6, 1, 64};
// Bodies are held for their text up to this size; one is held in memory per page fetched at once.
inline constexpr Setting kMaxTextBytes{"MaxTextBytes", qint64(8) * 1024 * 1024, qint64(64) * 1024,
                                       qint64(256) * 1024 * 1024};
// After a full request, at most this many less one conditional requests follow; 1 sends none.
inline constexpr Setting kFullRequestEvery{"FullRequestEvery", 10, 1, 1000};
// The least time in milliseconds between two requests to one host (±20 %); a site may set its own.
inline constexpr Setting kHostDelayMs{"HostDelayMs", 0, 0, 600000};
// Versions of each page's text kept in the history.
inline constexpr Setting kHistoryVersions{"HistoryVersions", 10, 1, 1000};
// 0: no desktop notification after a scheduled check that found something.
inline constexpr Setting kNotify{"Notify", 1, 0, 1};
// Failed checks in a row before a site is named as not reachable.
inline constexpr Setting kFailuresBeforeNotice{"FailuresBeforeNotice", 3, 1, 100};
// 1: the window opens the list it had at its last close.
inline constexpr Setting kReopenLastList{"ReopenLastList", 0, 0, 1};
// 1: the window arms the timer again with the interval it had at its last close.
inline constexpr Setting kRearmTimer{"RearmTimer", 0, 0, 1};
// 1: the list is saved after every periodic run that changed it.
inline constexpr Setting kAutoSave{"AutoSave", 0, 0, 1};
} // namespace Settings
