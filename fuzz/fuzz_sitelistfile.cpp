// libFuzzer target: the list file reader on any bytes, the entity functions on any text, and every list that
// reads written and read again to the same fields. A mismatch aborts, as a sanitizer report would.
#include "store/SiteListFile.h"
#include "store/XmlEntities.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

bool sameFields(const SiteEntry& a, const SiteEntry& b) {
    return a.nick == b.nick && a.url == b.url && a.crc == b.crc && a.rdatetime == b.rdatetime &&
           a.descrizione == b.descrizione;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    if (XMLEntityDecode(XMLEntityEncode(text)) != text)
        std::abort();

    const SiteListReadResult read = readSiteListData(bytes);
    if (!read.outcome.ok())
        return 0;
    const QString file = dir.filePath(QStringLiteral("again.xml"));
    if (!writeSiteListFile(file, read.entries).ok())
        std::abort();
    const SiteListReadResult again = readSiteListFile(file, SiteListRoot::ElencoSiti);
    if (!again.outcome.ok() || again.entries.size() != read.entries.size())
        std::abort();
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
        if (!sameFields(read.entries[i], again.entries[i]))
            std::abort();
    }
    return 0;
}
