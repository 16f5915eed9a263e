#pragma once

#include "core/CheckOptions.h"
#include "store/Setting.h"

#include <QList>
#include <QString>

#include <memory>
#include <utility>

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
    // The same for several keys of one section, with one write of the file.
    bool save(const QString& section, const QList<std::pair<QString, QString>>& keyTexts);
    // The file that backs the store.
    QString fileName() const;

    // The setting's value under "Settings": its default while none is stored or the stored text is no whole
    // number, brought within its bounds otherwise.
    qint64 number(const Setting& setting) const;
    // What a check run takes: Timeout, Parallel, MaxTextBytes, FullRequestEvery and HostDelayMs from the
    // table, UserAgent (empty: the built-in one) and Proxy ("none", "system" the default, or host:port).
    CheckOptions checkOptions() const;
    // "none", host:port (manual), anything else the system's proxy variables.
    static NetworkOptions::Proxy proxyMode(const QString& text);
    // Language: "it", "en" or "source"; anything else (the default) follows the user's locale.
    QString language() const;

private:
    SettingsStore(const QString& application, std::unique_ptr<QSettings> settings);
    QString m_application;
    std::unique_ptr<QSettings> m_settings;
};

namespace SettingKeys {
inline const QString kSettings = QStringLiteral("Settings");
inline const QString kUserAgent = QStringLiteral("UserAgent");
inline const QString kProxy = QStringLiteral("Proxy");
inline const QString kLanguage = QStringLiteral("Language");
inline const QString kMainWindow = QStringLiteral("frmQVL");
inline const QString kPlacement = QStringLiteral("LTWHS");
inline const QString kDefaultPlacement = QStringLiteral("1551\u00a71551\u00a74425\u00a78535\u00a70");
} // namespace SettingKeys
