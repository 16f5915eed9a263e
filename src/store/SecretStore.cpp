#include "store/SecretStore.h"

#include "store/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SecretStore::SecretStore(QString path)
    : m_path(std::move(path)) {}

QString SecretStore::besideSettings(const QString& settingsFile) {
    return QFileInfo(settingsFile).absoluteDir().filePath(QStringLiteral("secrets.json"));
}

SecretHeaders SecretStore::read() const {
    QFile file(m_path);
    SecretHeaders all;
    if (!file.open(QIODevice::ReadOnly))
        return all;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        QStringList lines;
        for (const QJsonValue& line : it.value().toArray())
            lines.append(line.toString());
        if (!lines.isEmpty())
            all.insert(it.key(), lines);
    }
    return all;
}

Outcome SecretStore::setLines(const QString& url, const QStringList& lines) {
    SecretHeaders all = read();
    if (lines.isEmpty())
        all.remove(url);
    else
        all.insert(url, lines);
    return write(all);
}

Outcome SecretStore::rekey(const QString& from, const QString& to) {
    SecretHeaders all = read();
    if (from == to || !all.contains(from))
        return Outcome::success();
    all.insert(to, all.take(from));
    return write(all);
}

Outcome SecretStore::write(const SecretHeaders& all) {
    QJsonObject root;
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        root.insert(it.key(), QJsonArray::fromStringList(it.value()));
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // The replacement takes the old file's mode: the file is made the user's alone before anything is in it.
    const QByteArray name = QFile::encodeName(m_path);
    // A link planted in its place is replaced, never written through.
    const auto openOwn = [&name] {
        return ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    };
    int fd = openOwn();
    if (fd < 0 && errno == ELOOP && ::unlink(name.constData()) == 0)
        fd = openOwn();
    const bool own = fd >= 0 && ::fchmod(fd, 0600) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!own)
        return Outcome::failure(-1, QStringLiteral("Impossibile proteggere il file %1.").arg(m_path));
    return writeFileAtomically(m_path, QJsonDocument(root).toJson(QJsonDocument::Indented),
                               LinkPolicy::ReplaceLink);
}
