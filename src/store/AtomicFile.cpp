#include "store/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kWriteError = 75; // the list file's and every other writer's "file access" number

#ifdef Q_OS_UNIX
QString errnoText(int error) {
    return qt_error_string(error);
}

// Writes everything or says why not; a write cut short by a signal or a partial write goes on.
bool writeAll(int fd, const char* data, qint64 size, int& error) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size_t(size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        data += done;
        size -= done;
    }
    return true;
}

// The file at `from` takes the name `to` only where nothing has that name, atomically; errno says why not.
bool placeIfAbsent(const QByteArray& from, const QByteArray& to) {
#ifdef Q_OS_LINUX
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
#else
    // A second name, then the temporary one goes: link() never replaces what is there.
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
#endif
}

void syncFolder(const QString& folder) {
    // Not every file system can flush a folder; the rename is then as durable as it gets.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

} // namespace

AtomicFile::AtomicFile(QString path, LinkPolicy links)
    : m_path(std::move(path))
    , m_links(links) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::fail(const QString& what) {
    m_failed = true;
    if (m_error.isEmpty())
        m_error = what;
    discard();
    return false;
}

void AtomicFile::discard() {
#ifdef Q_OS_UNIX
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        m_temporary.clear();
    }
#endif
}

bool AtomicFile::open() {
    m_target = m_path;
    const QFileInfo info(m_path);
    if (m_links == LinkPolicy::FollowLink && info.isSymLink()) {
        // A dangling link is written where it points, as any editor would.
        m_target = info.symLinkTarget();
    }
    const QFileInfo target(m_target);
#ifdef Q_OS_UNIX
    if (target.isDir())
        return fail(errnoText(EISDIR));
    const QByteArray pattern = QFile::encodeName(target.absolutePath() + QLatin1String("/.") + target.fileName() +
                                                 QLatin1String(".XXXXXX"));
    QByteArray name = pattern;
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0)
        return fail(errnoText(errno));
    m_temporary = QFile::decodeName(name);
    // The new file keeps the old one's permissions; a new file gets what the umask allows, as a plain create.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(QFile::encodeName(m_target).constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(m_fd, mode) != 0)
        return fail(errnoText(errno));
    return true;
#else
    return fail(QStringLiteral("unsupported platform"));
#endif
}

bool AtomicFile::write(QByteArrayView bytes) {
    if (m_failed || m_fd < 0)
        return false;
#ifdef Q_OS_UNIX
    int error = 0;
    if (!writeAll(m_fd, bytes.data(), bytes.size(), error))
        return fail(errnoText(error));
#endif
    return true;
}

bool AtomicFile::commit(CommitPolicy how) {
    if (m_failed || m_fd < 0)
        return false;
#ifdef Q_OS_UNIX
    // Data first, then the name: after a power cut the file is the old one or the whole new one.
    if (::fsync(m_fd) != 0)
        return fail(errnoText(errno));
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        return fail(errnoText(errno));
    const QByteArray from = QFile::encodeName(m_temporary), to = QFile::encodeName(m_target);
    if (how == CommitPolicy::OnlyIfAbsent ? !placeIfAbsent(from, to)
                                          : ::rename(from.constData(), to.constData()) != 0)
        return fail(errnoText(errno));
    m_temporary.clear();
    syncFolder(QFileInfo(m_target).absolutePath());
#endif
    return true;
}

Outcome writeFileAtomically(const QString& path, QByteArrayView data, LinkPolicy links, CommitPolicy how) {
    AtomicFile file(path, links);
    if (!file.open() || !file.write(data) || !file.commit(how))
        return Outcome::failure(kWriteError, file.errorString());
    return Outcome::success();
}
