#include "store/SiteListFile.h"

#include "store/BoundedFile.h"
#include "store/ListKeys.h"
#include "store/XmlEntities.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

// Each '<' or '=' can become a DOM node or attribute of up to 64 bytes: this caps the parser's memory
// for hostile files (about 512 MiB) while leaving room for over half a million sites.
constexpr qint64 kMaxMarkupCount = 8'000'000;

// The parser keeps an element's text up to its first child node as the element's value. The first child is
// then the one a parse without that would give: there, blank text is kept only when it is all an element holds,
// but an element with a value has it kept after a comment too.
pugi::xml_node firstChild(const pugi::xml_node& n) {
    const pugi::xml_node c = n.first_child();
    if (!c || !*n.value() || c.type() != pugi::node_pcdata)
        return c;
    const std::string_view text(c.value());
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos ? pugi::xml_node() : c;
}

// The node after n in document order below top, or a null node when the walk is done. Iterative, so that
// nesting as deep as a file likes cannot exhaust the stack.
pugi::xml_node nextBelow(pugi::xml_node n, const pugi::xml_node& top) {
    if (const pugi::xml_node c = firstChild(n))
        return c;
    while (n && n != top && !n.next_sibling())
        n = n.parent();
    return !n || n == top ? pugi::xml_node() : n.next_sibling();
}

// The value as text, when XML can hold it. A leading U+FEFF is part of the value: only the file's own
// byte-order mark is dropped, and that before parsing.
bool decodeText(QByteArrayView value, QString& text) {
    if (firstNonXmlByte(value) >= 0)
        return false;
    // Most values are ASCII, which needs no decoder.
    if (std::all_of(value.begin(), value.end(), [](char c) { return uchar(c) < 0x80; })) {
        text = QString::fromLatin1(value);
        return true;
    }
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    text = utf8.decode(value);
    return true;
}

bool isSito(const pugi::xml_node& n) {
    return n.type() == pugi::node_element && std::strcmp(n.name(), "sito") == 0;
}

const char* const kBadChar = "text holds a character XML does not allow";

// An element's own value: the text before its first child node, which the parser keeps in the element.
const char* ownText(const char* value, QString& text) {
    if (!*value) {
        text.clear();
        return nullptr;
    }
    return decodeText(QByteArrayView(value), text) ? nullptr : kBadChar;
}

// The node's text content, as the DOM gives it: its own value, or all text below it in document order;
// nullptr, or what is wrong with it. A record inside a field is refused: its text would count again in
// every field above it, so a deep stack of them costs time and memory quadratic in the file.
const char* textOf(const pugi::xml_node& node, QString& text) {
    const auto isText = [](const pugi::xml_node& n) {
        return n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata;
    };
    if (isText(node))
        return decodeText(QByteArrayView(node.value()), text) ? nullptr : kBadChar;
    const char* const own = node.value();
    const pugi::xml_node first = firstChild(node);
    if (!first)
        return ownText(own, text);
    if (!*own && isText(first) && !first.next_sibling())
        return textOf(first, text);
    QByteArray all(own);
    for (pugi::xml_node n = first; n; n = nextBelow(n, node)) {
        if (isSito(n))
            return "a record inside its fields";
        if (isText(n) || n.type() == pugi::node_element) // an element's value is its own text
            all.append(n.value());
    }
    return decodeText(all, text) ? nullptr : kBadChar;
}

const QLatin1StringView kOpzioni("opzioni");

bool isElement(const pugi::xml_node& n, QLatin1StringView name) {
    return n.type() == pugi::node_element && name == QLatin1StringView(n.name());
}

struct RawRecord {
    QString nickRaw;
    QString fields[4];
};

// A signed 32-bit decimal, as fingerprints are written.
std::optional<qint32> parseInt32(const char* text) {
    bool ok = false;
    const qlonglong n = QByteArrayView(text).trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(n);
}

// A time kept in the list: UTC, to the second, ISO 8601.
QDateTime parseTime(const char* text) {
    QDateTime time = QDateTime::fromString(QString::fromLatin1(QByteArrayView(text).trimmed()), Qt::ISODate);
    return time.isValid() ? time.toUTC() : QDateTime();
}

// The minimum interval and the check results that go with it: the latest check and the failures in a row.
void readPace(const pugi::xml_node& opzioni, SiteOptions& options) {
    options.minInterval = std::max<qint64>(0, parseInt32(opzioni.attribute("intervallo").value()).value_or(0));
    if (options.minInterval > 0)
        options.lastChecked = parseTime(opzioni.attribute("controllato").value());
    options.failures = std::max(0, parseInt32(opzioni.attribute("fallimenti").value()).value_or(0));
    if (options.failures > 0)
        options.failingSince = parseTime(opzioni.attribute("fallitodal").value());
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
    readPace(opzioni, options);
    options.userAgent = QString::fromUtf8(opzioni.attribute("agente").value());
    options.hostDelayMs = std::max(-1, parseInt32(opzioni.attribute("ritardo").value()).value_or(-1));
    options.hasSecrets = QByteArrayView(opzioni.attribute("segreti").value()).trimmed() == "1";
    ServerMemory& server = options.server;
    // Validators are bytes, written as Latin-1 text.
    server.etag = QString::fromUtf8(opzioni.attribute("etag").value()).toLatin1();
    server.lastModified = QString::fromUtf8(opzioni.attribute("modificato").value()).toLatin1();
    server.conditional = std::max(0, parseInt32(opzioni.attribute("condizionali").value()).value_or(0));
    server.validatorsIgnored = QByteArrayView(opzioni.attribute("ignoravalidatori").value()).trimmed() == "1";
    server.retryAt = QDateTime::fromString(QString::fromLatin1(opzioni.attribute("riprova").value()), Qt::ISODate);
    QString text;
    for (pugi::xml_node n = opzioni.first_child(); n; n = n.next_sibling()) {
        if (isElement(n, QLatin1StringView("intestazione"))) {
            if (const char* problem = textOf(n, text))
                return problem;
            if (!text.isEmpty())
                options.headers.append(text);
            continue;
        }
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

// The record's nick and fields; its options go straight to their place in the entry, default as it is made.
bool readRecord(const pugi::xml_node& sito, qsizetype number, RawRecord& rec, SharedOptions& options,
                QString& detail) {
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
    // Text before the record's first child element is its own value: by position, the first field.
    const bool ownField = *sito.value();
    pugi::xml_node child = firstChild(sito);
    for (int i = 0; i < 4; ++i) {
        if (!child && !(i == 0 && ownField)) {
            detail = QCoreApplication::translate("SiteListFile", "record %1 has %2 child nodes, not four")
                         .arg(number)
                         .arg(i);
            return false;
        }
        const char* problem =
            i == 0 && ownField ? ownText(sito.value(), rec.fields[i]) : textOf(child, rec.fields[i]);
        if (problem) {
            detail = QCoreApplication::translate("SiteListFile", "record %1: %2")
                         .arg(number)
                         .arg(QLatin1StringView(problem));
            return false;
        }
        if (!(i == 0 && ownField))
            child = child.next_sibling();
    }
    for (; child; child = child.next_sibling()) {
        if (!isElement(child, kOpzioni))
            continue;
        if (const char* problem = readOptions(child, options.edit())) {
            detail = QCoreApplication::translate("SiteListFile", "record %1 options: %2")
                         .arg(number)
                         .arg(QLatin1StringView(problem));
            return false;
        }
        break;
    }
    return true;
}

// The file's own bytes of what this version does not know, found through the parser's pointers into its
// buffer: the parser decodes that buffer in place, so the text is taken from a copy made before.
class UnknownFinder {
public:
    UnknownFinder(const char* buffer, QByteArrayView original)
        : m_buffer(buffer)
        , m_original(original) {}

    void attribute(const pugi::xml_attribute& a, UnknownXml& into) const {
        const qsizetype from = a.name() - m_buffer;
        qsizetype quote = m_original.indexOf('=', from) + 1;
        while (quote > 0 && quote < m_original.size() && m_original[quote] != '"' && m_original[quote] != '\'')
            ++quote;
        const qsizetype end =
            quote > 0 && quote < m_original.size() ? m_original.indexOf(m_original.at(quote), quote + 1) + 1 : 0;
        if (end > from)
            into.attributes += ' ' + m_original.sliced(from, end - from).toByteArray();
    }
    void element(const pugi::xml_node& n, qsizetype known, UnknownXml& into) const {
        const qsizetype from = n.name() - m_buffer - 1;
        const qsizetype end = elementEnd(m_original, from);
        if (end > from)
            into.children.append({known, m_original.sliced(from, end - from).toByteArray()});
    }

private:
    const char* m_buffer;
    QByteArrayView m_original;
};

// A child that holds a record is not kept whole: its records are read as records, as they always were.
bool holdsRecord(const pugi::xml_node& n) {
    for (pugi::xml_node d = n.first_child(); d; d = nextBelow(d, n)) {
        if (isSito(d))
            return true;
    }
    return false;
}

struct UnknownParts {
    UnknownXml root;
    QHash<qsizetype, UnknownXml> records; // by record index, only records that have some
    QHash<qsizetype, UnknownXml> options;
};

void findUnknownOptions(const pugi::xml_node& opzioni, const UnknownFinder& finder, UnknownXml& into) {
    for (pugi::xml_attribute a = opzioni.first_attribute(); a; a = a.next_attribute()) {
        const QLatin1StringView name(a.name());
        if (name != "testo"_L1 && name != "cifre"_L1 && name != "crctesto"_L1 && name != "versione"_L1 &&
            name != "intervallo"_L1 && name != "controllato"_L1 && name != "fallimenti"_L1 &&
            name != "fallitodal"_L1 && name != "agente"_L1 && name != "ritardo"_L1 && name != "segreti"_L1 &&
            name != "etag"_L1 && name != "modificato"_L1 && name != "condizionali"_L1 &&
            name != "ignoravalidatori"_L1 && name != "riprova"_L1)
            finder.attribute(a, into);
    }
    qsizetype known = 0;
    for (pugi::xml_node n = opzioni.first_child(); n; n = n.next_sibling()) {
        if (isElement(n, "intestazione"_L1) || isElement(n, "ignora"_L1) || isElement(n, "inizio"_L1) ||
            isElement(n, "fine"_L1) || isElement(n, "selettore"_L1))
            ++known;
        else if (n.type() == pugi::node_element && !holdsRecord(n))
            finder.element(n, known, into);
    }
}

// Attributes after the first (the nick), and elements after the four fields other than the options.
void findUnknownInRecord(const pugi::xml_node& sito, const UnknownFinder& finder, UnknownXml& record,
                         UnknownXml& options) {
    for (pugi::xml_attribute a = sito.first_attribute().next_attribute(); a; a = a.next_attribute())
        finder.attribute(a, record);
    pugi::xml_node n = firstChild(sito);
    for (int i = *sito.value() ? 1 : 0; i < 4 && n; ++i) // the record's own text is its first field
        n = n.next_sibling();
    qsizetype known = 0;
    for (; n; n = n.next_sibling()) {
        if (known == 0 && isElement(n, kOpzioni)) {
            findUnknownOptions(n, finder, options);
            known = 1;
        } else if (n.type() == pugi::node_element && !holdsRecord(n)) {
            finder.element(n, known, record);
        }
    }
}

// The node after n in the walk over the root's content: down through n as well, unless flat, when every record
// lies directly under the root (as this program writes a list) and the walk steps over each one.
pugi::xml_node nextInList(const pugi::xml_node& n, const pugi::xml_node& top, bool flat) {
    return flat ? n.next_sibling() : nextBelow(n, top);
}

UnknownParts findUnknown(const pugi::xml_node& top, const UnknownFinder& finder, bool flat) {
    UnknownParts parts;
    const bool listRoot = QLatin1StringView(top.name()) == "ElencoSiti"_L1;
    if (listRoot) {
        for (pugi::xml_attribute a = top.first_attribute(); a; a = a.next_attribute())
            finder.attribute(a, parts.root);
    }
    qsizetype records = 0;
    for (pugi::xml_node n = top.first_child(); n; n = nextInList(n, top, flat)) {
        if (isSito(n)) {
            UnknownXml record, options;
            findUnknownInRecord(n, finder, record, options);
            if (!record.isEmpty())
                parts.records.insert(records, std::move(record));
            if (!options.isEmpty())
                parts.options.insert(records, std::move(options));
            ++records;
        } else if (listRoot && n.parent() == top && n.type() == pugi::node_element && !holdsRecord(n)) {
            finder.element(n, records, parts.root);
        }
    }
    return parts;
}

SiteListReadResult failure(int number, const QString& detail) {
    return {Outcome::failure(number, SiteListFileTexts::kFormatError), detail, {}, {}, {}, false};
}

} // namespace

SiteListReadResult readSiteListFile(const QString& path, SiteListRoot root, QByteArrayView unlessDigest) {
    QByteArray data;
    QString detail;
    if (const int number = readBoundedFile(path, kMaxSiteListFileSize, data, detail))
        return failure(number, detail);
    QByteArray digest = ListDigest::of(data);
    const bool unchanged = !unlessDigest.isEmpty() && digest == unlessDigest;
    SiteListReadResult read = unchanged ? SiteListReadResult{Outcome::success(), {}, {}, {}, {}, true}
                                        : readSiteListData(std::move(data), root);
    read.digest = std::move(digest);
    return read;
}

SiteListReadResult readSiteListData(QByteArray data, SiteListRoot root) {
    using SiteListFileErrors::kBadFormat;
    if (data.size() > kMaxSiteListFileSize)
        return failure(SiteListFileErrors::kFileAccess,
                       QCoreApplication::translate("SiteListFile", "file larger than 256 MiB"));
    qsizetype offset = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        offset = 3;
    QByteArray original = data; // shared until the next line makes the parser's copy
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
    // Records counted before parsing rewrites the text, in the same pass: the entries then never move while
    // they are read.
    qint64 markup = 0;
    for (const char *p = text, *end = text + size;
         (p = static_cast<const char*>(std::memchr(p, '=', size_t(end - p)))); ++p)
        ++markup;
    qsizetype records = 0;
    for (const char *p = text, *end = text + size;
         (p = static_cast<const char*>(std::memchr(p, '<', size_t(end - p)))); ++p) {
        ++markup;
        records += end - p >= 5 && std::memcmp(p + 1, "sito", 4) == 0;
    }
    if (markup > kMaxMarkupCount)
        return failure(kBadFormat, QCoreApplication::translate("SiteListFile", "too much markup"));

    pugi::xml_document doc;
    const unsigned options =
        pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_doctype | pugi::parse_declaration |
        pugi::parse_fragment |    // keeps text outside the root, so that the check below can refuse it
        pugi::parse_embed_pcdata; // an element's first text is its value: half the nodes of a list
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
    // When every "<sito" counted above is a record directly under the root, no walk goes down into records.
    qsizetype direct = 0;
    for (pugi::xml_node n = top.first_child(); n; n = n.next_sibling())
        direct += isSito(n);
    const bool flat = direct == records;
    // Found before the fields are decoded, so that the copy is gone before their text takes its room.
    UnknownParts unknown = findUnknown(top, UnknownFinder(text, QByteArrayView(original).sliced(offset)), flat);
    original = QByteArray();
    std::vector<SiteEntry> entries;
    std::vector<QString> primaries;
    entries.reserve(size_t(records));
    primaries.reserve(size_t(records));
    RawRecord rec;
    QString detail;
    // Document order, any depth, the root itself excluded. Fields hold no records (textOf refuses them),
    // so every node is visited at most twice: here and in the text of one field.
    for (pugi::xml_node n = top.first_child(); n; n = nextInList(n, top, flat)) {
        if (isSito(n)) {
            const qsizetype number = qsizetype(entries.size()) + 1;
            SiteEntry& e = entries.emplace_back();
            if (!readRecord(n, number, rec, e.options, detail))
                return failure(kBadFormat, detail);
            e.url = std::move(rec.fields[0]);
            e.crc = rec.fields[1].isEmpty() ? StoredCrc() : StoredCrc::fromText(rec.fields[1]);
            e.rdatetime = std::move(rec.fields[2]);
            e.descrizione = XMLEntityDecode(rec.fields[3]);
            e.nick = XMLEntityDecode(rec.nickRaw);
            if (UnknownXml more = unknown.options.take(number - 1); !more.isEmpty())
                e.options.edit().unknown = std::move(more);
            e.unknown = unknown.records.take(number - 1);
            primaries.push_back(rec.nickRaw.isEmpty() ? numberedKey(number) : rec.nickRaw);
        }
    }
    assignKeys(entries, primaries);
    return {Outcome::success(), QString(), std::move(entries), std::move(unknown.root), {}, false};
}
