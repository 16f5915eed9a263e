#include "store/PageHistory.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QtEndian>

#include <zlib.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <atomic>

// A history file: "QVHF", format version (u32), URL length (u32) and its UTF-8, version count (u32), then
// the versions oldest first. A version: check time (i64, ms since the epoch, UTC), body crc (i32), flags (u32,
// bit 0 truncated), text length (u32, UTF-8 bytes), compressed length (u32), the zlib data, and the CRC-32 of
// all of the version before it (u32). Numbers are little-endian. Every length is checked against what is left
// of the file and a cap before anything is allocated.
namespace {

constexpr char kMagic[4] = {'Q', 'V', 'H', 'F'};
constexpr quint32 kFormatVersion = 1;
constexpr qsizetype kVersionHead = 8 + 4 + 4 + 4 + 4;
constexpr quint32 kMaxUrlBytes = 1024 * 1024;
constexpr quint32 kMaxStoredVersions = 100000;
// Text longer than this is cut before compressing; a page body is held up to 256 MiB at most.
constexpr qint64 kMaxTextBytes = qint64(256) * 1024 * 1024;
const QString kSuffix = QStringLiteral(".qvh");

// One version as it sits in the file: its bytes are copied unchanged when the file is rewritten.
struct Record {
    qint64 checkedMs = 0;
    qint32 bodyCrc = 0;
    bool truncated = false;
    quint32 textBytes = 0;
    QByteArray raw; // the whole record, crc included

    QByteArrayView compressed() const {
        return QByteArrayView(raw).sliced(kVersionHead, raw.size() - kVersionHead - 4);
    }
};

class Reader {
public:
    explicit Reader(const QByteArray& data)
        : m_data(data) {}
    bool take(qsizetype n, const char** out) {
        if (n < 0 || m_data.size() - m_pos < n)
            return false;
        *out = m_data.constData() + m_pos;
        m_pos += n;
        return true;
    }
    template <typename T> bool number(T* value) {
        const char* p = nullptr;
        if (!take(sizeof(T), &p))
            return false;
        *value = qFromLittleEndian<T>(p);
        return true;
    }
    qsizetype pos() const { return m_pos; }
    bool atEnd() const { return m_pos == m_data.size(); }

private:
    const QByteArray& m_data;
    qsizetype m_pos = 0;
};

template <typename T> void put(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian<T>(value, bytes);
    out.append(bytes, sizeof(T));
}

quint32 crcOf(const char* data, qsizetype size) {
    return quint32(crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(data), size_t(size)));
}

QString fileName(const QString& url) {
    return QString::fromLatin1(QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha256).toHex()) +
           kSuffix;
}

// The versions of a file; nothing when it is missing, damaged, or belongs to another URL.
std::vector<Record> readRecords(const QString& path, const QByteArray& url, int maxVersions) {
    QFile file(path);
    // A file longer than its versions can be is not read into memory at all.
    const qint64 cap = qint64(std::max(maxVersions, PageHistory::kDefaultVersions) + 1) *
                           (PageHistory::kMaxVersionBytes + kVersionHead + 4) +
                       kMaxUrlBytes + 64;
    if (!file.open(QIODevice::ReadOnly) || file.size() > cap)
        return {};
    const QByteArray data = file.readAll();
    Reader in(data);
    const char* p = nullptr;
    quint32 format = 0, urlBytes = 0, count = 0;
    if (!in.take(4, &p) || memcmp(p, kMagic, 4) != 0 || !in.number(&format) || format != kFormatVersion ||
        !in.number(&urlBytes) || urlBytes > kMaxUrlBytes || !in.take(urlBytes, &p) ||
        QByteArrayView(p, urlBytes) != url || !in.number(&count) || count > kMaxStoredVersions)
        return {};
    std::vector<Record> records;
    for (quint32 i = 0; i < count; ++i) {
        Record r;
        const qsizetype start = in.pos();
        quint32 flags = 0, compressedBytes = 0, crc = 0;
        if (!in.number(&r.checkedMs) || !in.number(&r.bodyCrc) || !in.number(&flags) || !in.number(&r.textBytes) ||
            !in.number(&compressedBytes) || compressedBytes > PageHistory::kMaxVersionBytes ||
            r.textBytes > kMaxTextBytes || !in.take(compressedBytes, &p))
            return {};
        const qsizetype length = in.pos() - start;
        if (!in.number(&crc) || crc != crcOf(data.constData() + start, length))
            return {};
        r.truncated = flags & 1;
        r.raw = data.mid(start, in.pos() - start);
        records.push_back(std::move(r));
    }
    return in.atEnd() ? records : std::vector<Record>{};
}

std::optional<PageVersion> decode(const Record& r) {
    QByteArray text(qsizetype(r.textBytes), Qt::Uninitialized);
    uLongf size = uLongf(text.size());
    if (uncompress(reinterpret_cast<Bytef*>(text.data()), &size,
                   reinterpret_cast<const Bytef*>(r.compressed().data()), uLong(r.compressed().size())) != Z_OK ||
        size != uLongf(text.size()))
        return std::nullopt;
    PageVersion v;
    v.checked = QDateTime::fromMSecsSinceEpoch(r.checkedMs, Qt::UTC);
    v.bodyCrc = r.bodyCrc;
    v.truncated = r.truncated;
    v.text = QString::fromUtf8(text);
    return v;
}

QByteArray deflated(QByteArrayView bytes) {
    QByteArray out(qsizetype(compressBound(uLong(bytes.size()))), Qt::Uninitialized);
    uLongf size = uLongf(out.size());
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  uLong(bytes.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    out.truncate(qsizetype(size));
    return out;
}

// The longest run of whole lines (or, for one endless line, whole characters) within `limit` bytes.
qsizetype cutPoint(const QByteArray& utf8, qsizetype limit) {
    if (limit >= utf8.size())
        return utf8.size();
    const qsizetype newline = utf8.lastIndexOf('\n', limit);
    if (newline > 0)
        return newline;
    qsizetype cut = limit;
    while (cut > 0 && (uchar(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

Record makeRecord(const QString& text, const QDateTime& when, qint32 bodyCrc) {
    Record r;
    r.checkedMs = when.toMSecsSinceEpoch();
    r.bodyCrc = bodyCrc;
    QByteArray utf8 = text.toUtf8();
    if (utf8.size() > kMaxTextBytes) {
        utf8.truncate(cutPoint(utf8, kMaxTextBytes));
        r.truncated = true;
    }
    QByteArray data = deflated(utf8);
    // Too big: cut in proportion to the overshoot, a little more each round, until it fits.
    for (double margin = 0.97; data.size() > PageHistory::kMaxVersionBytes; margin -= 0.05) {
        const double share = double(PageHistory::kMaxVersionBytes) / double(data.size()) * margin;
        utf8.truncate(cutPoint(utf8, qsizetype(double(utf8.size()) * std::max(share, 0.0))));
        r.truncated = true;
        data = deflated(utf8);
    }
    if (data.isEmpty())
        return {};
    r.textBytes = quint32(utf8.size());
    put<qint64>(r.raw, r.checkedMs);
    put<qint32>(r.raw, r.bodyCrc);
    put<quint32>(r.raw, r.truncated ? 1 : 0);
    put<quint32>(r.raw, r.textBytes);
    put<quint32>(r.raw, quint32(data.size()));
    r.raw += data;
    put<quint32>(r.raw, crcOf(r.raw.constData(), r.raw.size()));
    return r;
}

// Sets the file's modification time; on Unix by its name, which spares opening each of many files.
bool touch(const QString& path, const QDateTime& when) {
#ifdef Q_OS_UNIX
    const qint64 ms = when.toMSecsSinceEpoch();
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(ms / 1000), long(ms % 1000) * 1000000}};
    if (ms >= 0)
        return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
#endif
    QFile file(path);
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) &&
           file.setFileTime(when, QFileDevice::FileModificationTime);
}

} // namespace

struct PageHistory::Impl {
    QString folder;
    std::atomic<int> maxVersions;
    mutable QMutex mutex; // around every file operation; compression happens outside it

    QString pathOf(const QString& url) const { return folder + QLatin1Char('/') + fileName(url); }
    std::vector<Record> read(const QString& url) const {
        QMutexLocker lock(&mutex);
        return readRecords(pathOf(url), url.toUtf8(), maxVersions);
    }
};

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
    const Record fresh = makeRecord(text, when, bodyCrc);
    const QByteArray urlBytes = url.toUtf8();
    if (fresh.raw.isEmpty() || urlBytes.size() > kMaxUrlBytes)
        return;
    const QString path = d->pathOf(url);
    QMutexLocker lock(&d->mutex);
    std::vector<Record> records = readRecords(path, urlBytes, d->maxVersions); // a damaged file starts afresh
    if (!records.empty() && records.back().compressed() == fresh.compressed() &&
        records.back().truncated == fresh.truncated) {
        touch(path, when); // the same text again: only its last check moves
        return;
    }
    records.push_back(fresh);
    const size_t keep = size_t(d->maxVersions.load());
    if (records.size() > keep)
        records.erase(records.begin(), records.end() - qsizetype(keep));

    QByteArray data(kMagic, 4);
    put<quint32>(data, kFormatVersion);
    put<quint32>(data, quint32(urlBytes.size()));
    data += urlBytes;
    put<quint32>(data, quint32(records.size()));
    for (const Record& r : records)
        data += r.raw;
    if (!QDir().mkpath(d->folder))
        return;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        touch(path, when);
}

void PageHistory::noteChecked(const QStringList& urls, const QDateTime& when) {
    // One listing of the folder, so that pages without history cost no file system call.
    const QStringList names = QDir(d->folder).entryList({QLatin1Char('*') + kSuffix}, QDir::Files);
    const QSet<QString> present(names.cbegin(), names.cend());
    for (const QString& url : urls) {
        const QString name = fileName(url);
        if (!present.contains(name))
            continue;
        QMutexLocker lock(&d->mutex);
        touch(d->folder + QLatin1Char('/') + name, when);
    }
}

std::vector<PageVersion> PageHistory::versions(const QString& url) const {
    std::vector<PageVersion> out;
    for (const Record& r : d->read(url)) {
        std::optional<PageVersion> v = decode(r);
        if (!v)
            return {};
        out.push_back(std::move(*v));
    }
    return out;
}

std::optional<PageVersion> PageHistory::latest(const QString& url) const {
    const std::vector<Record> records = d->read(url);
    return records.empty() ? std::nullopt : decode(records.back());
}

int PageHistory::prune(const QDateTime& now, int days) {
    const QDateTime limit = now.addDays(-qint64(days));
    const QFileInfoList files = QDir(d->folder).entryInfoList({QLatin1Char('*') + kSuffix}, QDir::Files);
    int removed = 0;
    for (const QFileInfo& info : files) {
        if (info.lastModified() >= limit)
            continue;
        QMutexLocker lock(&d->mutex);
        QFileInfo fresh(info.filePath()); // a record() may have renewed it since the listing
        if (fresh.exists() && fresh.lastModified() < limit && QFile::remove(fresh.filePath()))
            ++removed;
    }
    return removed;
}
