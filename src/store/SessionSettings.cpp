#include "store/SessionSettings.h"

#include "store/SettingsStore.h"

#include <QFileInfo>

#include <algorithm>

namespace {
const QString kNotify = QStringLiteral("Notify");
const QString kFailures = QStringLiteral("FailuresBeforeNotice");
const QString kReopen = QStringLiteral("ReopenLastList");
const QString kRearm = QStringLiteral("RearmTimer");
const QString kAutoSave = QStringLiteral("AutoSave");
const QString kCloseWhileArmed = QStringLiteral("CloseWhileArmed");
const QString kSession = QStringLiteral("Session");
const QString kLastList = QStringLiteral("LastList");
const QString kArmedInterval = QStringLiteral("ArmedInterval");
const QString kRecent = QStringLiteral("RecentFiles");

bool flag(const SettingsStore& store, const QString& key, bool byDefault) {
    const QString text = store.get(SettingKeys::kSettings, key, {}).trimmed();
    return text.isEmpty() ? byDefault : text != u"0";
}

QString flagText(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

SessionSettings SessionSettings::read(const SettingsStore& store) {
    SessionSettings s;
    s.notify = flag(store, kNotify, true);
    bool ok = false;
    const int k = store.get(SettingKeys::kSettings, kFailures, {}).trimmed().toInt(&ok);
    if (ok)
        s.failuresBeforeNotice = std::clamp(k, 1, kMaxFailuresBeforeNotice);
    s.reopenLastList = flag(store, kReopen, false);
    s.rearmTimer = flag(store, kRearm, false);
    s.autoSave = flag(store, kAutoSave, false);
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
    bool ok = store.save(SettingKeys::kSettings, kNotify, flagText(notify));
    ok &= store.save(SettingKeys::kSettings, kFailures, QString::number(failuresBeforeNotice));
    ok &= store.save(SettingKeys::kSettings, kReopen, flagText(reopenLastList));
    ok &= store.save(SettingKeys::kSettings, kRearm, flagText(rearmTimer));
    ok &= store.save(SettingKeys::kSettings, kAutoSave, flagText(autoSave));
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
    return store.save(kSession, kLastList, listFile) &
           store.save(kSession, kArmedInterval, QString::number(armedInterval));
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
    bool ok = true;
    for (int i = 0; i < kMaxRecentFiles; ++i)
        ok &= store.save(kRecent, QString::number(i + 1), files.value(i));
    return ok;
}
