#include "store/PageHistory.h"

#include "store/AtomicFile.h"
#include "store/HistoryFormat.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>

using HistoryFormat::Contents;
using HistoryFormat::Record;

namespace {

const QString kSuffix = QStringLiteral(".qvh");
// How long a write waits for another process writing the same page, and when a lock counts as left behind by
// a process that hung; a page's history is read, merged and written in well under a second.
constexpr int kLockWaitMs = 20000;
constexpr int kStaleLockMs = 30000;

QString fileName(const QString& url) {
    return QString::fromLatin1(QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha256).toHex()) +
           kSuffix;
}

// The bytes of a history file; none when there is none, or when what has its name is not a regular file (a
// link or a pipe is never read through, nor waited on).
std::optional<QByteArray> readRegular(const QString& path) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    QFile file;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
#else
    const QFileInfo info(path);
    QFile file(path);
    if (info.isSymLink() || !info.isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
#endif
    return file.readAll();
}

// Replaces the file by a rename: a link at its name is replaced, never written through. With OnlyIfAbsent the
// file is made only where nothing has its name.
bool replaceFile(const QString& path, const QByteArray& data, CommitPolicy how = CommitPolicy::Replace) {
    if (how == CommitPolicy::OnlyIfAbsent)
        return writeFileAtomically(path, data, LinkPolicy::ReplaceLink, how).ok();
#ifdef Q_OS_UNIX
    // An empty folder in the way goes; one with something in it is left alone, and the history with it.
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && ::rmdir(name.constData()) != 0)
        return false;
#endif
    return writeFileAtomically(path, data, LinkPolicy::ReplaceLink).ok();
}

// Whether nothing at all has the name (not even a link to nothing).
bool absent(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) != 0 && errno == ENOENT;
#else
    return !QFileInfo(path).exists() && !QFileInfo(path).isSymLink();
#endif
}

// Sets the file's modification time (a link's own, never its target's); on Unix by its name, which spares
// opening each of many files.
bool touch(const QString& path, const QDateTime& when) {
#ifdef Q_OS_UNIX
    const qint64 ms = when.toMSecsSinceEpoch();
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(ms / 1000), long(ms % 1000) * 1000000}};
    if (ms >= 0)
        return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
#endif
    QFile file(path);
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) &&
           file.setFileTime(when, QFileDevice::FileModificationTime);
}

} // namespace

struct PageHistory::Impl {
    QString folder;
    std::atomic<int> maxVersions;
    // False once the file system refused to make a file only where none is: first versions then take the lock.
    std::atomic<bool> makesIfAbsent{true};

    QString pathOf(const QString& url) const { return folder + QLatin1Char('/') + fileName(url); }
    bool write(const QString& path, const QByteArray& url, const std::vector<Record>& records,
               const QDateTime& when, CommitPolicy how = CommitPolicy::Replace);
    void writeLocked(const QString& path, const QByteArray& url, const QByteArray& utf8, const Record& fresh,
                     const QDateTime& when);
};

bool PageHistory::Impl::write(const QString& path, const QByteArray& url, const std::vector<Record>& records,
                              const QDateTime& when, CommitPolicy how) {
    return replaceFile(path, HistoryFormat::serialize(url, records), how) && touch(path, when);
}

PageHistory::PageHistory(const QString& folder, int maxVersions)
    : d(std::make_unique<Impl>()) {
    d->folder = folder;
    d->maxVersions = std::max(maxVersions, 1);
}

PageHistory::~PageHistory() = default;

// One folder for the window and quovel-check alike, whatever each calls itself.
QString PageHistory::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Quovel/history");
}

QString PageHistory::folder() const {
    return d->folder;
}

void PageHistory::setMaxVersions(int versions) {
    d->maxVersions = std::max(versions, 1);
}

void PageHistory::record(const QString& url, const QString& text, const QDateTime& when, qint32 bodyCrc) {
    const QByteArray urlBytes = url.toUtf8();
    if (urlBytes.size() > HistoryFormat::kMaxUrlBytes)
        return;
    const QByteArray utf8 = text.toUtf8();
    const QString path = d->pathOf(url);
    const auto unchanged = [&utf8](const Contents& c) {
        return !c.records.empty() && HistoryFormat::sameText(c.records.back(), utf8);
    };
    // Most changed pages keep the text they had (the body changed elsewhere): decided without compressing.
    const Contents quick = HistoryFormat::parse(readRegular(path).value_or(QByteArray()), urlBytes, false);
    if (quick.format > HistoryFormat::kCurrentFormat || (!quick.damaged && unchanged(quick))) {
        touch(path, when);
        return;
    }
    const Record fresh = HistoryFormat::encode(utf8, when.toMSecsSinceEpoch(), bodyCrc);
    if (fresh.data.isEmpty() || !QDir().mkpath(d->folder))
        return;
    // A page's first version needs no lock: it is made only where no file is, so a writer that made the file
    // meanwhile loses nothing (its file is then read and merged under the lock, as any other).
    if (quick.format == 0 && !quick.damaged && d->makesIfAbsent &&
        d->write(path, urlBytes, {fresh}, when, CommitPolicy::OnlyIfAbsent))
        return;
    d->writeLocked(path, urlBytes, utf8, fresh, when);
}

void PageHistory::Impl::writeLocked(const QString& path, const QByteArray& urlBytes, const QByteArray& utf8,
                                    const Record& fresh, const QDateTime& when) {
    // Read again under the lock, which orders this process's threads as much as other processes: what another
    // writer wrote meanwhile is kept.
    QLockFile fileLock(path + QStringLiteral(".lock"));
    fileLock.setStaleLockTime(kStaleLockMs);
    if (!fileLock.tryLock(kLockWaitMs))
        return;
    // Twice at most: a first version made without the lock may appear between the reading and the writing.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::optional<QByteArray> bytes = readRegular(path);
        Contents c = HistoryFormat::parse(bytes.value_or(QByteArray()), urlBytes);
        if (c.format > HistoryFormat::kCurrentFormat)
            return;
        // Versions read from the older format get their fingerprints, so the file can be written in the new one.
        c.damaged |= std::erase_if(c.records, [](Record& r) { return !HistoryFormat::completePrint(r); }) > 0;
        if (!c.records.empty() && HistoryFormat::sameText(c.records.back(), utf8)) {
            if (c.damaged || c.format != HistoryFormat::kCurrentFormat)
                write(path, urlBytes, c.records, when);
            else
                touch(path, when);
            return;
        }
        c.records.push_back(fresh);
        const size_t keep = size_t(maxVersions.load());
        if (c.records.size() > keep)
            c.records.erase(c.records.begin(), c.records.end() - qsizetype(keep));
        if (bytes || !absent(path)) {
            write(path, urlBytes, c.records, when);
            return;
        }
        if (write(path, urlBytes, c.records, when, CommitPolicy::OnlyIfAbsent))
            return;
        if (absent(path)) { // refused for another reason than a file in the way
            makesIfAbsent = false;
            write(path, urlBytes, c.records, when);
            return;
        }
    }
}

void PageHistory::noteChecked(const QStringList& urls, const QDateTime& when) {
    // One listing of the folder, so that pages without history cost no file system call.
    const QStringList names = QDir(d->folder).entryList({QLatin1Char('*') + kSuffix}, QDir::Files);
    const QSet<QString> present(names.cbegin(), names.cend());
    for (const QString& url : urls) {
        const QString name = fileName(url);
        if (present.contains(name))
            touch(d->folder + QLatin1Char('/') + name, when);
    }
}

std::vector<PageVersion> PageHistory::versions(const QString& url) const {
    std::vector<PageVersion> out;
    const Contents c = HistoryFormat::parse(readRegular(d->pathOf(url)).value_or(QByteArray()), url.toUtf8());
    for (const Record& r : c.records) {
        if (const std::optional<QByteArray> text = HistoryFormat::decode(r)) {
            out.push_back({QDateTime::fromMSecsSinceEpoch(r.checkedMs, Qt::UTC), r.bodyCrc,
                           QString::fromUtf8(*text), r.truncated});
        }
    }
    return out;
}

std::optional<PageVersion> PageHistory::latest(const QString& url) const {
    const Contents c =
        HistoryFormat::parse(readRegular(d->pathOf(url)).value_or(QByteArray()), url.toUtf8(), false);
    for (auto r = c.records.crbegin(); r != c.records.crend(); ++r) {
        if (const std::optional<QByteArray> text = HistoryFormat::decode(*r))
            return PageVersion{QDateTime::fromMSecsSinceEpoch(r->checkedMs, Qt::UTC), r->bodyCrc,
                               QString::fromUtf8(*text), r->truncated};
    }
    return std::nullopt;
}

HistoryListing PageHistory::listing(const QString& url) const {
    HistoryListing out;
    const std::optional<QByteArray> bytes = readRegular(d->pathOf(url));
    const Contents c = HistoryFormat::parse(bytes.value_or(QByteArray()), url.toUtf8());
    out.found = bytes.has_value();
    out.newer = c.format > HistoryFormat::kCurrentFormat;
    out.damaged = c.damaged;
    out.held = int(c.held);
    for (const Record& r : c.records) {
        // Listed only when its text can be read back, as the change viewer would.
        if (!HistoryFormat::decode(r)) {
            out.damaged = true;
            continue;
        }
        out.versions.push_back(
            {QDateTime::fromMSecsSinceEpoch(r.checkedMs, Qt::UTC), r.bodyCrc, qint64(r.textBytes), r.truncated});
    }
    return out;
}

int PageHistory::prune(const QDateTime& now, int days) {
    const QDateTime limit = now.addDays(-qint64(days));
    const QFileInfoList files = QDir(d->folder).entryInfoList({QLatin1Char('*') + kSuffix}, QDir::Files);
    int removed = 0;
    for (const QFileInfo& info : files) {
        if (info.lastModified() >= limit)
            continue;
        // A page being written now is being checked: it stays.
        QLockFile fileLock(info.filePath() + QStringLiteral(".lock"));
        fileLock.setStaleLockTime(kStaleLockMs);
        if (!fileLock.tryLock(0))
            continue;
        QFileInfo fresh(info.filePath()); // a record() may have renewed it since the listing
        if (fresh.exists() && fresh.lastModified() < limit && QFile::remove(fresh.filePath()))
            ++removed;
    }
    // What a writer that died left behind: its lock file, its temporary file.
    const QFileInfoList leftovers =
        QDir(d->folder).entryInfoList({QLatin1Char('*') + kSuffix + QStringLiteral(".lock"),
                                       QStringLiteral(".*") + kSuffix + QStringLiteral(".*")},
                                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& info : leftovers) {
        if (info.lastModified() < limit)
            QFile::remove(info.filePath());
    }
    return removed;
}
