#include "store/SiteImport.h"

#include "core/SiteList.h"
#include "store/BookmarkImport.h"
#include "store/BoundedFile.h"
#include "store/OpmlImport.h"
#include "store/UrlwatchImport.h"
#include "store/XmlEntities.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QUrl>

namespace {

struct SiteImport {
    Q_DECLARE_TR_FUNCTIONS(SiteImport)
};

ImportRead failed(int number, const QString& text) {
    ImportRead read;
    read.outcome = Outcome::failure(number, text);
    return read;
}

// Decoded piece by piece, each ending before a character's first byte, so that a large file is not held twice.
bool isUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    constexpr qsizetype kChunk = 1 << 20;
    for (qsizetype at = 0; at < bytes.size() && !decoder.hasError();) {
        qsizetype end = qMin(at + kChunk, bytes.size());
        for (int back = 0; back < 3 && end < bytes.size() && (uchar(bytes[end]) & 0xC0) == 0x80; ++back)
            --end;
        (void)QString(decoder(bytes.sliced(at, end - at)));
        at = end;
    }
    return !decoder.hasError();
}

// A urlwatch job list starts, after comments, with a document marker or a "key:" line; a URL line does not.
bool looksLikeYaml(QByteArrayView bytes) {
    static const QRegularExpression key(QStringLiteral("^(---|[A-Za-z_][A-Za-z0-9_.-]*[ \\t]*:([ \\t]|$))"));
    for (QByteArrayView rest = bytes; !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        const QString line = QString::fromUtf8(rest.first(end < 0 ? rest.size() : end)).trimmed();
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (!line.isEmpty() && !line.startsWith(u'#'))
            return key.match(line).hasMatch();
    }
    return false;
}

ImportRead readUrlLines(QByteArrayView bytes) {
    ImportRead read;
    read.format = ImportFormat::UrlLines;
    for (QByteArrayView rest = bytes; !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        const QString line = QString::fromUtf8(rest.first(end < 0 ? rest.size() : end)).trimmed();
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (read.sites.size() >= size_t(kMaxImportSites))
            return failed(kImportBadFile, SiteImport::tr("Il file contiene più di %1 siti.").arg(kMaxImportSites));
        read.sites.push_back({line, {}, {}, {}, {}, {}});
    }
    return read;
}

bool isWebUrl(const QString& url) {
    for (const QChar c : url) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return false;
    }
    if (firstNonXmlChar(url) >= 0)
        return false;
    const QUrl parsed(url);
    const QString scheme = parsed.scheme().toLower();
    return parsed.isValid() && (scheme == u"http" || scheme == u"https") && !parsed.host().isEmpty();
}

bool inFolder(const QStringList& siteFolder, const QStringList& folder) {
    return siteFolder.size() >= folder.size() && siteFolder.mid(0, folder.size()) == folder;
}

} // namespace

ImportRead readImportFile(const QString& path) {
    QByteArray data;
    QString detail;
    if (const int number = readBoundedFile(path, kMaxImportFileSize, data, detail)) {
        const QString why = number == 53 ? SiteImport::tr("il file non esiste") : detail;
        return failed(kImportUnreadable, SiteImport::tr("Impossibile leggere il file \"%1\": %2").arg(path, why));
    }
    return readImportData(data, QFileInfo(path).fileName());
}

ImportRead readImportData(const QByteArray& data, const QString& fileName) {
    QByteArrayView bytes(data);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    if (bytes.size() > kMaxImportFileSize) {
        return failed(kImportUnreadable,
                      SiteImport::tr("Il file supera %1 MiB.").arg(kMaxImportFileSize / (1024 * 1024)));
    }
    if (!isUtf8(bytes))
        return failed(kImportBadFile, SiteImport::tr("Il file non è testo UTF-8."));
    qsizetype start = 0;
    while (start < bytes.size() && QChar::isSpace(uchar(bytes[start])))
        ++start;
    if (start < bytes.size() && bytes[start] == '<') {
        const QByteArray head = bytes.sliced(start, qMin<qsizetype>(4096, bytes.size() - start)).toByteArray();
        const QByteArray lower = head.toLower();
        if (lower.contains("<opml"))
            return readOpml(bytes);
        if (lower.contains("netscape-bookmark-file") || lower.contains("<dl"))
            return readBookmarks(bytes);
        return failed(kImportBadFile, SiteImport::tr("Il file non è un elenco di siti che si possa importare: "
                                                     "né OPML né segnalibri."));
    }
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"yaml" || suffix == u"yml" || looksLikeYaml(bytes)) {
        if (bytes.size() > kMaxYamlFileSize) {
            return failed(kImportUnreadable,
                          SiteImport::tr("Un elenco di urlwatch di oltre %1 KiB non viene letto.")
                              .arg(kMaxYamlFileSize / 1024));
        }
        return readUrlwatchJobs(bytes);
    }
    return readUrlLines(bytes);
}

ImportPlan planImport(const ImportRead& read, const SiteList& list, const QStringList& folder) {
    ImportPlan plan;
    plan.skipped = read.skipped;
    // A list read from a file keys its entries by nick: the same page is found by its URL's key too.
    QSet<QString> listed;
    listed.reserve(list.count());
    for (const SiteEntry& e : list.entries())
        listed.insert(keyIdentity(SiteList::keyFromUrl(e.url)));
    QSet<QString> seen;
    for (const ImportedSite& site : read.sites) {
        if (!inFolder(site.folder, folder))
            continue;
        const QString key = SiteList::keyFromUrl(site.url);
        QString why;
        if (!isWebUrl(site.url))
            why = SiteImport::tr("non è un indirizzo http o https");
        else if (list.containsKey(key) || listed.contains(keyIdentity(key)))
            why = SiteImport::tr("già nella lista");
        else if (seen.contains(keyIdentity(key)))
            why = SiteImport::tr("ripetuto nel file");
        if (!why.isEmpty()) {
            plan.skipped.push_back({importedText(site.url.isEmpty() ? site.nick : site.url), why});
            continue;
        }
        seen.insert(keyIdentity(key));
        for (const QString& lost : site.notImported)
            plan.skipped.push_back({site.url, lost});
        plan.toAdd.push_back(site);
    }
    return plan;
}

int addImported(SiteList& list, const std::vector<ImportedSite>& sites) {
    int added = 0;
    for (const ImportedSite& site : sites) {
        if (!list.add(SiteList::keyFromUrl(site.url), site.url))
            continue;
        const int row = list.count() - 1;
        list.setField(row, SiteList::Field::Nick, site.nick);
        list.setField(row, SiteList::Field::Descrizione, site.descrizione);
        list.setOptions(row, site.options);
        ++added;
    }
    if (added > 0)
        list.setModified(true);
    return added;
}

QString importedText(QStringView text) {
    QString out;
    out.reserve(qMin<qsizetype>(text.size(), kMaxImportedText));
    bool blank = false;
    for (qsizetype i = 0; i < text.size() && out.size() < kMaxImportedText; ++i) {
        const QChar c = text[i];
        if (c.isSpace() || c.category() == QChar::Other_Control) {
            blank = !out.isEmpty();
            continue;
        }
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (!pair && (c.isSurrogate() || c.unicode() >= 0xFFFE))
            continue;
        if (blank)
            out += u' ';
        blank = false;
        out += c;
        if (pair)
            out += text[++i];
    }
    return out;
}

QString folderText(const QStringList& folder) {
    return folder.join(QStringLiteral(" / "));
}

QString importFormatName(ImportFormat format) {
    switch (format) {
    case ImportFormat::Urlwatch:
        return SiteImport::tr("elenco di urlwatch");
    case ImportFormat::Opml:
        return SiteImport::tr("file OPML");
    case ImportFormat::Bookmarks:
        return SiteImport::tr("segnalibri del browser");
    case ImportFormat::UrlLines:
        break;
    }
    return SiteImport::tr("elenco di indirizzi");
}
