#include "store/OpmlImport.h"

#include <QCoreApplication>
#include <QSet>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>

namespace {

struct OpmlImport {
    Q_DECLARE_TR_FUNCTIONS(OpmlImport)
};

// Each '<' or '=' becomes a node or an attribute of the parser's: this bounds its memory to some 100 MiB.
constexpr qsizetype kMaxMarkup = 1'500'000;

ImportRead refuse(const QString& why) {
    ImportRead read;
    read.outcome = Outcome::failure(kImportBadFile, why);
    return read;
}

// Attribute names are matched without regard to case: producers disagree on "htmlUrl" and "htmlurl".
QString attribute(const pugi::xml_node& node, const char* name) {
    for (const pugi::xml_attribute& a : node.attributes()) {
        if (strcasecmp(a.name(), name) == 0)
            return QString::fromUtf8(a.value());
    }
    return {};
}

} // namespace

ImportRead readOpml(QByteArrayView utf8) {
    if (std::count(utf8.begin(), utf8.end(), '<') + std::count(utf8.begin(), utf8.end(), '=') > kMaxMarkup)
        return refuse(OpmlImport::tr("Il file OPML ha troppi elementi."));
    QByteArray data = utf8.toByteArray();
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(data.data(), size_t(data.size()), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        return refuse(OpmlImport::tr("Il file OPML non è XML valido (byte %1): %2")
                          .arg(parsed.offset)
                          .arg(QString::fromUtf8(parsed.description())));
    }
    const pugi::xml_node body = doc.child("opml").child("body");
    if (!body)
        return refuse(OpmlImport::tr("Il file non è un file OPML: manca <opml><body>."));

    ImportRead read;
    read.format = ImportFormat::Opml;
    struct Level {
        pugi::xml_node next; // the next outline to read at this level
        QStringList folder;
    };
    // Iterative, so that nesting cannot exhaust the stack; the depth is bounded all the same.
    std::vector<Level> stack{{body.child("outline"), {}}};
    QSet<QStringList> folders;
    while (!stack.empty()) {
        const pugi::xml_node outline = stack.back().next;
        if (!outline) {
            stack.pop_back();
            continue;
        }
        stack.back().next = outline.next_sibling("outline");
        const QStringList folder = stack.back().folder;
        QString title = importedText(attribute(outline, "title"));
        if (title.isEmpty())
            title = importedText(attribute(outline, "text"));
        QString url = attribute(outline, "htmlUrl").trimmed();
        if (url.isEmpty())
            url = attribute(outline, "xmlUrl").trimmed();
        if (!url.isEmpty()) {
            if (read.sites.size() >= size_t(kMaxImportSites))
                return refuse(OpmlImport::tr("Il file contiene più di %1 siti.").arg(kMaxImportSites));
            QString description = importedText(attribute(outline, "description"));
            if (description.isEmpty())
                description = folderText(folder);
            read.sites.push_back({url, title, description, folder, {}, {}});
        }
        if (const pugi::xml_node child = outline.child("outline")) {
            if (int(stack.size()) > kMaxImportDepth)
                return refuse(
                    OpmlImport::tr("Il file ha cartelle annidate oltre %1 livelli.").arg(kMaxImportDepth));
            QStringList inner = folder;
            inner << title;
            if (!folders.contains(inner)) {
                folders.insert(inner);
                read.folders << inner;
            }
            stack.push_back({child, inner});
        }
    }
    return read;
}
