#include "store/SiteListFile.h"

#include "store/BoundedFile.h"
#include "store/XmlEntities.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

namespace {

// Each '<' or '=' can become a DOM node or attribute of up to 64 bytes: this caps the parser's memory
// for hostile files (about 512 MiB) while leaving room for over half a million sites.
constexpr qint64 kMaxMarkupCount = 8'000'000;

const QLatin1StringView kSito("sito");

// The node after n in document order below top, or a null node when the walk is done. Iterative, so that
// nesting as deep as a file likes cannot exhaust the stack.
pugi::xml_node nextBelow(pugi::xml_node n, const pugi::xml_node& top) {
    if (n.first_child())
        return n.first_child();
    while (n && n != top && !n.next_sibling())
        n = n.parent();
    return !n || n == top ? pugi::xml_node() : n.next_sibling();
}

// The value as text, when XML can hold it. A leading U+FEFF is part of the value: only the file's own
// byte-order mark is dropped, and that before parsing.
bool decodeText(QByteArrayView value, QString& text) {
    if (firstNonXmlByte(value) >= 0)
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    text = utf8.decode(value);
    return true;
}

bool isSito(const pugi::xml_node& n) {
    return n.type() == pugi::node_element && kSito == QLatin1StringView(n.name());
}

// The node's text content, as the DOM gives it: its own value, or all text below it in document order;
// nullptr, or what is wrong with it. A record inside a field is refused: its text would count again in
// every field above it, so a deep stack of them costs time and memory quadratic in the file.
const char* textOf(const pugi::xml_node& node, QString& text) {
    const auto isText = [](const pugi::xml_node& n) {
        return n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata;
    };
    const char* const badChar = "text holds a character XML does not allow";
    if (isText(node))
        return decodeText(QByteArrayView(node.value()), text) ? nullptr : badChar;
    const pugi::xml_node first = node.first_child();
    if (!first) {
        text.clear();
        return nullptr;
    }
    if (isText(first) && !first.next_sibling())
        return textOf(first, text);
    QByteArray all;
    for (pugi::xml_node n = first; n; n = nextBelow(n, node)) {
        if (isText(n))
            all.append(n.value());
        else if (isSito(n))
            return "a record inside its fields";
    }
    return decodeText(all, text) ? nullptr : badChar;
}

struct RawRecord {
    QString nickRaw;
    QString fields[4];
    SiteOptions options;
};

const QLatin1StringView kOpzioni("opzioni");

bool isElement(const pugi::xml_node& n, QLatin1StringView name) {
    return n.type() == pugi::node_element && name == QLatin1StringView(n.name());
}

// A signed 32-bit decimal, as fingerprints are written.
std::optional<qint32> parseInt32(const char* text) {
    bool ok = false;
    const qlonglong n = QByteArrayView(text).trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(n);
}

// The site's options, after the four fields: found by name, so that any reader that takes the first four
// children by position still reads the record as it always did. Unknown attributes and children are passed
// over, so a later version's additions do not make a list unreadable.
const char* readOptions(const pugi::xml_node& opzioni, SiteOptions& options) {
    options = SiteOptions{};
    options.textMode = QByteArrayView(opzioni.attribute("testo").value()).trimmed() == "1";
    options.noDigits = QByteArrayView(opzioni.attribute("cifre").value()).trimmed() == "1";
    options.textCrc = parseInt32(opzioni.attribute("crctesto").value());
    // A fingerprint of no known extraction is taken again at the next check.
    options.version = parseInt32(opzioni.attribute("versione").value()).value_or(0);
    QString text;
    for (pugi::xml_node n = opzioni.first_child(); n; n = n.next_sibling()) {
        const bool rule = isElement(n, QLatin1StringView("ignora"));
        const bool selector = isElement(n, QLatin1StringView("selettore"));
        if (selector)
            options.selectorKind = QByteArrayView(n.attribute("tipo").value()).trimmed() == "css"
                                       ? SelectorKind::Css
                                       : SelectorKind::XPath;
        QString* const target = isElement(n, QLatin1StringView("inizio")) ? &options.start
                                : isElement(n, QLatin1StringView("fine")) ? &options.end
                                : selector                                ? &options.selector
                                                                          : nullptr;
        if (!rule && !target)
            continue;
        if (const char* problem = textOf(n, text))
            return problem;
        if (target)
            *target = XMLEntityDecode(text);
        else if (!text.isEmpty())
            options.ignore.append(XMLEntityDecode(text));
    }
    return nullptr;
}

bool readRecord(const pugi::xml_node& sito, qsizetype number, RawRecord& rec, QString& detail) {
    const pugi::xml_attribute attr = sito.first_attribute();
    if (!attr) {
        detail = QCoreApplication::translate("SiteListFile", "record %1 has no attribute").arg(number);
        return false;
    }
    if (!decodeText(QByteArrayView(attr.value()), rec.nickRaw)) {
        detail = QCoreApplication::translate("SiteListFile",
                                             "record %1: attribute holds a character XML does not allow")
                     .arg(number);
        return false;
    }
    pugi::xml_node child = sito.first_child();
    for (int i = 0; i < 4; ++i, child = child.next_sibling()) {
        if (!child) {
            detail = QCoreApplication::translate("SiteListFile", "record %1 has %2 child nodes, not four")
                         .arg(number)
                         .arg(i);
            return false;
        }
        if (const char* problem = textOf(child, rec.fields[i])) {
            detail = QCoreApplication::translate("SiteListFile", "record %1: %2")
                         .arg(number)
                         .arg(QLatin1StringView(problem));
            return false;
        }
    }
    rec.options = SiteOptions{};
    for (; child; child = child.next_sibling()) {
        if (!isElement(child, kOpzioni))
            continue;
        if (const char* problem = readOptions(child, rec.options)) {
            detail = QCoreApplication::translate("SiteListFile", "record %1 options: %2")
                         .arg(number)
                         .arg(QLatin1StringView(problem));
            return false;
        }
        break;
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

SiteListReadResult failure(int number, const QString& detail) {
    return {Outcome::failure(number, SiteListFileTexts::kFormatError), detail, {}};
}

} // namespace

SiteListReadResult readSiteListFile(const QString& path, SiteListRoot root) {
    QByteArray data;
    QString detail;
    if (const int number = readBoundedFile(path, kMaxSiteListFileSize, data, detail))
        return failure(number, detail);
    return readSiteListData(std::move(data), root);
}

SiteListReadResult readSiteListData(QByteArray data, SiteListRoot root) {
    using SiteListFileErrors::kBadFormat;
    if (data.size() > kMaxSiteListFileSize)
        return failure(SiteListFileErrors::kFileAccess,
                       QCoreApplication::translate("SiteListFile", "file larger than 256 MiB"));
    qsizetype offset = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        offset = 3;
    char* text = data.data() + offset;
    const qsizetype size = data.size() - offset;
    qsizetype bad = firstNonXmlByte(QByteArrayView(text, size));
    if (bad >= 0)
        return failure(
            kBadFormat,
            QCoreApplication::translate("SiteListFile", "not valid UTF-8 XML text at byte %1").arg(bad + offset));
    if ((bad = firstBadCharReference(QByteArrayView(text, size))) >= 0)
        return failure(kBadFormat, QCoreApplication::translate(
                                       "SiteListFile", "reference to a character XML does not allow at byte %1")
                                       .arg(bad + offset));
    const qint64 markup = std::count(text, text + size, '<') + std::count(text, text + size, '=');
    if (markup > kMaxMarkupCount)
        return failure(kBadFormat, QCoreApplication::translate("SiteListFile", "too much markup"));

    pugi::xml_document doc;
    const unsigned options =
        pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_doctype | pugi::parse_declaration |
        pugi::parse_fragment; // keeps text outside the root, so that the check below can refuse it
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(text, size_t(size), options, pugi::encoding_utf8);
    if (!parsed) {
        return failure(kBadFormat, QCoreApplication::translate("SiteListFile", "not well-formed: %1 at byte %2")
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
            return failure(kBadFormat,
                           QCoreApplication::translate("SiteListFile", "document type declaration refused"));
        case pugi::node_declaration:
            if (n != doc.first_child())
                return failure(kBadFormat, QCoreApplication::translate(
                                               "SiteListFile", "not well-formed: misplaced XML declaration"));
            break;
        default:
            return failure(kBadFormat, QCoreApplication::translate(
                                           "SiteListFile", "not well-formed: text outside the root element"));
        }
    }
    if (elements != 1)
        return failure(
            kBadFormat,
            QCoreApplication::translate("SiteListFile", "not well-formed: %1 root elements").arg(elements));

    const pugi::xml_node top = doc.document_element();
    if (root == SiteListRoot::ElencoSiti && QLatin1StringView(top.name()) != QLatin1StringView("ElencoSiti")) {
        return failure(kBadFormat,
                       QCoreApplication::translate("SiteListFile",
                                                   "not a site list: the root element is <%1>, not <ElencoSiti>")
                           .arg(QString::fromUtf8(top.name())));
    }
    std::vector<SiteEntry> entries;
    std::vector<QString> primaries;
    RawRecord rec;
    QString detail;
    // Document order, any depth, the root itself excluded. Fields hold no records (textOf refuses them),
    // so every node is visited at most twice: here and in the text of one field.
    for (pugi::xml_node n = top.first_child(); n; n = nextBelow(n, top)) {
        if (isSito(n)) {
            const qsizetype number = qsizetype(entries.size()) + 1;
            if (!readRecord(n, number, rec, detail))
                return failure(kBadFormat, detail);
            SiteEntry e;
            e.url = std::move(rec.fields[0]);
            e.crc = rec.fields[1].isEmpty() ? StoredCrc() : StoredCrc::fromText(rec.fields[1]);
            e.rdatetime = std::move(rec.fields[2]);
            e.descrizione = XMLEntityDecode(rec.fields[3]);
            e.nick = XMLEntityDecode(rec.nickRaw);
            e.options = std::move(rec.options);
            primaries.push_back(rec.nickRaw.isEmpty() ? numberedKey(number) : rec.nickRaw);
            entries.push_back(std::move(e));
        }
    }
    assignKeys(entries, primaries);
    return {Outcome::success(), QString(), std::move(entries)};
}

namespace {

// The file's bytes are produced twice, first only counted, then written in chunks: the one place that
// knows the file's form. Nick and descrizione go through XMLEntityEncode and the file's own escaping in one
// step, so that no escaped copy of any text is ever held.
class ByteCounter {
public:
    void put(char) { ++m_size; }
    void put(std::string_view s) { m_size += qint64(s.size()); }
    qint64 size() const { return m_size; }

private:
    qint64 m_size = 0;
};

class ChunkWriter {
public:
    explicit ChunkWriter(QIODevice& out)
        : m_out(out) {}
    void put(char c) {
        if (m_used == qint64(sizeof m_buf))
            flush();
        m_buf[m_used++] = c;
    }
    void put(std::string_view s) {
        for (char c : s)
            put(c);
    }
    bool flush() {
        if (m_ok && m_used > 0 && m_out.write(m_buf, m_used) != m_used)
            m_ok = false;
        m_used = 0;
        return m_ok;
    }

private:
    QIODevice& m_out;
    char m_buf[64 * 1024];
    qint64 m_used = 0;
    bool m_ok = true;
};

enum TextForm : unsigned { kText = 0, kAttribute = 1, kEntities = 2 };

// The text as UTF-8, escaped for its place: markup characters, CR (line-end normalisation) and, inside an
// attribute value, tab and LF (attribute value normalisation); with kEntities, XMLEntityEncode first.
template <class Out> void putText(Out& out, const QString& text, unsigned form) {
    const bool attribute = form & kAttribute;
    const bool entities = form & kEntities;
    const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c >= 0x80) {
            char32_t cp = c;
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
                cp = QChar::surrogateToUcs4(c, s[++i]);
            if (cp < 0x800) {
                out.put(char(0xC0 | (cp >> 6)));
            } else {
                if (cp < 0x10000) {
                    out.put(char(0xE0 | (cp >> 12)));
                } else {
                    out.put(char(0xF0 | (cp >> 18)));
                    out.put(char(0x80 | ((cp >> 12) & 0x3F)));
                }
                out.put(char(0x80 | ((cp >> 6) & 0x3F)));
            }
            out.put(char(0x80 | (cp & 0x3F)));
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
    out.put("\">");
    for (const QString& rule : o.ignore)
        putElement(out, "ignora", rule, kEntities);
    if (!o.start.isEmpty())
        putElement(out, "inizio", o.start, kEntities);
    if (!o.end.isEmpty())
        putElement(out, "fine", o.end, kEntities);
    if (!o.selector.isEmpty()) {
        out.put(o.selectorKind == SelectorKind::Css ? "<selettore tipo=\"css\">" : "<selettore tipo=\"xpath\">");
        putText(out, o.selector, kEntities);
        out.put("</selettore>");
    }
    out.put("</opzioni>");
}

template <class Out> void putList(Out& out, const std::vector<SiteEntry>& entries) {
    out.put("<?xml version=\"1.0\"?>\r\n");
    if (entries.empty()) {
        out.put("<ElencoSiti/>\r\n");
        return;
    }
    out.put("<ElencoSiti>");
    for (const SiteEntry& e : entries) {
        out.put("<sito nick=\"");
        putText(out, e.nick, kAttribute | kEntities);
        out.put("\">");
        putElement(out, "url", e.url);
        putElement(out, "crc", e.crc.text());
        putElement(out, "rdatetime", e.rdatetime);
        putElement(out, "descrizione", e.descrizione, kEntities);
        if (!e.options.isDefault())
            putOptions(out, e.options);
        out.put("</sito>");
    }
    out.put("</ElencoSiti>\r\n");
}

// Why the entries cannot be written, or an empty text: a field holds a character XML cannot hold.
QString unwritableEntry(const std::vector<SiteEntry>& entries) {
    qsizetype number = 0;
    for (const SiteEntry& e : entries) {
        ++number;
        const QString crc = e.crc.text();
        const std::pair<const char*, const QString*> fields[] = {{"nick", &e.nick},
                                                                 {"url", &e.url},
                                                                 {"crc", &crc},
                                                                 {"rdatetime", &e.rdatetime},
                                                                 {"descrizione", &e.descrizione},
                                                                 {"inizio", &e.options.start},
                                                                 {"fine", &e.options.end},
                                                                 {"selettore", &e.options.selector}};
        const char* field = nullptr;
        for (const auto& [name, value] : fields) {
            if (!field && firstNonXmlChar(*value) >= 0)
                field = name;
        }
        for (const QString& rule : e.options.ignore) {
            if (!field && firstNonXmlChar(rule) >= 0)
                field = "ignora";
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

Outcome writeSiteListFile(const QString& path, const std::vector<SiteEntry>& entries) {
    using namespace SiteListFileErrors;
    const auto fail = [&path](int number, const QString& reason) {
        return Outcome::failure(
            number, QCoreApplication::translate("SiteListFile", "Impossibile salvare il file \"%1\": %2")
                        .arg(path, reason));
    };
    if (const QString why = unwritableEntry(entries); !why.isEmpty())
        return fail(kBadFormat, why);
    ByteCounter counter;
    putList(counter, entries);
    if (counter.size() > kMaxSiteListFileSize)
        return fail(kFileAccess, QCoreApplication::translate(
                                     "SiteListFile", "l'elenco supera 256 MiB e non potrebbe essere riaperto."));
    if (path.isEmpty())
        return fail(kFileAccess, QCoreApplication::translate("SiteListFile", "nessun nome di file."));
    if (QFileInfo(path).isDir())
        return fail(kFileAccess, QCoreApplication::translate("SiteListFile", "il percorso è una cartella."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(kFileAccess, file.errorString());
    ChunkWriter out(file);
    putList(out, entries);
    if (!out.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting(); // the destructor then removes the temporary file
        return fail(kFileAccess, reason);
    }
    if (!file.commit())
        return fail(kFileAccess, file.errorString());
    return Outcome::success();
}
