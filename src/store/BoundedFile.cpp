#include "store/BoundedFile.h"

#include "store/SiteListFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString sysError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

QString tooLarge(qint64 maxSize) {
    return QCoreApplication::translate("SiteListFile", "file larger than %1 MiB").arg(maxSize / (1024 * 1024));
}

} // namespace

int readBoundedFile(const QString& path, qint64 maxSize, QByteArray& data, QString& detail) {
    if (path.isEmpty()) {
        detail = QCoreApplication::translate("SiteListFile", "no file name");
        return SiteListFileErrors::kFileAccess;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        detail = QCoreApplication::translate("SiteListFile", "file does not exist");
        return SiteListFileErrors::kFileNotFound;
    }
    if (!info.isFile()) {
        detail = QCoreApplication::translate("SiteListFile", "not a regular file");
        return SiteListFileErrors::kFileAccess;
    }
    if (info.size() > maxSize) {
        detail = tooLarge(maxSize);
        return SiteListFileErrors::kFileAccess;
    }
#ifdef Q_OS_UNIX
    // Non-blocking, so that a FIFO swapped in after the check above cannot hang the open.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        detail = QCoreApplication::translate("SiteListFile", "cannot open: ") + sysError(errno);
        return SiteListFileErrors::kFileAccess;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        detail = QCoreApplication::translate("SiteListFile", "not a regular file");
        return SiteListFileErrors::kFileAccess;
    }
    if (st.st_size > maxSize) {
        ::close(fd);
        detail = tooLarge(maxSize);
        return SiteListFileErrors::kFileAccess;
    }
    data.resize(qsizetype(st.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == data.size()) {
            if (data.size() > maxSize) {
                ::close(fd);
                detail = tooLarge(maxSize);
                return SiteListFileErrors::kFileAccess;
            }
            data.resize(qMin<qint64>(data.size() * 2, maxSize + 1));
        }
        const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            detail = QCoreApplication::translate("SiteListFile", "cannot read: ") + sysError(err);
            return SiteListFileErrors::kFileAccess;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    data.truncate(got);
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        detail = QCoreApplication::translate("SiteListFile", "cannot open: ") + file.errorString();
        return SiteListFileErrors::kFileAccess;
    }
    data = file.readAll();
    if (data.size() > maxSize) {
        detail = tooLarge(maxSize);
        return SiteListFileErrors::kFileAccess;
    }
#endif
    return 0;
}
