#include "core/Utf8.h"
#include "store/AtomicFile.h"
#include "store/SiteListFile.h"
#include "store/XmlEntities.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string_view>

namespace {

// The file's bytes are produced in one pass, in chunks: the one place that knows the file's form. Nick and
// descrizione go through XMLEntityEncode and the file's own escaping in one step, so that no escaped copy of any
// text is ever held. A list that grows past the largest file a read takes stops there, and is not committed.
class ChunkWriter {
public:
    explicit ChunkWriter(AtomicFile& out)
        : m_out(out) {}
    void put(char c) {
        if (m_used == qint64(sizeof m_buf))
            flush();
        m_buf[m_used++] = c;
    }
    void put(std::string_view s) { putRun(s.data(), qsizetype(s.size())); }
    // Characters below 0x80, one byte each.
    void putAscii(const char16_t* s, qsizetype n) { putRun(s, n); }
    bool flush() {
        m_written += m_used;
        m_tooLarge = m_tooLarge || m_written > kMaxSiteListFileSize;
        if (m_ok && !m_tooLarge && m_used > 0) {
            m_ok = m_out.write(QByteArrayView(m_buf, m_used));
            m_digest.addBlock(QByteArrayView(m_buf, m_used));
        }
        m_used = 0;
        return m_ok && !m_tooLarge;
    }

    bool tooLarge() const { return m_tooLarge; }
    QByteArray digest() const { return m_digest.result(); }

private:
    template <class Char> void putRun(const Char* s, qsizetype n) {
        while (n > 0) {
            if (m_used == qint64(sizeof m_buf))
                flush();
            const qsizetype k = std::min<qsizetype>(n, qsizetype(sizeof m_buf) - m_used);
            std::copy(s, s + k, m_buf + m_used);
            m_used += k;
            s += k;
            n -= k;
        }
    }

    AtomicFile& m_out;
    ListDigest m_digest;
    char m_buf[ListDigest::kBlock]; // written whole but for the last: the digest's blocks
    qint64 m_used = 0;
    qint64 m_written = 0;
    bool m_ok = true;
    bool m_tooLarge = false;
};

class BytesWriter {
public:
    explicit BytesWriter(QByteArray& out)
        : m_out(out) {}
    void put(char c) { m_out.append(c); }
    void put(std::string_view s) { m_out.append(s.data(), qsizetype(s.size())); }
    void putAscii(const char16_t* s, qsizetype n) {
        for (qsizetype i = 0; i < n; ++i)
            m_out.append(char(s[i]));
    }

private:
    QByteArray& m_out;
};

enum TextForm : unsigned { kText = 0, kAttribute = 1, kEntities = 2 };

// The text as UTF-8, escaped for its place: markup characters, CR (line-end normalisation) and, inside an
// attribute value, tab and LF (attribute value normalisation); with kEntities, XMLEntityEncode first.
template <class Out> void putText(Out& out, const QString& text, unsigned form) {
    const bool attribute = form & kAttribute;
    const bool entities = form & kEntities;
    const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype n = text.size();
    // Most of a list is printable ASCII that needs no escaping: it goes out in runs.
    const auto plain = [attribute, entities](char16_t c) {
        return c >= 0x20 && c < 0x80 && c != u'&' && c != u'<' && c != u'>' &&
               !((attribute || entities) && c == u'"') && !(entities && c == u'\'');
    };
    for (qsizetype i = 0; i < n; ++i) {
        if (plain(s[i])) {
            qsizetype end = i + 1;
            while (end < n && plain(s[end]))
                ++end;
            out.putAscii(s + i, end - i);
            i = end - 1;
            continue;
        }
        const char16_t c = s[i];
        if (c >= 0x80) {
            char32_t cp = c;
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
                cp = QChar::surrogateToUcs4(c, s[++i]);
            char buf[4];
            out.put(utf8Bytes(cp, buf));
            continue;
        }
        std::string_view ref;
        switch (c) {
        case u'&':
            ref = entities ? "&amp;amp;" : "&amp;";
            break;
        case u'<':
            ref = entities ? "&amp;lt;" : "&lt;";
            break;
        case u'>':
            ref = entities ? "&amp;gt;" : "&gt;";
            break;
        case u'"':
            ref = entities ? "&amp;quot;" : attribute ? "&quot;" : "";
            break;
        case u'\'':
            ref = entities ? "&amp;apos;" : "";
            break;
        case u'\r':
            ref = "&#13;";
            break;
        case u'\t':
            ref = attribute ? "&#9;" : "";
            break;
        case u'\n':
            ref = attribute ? "&#10;" : "";
            break;
        default:
            break;
        }
        if (ref.empty())
            out.put(char(c));
        else
            out.put(ref);
    }
}

template <class Out> void putElement(Out& out, std::string_view name, const QString& text, unsigned form = kText) {
    out.put('<');
    out.put(name);
    if (text.isEmpty()) {
        out.put("/>");
        return;
    }
    out.put('>');
    putText(out, text, form);
    out.put("</");
    out.put(name);
    out.put('>');
}

template <class Out> void putNumber(Out& out, qint64 n) {
    char digits[24];
    const int length = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(n));
    out.put(std::string_view(digits, std::size_t(length)));
}

template <class Out> void putRaw(Out& out, const QByteArray& bytes) {
    out.put(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

// A fingerprint in its value's own form is written from the value, without a text made for it.
bool ownForm(const StoredCrc& crc) {
    return crc.value() && crc == StoredCrc(*crc.value());
}

template <class Out> void putCrc(Out& out, const StoredCrc& crc) {
    if (!ownForm(crc)) {
        putElement(out, "crc", crc.text());
        return;
    }
    out.put("<crc>");
    putNumber(out, *crc.value());
    out.put("</crc>");
}

// Unknown children go back among the known ones as they were read: each before the known child it came before.
template <class Out> class UnknownChildren {
public:
    UnknownChildren(Out& out, const UnknownXml& unknown)
        : m_out(out)
        , m_children(unknown.children) {}
    void before(qsizetype known) {
        for (; m_next < m_children.size() && m_children[m_next].first <= known; ++m_next)
            putRaw(m_out, m_children[m_next].second);
    }
    void rest() { before(std::numeric_limits<qsizetype>::max()); }

private:
    Out& m_out;
    const QList<std::pair<qsizetype, QByteArray>>& m_children;
    qsizetype m_next = 0;
};

// Written after the four fields, and only for a site whose options are not the default ones, so that a list
// that uses none is written exactly as before.
template <class Out> void putOptions(Out& out, const SiteOptions& o) {
    out.put(o.textMode ? "<opzioni testo=\"1\" cifre=\"" : "<opzioni testo=\"0\" cifre=\"");
    out.put(o.noDigits ? "1\"" : "0\"");
    if (o.textCrc) {
        out.put(" crctesto=\"");
        putNumber(out, *o.textCrc);
        out.put('"');
    }
    out.put(" versione=\"");
    putNumber(out, o.version);
    out.put('"');
    const auto putTime = [&out](const char* name, const QDateTime& time) {
        if (!time.isValid())
            return;
        out.put(name);
        out.put(std::string_view(time.toUTC().toString(Qt::ISODate).toLatin1().constData()));
        out.put('"');
    };
    if (o.minInterval > 0) {
        out.put(" intervallo=\"");
        putNumber(out, o.minInterval);
        out.put('"');
        putTime(" controllato=\"", o.lastChecked);
    }
    if (o.failures > 0) {
        out.put(" fallimenti=\"");
        putNumber(out, o.failures);
        out.put('"');
        putTime(" fallitodal=\"", o.failingSince);
    }
    // How the page is asked for, and what its server said: each only when set.
    const auto attribute = [&out](std::string_view name, const QString& value) {
        if (value.isEmpty())
            return;
        out.put(' ');
        out.put(name);
        out.put("=\"");
        putText(out, value, kAttribute);
        out.put('"');
    };
    attribute("agente", o.userAgent);
    attribute("ritardo", o.hostDelayMs >= 0 ? QString::number(o.hostDelayMs) : QString());
    attribute("segreti", o.hasSecrets ? QStringLiteral("1") : QString());
    attribute("etag", QString::fromLatin1(o.server.etag));
    attribute("modificato", QString::fromLatin1(o.server.lastModified));
    attribute("condizionali", o.server.conditional > 0 ? QString::number(o.server.conditional) : QString());
    attribute("ignoravalidatori", o.server.validatorsIgnored ? QStringLiteral("1") : QString());
    attribute("riprova", o.server.retryAt.isValid() ? o.server.retryAt.toUTC().toString(Qt::ISODate) : QString());
    putRaw(out, o.unknown.attributes);
    out.put('>');
    UnknownChildren unknown(out, o.unknown);
    qsizetype known = 0;
    const auto child = [&](std::string_view name, const QString& text, unsigned form = kEntities) {
        unknown.before(known++);
        putElement(out, name, text, form);
    };
    for (const QString& line : o.headers)
        child("intestazione", line, kText);
    for (const QString& rule : o.ignore)
        child("ignora", rule);
    if (!o.start.isEmpty())
        child("inizio", o.start);
    if (!o.end.isEmpty())
        child("fine", o.end);
    if (!o.selector.isEmpty()) {
        unknown.before(known++);
        out.put(o.selectorKind == SelectorKind::Css ? "<selettore tipo=\"css\">" : "<selettore tipo=\"xpath\">");
        putText(out, o.selector, kEntities);
        out.put("</selettore>");
    }
    unknown.rest();
    out.put("</opzioni>");
}

template <class Out> void putList(Out& out, const std::vector<SiteEntry>& entries, const UnknownXml& root) {
    out.put("<?xml version=\"1.0\"?>\r\n<ElencoSiti");
    putRaw(out, root.attributes);
    if (entries.empty() && root.children.isEmpty()) {
        out.put("/>\r\n");
        return;
    }
    out.put('>');
    UnknownChildren inRoot(out, root);
    qsizetype number = 0;
    for (const SiteEntry& e : entries) {
        inRoot.before(number++);
        out.put("<sito nick=\"");
        putText(out, e.nick, kAttribute | kEntities);
        out.put('"');
        putRaw(out, e.unknown.attributes);
        out.put('>');
        putElement(out, "url", e.url);
        putCrc(out, e.crc);
        putElement(out, "rdatetime", e.rdatetime);
        putElement(out, "descrizione", e.descrizione, kEntities);
        UnknownChildren inRecord(out, e.unknown);
        inRecord.before(0);
        if (!e.options->isDefault())
            putOptions(out, e.options);
        inRecord.rest();
        out.put("</sito>");
    }
    inRoot.rest();
    out.put("</ElencoSiti>\r\n");
}

// Why the entries cannot be written, or an empty text: a field holds a character XML cannot hold.
QString unwritableEntry(const std::vector<SiteEntry>& entries) {
    qsizetype number = 0;
    for (const SiteEntry& e : entries) {
        ++number;
        const QString crc = ownForm(e.crc) ? QString() : e.crc.text();
        const std::pair<const char*, const QString*> fields[] = {{"nick", &e.nick},
                                                                 {"url", &e.url},
                                                                 {"crc", &crc},
                                                                 {"rdatetime", &e.rdatetime},
                                                                 {"descrizione", &e.descrizione},
                                                                 {"inizio", &e.options->start},
                                                                 {"fine", &e.options->end},
                                                                 {"selettore", &e.options->selector},
                                                                 {"agente", &e.options->userAgent}};
        const char* field = nullptr;
        for (const auto& [name, value] : fields) {
            if (!field && firstNonXmlChar(*value) >= 0)
                field = name;
        }
        for (const QString& rule : e.options->ignore) {
            if (!field && firstNonXmlChar(rule) >= 0)
                field = "ignora";
        }
        for (const QString& line : e.options->headers) {
            if (!field && firstNonXmlChar(line) >= 0)
                field = "intestazione";
        }
        if (field) {
            QString who = e.nick.isEmpty() ? e.url : e.nick;
            for (qsizetype at; (at = firstNonXmlChar(who)) >= 0;)
                who[at] = QChar::ReplacementCharacter;
            return QCoreApplication::translate(
                       "SiteListFile",
                       "la voce %1 (%2) contiene nel campo %3 un carattere che un file XML non può "
                       "contenere. Correggila e salva di nuovo.")
                .arg(number)
                .arg(who, QString::fromLatin1(field));
        }
    }
    return QString();
}

} // namespace

Outcome writeSiteListFile(const QString& path, const std::vector<SiteEntry>& entries, const UnknownXml& root,
                          QByteArray* digest) {
    using namespace SiteListFileErrors;
    const auto fail = [&path](int number, const QString& reason) {
        return Outcome::failure(
            number, QCoreApplication::translate("SiteListFile", "Impossibile salvare il file \"%1\": %2")
                        .arg(path, reason));
    };
    if (const QString why = unwritableEntry(entries); !why.isEmpty())
        return fail(kBadFormat, why);
    if (path.isEmpty())
        return fail(kFileAccess, QCoreApplication::translate("SiteListFile", "nessun nome di file."));
    if (QFileInfo(path).isDir())
        return fail(kFileAccess, QCoreApplication::translate("SiteListFile", "il percorso è una cartella."));

    AtomicFile file(path);
    if (!file.open())
        return fail(kFileAccess, file.errorString());
    ChunkWriter out(file);
    putList(out, entries, root);
    const bool written = out.flush();
    if (out.tooLarge())
        return fail(kFileAccess, QCoreApplication::translate(
                                     "SiteListFile", "l'elenco supera 256 MiB e non potrebbe essere riaperto."));
    if (!written || !file.commit())
        return fail(kFileAccess, file.errorString());
    if (digest)
        *digest = out.digest();
    return Outcome::success();
}

QByteArray siteListBytes(const std::vector<SiteEntry>& entries, const UnknownXml& root) {
    QByteArray bytes;
    BytesWriter out(bytes);
    putList(out, entries, root);
    return bytes;
}
