#include "store/SiteListFile.h"

#include "store/XmlEntities.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Each '<' or '=' can become a DOM node or attribute of up to 64 bytes: this caps the parser's memory
// for hostile files (about 512 MiB) while leaving room for over half a million sites.
constexpr qint64 kMaxMarkupCount = 8'000'000;

const QLatin1StringView kSito("sito");

// True when the bytes are UTF-8 that XML can hold: no overlong forms, surrogates or code points above
// U+10FFFF, no control characters other than tab, LF and CR, no U+FFFE or U+FFFF.
bool isXmlUtf8(const unsigned char* p, qsizetype n, qsizetype* badOffset = nullptr) {
    const unsigned char* start = p;
    const unsigned char* end = p + n;
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                break;
            ++p;
            continue;
        }
        char32_t cp = 0;
        int len = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            cp = c & 0x1F;
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            cp = c & 0x0F;
            len = 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            cp = c & 0x07;
            len = 4;
        } else {
            break;
        }
        if (end - p < len)
            break;
        bool ok = true;
        for (int i = 1; i < len; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (!ok)
            break;
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            break;
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF)
            break;
        p += len;
    }
    if (p == end)
        return true;
    if (badOffset)
        *badOffset = p - start;
    return false;
}

bool isXmlUtf8(const char* p, qsizetype n) {
    return isXmlUtf8(reinterpret_cast<const unsigned char*>(p), n);
}

// Position of the first character XML cannot hold, or -1.
qsizetype firstNonXmlChar(const QString& text) {
    const qsizetype n = text.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x20) {
            if (c != u'\t' && c != u'\n' && c != u'\r')
                return i;
        } else if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= n || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF)
                return i;
            ++i;
        } else if ((c >= 0xDC00 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) {
            return i;
        }
    }
    return -1;
}

// Escapes what a parser would otherwise change: markup characters, CR (line-end normalisation) and,
// inside attribute values, tab and LF (attribute value normalisation).
void appendEscaped(QByteArray& out, const QString& text, bool attribute) {
    const QByteArray utf8 = text.toUtf8();
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    const char* run = p;
    for (; p < end; ++p) {
        const char* ref = nullptr;
        switch (*p) {
        case '&':
            ref = "&amp;";
            break;
        case '<':
            ref = "&lt;";
            break;
        case '>':
            ref = "&gt;";
            break;
        case '\r':
            ref = "&#13;";
            break;
        case '"':
            ref = attribute ? "&quot;" : nullptr;
            break;
        case '\t':
            ref = attribute ? "&#9;" : nullptr;
            break;
        case '\n':
            ref = attribute ? "&#10;" : nullptr;
            break;
        default:
            break;
        }
        if (ref) {
            out.append(run, p - run);
            out.append(ref);
            run = p + 1;
        }
    }
    out.append(run, end - run);
}

void appendElement(QByteArray& out, const char* name, const QString& text) {
    out.append('<').append(name);
    if (text.isEmpty()) {
        out.append("/>");
        return;
    }
    out.append('>');
    appendEscaped(out, text, false);
    out.append("</").append(name).append('>');
}

QString sysError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// Reads the whole file, refusing anything that is not a regular file of bounded size without blocking.
bool readBoundedFile(const QString& path, QByteArray& data, QString& detail) {
    if (path.isEmpty()) {
        detail = QStringLiteral("no file name");
        return false;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        detail = QStringLiteral("file does not exist");
        return false;
    }
    if (!info.isFile()) {
        detail = QStringLiteral("not a regular file");
        return false;
    }
    if (info.size() > kMaxSiteListFileSize) {
        detail = QStringLiteral("file larger than 256 MiB");
        return false;
    }
#ifdef Q_OS_UNIX
    // Non-blocking, so that a FIFO swapped in after the check above cannot hang the open.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        detail = QStringLiteral("cannot open: ") + sysError(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        detail = QStringLiteral("not a regular file");
        return false;
    }
    if (st.st_size > kMaxSiteListFileSize) {
        ::close(fd);
        detail = QStringLiteral("file larger than 256 MiB");
        return false;
    }
    data.resize(qsizetype(st.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == data.size()) {
            if (data.size() > kMaxSiteListFileSize) {
                ::close(fd);
                detail = QStringLiteral("file larger than 256 MiB");
                return false;
            }
            data.resize(qMin<qint64>(data.size() * 2, kMaxSiteListFileSize + 1));
        }
        const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            detail = QStringLiteral("cannot read: ") + sysError(err);
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    data.truncate(got);
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        detail = QStringLiteral("cannot open: ") + file.errorString();
        return false;
    }
    data = file.readAll();
    if (data.size() > kMaxSiteListFileSize) {
        detail = QStringLiteral("file larger than 256 MiB");
        return false;
    }
#endif
    return true;
}

// The node after n in document order below top, or a null node when the walk is done. Iterative, so that
// nesting as deep as a file likes cannot exhaust the stack.
pugi::xml_node nextBelow(pugi::xml_node n, const pugi::xml_node& top) {
    if (n.first_child())
        return n.first_child();
    while (n && n != top && !n.next_sibling())
        n = n.parent();
    return !n || n == top ? pugi::xml_node() : n.next_sibling();
}

// The node's text content, as the DOM gives it: its own value, or all text below it in document order.
bool textOf(const pugi::xml_node& node, QString& text) {
    const auto isText = [](const pugi::xml_node& n) {
        return n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata;
    };
    if (isText(node)) {
        const char* v = node.value();
        const qsizetype len = qsizetype(std::strlen(v));
        if (!isXmlUtf8(v, len))
            return false;
        text = QString::fromUtf8(v, len);
        return true;
    }
    const pugi::xml_node first = node.first_child();
    if (!first) {
        text.clear();
        return true;
    }
    if (isText(first) && !first.next_sibling())
        return textOf(first, text);
    QByteArray all;
    for (pugi::xml_node n = first; n; n = nextBelow(n, node)) {
        if (isText(n))
            all.append(n.value());
    }
    if (!isXmlUtf8(all.constData(), all.size()))
        return false;
    text = QString::fromUtf8(all);
    return true;
}

struct RawRecord {
    QString nickRaw;
    QString fields[4];
};

bool readRecord(const pugi::xml_node& sito, qsizetype number, RawRecord& rec, QString& detail) {
    const pugi::xml_attribute attr = sito.first_attribute();
    if (!attr) {
        detail = QStringLiteral("record %1 has no attribute").arg(number);
        return false;
    }
    const char* v = attr.value();
    const qsizetype len = qsizetype(std::strlen(v));
    if (!isXmlUtf8(v, len)) {
        detail = QStringLiteral("record %1: attribute holds a character XML does not allow").arg(number);
        return false;
    }
    rec.nickRaw = QString::fromUtf8(v, len);
    pugi::xml_node child = sito.first_child();
    for (int i = 0; i < 4; ++i, child = child.next_sibling()) {
        if (!child) {
            detail = QStringLiteral("record %1 has %2 child nodes, not four").arg(number).arg(i);
            return false;
        }
        if (!textOf(child, rec.fields[i])) {
            detail = QStringLiteral("record %1: text holds a character XML does not allow").arg(number);
            return false;
        }
    }
    return true;
}

QString numberedKey(qsizetype number) {
    return QStringLiteral("§") + QString::number(number);
}

// Keys from raw nicks, or "§n" for empty ones; a later record whose key is taken gets one no record has.
void assignKeys(std::vector<SiteEntry>& entries, const std::vector<QString>& primaries) {
    std::vector<QString> identities;
    identities.reserve(primaries.size());
    QSet<QString> allPrimaries;
    allPrimaries.reserve(qsizetype(primaries.size()));
    for (const QString& k : primaries) {
        identities.push_back(keyIdentity(k));
        allPrimaries.insert(identities.back());
    }
    QSet<QString> taken;
    taken.reserve(qsizetype(primaries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!taken.contains(identities[i])) {
            taken.insert(identities[i]);
            entries[i].key = primaries[i];
            continue;
        }
        const QString base = numberedKey(qsizetype(i) + 1);
        QString candidate = base;
        for (int suffix = 2;; ++suffix) {
            const QString id = keyIdentity(candidate);
            if (!taken.contains(id) && !allPrimaries.contains(id))
                break;
            candidate = base + u'_' + QString::number(suffix);
        }
        taken.insert(keyIdentity(candidate));
        entries[i].key = candidate;
    }
}

SiteListReadResult failure(const QString& detail) {
    SiteListReadResult r;
    r.error = SiteListFileTexts::kFormatError;
    r.detail = detail;
    return r;
}

} // namespace

SiteListReadResult readSiteListFile(const QString& path) {
    QByteArray data;
    QString detail;
    if (!readBoundedFile(path, data, detail))
        return failure(detail);

    qsizetype offset = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        offset = 3;
    char* text = data.data() + offset;
    const qsizetype size = data.size() - offset;
    qsizetype bad = 0;
    if (!isXmlUtf8(reinterpret_cast<const unsigned char*>(text), size, &bad))
        return failure(QStringLiteral("not valid UTF-8 XML text at byte %1").arg(bad + offset));
    const qint64 markup = std::count(text, text + size, '<') + std::count(text, text + size, '=');
    if (markup > kMaxMarkupCount)
        return failure(QStringLiteral("too much markup"));

    pugi::xml_document doc;
    const unsigned options =
        pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_doctype | pugi::parse_declaration |
        pugi::parse_fragment; // keeps text outside the root, so that the check below can refuse it
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(text, size_t(size), options, pugi::encoding_utf8);
    if (!parsed) {
        return failure(QStringLiteral("not well-formed: %1 at byte %2")
                           .arg(QString::fromUtf8(parsed.description()))
                           .arg(qint64(parsed.offset) + offset));
    }
    int elements = 0;
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
        switch (n.type()) {
        case pugi::node_element:
            ++elements;
            break;
        case pugi::node_doctype:
            return failure(QStringLiteral("document type declaration refused"));
        case pugi::node_declaration:
            if (n != doc.first_child())
                return failure(QStringLiteral("not well-formed: misplaced XML declaration"));
            break;
        default:
            return failure(QStringLiteral("not well-formed: text outside the root element"));
        }
    }
    if (elements != 1)
        return failure(QStringLiteral("not well-formed: %1 root elements").arg(elements));

    const pugi::xml_node root = doc.document_element();
    std::vector<SiteEntry> entries;
    std::vector<QString> primaries;
    RawRecord rec;
    // Document order, any depth, the root itself excluded.
    for (pugi::xml_node n = root.first_child(); n; n = nextBelow(n, root)) {
        if (n.type() == pugi::node_element && kSito == QLatin1StringView(n.name())) {
            const qsizetype number = qsizetype(entries.size()) + 1;
            if (!readRecord(n, number, rec, detail))
                return failure(detail);
            SiteEntry e;
            e.url = std::move(rec.fields[0]);
            e.crc = rec.fields[1].isEmpty() ? QStringLiteral("0") : std::move(rec.fields[1]);
            e.rdatetime = std::move(rec.fields[2]);
            e.descrizione = XMLEntityDecode(rec.fields[3]);
            e.nick = XMLEntityDecode(rec.nickRaw);
            primaries.push_back(rec.nickRaw.isEmpty() ? numberedKey(number) : rec.nickRaw);
            entries.push_back(std::move(e));
        }
    }
    assignKeys(entries, primaries);

    SiteListReadResult r;
    r.ok = true;
    r.entries = std::move(entries);
    return r;
}

namespace {

// The file's bytes for these entries; false and the reason when a text cannot be held by XML.
bool encodeSiteList(const std::vector<SiteEntry>& entries, QByteArray& out, QString& error) {
    out.clear();
    qsizetype estimate = 64;
    for (const SiteEntry& e : entries)
        estimate += 80 + e.url.size() + e.crc.size() + e.rdatetime.size() + e.descrizione.size() + e.nick.size();
    out.reserve(estimate);
    out.append("<?xml version=\"1.0\"?>\r\n");
    if (entries.empty()) {
        out.append("<ElencoSiti/>\r\n");
        return true;
    }
    out.append("<ElencoSiti>");
    qsizetype number = 0;
    for (const SiteEntry& e : entries) {
        ++number;
        const QString nick = XMLEntityEncode(e.nick);
        const QString descrizione = XMLEntityEncode(e.descrizione);
        const std::pair<const char*, const QString*> fields[] = {{"nick", &nick},
                                                                 {"url", &e.url},
                                                                 {"crc", &e.crc},
                                                                 {"rdatetime", &e.rdatetime},
                                                                 {"descrizione", &descrizione}};
        for (const auto& [name, value] : fields) {
            if (firstNonXmlChar(*value) >= 0) {
                QString who = e.nick.isEmpty() ? e.url : e.nick;
                for (qsizetype at; (at = firstNonXmlChar(who)) >= 0;)
                    who[at] = QChar::ReplacementCharacter;
                error =
                    QStringLiteral("la voce %1 (%2) contiene nel campo %3 un carattere che un file XML non può "
                                   "contenere. Correggila e salva di nuovo.")
                        .arg(number)
                        .arg(who, QString::fromLatin1(name));
                return false;
            }
        }
        out.append("<sito nick=\"");
        appendEscaped(out, nick, true);
        out.append("\">");
        appendElement(out, "url", e.url);
        appendElement(out, "crc", e.crc);
        appendElement(out, "rdatetime", e.rdatetime);
        appendElement(out, "descrizione", descrizione);
        out.append("</sito>");
    }
    out.append("</ElencoSiti>\r\n");
    return true;
}

} // namespace

SiteListWriteResult writeSiteListFile(const QString& path, const std::vector<SiteEntry>& entries) {
    SiteListWriteResult r;
    const auto fail = [&](const QString& reason) {
        r.error = QStringLiteral("Impossibile salvare il file \"%1\": %2").arg(path, reason);
        return r;
    };
    QByteArray bytes;
    QString encodeError;
    if (!encodeSiteList(entries, bytes, encodeError))
        return fail(encodeError);
    if (bytes.size() > kMaxSiteListFileSize)
        return fail(QStringLiteral("l'elenco supera 256 MiB e non potrebbe essere riaperto."));
    if (path.isEmpty())
        return fail(QStringLiteral("nessun nome di file."));
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("il percorso è una cartella."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting(); // the destructor then removes the temporary file
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    r.ok = true;
    return r;
}
