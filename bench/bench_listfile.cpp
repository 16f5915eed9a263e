// Times saving and loading a list file of 100,000 sites; before that, the time and peak memory of reading a
// list of one 250 MiB address, reading a hostile 1 MB file and the peak memory of saving a list whose escaped
// form is five times its size.
#include "store/SiteListFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <limits>

namespace {

// The process's peak resident memory in MiB, where the system tells it (Linux), or -1.
long long peakMemoryMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line; !(line = status.readLine()).isEmpty();) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024;
    }
    return -1;
}

} // namespace

int main() {
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString file = dir.filePath(QStringLiteral("bench.xml"));
    {
        // Many sites with short fields: the per-site cost against the file's size.
        constexpr int kDense = 500000;
        QFile dense(file);
        const QByteArray one =
            "<sito nick=\"\"><url>http://a.example/</url><crc>0</crc><rdatetime/><descrizione/></sito>";
        if (!dense.open(QIODevice::WriteOnly) || dense.write("<?xml version=\"1.0\"?>\r\n<ElencoSiti>") < 0 ||
            dense.write(one.repeated(kDense)) < 0 || dense.write("</ElencoSiti>\r\n") < 0)
            return 1;
        dense.close();
        const long long before = peakMemoryMiB();
        QElapsedTimer t;
        t.start();
        const SiteListReadResult r = readSiteListFile(file);
        std::printf(
            "a %lld MiB list of %d short sites: %s in %lld ms, peak memory %lld MiB before, %lld MiB after\n",
            static_cast<long long>(dense.size() >> 20), kDense, r.outcome.ok() ? "read" : "refused",
            static_cast<long long>(t.elapsed()), before, peakMemoryMiB());
    }
    {
        // One site whose address fills the file up to its cap: the reader's memory against the file's size.
        QFile big(file);
        const QByteArray head = "<?xml version=\"1.0\"?>\r\n<ElencoSiti><sito nick=\"big\"><url>http://x/";
        const QByteArray tail = "</url><crc>0</crc><rdatetime/><descrizione/></sito></ElencoSiti>\r\n";
        if (!big.open(QIODevice::WriteOnly) || big.write(head) < 0 ||
            big.write(QByteArray(250 * 1024 * 1024, 'a')) < 0 || big.write(tail) < 0)
            return 1;
        big.close();
        const long long before = peakMemoryMiB();
        QElapsedTimer t;
        t.start();
        const SiteListReadResult r = readSiteListFile(file);
        std::printf("a %lld MiB list of one address: %s in %lld ms, peak memory %lld MiB before, %lld MiB after\n",
                    static_cast<long long>(big.size() >> 20), r.outcome.ok() ? "read" : "refused",
                    static_cast<long long>(t.elapsed()), before, peakMemoryMiB());
    }
    {
        // 16,000 records, each inside the url of the one above: refused, in time linear in the file.
        const int levels = 16000;
        QFile hostile(file);
        if (!hostile.open(QIODevice::WriteOnly) ||
            hostile.write("<ElencoSiti>" + QByteArray("<sito nick=\"n\"><url>u").repeated(levels) +
                          QByteArray("</url><crc/><rdatetime/><descrizione/></sito>").repeated(levels) +
                          "</ElencoSiti>") < 0)
            return 1;
        hostile.close();
        QElapsedTimer t;
        t.start();
        const SiteListReadResult r = readSiteListFile(file);
        std::printf("%lld-byte file of %d nested records: %s in %lld ms\n", static_cast<long long>(hostile.size()),
                    levels, r.outcome.ok() ? "read" : "refused", static_cast<long long>(t.elapsed()));
    }
    {
        std::vector<SiteEntry> quotes(4);
        for (SiteEntry& e : quotes)
            e.descrizione = QString(4 * 1024 * 1024, QLatin1Char('\''));
        const long long before = peakMemoryMiB();
        const Outcome w = writeSiteListFile(file, quotes);
        std::printf(
            "saving 32 MiB of apostrophes (a %lld MiB file): peak memory %lld MiB before, %lld MiB after%s\n",
            static_cast<long long>(QFileInfo(file).size() >> 20), before, peakMemoryMiB(),
            w.ok() ? "" : " (failed)");
    }

    constexpr int kSites = 100000;
    std::vector<SiteEntry> entries;
    entries.reserve(kSites);
    for (int i = 0; i < kSites; ++i) {
        SiteEntry e;
        e.nick = (i % 7 == 0) ? QStringLiteral("Tom & Jerry %1").arg(i) : QStringLiteral("sito%1").arg(i);
        e.url = (i % 3 == 0)
                    ? QStringLiteral("https://www.example%1.org/cerca?q=citt%C3%A0&pag=%2").arg(i).arg(i % 10)
                    : QStringLiteral("http://news%1.example.com/index.html").arg(i);
        e.crc = StoredCrc(qint32(quint32(i) * 2654435761u));
        e.rdatetime = QStringLiteral("12/03/2024 10:%1:%2")
                          .arg(i % 60, 2, 10, QLatin1Char('0'))
                          .arg(i % 59, 2, 10, QLatin1Char('0'));
        e.descrizione = (i % 5 == 0) ? QStringLiteral("Notizie di città, \"prima\" pagina <%1>").arg(i)
                                     : QStringLiteral("Pagina delle novità numero %1 \u2014 caffè").arg(i);
        entries.push_back(std::move(e));
    }

    qint64 bestSave = std::numeric_limits<qint64>::max();
    qint64 bestLoad = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        const Outcome w = writeSiteListFile(file, entries);
        bestSave = qMin(bestSave, t.elapsed());
        if (!w.ok()) {
            std::printf("save failed: %s\n", qPrintable(w.errorText()));
            return 1;
        }
        t.restart();
        const SiteListReadResult r = readSiteListFile(file);
        bestLoad = qMin(bestLoad, t.elapsed());
        if (!r.outcome.ok() || r.entries.size() != entries.size()) {
            std::printf("load failed: %s\n", qPrintable(r.detail));
            return 1;
        }
    }
    std::printf("file size: %lld bytes\n", static_cast<long long>(QFileInfo(file).size()));
    std::printf("save (best of 3): %lld ms\n", static_cast<long long>(bestSave));
    std::printf("load (best of 3): %lld ms\n", static_cast<long long>(bestLoad));
    std::printf("list file %d sites: save %lld ms, load %lld ms\n", kSites, static_cast<long long>(bestSave),
                static_cast<long long>(bestLoad));
    return 0;
}
