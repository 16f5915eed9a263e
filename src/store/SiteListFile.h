#pragma once

#include "core/Outcome.h"
#include "core/SiteEntry.h"

#include <QByteArray>
#include <QHashFunctions>
#include <QString>

#include <algorithm>
#include <cstring>
#include <vector>

// Reading a site list file: its entries, or none and the reason.
struct SiteListReadResult {
    Outcome outcome;                // the user's text is the format error for every failed read
    QString detail;                 // the precise reason, for logs and tests
    std::vector<SiteEntry> entries; // empty unless the read worked
    UnknownXml root;                // what a later version wrote in the list's root element, kept as read
    QByteArray digest;              // of the file's bytes (readSiteListFile only)
    bool unchanged = false;         // the file's digest was the one given: nothing else was read
};

// Which root element a reader takes: the window reads any well-formed file, the checker only a site list.
enum class SiteListRoot { Any, ElencoSiti };

// Error numbers of the list file's outcomes, after the Basic run-time errors they stand for.
namespace SiteListFileErrors {
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAccess = 75; // cannot be opened, read or written; not a regular file; too large
inline constexpr int kBadFormat = 321; // not a list file, or a text the format cannot hold
} // namespace SiteListFileErrors

// How a list file's bytes are told apart from the ones last read or written, kept in memory only: two seeded
// 64-bit hashes chained over the bytes' blocks of kBlock bytes (the last one shorter). Another writer's change
// is no attack to guard against, and a large list hashes in a tenth of a cryptographic digest's time.
class ListDigest {
public:
    static constexpr qsizetype kBlock = 64 * 1024;
    static QByteArray of(QByteArrayView bytes) {
        ListDigest digest;
        for (qsizetype at = 0; at < bytes.size(); at += kBlock)
            digest.addBlock(bytes.sliced(at, std::min(kBlock, bytes.size() - at)));
        return digest.result();
    }
    void addBlock(QByteArrayView block) {
        m_first = qHashBits(block.data(), size_t(block.size()), m_first);
        m_second = qHashBits(block.data(), size_t(block.size()), m_second);
    }
    QByteArray result() const {
        QByteArray bytes(2 * sizeof(size_t), Qt::Uninitialized);
        std::memcpy(bytes.data(), &m_first, sizeof m_first);
        std::memcpy(bytes.data() + sizeof m_first, &m_second, sizeof m_second);
        return bytes;
    }

private:
    size_t m_first = size_t(0x9E3779B97F4A7C15u);
    size_t m_second = size_t(0xC2B2AE3D27D4EB4Fu);
};

// Files above this size are refused before they are read, and never written.
inline constexpr qint64 kMaxSiteListFileSize = qint64(256) * 1024 * 1024;

// Reads a whole site list file; entries come back unticked with an empty result marker and unique keys. A file
// whose digest is unlessDigest is not parsed: the result only says it is unchanged.
SiteListReadResult readSiteListFile(const QString& path, SiteListRoot root = SiteListRoot::Any,
                                    QByteArrayView unlessDigest = {});

// The same for the file's bytes already in memory (the parser works in place on them).
SiteListReadResult readSiteListData(QByteArray data, SiteListRoot root = SiteListRoot::Any);

// Writes the entries to the file atomically, streaming: the old file stays as it was unless the new one is
// complete, nothing is written when an entry cannot be held by the format, and a list that would make the file too
// large is refused before it replaces anything.
// digest, when given, receives that of the bytes written.
Outcome writeSiteListFile(const QString& path, const std::vector<SiteEntry>& entries, const UnknownXml& root = {},
                          QByteArray* digest = nullptr);

// The bytes writeSiteListFile writes for entries it can write.
QByteArray siteListBytes(const std::vector<SiteEntry>& entries, const UnknownXml& root = {});

// User texts of the list file commands (source texts: shown through Language::text("SiteListFileTexts", ...)).
namespace SiteListFileTexts {
inline const QString kFormatError =
    QString::fromUtf8(QT_TRANSLATE_NOOP("SiteListFileTexts", "Il file non è nel formato corretto."));
inline const QString kLoadErrorTitle = QString::fromUtf8(QT_TRANSLATE_NOOP("SiteListFileTexts", "Load error"));
inline const QString kOpenTitle =
    QString::fromUtf8(QT_TRANSLATE_NOOP("SiteListFileTexts", "Caricamento elenco siti da aggiornare"));
inline const QString kSaveTitle =
    QString::fromUtf8(QT_TRANSLATE_NOOP("SiteListFileTexts", "Salvataggio degli url da verificare"));
inline const QString kOpenDefaultExt = QStringLiteral("*.qvl");
inline const QString kSaveDefaultExt = QStringLiteral("*.qvl");
inline const QString kFilter = QString::fromUtf8(
    QT_TRANSLATE_NOOP("SiteListFileTexts", "XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl"));
inline const QString kOverwriteQuestion =
    QString::fromUtf8(QT_TRANSLATE_NOOP("SiteListFileTexts", "Vuoi sovrascrivere il file esistente?"));
inline const QString kOverwriteTitle =
    QString::fromUtf8(QT_TRANSLATE_NOOP("SiteListFileTexts", "Conferma sovrascrittura"));
inline const QString kCaptionPrefix = QString::fromUtf8(QT_TRANSLATE_NOOP("SiteListFileTexts", "Quovel - "));
} // namespace SiteListFileTexts
