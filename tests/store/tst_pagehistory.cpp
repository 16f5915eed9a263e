#include "store/PageHistory.h"
#include "support/DataRows.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {
const QString kUrl = u"https://example.org/pagina"_s;
const QDateTime kStart = QDateTime(QDate(2026, 3, 1), QTime(10, 0), Qt::UTC);
// Written by the format-1 writer: versions 1 to 3 of kUrl, checked a minute apart from kStart.
const char* const kFormat1File =
    "51564846010000001a00000068747470733a2f2f6578616d706c652e6f72672f706167696e6103000000002dd7a89c01000065000000"
    "00000000150000001d000000789c2b28cacc4d54284b2d2acecccf4be53abc42a1b03413005cd60889d342caf26017d8a89c01000036"
    "ffffff00000000170000001f000000789c2b4e4dcecf4b4954284b2d2acecccf4be53abc42a1b03413006e4b094df7630fbdc001d9a8"
    "9c0100002f01000000000000150000001d000000789c2b492daa4a54284b2d2acecccf4be53abc42a1b03413005dbb08966ae3a143";
const QString kFormat1Texts[] = {u"prima versione\nè qui"_s, u"seconda versione\nè qui"_s,
                                 u"terza versione\nè qui"_s};

qint32 crcOf(int version) {
    return (version % 2 ? 101 : -101) * version;
}

QString fileFor(const QString& url) {
    return QString::fromLatin1(QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha256).toHex()) +
           u".qvh";
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
}

QStringList texts(const std::vector<PageVersion>& versions) {
    QStringList out;
    for (const PageVersion& v : versions)
        out << v.text;
    return out;
}

// Text that hardly compresses, in lines of 60 characters.
QString noise(qsizetype lines, quint32 seed) {
    QRandomGenerator gen(seed);
    QString out;
    for (qsizetype i = 0; i < lines; ++i) {
        for (int c = 0; c < 60; ++c)
            out += QChar(u'!' + gen.bounded(90));
        out += QLatin1Char('\n');
    }
    return out;
}
} // namespace

class TestPageHistory : public QObject {
    Q_OBJECT
private slots:
    void versionsKeptNewestLast() {
        QTemporaryDir dir;
        PageHistory history(dir.path(), 3);
        QVERIFY(history.versions(kUrl).empty());
        for (int i = 1; i <= 5; ++i)
            history.record(kUrl, u"versione %1\nè qui"_s.arg(i), kStart.addSecs(i), -i);
        history.record(kUrl, u"versione 5\nè qui"_s, kStart.addSecs(9), -5); // same text: no new version
        const std::vector<PageVersion> versions = history.versions(kUrl);
        QCOMPARE(texts(versions),
                 QStringList({u"versione 3\nè qui"_s, u"versione 4\nè qui"_s, u"versione 5\nè qui"_s}));
        QCOMPARE(versions.back().checked, kStart.addSecs(5));
        QCOMPARE(versions.back().bodyCrc, -5);
        QVERIFY(!versions.back().truncated);
        QCOMPARE(history.latest(kUrl)->text, versions.back().text);
        QVERIFY(history.versions(u"https://example.org/altra"_s).empty());
    }

    void oversizedVersionCutAtLine() {
        QTemporaryDir dir;
        PageHistory history(dir.path());
        const QString text = noise(30000, 7); // about 1.8 MB that compresses to about 1.5 MB
        history.record(kUrl, text, kStart, 1);
        const std::optional<PageVersion> v = history.latest(kUrl);
        QVERIFY(v && v->truncated);
        QVERIFY(v->text.size() > text.size() / 2 && v->text.size() < text.size());
        QVERIFY(text.startsWith(v->text + QLatin1Char('\n')));
        QVERIFY(QFileInfo(dir.filePath(QDir(dir.path()).entryList(QDir::Files).value(0))).size() <=
                PageHistory::kMaxVersionBytes + 1024);
    }

    // Versions 1 to 6 (or the three of a file written in format 1), one byte flipped or the file cut at a place
    // found from a marker: the intact versions are kept, and written again whole with the next one.
    void damagedFileKeepsIntactVersions_data() {
        columns<QString, QString, QString, int, QList<int>>("file", "damage", "marker", "offset", "kept");
        QTest::newRow("format 1, intact") << u"format 1"_s << QString() << QString() << 0 << QList{1, 2, 3};
        QTest::newRow("format 1, data of 2") << u"format 1"_s << u"flip"_s << u"start"_s << 140 << QList{1, 3};
        QTest::newRow("data of 3") << QString() << u"flip"_s << u"text 3"_s << 0 << QList{1, 2, 4, 5, 6};
        QTest::newRow("head of 3") << QString() << u"flip"_s << u"frame 3"_s << -20 << QList{1, 2};
        QTest::newRow("cut inside 6") << QString() << u"cut"_s << u"end"_s << -5 << QList{1, 2, 3, 4, 5};
        QTest::newRow("cut before 6") << QString() << u"cut"_s << u"frame 6"_s << -36 << QList{1, 2, 3, 4, 5};
        QTest::newRow("file header") << QString() << u"flip"_s << u"start"_s << 14 << QList<int>();
        QTest::newRow("another URL's") << u"other"_s << QString() << QString() << 0 << QList<int>();
    }
    void damagedFileKeepsIntactVersions() {
        const auto [file, damage, marker, offset, kept] =
            fetch<QString, QString, QString, int, QList<int>>("file", "damage", "marker", "offset", "kept");
        QTemporaryDir dir;
        PageHistory history(dir.path());
        const bool old = file == u"format 1";
        const auto text = [old](int i) {
            return old ? kFormat1Texts[i - 1] : u"versione %1\nè qui"_s.arg(i);
        };
        QByteArray bytes = QByteArray::fromHex(kFormat1File);
        for (int i = 1; !old && i <= 6; ++i)
            history.record(file == u"other" ? u"https://altro/"_s : kUrl, text(i), kStart.addSecs(60 * (i - 1)),
                           crcOf(i));
        if (!old)
            bytes = readAll(dir.filePath(QDir(dir.path()).entryList(QDir::Files).value(0)));
        // A short text is stored as it is, after the four bytes that begin its zstd frame.
        const QByteArray frame("\x28\xb5\x2f\xfd");
        const QMap<QString, qsizetype> places{
            {u"start"_s, 0},
            {u"end"_s, bytes.size()},
            {u"text 3"_s, bytes.indexOf("versione 3")},
            {u"frame 3"_s, bytes.lastIndexOf(frame, bytes.indexOf("versione 3"))},
            {u"frame 6"_s, bytes.lastIndexOf(frame)}};
        const qsizetype at = places.value(marker) + offset;
        if (damage == u"flip")
            bytes[at] = char(bytes[at] ^ 0x10);
        if (damage == u"cut")
            bytes.truncate(at);
        const QString path = dir.filePath(fileFor(kUrl));
        writeAll(path, bytes);

        const HistoryListing listing = history.listing(kUrl);
        QCOMPARE(listing.damaged, !damage.isEmpty() || file == u"other");
        QList<int> listed;
        QStringList expected;
        for (const HistoryListing::Version& v : listing.versions) {
            const int i = int(kStart.secsTo(v.checked) / 60) + 1;
            QCOMPARE(v.bodyCrc, crcOf(i));
            QCOMPARE(v.textBytes, text(i).toUtf8().size());
            listed << i;
            expected << text(i);
        }
        QCOMPARE(listed, kept);
        QCOMPARE(texts(history.versions(kUrl)), expected);
        history.record(kUrl, u"nuova"_s, kStart.addDays(1), 7);
        QCOMPARE(texts(history.versions(kUrl)), expected << u"nuova"_s);
        QCOMPARE(readAll(path).mid(4, 4), QByteArray("\x02\0\0\0", 4)); // rewritten in the current format
        QVERIFY(!history.listing(kUrl).damaged);
    }

    // A file of a newer format, its header intact, belongs to a newer program: never rewritten.
    void newerFormatLeftAlone() {
        QTemporaryDir dir;
        PageHistory history(dir.path());
        history.record(kUrl, u"prima"_s, kStart, 1);
        const QString path = dir.filePath(fileFor(kUrl));
        QByteArray bytes = readAll(path);
        const qsizetype header = 16 + kUrl.size();
        bytes[4] = 3;
        qToLittleEndian(quint32(crc32_z(0, reinterpret_cast<const Bytef*>(bytes.constData()), size_t(header))),
                        bytes.data() + header);
        writeAll(path, bytes);
        history.record(kUrl, u"seconda"_s, kStart.addSecs(60), 2);
        QCOMPARE(readAll(path), bytes);
        QVERIFY(history.listing(kUrl).newer && history.versions(kUrl).empty());
    }

    void pruneByLastCheck() {
        QTemporaryDir dir;
        PageHistory history(dir.path());
        history.record(u"https://a/"_s, u"a"_s, kStart, 1);
        history.record(u"https://b/"_s, u"b"_s, kStart, 2);
        history.record(u"https://c/"_s, u"c"_s, kStart, 3);
        history.record(u"https://c/"_s, u"c"_s, kStart.addDays(25), 3); // same text, checked again
        // Beside them, a file of the user's, and a lock and a temporary file left by a writer that died.
        const QStringList names{u"note.txt"_s, fileFor(u"https://d/"_s) + u".lock",
                                u"."_s + fileFor(kUrl) + u".Ab12Cd"};
        for (const QString& name : names) {
            QFile other(dir.filePath(name));
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.setFileTime(kStart.addYears(-1), QFileDevice::FileModificationTime);
        }
        history.noteChecked({u"https://b/"_s, u"https://nessuna/"_s}, kStart.addDays(20));
        QCOMPARE(history.prune(kStart.addDays(45)), 1);
        QVERIFY(history.versions(u"https://a/"_s).empty());
        QCOMPARE(texts(history.versions(u"https://b/"_s)), QStringList{u"b"_s});
        QCOMPARE(history.prune(kStart.addDays(52)), 1);
        QCOMPARE(texts(history.versions(u"https://c/"_s)), QStringList{u"c"_s});
        QCOMPARE(QDir(dir.path()).entryList({u"*.*"_s}, QDir::Files | QDir::Hidden),
                 (QStringList{fileFor(u"https://c/"_s), u"note.txt"_s}));
    }

    // Whatever has the history file's name is replaced, never written through or waited on; a history folder
    // that is itself a link is used as it is.
    void plantedEntryReplaced_data() {
        columns<QString>("planted");
        for (const char* planted : {"link to a file", "link to nothing", "fifo", "empty folder", "linked folder"})
            QTest::newRow(planted) << QString::fromLatin1(planted);
    }
    void plantedEntryReplaced() {
        const auto [planted] = fetch<QString>("planted");
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"history"_s), target = dir.filePath(u"target"_s);
        QVERIFY(QDir().mkpath(folder));
        writeAll(target, "the user's own");
        const QString path = folder + u'/' + fileFor(kUrl);
        const QByteArray name = QFile::encodeName(path);
        if (planted.startsWith(u"link to"))
            QVERIFY(QFile::link(planted.endsWith(u"file") ? target : dir.filePath(u"none"_s), path));
        if (planted == u"fifo")
            QCOMPARE(mkfifo(name.constData(), 0600), 0);
        if (planted == u"empty folder")
            QVERIFY(QDir().mkdir(path));
        const QString linked = dir.filePath(u"linked"_s);
        QVERIFY(QFile::link(folder, linked));
        PageHistory history(planted == u"linked folder" ? linked : folder);
        const QDateTime before = QFileInfo(target).lastModified();
        history.noteChecked({kUrl}, kStart);
        QVERIFY(history.versions(kUrl).empty() && !history.listing(kUrl).found);
        history.record(kUrl, u"nuova"_s, kStart, 1);
        QCOMPARE(readAll(target), QByteArray("the user's own"));
        QCOMPARE(QFileInfo(target).lastModified(), before);
        QVERIFY(!QFileInfo(path).isSymLink() && QFileInfo(path).isFile());
        QCOMPARE(texts(history.versions(kUrl)), QStringList{u"nuova"_s});
    }

    // A write that passes the file size limit (EFBIG, as a full disk would fail) leaves the history as it was,
    // and the writer goes on.
    void failedWriteLeavesHistory() {
        QTemporaryDir dir;
        PageHistory history(dir.path());
        history.record(kUrl, u"prima"_s, kStart, 1);
        const QString path = dir.filePath(fileFor(kUrl));
        const QByteArray before = readAll(path);
        const pid_t child = fork();
        if (child == 0) {
            const rlimit limit{rlim_t(before.size() + 100), rlim_t(before.size() + 100)};
            std::signal(SIGXFSZ, SIG_IGN);
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                _exit(1);
            history.record(kUrl, noise(100, 1), kStart.addSecs(60), 2);
            _exit(0); // the writer went on
        }
        int status = -1;
        QVERIFY(waitpid(child, &status, 0) == child);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(QString::number(status)));
        QCOMPARE(readAll(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{fileFor(kUrl)});
    }

    // Writers of one page's history, as threads of one process or as two processes, lose no version.
    void writersLoseNothing_data() {
        columns<bool>("processes");
        QTest::newRow("threads") << false;
        QTest::newRow("processes") << true;
    }
    void writersLoseNothing() {
        const auto [processes] = fetch<bool>("processes");
        QTemporaryDir dir;
        PageHistory history(dir.path(), 100);
        const auto write = [&dir](int writer) {
            PageHistory own(dir.path(), 100);
            for (int i = 0; i < 20; ++i)
                own.record(kUrl, u"%1 %2"_s.arg(writer).arg(i), kStart.addSecs(i), writer);
            return true;
        };
        std::vector<std::thread> threads;
        std::vector<pid_t> children;
        for (int w = 0; w < 2; ++w) {
            if (!processes)
                threads.emplace_back(write, w);
            else if (const pid_t pid = fork(); pid == 0)
                _exit(write(w) ? 0 : 1);
            else
                children.push_back(pid);
        }
        for (std::thread& thread : threads)
            thread.join();
        for (const pid_t pid : children) {
            int status = -1;
            QVERIFY(waitpid(pid, &status, 0) == pid && status == 0);
        }
        QStringList all = texts(history.versions(kUrl));
        all.sort();
        QCOMPARE(all.size(), 40);
        QCOMPARE(all.removeDuplicates(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPageHistory)
#include "tst_pagehistory.moc"
