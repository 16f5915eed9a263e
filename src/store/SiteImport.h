#pragma once

#include "core/Outcome.h"
#include "core/SiteOptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

class SiteList;

// The kinds of file a list of pages can be brought in from.
enum class ImportFormat { Urlwatch, Opml, Bookmarks, UrlLines };

// One page found in an import file, before it is compared with the list.
struct ImportedSite {
    QString url;
    QString nick;
    QString descrizione;
    QStringList folder; // the folders it was found in, outermost first; empty at the top
    SiteOptions options;
    QStringList notImported; // settings of the page that could not be carried over, each with its reason
};

// Something of the file that does not become a site, or a part of one that is left out, and why.
struct ImportSkip {
    QString what; // the URL, or a name when there is none
    QString why;
};

// What a file holds; on failure nothing (the file cannot be read, is not of a known kind, or is hostile).
struct ImportRead {
    Outcome outcome = Outcome::success();
    ImportFormat format = ImportFormat::UrlLines;
    std::vector<ImportedSite> sites;
    std::vector<ImportSkip> skipped; // entries of the file that are not pages at all
    QList<QStringList> folders;      // every folder above a site, in file order, each after its parent
};

// What an import would do to a list: the sites to add, in file order, and the rest with the reason.
struct ImportPlan {
    std::vector<ImportedSite> toAdd;
    std::vector<ImportSkip> skipped;
};

// Bounds on what one import reads, so that a hostile file costs little time and memory.
inline constexpr qint64 kMaxImportFileSize = qint64(128) * 1024 * 1024;
inline constexpr qint64 kMaxYamlFileSize = qint64(256) * 1024; // the YAML parser's memory is ~250 bytes/byte
inline constexpr int kMaxImportSites = 100'000;
inline constexpr int kMaxImportDepth = 100; // nested folders
inline constexpr int kMaxImportedText = 1000;

// The error numbers of a failed import read: the file cannot be read (those of the list file), or it is
// not something a list can be imported from.
inline constexpr int kImportUnreadable = 75;
inline constexpr int kImportBadFile = 321;

// Reads an import file of any of the kinds, told apart by its content (and a .yaml/.yml name).
ImportRead readImportFile(const QString& path);
ImportRead readImportData(const QByteArray& data, const QString& fileName);

// The sites of a read file (those in folder and below it, when one is given) against the list: a URL that
// is not http or https, or whose key is taken in the list (as Add refuses it) or is that of a listed URL or of
// an earlier site of the file, is skipped; the settings a site loses are listed among the skipped too.
ImportPlan planImport(const ImportRead& read, const SiteList& list, const QStringList& folder = {});

// Adds the sites after the last entry as Add does, each whose key is still free; sets the modified flag when
// one was added. Returns how many were.
int addImported(SiteList& list, const std::vector<ImportedSite>& sites);

// A name or description from a file as one line of plain text: controls and line breaks become blanks, runs
// of blanks one, characters a list file cannot hold are left out, at most kMaxImportedText characters.
QString importedText(QStringView text);

// The folder path as one description: "Barra dei segnalibri / Notizie".
QString folderText(const QStringList& folder);

// The user's name of a format ("elenco di urlwatch", "OPML", ...).
QString importFormatName(ImportFormat format);
