#include "store/SettingsStore.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <algorithm>

namespace {
const QString kOrganisation = QStringLiteral("Quovel");
constexpr int kDefaultTimeoutSeconds = 15;
constexpr int kDefaultParallel = 6;
constexpr int kMaxParallel = 64;
constexpr qint64 kDefaultMaxTextBytes = qint64(8) * 1024 * 1024;
constexpr qint64 kMinTextBytes = qint64(64) * 1024;
// A body held for its text lives in memory once per page fetched at once.
constexpr qint64 kMaxTextBytesLimit = qint64(256) * 1024 * 1024;
constexpr int kDefaultHistoryVersions = 10;
constexpr int kMaxHistoryVersions = 1000;

QString groupKey(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}
} // namespace

SettingsStore::SettingsStore(const QString& application)
    // The native format is an INI file on Linux (~/.config/Quovel/Quovel.conf) and the platform's own store
    // elsewhere; IniFormat would name the file Quovel.ini.
    : SettingsStore(application, std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                             kOrganisation, application)) {}

SettingsStore::SettingsStore(const QString& application, std::unique_ptr<QSettings> settings)
    : m_application(application)
    , m_settings(std::move(settings)) {}

SettingsStore SettingsStore::atPath(const QString& iniPath) {
    return SettingsStore(QStringLiteral("Quovel"), std::make_unique<QSettings>(iniPath, QSettings::IniFormat));
}

SettingsStore::~SettingsStore() = default;
SettingsStore::SettingsStore(SettingsStore&&) noexcept = default;
SettingsStore& SettingsStore::operator=(SettingsStore&&) noexcept = default;

QString SettingsStore::get(const QString& section, const QString& key, const QString& defaultValue) const {
    const QVariant value = m_settings->value(groupKey(section, key));
    if (!value.isValid())
        return defaultValue;
    // An unquoted hand-edited value with commas comes back as a list; it was one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    if (!value.canConvert<QString>())
        return defaultValue;
    return value.toString();
}

bool SettingsStore::save(const QString& section, const QString& key, const QString& text) {
    m_settings->setValue(groupKey(section, key), text);
    // Written at once so that a later crash does not lose the value.
    m_settings->sync();
    // A format error here only means the old file held garbage; it has been written over all the same.
    return m_settings->status() != QSettings::AccessError;
}

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

CheckOptions SettingsStore::checkOptions() const {
    bool ok = false;
    const int timeout = get(SettingKeys::kSettings, SettingKeys::kTimeout, {}).trimmed().toInt(&ok);
    CheckOptions options{ok && timeout >= 1 ? timeout : kDefaultTimeoutSeconds, kDefaultParallel};
    const int parallel = get(SettingKeys::kSettings, SettingKeys::kParallel, {}).trimmed().toInt(&ok);
    if (ok)
        options.parallel = clampParallel(parallel);
    return options;
}

qint64 SettingsStore::maxTextBytes() const {
    bool ok = false;
    const qint64 bytes = get(SettingKeys::kSettings, SettingKeys::kMaxTextBytes, {}).trimmed().toLongLong(&ok);
    if (!ok)
        return kDefaultMaxTextBytes;
    return std::clamp(bytes, kMinTextBytes, kMaxTextBytesLimit);
}

int SettingsStore::historyVersions() const {
    bool ok = false;
    const int versions = get(SettingKeys::kSettings, SettingKeys::kHistoryVersions, {}).trimmed().toInt(&ok);
    return ok ? std::clamp(versions, 1, kMaxHistoryVersions) : kDefaultHistoryVersions;
}

int SettingsStore::clampParallel(int parallel) {
    return std::clamp(parallel, 1, kMaxParallel);
}

QString SettingsStore::language() const {
    return get(SettingKeys::kSettings, SettingKeys::kLanguage, {}).trimmed().toLower();
}
