#include "store/RequestSettings.h"

#include "store/SettingsStore.h"

RequestSettings RequestSettings::read(const SettingsStore& store) {
    RequestSettings r;
    r.proxy = store.get(SettingKeys::kSettings, SettingKeys::kProxy, {}).trimmed();
    r.userAgent = store.get(SettingKeys::kSettings, SettingKeys::kUserAgent, {}).simplified();
    r.hostDelayMs = int(store.number(Settings::kHostDelayMs));
    r.fullRequestEvery = int(store.number(Settings::kFullRequestEvery));
    return r;
}

bool RequestSettings::write(SettingsStore& store) const {
    bool ok = store.save(SettingKeys::kSettings, SettingKeys::kProxy, proxy);
    ok &= store.save(SettingKeys::kSettings, SettingKeys::kUserAgent, userAgent.simplified());
    ok &= store.save(SettingKeys::kSettings, Settings::kHostDelayMs.name(),
                     QString::number(Settings::kHostDelayMs.within(hostDelayMs)));
    ok &= store.save(SettingKeys::kSettings, Settings::kFullRequestEvery.name(),
                     QString::number(Settings::kFullRequestEvery.within(fullRequestEvery)));
    return ok;
}

bool RequestSettings::isProxyAddress(const QString& text) {
    return SettingsStore::proxyMode(text) == NetworkOptions::Proxy::Manual;
}
