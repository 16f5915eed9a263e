// libFuzzer target: the list file reader on any bytes, the entity functions on any text, every list that
// reads written and read again to the same fields, and the writer on any texts. A failed check aborts, as a
// sanitizer report would.
#include "store/SiteListFile.h"
#include "store/XmlEntities.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <pugixml.hpp>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Default options are not written, whatever version they name; any others come back as they were. What a
// later version wrote is compared by the bytes of a second save.
bool sameOptions(SiteOptions a, SiteOptions b) {
    a.unknown = b.unknown = {};
    return a.isDefault() ? b.isDefault() : a == b;
}

bool sameFields(const SiteEntry& a, const SiteEntry& b) {
    return a.nick == b.nick && a.url == b.url && a.crc == b.crc && a.rdatetime == b.rdatetime &&
           a.descrizione == b.descrizione && sameOptions(a.options, b.options);
}

// True when the value holds a character reference the parser would resolve to U+0000 or wrap beyond U+10FFFF.
bool holdsBadReference(const char* v) {
    for (const char* p = std::strstr(v, "&#"); p; p = std::strstr(p + 1, "&#")) {
        const bool hex = p[2] == 'x';
        const char* digits = p + (hex ? 3 : 2);
        const std::string number(digits, std::strspn(digits, hex ? "0123456789abcdefABCDEF" : "0123456789"));
        if (number.empty() || digits[number.size()] != ';')
            continue;
        const std::size_t first = number.find_first_not_of('0');
        if (first == std::string::npos || number.size() - first > 8 ||
            std::stoull(number.substr(first), nullptr, hex ? 16 : 10) > 0x10FFFF)
            return true;
    }
    return false;
}

// An independent check of the reader's refusal of such references: the same parse with references left
// as they stand, then every element's attributes and every text outside CDATA sections looked at.
bool parserMeetsBadReference(QByteArray bytes) {
    const qsizetype bom = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    pugi::xml_document doc;
    const unsigned options = (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_ws_pcdata_single |
                             pugi::parse_doctype | pugi::parse_declaration | pugi::parse_fragment;
    if (!doc.load_buffer_inplace(bytes.data() + bom, size_t(bytes.size() - bom), options, pugi::encoding_utf8))
        return false;
    for (pugi::xml_node n = doc.first_child(); n;) {
        if (n.type() == pugi::node_pcdata && holdsBadReference(n.value()))
            return true;
        if (n.type() == pugi::node_element) {
            for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
                if (holdsBadReference(a.value()))
                    return true;
            }
        }
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && !n.next_sibling())
            n = n.parent();
        n = n ? n.next_sibling() : n;
    }
    return false;
}

// The bytes as UTF-16, split at U+001F into the five fields of one entry: if the writer takes it, it reads
// back the same; if not, one of its fields holds a character XML cannot hold.
void writeAnyEntry(const std::uint8_t* data, std::size_t size, const QString& file) {
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size / 2 * 2);
    const QStringList parts = units.split(QChar(0x1F));
    SiteEntry in;
    QString crc;
    QString* fields[] = {&in.nick, &in.url, &crc, &in.rdatetime, &in.descrizione};
    for (qsizetype i = 0; i < parts.size() && i < 5; ++i)
        *fields[i] = parts[i];
    // An empty stored crc reads as 0.
    in.crc = crc.isEmpty() ? StoredCrc() : StoredCrc::fromText(crc);
    if (!writeSiteListFile(file, {in}).ok()) {
        for (const QString* f : fields) {
            if (firstNonXmlChar(*f) >= 0)
                return;
        }
        std::abort();
    }
    const SiteListReadResult out = readSiteListFile(file, SiteListRoot::ElencoSiti);
    if (!out.outcome.ok() || out.entries.size() != 1 || !sameFields(in, out.entries[0]))
        std::abort();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("again.xml"));
    writeAnyEntry(data, size, file);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    if (XMLEntityDecode(XMLEntityEncode(text)) != text)
        std::abort();

    const SiteListReadResult read = readSiteListData(bytes);
    if (!read.outcome.ok())
        return 0;
    if (parserMeetsBadReference(bytes))
        std::abort();
    if (!writeSiteListFile(file, read.entries, read.root).ok())
        std::abort();
    const SiteListReadResult again = readSiteListFile(file, SiteListRoot::ElencoSiti);
    if (!again.outcome.ok() || again.entries.size() != read.entries.size())
        std::abort();
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
        if (!sameFields(read.entries[i], again.entries[i]))
            std::abort();
    }
    // A list saved once is saved again byte for byte, what a later version wrote included.
    const QString second = dir.filePath(QStringLiteral("second.xml"));
    if (!writeSiteListFile(second, again.entries, again.root).ok() || readAll(file) != readAll(second))
        std::abort();
    return 0;
}
