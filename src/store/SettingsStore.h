#pragma once

#include "core/CheckOptions.h"

#include <QString>

#include <memory>

class QSettings;

// The per-user settings store: text values by section and key, for one application.
class SettingsStore {
public:
    // The user's store of this application (INI file; on Linux ~/.config/Quovel/Quovel.conf).
    explicit SettingsStore(const QString& application = QStringLiteral("Quovel"));
    // A store kept in the given INI file, for tests and tools.
    static SettingsStore atPath(const QString& iniPath);
    ~SettingsStore();
    SettingsStore(SettingsStore&&) noexcept;
    SettingsStore& operator=(SettingsStore&&) noexcept;

    QString application() const { return m_application; }
    QString get(const QString& section, const QString& key, const QString& defaultValue) const;
    // Stores the text and writes the file at once; false when the file could not be written.
    bool save(const QString& section, const QString& key, const QString& text);
    // The file that backs the store.
    QString fileName() const;

    // The Timeout and Parallel settings, read and checked: a Timeout that is not a whole number of seconds
    // from 1 gives 15; a Parallel that is not a whole number gives 6, and one outside 1 to 64 is brought
    // within.
    CheckOptions checkOptions() const;
    static int clampParallel(int parallel);
    // MaxTextBytes: bodies are held for their text up to this size (default 8 MiB, at least 64 KiB).
    qint64 maxTextBytes() const;
    // HistoryVersions: versions of each page's text kept (default 10, within 1 to 1000).
    int historyVersions() const;
    // Language: "it", "en" or "source"; anything else (the default) follows the user's locale.
    QString language() const;

private:
    SettingsStore(const QString& application, std::unique_ptr<QSettings> settings);
    QString m_application;
    std::unique_ptr<QSettings> m_settings;
};

namespace SettingKeys {
inline const QString kSettings = QStringLiteral("Settings");
inline const QString kTimeout = QStringLiteral("Timeout");
inline const QString kParallel = QStringLiteral("Parallel");
inline const QString kMaxTextBytes = QStringLiteral("MaxTextBytes");
inline const QString kHistoryVersions = QStringLiteral("HistoryVersions");
inline const QString kLanguage = QStringLiteral("Language");
inline const QString kMainWindow = QStringLiteral("frmQVL");
inline const QString kPlacement = QStringLiteral("LTWHS");
inline const QString kDefaultPlacement = QStringLiteral("1551\u00a71551\u00a74425\u00a78535\u00a70");
} // namespace SettingKeys
