#include "store/SettingsStore.h"

#include "store/RequestSettings.h"

#include <QRegularExpression>
#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace {
const QString kOrganisation = QStringLiteral("Quovel");

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
    return save(section, {{key, text}});
}

bool SettingsStore::save(const QString& section, const QList<std::pair<QString, QString>>& keyTexts) {
    for (const auto& [key, text] : keyTexts)
        m_settings->setValue(groupKey(section, key), text);
    // Written at once so that a later crash does not lose the value.
    m_settings->sync();
    // A format error here only means the old file held garbage; it has been written over all the same.
    return m_settings->status() != QSettings::AccessError;
}

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

qint64 SettingsStore::number(const Setting& setting) const {
    bool ok = false;
    const qint64 value = get(SettingKeys::kSettings, setting.name(), {}).trimmed().toLongLong(&ok);
    return ok ? setting.within(value) : setting.defaultValue;
}

CheckOptions SettingsStore::checkOptions() const {
    CheckOptions options{int(number(Settings::kTimeout)), int(number(Settings::kParallel)),
                         number(Settings::kMaxTextBytes)};
    // The request settings are read as the settings dialog reads them.
    const RequestSettings requests = RequestSettings::read(*this);
    options.fullRequestEvery = requests.fullRequestEvery;
    options.network.hostDelayMs = requests.hostDelayMs;
    options.network.userAgent = requests.userAgent.toUtf8();
    options.network.proxy = proxyMode(requests.proxy);
    if (options.network.proxy == NetworkOptions::Proxy::Manual)
        options.network.proxyAddress = requests.proxy.toUtf8();
    return options;
}

NetworkOptions::Proxy SettingsStore::proxyMode(const QString& text) {
    static const QRegularExpression hostPort(QStringLiteral("^([A-Za-z0-9.-]+|\\[[0-9A-Fa-f:.]+\\]):[0-9]{1,5}$"));
    if (text.compare(u"none", Qt::CaseInsensitive) == 0)
        return NetworkOptions::Proxy::None;
    return hostPort.match(text).hasMatch() ? NetworkOptions::Proxy::Manual : NetworkOptions::Proxy::System;
}

QString SettingsStore::language() const {
    return get(SettingKeys::kSettings, SettingKeys::kLanguage, {}).trimmed().toLower();
}
