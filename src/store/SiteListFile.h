#pragma once

#include "core/SiteEntry.h"

#include <QString>

#include <vector>

// Outcome of reading a site list file: every entry, or none and the reason.
struct SiteListReadResult {
    bool ok = false;
    QString error;  // text for the user
    QString detail; // the precise reason, for logs and tests
    std::vector<SiteEntry> entries;
};

// Outcome of writing a site list file.
struct SiteListWriteResult {
    bool ok = false;
    QString error; // text for the user, naming the file and the reason
};

// Files above this size are refused before they are read, and never written.
inline constexpr qint64 kMaxSiteListFileSize = qint64(256) * 1024 * 1024;

// Reads a whole site list file; entries come back unticked with an empty result marker and unique keys.
SiteListReadResult readSiteListFile(const QString& path);

// Writes the entries to the file atomically: the old file stays as it was unless the new one is complete.
SiteListWriteResult writeSiteListFile(const QString& path, const std::vector<SiteEntry>& entries);

// User texts of the list file commands.
namespace SiteListFileTexts {
inline const QString kFormatError = QStringLiteral("Il file non è nel formato corretto.");
inline const QString kLoadErrorTitle = QStringLiteral("Load error");
inline const QString kOpenTitle = QStringLiteral("Caricamento elenco siti da aggiornare");
inline const QString kSaveTitle = QStringLiteral("Salvataggio degli url da verificare");
inline const QString kOpenDefaultExt = QStringLiteral("*.qvl");
inline const QString kSaveDefaultExt = QStringLiteral("*.xml");
inline const QString kFilter = QStringLiteral("XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl");
inline const QString kOverwriteQuestion = QStringLiteral("Vuoi sovrascrivere il file esistente?");
inline const QString kOverwriteTitle = QStringLiteral("Conferma sovrascrittura");
inline const QString kCaptionPrefix = QStringLiteral("Quovel - ");
} // namespace SiteListFileTexts
