#pragma once

#include "store/PageHistory.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <optional>
#include <vector>

// The bytes of a page history file: reading both formats (salvaging the intact versions of a damaged file),
// writing the current one, and compressing one version within its size cap. No file system here.
namespace HistoryFormat {

constexpr quint32 kCurrentFormat = 2;
constexpr qint64 kMaxVersionBytes = PageHistory::kMaxVersionBytes;
// Text longer than this is cut before compressing; a page body is held up to 256 MiB at most.
constexpr qint64 kMaxTextBytes = qint64(256) * 1024 * 1024;
constexpr quint32 kMaxUrlBytes = 1024 * 1024;

enum class Codec : quint8 { Stored = 0, Zlib = 1, Zstd = 2 };

// One version as it sits in a file. Its compressed bytes are copied unchanged when the file is rewritten.
struct Record {
    qint64 checkedMs = 0;
    qint32 bodyCrc = 0;
    bool truncated = false;
    Codec codec = Codec::Zstd;
    quint32 textBytes = 0;
    std::optional<quint64> textPrint; // of the stored text; none in format 1, taken when it is converted
    QByteArray data;
    quint32 dataCrc = 0; // as stored, and as checked when the file was read
};

struct Contents {
    std::vector<Record> records; // the intact versions, oldest first
    quint32 format = 0;          // 0: not a history file of this URL; over kCurrentFormat: a newer program's
    quint32 held = 0;            // versions the file says it holds
    bool damaged = false;        // something was dropped, or the file is not a history of this URL at all
};

// Reads every intact version. With verifyAll false only the newest version's data is checked and copied (the
// others are framed, and carry no data), which is all that a comparison with the latest version needs.
Contents parse(QByteArrayView file, QByteArrayView url, bool verifyAll = true);
QByteArray serialize(QByteArrayView url, const std::vector<Record>& records);

// The fingerprint of a text as stored: "equal to the latest version" is decided by it, without decompressing.
quint64 textPrint(QByteArrayView utf8);
// Whether the text is the one a record holds: the same, or for a cut version, the same up to the cut.
bool sameText(const Record& r, QByteArrayView utf8);
// A version of the text, cut at a line end to fit kMaxVersionBytes; at most two compressions.
Record encode(QByteArray utf8, qint64 checkedMs, qint32 bodyCrc);
std::optional<QByteArray> decode(const Record& r);
// Gives a format-1 record its fingerprint (which needs its text); false when its text cannot be read.
bool completePrint(Record& r);

} // namespace HistoryFormat
