#pragma once

#include "store/Setting.h"

#include <QStringList>

class SettingsStore;

// The settings of a program left running: how it tells the user what a periodic run found, and how it comes
// back at start. The defaults keep the program as it was: an empty list at start, the timer off.
struct SessionSettings {
    enum class CloseAction { Ask, Quit, ToTray };
    static constexpr int kMaxRecentFiles = 8;

    // The numbers' keys, defaults and bounds are in the settings table (store/Setting.h).
    bool notify = Settings::kNotify.defaultValue != 0;
    int failuresBeforeNotice = int(Settings::kFailuresBeforeNotice.defaultValue);
    bool reopenLastList = Settings::kReopenLastList.defaultValue != 0;
    bool rearmTimer = Settings::kRearmTimer.defaultValue != 0;
    bool autoSave = Settings::kAutoSave.defaultValue != 0;
    CloseAction closeWhileArmed = CloseAction::Ask; // CloseWhileArmed: "", "quit" or "tray"

    static SessionSettings read(const SettingsStore& store);
    bool write(SettingsStore& store) const;

    // What the program was doing when it closed: the list file, the timer's interval (0: not armed).
    static QString lastList(const SettingsStore& store);
    static qint64 armedInterval(const SettingsStore& store);
    static bool rememberClose(SettingsStore& store, const QString& listFile, qint64 armedInterval);

    // The list files opened or saved lately, the latest first, at most kMaxRecentFiles.
    static QStringList recentFiles(const SettingsStore& store);
    static bool noteRecentFile(SettingsStore& store, const QString& path);
};
