#include "store/Autostart.h"

#include "store/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString Autostart::entryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/" QUOVEL_APP_ID ".desktop");
}

bool Autostart::isEnabled() {
    return QFileInfo::exists(entryPath());
}

Outcome Autostart::enable(const QString& program) {
    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Outcome::failure(75, QFileInfo(path).absolutePath());
    // Exec takes a quoted argument; a quote or backslash in it is escaped, twice as the key's value wants.
    QString quoted = program;
    quoted.replace(u'\\', QStringLiteral("\\\\\\\\"))
        .replace(u'"', QStringLiteral("\\\\\""))
        .replace(u'`', QStringLiteral("\\\\`"))
        .replace(u'$', QStringLiteral("\\\\$"));
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Quovel\nExec=\"") + quoted +
                          QStringLiteral("\" --minimized\nIcon=" QUOVEL_APP_ID "\nTerminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n");
    return writeFileAtomically(path, entry.toUtf8(), LinkPolicy::ReplaceLink);
}

Outcome Autostart::disable() {
    const QString path = entryPath();
    if (QFileInfo(path).isSymLink() || QFileInfo::exists(path)) {
        if (!QFile::remove(path))
            return Outcome::failure(75, path);
    }
    return Outcome::success();
}
