#include "store/SessionSettings.h"

#include "store/SettingsStore.h"

#include <QFileInfo>

#include <algorithm>

namespace {
const QString kCloseWhileArmed = QStringLiteral("CloseWhileArmed");
const QString kSession = QStringLiteral("Session");
const QString kLastList = QStringLiteral("LastList");
const QString kArmedInterval = QStringLiteral("ArmedInterval");
const QString kRecent = QStringLiteral("RecentFiles");

bool flag(const SettingsStore& store, const Setting& setting) {
    return store.number(setting) != 0;
}

bool saveFlag(SettingsStore& store, const Setting& setting, bool on) {
    return store.save(SettingKeys::kSettings, setting.name(), on ? QStringLiteral("1") : QStringLiteral("0"));
}
} // namespace

SessionSettings SessionSettings::read(const SettingsStore& store) {
    SessionSettings s;
    s.notify = flag(store, Settings::kNotify);
    s.failuresBeforeNotice = int(store.number(Settings::kFailuresBeforeNotice));
    s.reopenLastList = flag(store, Settings::kReopenLastList);
    s.rearmTimer = flag(store, Settings::kRearmTimer);
    s.autoSave = flag(store, Settings::kAutoSave);
    const QString close = store.get(SettingKeys::kSettings, kCloseWhileArmed, {}).trimmed();
    s.closeWhileArmed = close == u"tray"   ? CloseAction::ToTray
                        : close == u"quit" ? CloseAction::Quit
                                           : CloseAction::Ask;
    return s;
}

bool SessionSettings::write(SettingsStore& store) const {
    const QString close = closeWhileArmed == CloseAction::ToTray ? QStringLiteral("tray")
                          : closeWhileArmed == CloseAction::Quit ? QStringLiteral("quit")
                                                                 : QString();
    bool ok = saveFlag(store, Settings::kNotify, notify);
    ok &= store.save(SettingKeys::kSettings, Settings::kFailuresBeforeNotice.name(),
                     QString::number(Settings::kFailuresBeforeNotice.within(failuresBeforeNotice)));
    ok &= saveFlag(store, Settings::kReopenLastList, reopenLastList);
    ok &= saveFlag(store, Settings::kRearmTimer, rearmTimer);
    ok &= saveFlag(store, Settings::kAutoSave, autoSave);
    ok &= store.save(SettingKeys::kSettings, kCloseWhileArmed, close);
    return ok;
}

QString SessionSettings::lastList(const SettingsStore& store) {
    return store.get(kSession, kLastList, {});
}

qint64 SessionSettings::armedInterval(const SettingsStore& store) {
    return std::max<qint64>(0, store.get(kSession, kArmedInterval, {}).toLongLong());
}

bool SessionSettings::rememberClose(SettingsStore& store, const QString& listFile, qint64 armedInterval) {
    // Both are saved even when the first fails.
    const bool list = store.save(kSession, kLastList, listFile);
    const bool interval = store.save(kSession, kArmedInterval, QString::number(armedInterval));
    return list && interval;
}

QStringList SessionSettings::recentFiles(const SettingsStore& store) {
    QStringList files;
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const QString path = store.get(kRecent, QString::number(i), {});
        if (!path.isEmpty())
            files << path;
    }
    return files;
}

bool SessionSettings::noteRecentFile(SettingsStore& store, const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = recentFiles(store);
    files.removeAll(absolute);
    files.prepend(absolute);
    QList<std::pair<QString, QString>> keyTexts;
    for (int i = 0; i < kMaxRecentFiles; ++i)
        keyTexts.append({QString::number(i + 1), files.value(i)});
    return store.save(kRecent, keyTexts);
}
