#include "store/BookmarkImport.h"

#include <QCoreApplication>
#include <QSet>

namespace {

struct BookmarkImport {
    Q_DECLARE_TR_FUNCTIONS(BookmarkImport)
};

ImportRead refuse(const QString& why) {
    ImportRead read;
    read.outcome = Outcome::failure(kImportBadFile, why);
    return read;
}

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The character references browsers write in this file; any other "&" stays as it is.
QString decodeReferences(const QString& text) {
    static const std::pair<QLatin1StringView, char16_t> kNamed[] = {
        {QLatin1StringView("amp"), u'&'},  {QLatin1StringView("lt"), u'<'},    {QLatin1StringView("gt"), u'>'},
        {QLatin1StringView("quot"), u'"'}, {QLatin1StringView("apos"), u'\''}, {QLatin1StringView("nbsp"), u' '}};
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype semi = text[i] == u'&' ? text.indexOf(u';', i + 1) : -1;
        if (semi < 0 || semi - i > 10) {
            out += text[i];
            continue;
        }
        const QStringView name = QStringView(text).sliced(i + 1, semi - i - 1);
        bool done = false;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            const uint code = name.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
                done = true;
            }
        }
        for (const auto& [entity, c] : kNamed) {
            if (!done && name.compare(entity, Qt::CaseInsensitive) == 0) {
                out += QChar(c);
                done = true;
            }
        }
        if (!done) {
            out += text[i];
            continue;
        }
        i = semi;
    }
    return out;
}

// A linear reader of the file's tags: every step moves forward, so no input can make it go back over text.
class Scanner {
public:
    explicit Scanner(QByteArrayView html)
        : m_html(html) {}

    // The next tag's lower-case name ("a", "/dl"), with its href when it has one; empty at the end.
    QByteArray nextTag(QString* href) {
        for (;;) {
            const qsizetype lt = m_html.indexOf('<', m_at);
            if (lt < 0) {
                m_at = m_html.size();
                return {};
            }
            m_at = lt + 1;
            if (m_html.sliced(lt).startsWith("<!--")) {
                const qsizetype end = m_html.indexOf("-->", lt + 4);
                m_at = end < 0 ? m_html.size() : end + 3;
                continue;
            }
            QByteArray name;
            if (m_at < m_html.size() && m_html[m_at] == '/')
                name += m_html[m_at++];
            while (m_at < m_html.size() && isNameChar(m_html[m_at]))
                name += char(m_html[m_at++] | 0x20);
            if (name.isEmpty() || name == "/")
                continue;
            readAttributes(href);
            return name;
        }
    }

    // The text up to the next tag, references decoded, as one line.
    QString text() {
        qsizetype end = m_html.indexOf('<', m_at);
        if (end < 0)
            end = m_html.size();
        const QString text = QString::fromUtf8(m_html.sliced(m_at, end - m_at));
        m_at = end;
        return importedText(decodeReferences(text));
    }

    bool atEnd() const { return m_at >= m_html.size(); }

private:
    void readAttributes(QString* href) {
        const qsizetype n = m_html.size();
        while (m_at < n && m_html[m_at] != '>') {
            if (isBlank(m_html[m_at]) || m_html[m_at] == '/') {
                ++m_at;
                continue;
            }
            const qsizetype nameStart = m_at;
            while (m_at < n && !isBlank(m_html[m_at]) && m_html[m_at] != '=' && m_html[m_at] != '>')
                ++m_at;
            const QByteArrayView name = m_html.sliced(nameStart, m_at - nameStart);
            while (m_at < n && isBlank(m_html[m_at]))
                ++m_at;
            if (m_at >= n || m_html[m_at] != '=')
                continue;
            ++m_at;
            while (m_at < n && isBlank(m_html[m_at]))
                ++m_at;
            qsizetype valueStart = m_at, valueEnd;
            if (m_at < n && (m_html[m_at] == '"' || m_html[m_at] == '\'')) {
                valueStart = m_at + 1;
                valueEnd = m_html.indexOf(m_html[m_at], valueStart);
                if (valueEnd < 0)
                    valueEnd = n;
                m_at = qMin(valueEnd + 1, n);
            } else {
                while (m_at < n && !isBlank(m_html[m_at]) && m_html[m_at] != '>')
                    ++m_at;
                valueEnd = m_at;
            }
            if (href && name.compare("href", Qt::CaseInsensitive) == 0)
                *href = decodeReferences(QString::fromUtf8(m_html.sliced(valueStart, valueEnd - valueStart)));
        }
        m_at = qMin(m_at + 1, n);
    }

    QByteArrayView m_html;
    qsizetype m_at = 0;
};

} // namespace

ImportRead readBookmarks(QByteArrayView html) {
    ImportRead read;
    read.format = ImportFormat::Bookmarks;
    Scanner scan(html);
    QStringList folder;         // the open lists' names; "" for a list without a heading (the file's own)
    QString heading;            // the name of the folder whose list comes next
    qsizetype describable = -1; // the site a <DD> would describe
    QSet<QStringList> seen;
    while (!scan.atEnd()) {
        QString href;
        const QByteArray tag = scan.nextTag(&href);
        if (tag == "dl") {
            if (folder.size() >= kMaxImportDepth)
                return refuse(
                    BookmarkImport::tr("Il file ha cartelle annidate oltre %1 livelli.").arg(kMaxImportDepth));
            folder << heading;
            heading.clear();
            QStringList path = folder;
            path.removeAll(QString());
            if (!path.isEmpty() && !seen.contains(path)) {
                seen.insert(path);
                read.folders << path;
            }
        } else if (tag == "/dl") {
            if (!folder.isEmpty())
                folder.removeLast();
            describable = -1;
        } else if (tag == "h3") {
            heading = scan.text();
            describable = -1;
        } else if (tag == "dt") {
            describable = -1;
        } else if (tag == "a") {
            if (read.sites.size() >= size_t(kMaxImportSites))
                return refuse(BookmarkImport::tr("Il file contiene più di %1 siti.").arg(kMaxImportSites));
            QStringList path = folder;
            path.removeAll(QString());
            read.sites.push_back({href.trimmed(), scan.text(), {}, path, {}, {}});
            describable = qsizetype(read.sites.size()) - 1;
        } else if (tag == "dd" && describable >= 0) {
            read.sites[size_t(describable)].descrizione = scan.text();
            describable = -1;
        }
    }
    for (ImportedSite& site : read.sites) {
        if (site.descrizione.isEmpty())
            site.descrizione = folderText(site.folder);
    }
    return read;
}
