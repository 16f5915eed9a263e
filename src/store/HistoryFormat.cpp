#include "store/HistoryFormat.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <memory>

// A history file: "QVHF", format (u32), URL length (u32) and its UTF-8, version count (u32), then the versions
// oldest first. Numbers are little-endian; every length is checked against what is left and a cap before
// anything is allocated.
//
// Format 2 (written now) closes the header with its CRC-32 (u32); later formats keep that header, so that a
// file of a newer program is known by its intact header and left alone. A version: check time (i64, ms since the
// epoch, UTC), body crc (i32), flags (u32: bit 0 truncated, bits 8-15 codec), stored text length (u32, UTF-8
// bytes), text fingerprint (u64), data length (u32), the CRC-32 of those 32 bytes (u32); then the data and its
// CRC-32 (u32). A version whose data is damaged is skipped by its checked length; a damaged head ends the
// reading, since nothing after it can be found again.
//
// Format 1 (read only): no header CRC. A version: check time (i64), body crc (i32), flags (u32, bit 0
// truncated), text length (u32), compressed length (u32), the zlib data, and the CRC-32 of all of the version
// before it (u32). A version is skipped when its CRC fails and its lengths are within bounds.
namespace HistoryFormat {
namespace {

constexpr char kMagic[4] = {'Q', 'V', 'H', 'F'};
constexpr qsizetype kHead2 = 8 + 4 + 4 + 4 + 8 + 4;
// Low, for speed: text compresses well at any level, and a version is written on every change of a page.
constexpr int kZstdLevel = 1;
// The cut of an oversize version aims this far below the cap, so that the second compression fits.
constexpr double kCutMargin = 0.97;

class Reader {
public:
    explicit Reader(QByteArrayView data)
        : m_data(data) {}
    bool take(qsizetype n, QByteArrayView* out) {
        if (n < 0 || left() < n)
            return false;
        *out = m_data.sliced(m_pos, n);
        m_pos += n;
        return true;
    }
    template <typename T> bool number(T* value) {
        if (left() < qsizetype(sizeof(T)))
            return false;
        *value = qFromLittleEndian<T>(m_data.data() + m_pos);
        m_pos += qsizetype(sizeof(T));
        return true;
    }
    qsizetype pos() const { return m_pos; }
    qsizetype left() const { return m_data.size() - m_pos; }
    QByteArrayView from(qsizetype start) const { return m_data.sliced(start, m_pos - start); }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

template <typename T> void put(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian<T>(value, bytes);
    out.append(bytes, sizeof(T));
}

quint32 crcOf(QByteArrayView bytes) {
    return quint32(
        crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), size_t(bytes.size())));
}

// One compression context per thread: making one costs more than compressing a small page.
ZSTD_CCtx* compressor() {
    thread_local const std::unique_ptr<ZSTD_CCtx, size_t (*)(ZSTD_CCtx*)> context(ZSTD_createCCtx(),
                                                                                  ZSTD_freeCCtx);
    return context.get();
}
ZSTD_DCtx* decompressor() {
    thread_local const std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx*)> context(ZSTD_createDCtx(),
                                                                                  ZSTD_freeDCtx);
    return context.get();
}

QByteArray compressed(QByteArrayView text) {
    QByteArray out(qsizetype(ZSTD_compressBound(size_t(text.size()))), Qt::Uninitialized);
    const size_t size = ZSTD_compressCCtx(compressor(), out.data(), size_t(out.size()), text.data(),
                                          size_t(text.size()), kZstdLevel);
    if (ZSTD_isError(size))
        return {};
    out.truncate(qsizetype(size));
    return out;
}

// The longest run of whole lines (or, for one endless line, whole characters) within `limit` bytes.
qsizetype cutPoint(QByteArrayView utf8, qsizetype limit) {
    if (limit >= utf8.size())
        return utf8.size();
    const qsizetype newline = utf8.first(limit + 1).lastIndexOf('\n');
    if (newline > 0)
        return newline;
    qsizetype cut = limit;
    while (cut > 0 && (uchar(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

bool readFormat1(Reader& in, Contents& out) {
    Record r;
    const qsizetype start = in.pos();
    quint32 flags = 0, dataBytes = 0, crc = 0;
    QByteArrayView data;
    if (!in.number(&r.checkedMs) || !in.number(&r.bodyCrc) || !in.number(&flags) || !in.number(&r.textBytes) ||
        !in.number(&dataBytes) || dataBytes > kMaxVersionBytes || r.textBytes > kMaxTextBytes ||
        !in.take(dataBytes, &data))
        return false;
    const QByteArrayView whole = in.from(start);
    if (!in.number(&crc))
        return false;
    if (crc != crcOf(whole)) {
        out.damaged = true;
        return true;
    }
    r.truncated = flags & 1;
    r.codec = Codec::Zlib;
    r.data = data.toByteArray();
    r.dataCrc = crcOf(data);
    out.records.push_back(std::move(r));
    return true;
}

// Reads a version's head and frames its data, which is left to the caller to check and copy.
bool readFormat2(Reader& in, Contents& out, QByteArrayView* data) {
    Record r;
    const qsizetype start = in.pos();
    quint32 flags = 0, dataBytes = 0, headCrc = 0;
    quint64 print = 0;
    if (!in.number(&r.checkedMs) || !in.number(&r.bodyCrc) || !in.number(&flags) || !in.number(&r.textBytes) ||
        !in.number(&print) || !in.number(&dataBytes))
        return false;
    const QByteArrayView head = in.from(start);
    if (!in.number(&headCrc) || headCrc != crcOf(head) || dataBytes > kMaxVersionBytes ||
        r.textBytes > kMaxTextBytes || !in.take(dataBytes, data) || !in.number(&r.dataCrc))
        return false;
    const quint32 codec = (flags >> 8) & 0xFF;
    r.truncated = flags & 1;
    r.codec = Codec(codec);
    r.textPrint = print;
    if (codec > quint32(Codec::Zstd))
        out.damaged = true;
    else
        out.records.push_back(std::move(r));
    return true;
}

} // namespace

Contents parse(QByteArrayView file, QByteArrayView url, bool verifyAll) {
    Contents out;
    Reader in(file);
    QByteArrayView magic, storedUrl;
    quint32 format = 0, urlBytes = 0, count = 0, headerCrc = 0;
    if (!in.take(4, &magic) || magic != QByteArrayView(kMagic, 4) || !in.number(&format) || format < 1 ||
        !in.number(&urlBytes) || urlBytes > kMaxUrlBytes || !in.take(urlBytes, &storedUrl) || !in.number(&count) ||
        (format >= 2 && (!in.number(&headerCrc) || headerCrc != crcOf(file.first(in.pos() - 4)))) ||
        storedUrl != url) {
        out.damaged = !file.isEmpty();
        return out;
    }
    out.format = format;
    out.held = count;
    if (format > kCurrentFormat)
        return out;                        // a newer program's, whole: left to it
    std::vector<QByteArrayView> unchecked; // of a quick reading, copied only for the newest that is intact
    while (in.left() > 0) {
        QByteArrayView data;
        const size_t before = out.records.size();
        if (!(format == 1 ? readFormat1(in, out) : readFormat2(in, out, &data))) {
            out.damaged = true;
            break;
        }
        if (format == 1 || out.records.size() == before)
            continue;
        if (!verifyAll) {
            unchecked.push_back(data);
        } else if (out.records.back().dataCrc == crcOf(data)) {
            out.records.back().data = data.toByteArray();
        } else {
            out.records.pop_back();
            out.damaged = true;
        }
    }
    while (!unchecked.empty() && out.records.back().dataCrc != crcOf(unchecked.back())) {
        unchecked.pop_back();
        out.records.pop_back();
        out.damaged = true;
    }
    if (!unchecked.empty())
        out.records.back().data = unchecked.back().toByteArray();
    if (out.records.size() != count)
        out.damaged = true;
    return out;
}

QByteArray serialize(QByteArrayView url, const std::vector<Record>& records) {
    qsizetype size = 4 + 4 + 4 + url.size() + 4 + 4;
    for (const Record& r : records)
        size += kHead2 + 4 + r.data.size() + 4;
    QByteArray out;
    out.reserve(size);
    out.append(kMagic, 4);
    put<quint32>(out, kCurrentFormat);
    put<quint32>(out, quint32(url.size()));
    out += url;
    put<quint32>(out, quint32(records.size()));
    put<quint32>(out, crcOf(out));
    for (const Record& r : records) {
        const qsizetype start = out.size();
        put<qint64>(out, r.checkedMs);
        put<qint32>(out, r.bodyCrc);
        put<quint32>(out, (r.truncated ? 1u : 0u) | quint32(r.codec) << 8);
        put<quint32>(out, r.textBytes);
        put<quint64>(out, r.textPrint.value_or(0));
        put<quint32>(out, quint32(r.data.size()));
        put<quint32>(out, crcOf(QByteArrayView(out).sliced(start)));
        out += r.data;
        put<quint32>(out, r.dataCrc);
    }
    return out;
}

// The first 64 bits of a BLAKE2b hash: unlike a CRC, no shape of change is likelier than any other to pass for
// no change. About a millisecond per MiB, a small part of what reading the page's text costs.
quint64 textPrint(QByteArrayView utf8) {
    return qFromLittleEndian<quint64>(QCryptographicHash::hash(utf8, QCryptographicHash::Blake2b_160).constData());
}

bool sameText(const Record& r, QByteArrayView utf8) {
    if (!r.textPrint || (r.truncated ? utf8.size() < r.textBytes : utf8.size() != r.textBytes))
        return false;
    return *r.textPrint == textPrint(utf8.first(r.textBytes));
}

Record encode(QByteArray utf8, qint64 checkedMs, qint32 bodyCrc) {
    Record r;
    r.checkedMs = checkedMs;
    r.bodyCrc = bodyCrc;
    if (utf8.size() > kMaxTextBytes) {
        utf8.truncate(cutPoint(utf8, kMaxTextBytes));
        r.truncated = true;
    }
    r.data = compressed(utf8);
    if (r.data.size() > kMaxVersionBytes) {
        // Cut once in proportion to the measured ratio; should the head of the text compress worse than the
        // whole, what fits is kept as it is rather than compressed a third time.
        const double share = double(kMaxVersionBytes) / double(r.data.size()) * kCutMargin;
        utf8.truncate(cutPoint(utf8, qsizetype(double(utf8.size()) * share)));
        r.truncated = true;
        r.data = compressed(utf8);
        if (r.data.size() > kMaxVersionBytes) {
            utf8.truncate(cutPoint(utf8, kMaxVersionBytes));
            r.codec = Codec::Stored;
            r.data = utf8;
        }
    }
    r.dataCrc = crcOf(r.data);
    if (r.data.isEmpty() && !utf8.isEmpty())
        return {};
    r.textBytes = quint32(utf8.size());
    r.textPrint = textPrint(utf8);
    return r;
}

std::optional<QByteArray> decode(const Record& r) {
    if (r.codec == Codec::Stored)
        return r.data.size() == r.textBytes ? std::optional(r.data) : std::nullopt;
    QByteArray text(qsizetype(r.textBytes), Qt::Uninitialized);
    if (r.codec == Codec::Zstd) {
        if (ZSTD_getFrameContentSize(r.data.constData(), size_t(r.data.size())) != r.textBytes)
            return std::nullopt;
        const size_t size = ZSTD_decompressDCtx(decompressor(), text.data(), size_t(text.size()),
                                                r.data.constData(), size_t(r.data.size()));
        return !ZSTD_isError(size) && size == r.textBytes ? std::optional(text) : std::nullopt;
    }
    uLongf size = uLongf(text.size());
    if (uncompress(reinterpret_cast<Bytef*>(text.data()), &size,
                   reinterpret_cast<const Bytef*>(r.data.constData()), uLong(r.data.size())) != Z_OK ||
        size != uLongf(text.size()))
        return std::nullopt;
    return text;
}

bool completePrint(Record& r) {
    if (r.textPrint)
        return true;
    const std::optional<QByteArray> text = decode(r);
    if (text)
        r.textPrint = textPrint(*text);
    return text.has_value();
}

} // namespace HistoryFormat
