#include "store/SiteListFile.h"
#include "store/XmlEntities.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

SiteEntry makeEntry(const QString& nick, const QString& url, const QString& crc = QStringLiteral("0"),
                    const QString& rdatetime = QString(), const QString& descrizione = QString()) {
    SiteEntry e;
    e.nick = nick;
    e.url = url;
    e.crc = crc;
    e.rdatetime = rdatetime;
    e.descrizione = descrizione;
    return e;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList keysOf(const std::vector<SiteEntry>& entries) {
    QStringList keys;
    for (const SiteEntry& e : entries)
        keys << e.key;
    return keys;
}

const QByteArray kHead = QByteArrayLiteral("<?xml version=\"1.0\"?>\r\n");

QByteArray record(const QByteArray& nick, const QByteArray& url = "http://a/") {
    return "<sito nick=\"" + nick + "\"><url>" + url + "</url><crc>1</crc><rdatetime/><descrizione/></sito>";
}

} // namespace

class TestSiteListFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void roundTrip_data();
    void roundTrip();
    void exactBytes_data();
    void exactBytes();
    void tomAndJerryKeepsOneEscapeInKey();
    void readsByPosition();
    void emptyCrcBecomesZero();
    void emptyNicksNumbered();
    void duplicateKeys_data();
    void duplicateKeys();
    void moreThan32767Records();
    void badFiles_data();
    void badFiles();
    void badPaths_data();
    void badPaths();
    void deepNestingLoads();
    void saveReplacesFile();
    void saveFailures_data();
    void saveFailures();
    void invalidCharsRefused_data();
    void invalidCharsRefused();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
};

void TestSiteListFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSiteListFile::roundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("markup characters") << QStringLiteral("A & B <c> \"d\" 'e' ]]>");
    QTest::newRow("references as text") << QStringLiteral("&amp; &lt; &#13; &#x41; &nbsp;");
    QTest::newRow("CR LF") << QStringLiteral("one\r\ntwo");
    QTest::newRow("lone CR") << QStringLiteral("one\rtwo");
    QTest::newRow("LF and tab") << QStringLiteral("one\ntwo\tthree");
    QTest::newRow("outer blanks") << QStringLiteral("  padded  ");
    QTest::newRow("blanks only") << QStringLiteral("   ");
    QTest::newRow("tab only") << QStringLiteral("\t");
    QTest::newRow("line break only") << QStringLiteral("\r\n");
    QTest::newRow("non-ASCII") << QStringLiteral("perché città Ærøskøbing Ωμέγα 東京");
    QTest::newRow("emoji") << QStringLiteral("\U0001F600\U0001F30D ok");
    QTest::newRow("section sign") << QStringLiteral("§1");
}

void TestSiteListFile::roundTrip() {
    QFETCH(QString, text);
    std::vector<SiteEntry> saved = {
        makeEntry(text, text, text, text, text),
        makeEntry(QStringLiteral("plain"), QStringLiteral("http://b/?x=1&y=2"), QStringLiteral("-123"),
                  QStringLiteral("01/02/2024 10:11:12"), text),
    };
    saved[0].ticked = true;
    saved[0].res = QStringLiteral("  <>");
    const QString file = path(QStringLiteral("list.xml"));
    const SiteListWriteResult w = writeSiteListFile(file, saved);
    QVERIFY2(w.ok, qPrintable(w.error));

    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY2(r.ok, qPrintable(r.detail));
    QCOMPARE(r.entries.size(), saved.size());
    for (size_t i = 0; i < saved.size(); ++i) {
        const SiteEntry& in = saved[i];
        const SiteEntry& out = r.entries[i];
        QCOMPARE(out.nick, in.nick);
        QCOMPARE(out.url, in.url);
        QCOMPARE(out.crc, in.crc);
        QCOMPARE(out.rdatetime, in.rdatetime);
        QCOMPARE(out.descrizione, in.descrizione);
        QCOMPARE(out.key, XMLEntityEncode(in.nick));
        QVERIFY(!out.ticked);
        QVERIFY(out.res.isEmpty());
    }
}

void TestSiteListFile::exactBytes_data() {
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty list") << QString() << QString() << (kHead + "<ElencoSiti/>\r\n");
    QTest::newRow("Tom & Jerry") << QStringLiteral("Tom & Jerry") << QStringLiteral("http://tom.example/")
                                 << (kHead +
                                     "<ElencoSiti><sito nick=\"Tom &amp;amp; Jerry\"><url>http://tom.example/"
                                     "</url><crc>0</crc><rdatetime/><descrizione/></sito></ElencoSiti>\r\n");
    QTest::newRow("query ampersand") << QStringLiteral("q") << QStringLiteral("http://x/?a=1&b=<2>")
                                     << (kHead +
                                         "<ElencoSiti><sito nick=\"q\"><url>http://x/?a=1&amp;b=&lt;2&gt;</url>"
                                         "<crc>0</crc><rdatetime/><descrizione/></sito></ElencoSiti>\r\n");
    QTest::newRow("whitespace in attribute and text")
        << QStringLiteral("a\tb\nc\rd \"e\"") << QStringLiteral("u\tv\nw\rx \"y\"")
        << (kHead +
            "<ElencoSiti><sito nick=\"a&#9;b&#10;c&#13;d &amp;quot;e&amp;quot;\"><url>u\tv\nw&#13;x \"y\"</url>"
            "<crc>0</crc><rdatetime/><descrizione/></sito></ElencoSiti>\r\n");
}

void TestSiteListFile::exactBytes() {
    QFETCH(QString, nick);
    QFETCH(QString, url);
    QFETCH(QByteArray, expected);
    std::vector<SiteEntry> entries;
    if (!url.isEmpty())
        entries.push_back(makeEntry(nick, url));
    const QString file = path(QStringLiteral("exact.xml"));
    QVERIFY(writeSiteListFile(file, entries).ok);
    QCOMPARE(readBytes(file), expected);
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY2(r.ok, qPrintable(r.detail));
    QCOMPARE(r.entries.size(), entries.size());
}

void TestSiteListFile::tomAndJerryKeepsOneEscapeInKey() {
    const QString file = path(QStringLiteral("tom.qvl"));
    QVERIFY(writeSiteListFile(file, {makeEntry(QStringLiteral("Tom & Jerry"), QStringLiteral("http://t/"))}).ok);
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY(r.ok);
    QCOMPARE(r.entries.at(0).nick, QStringLiteral("Tom & Jerry"));
    QCOMPARE(r.entries.at(0).key, QStringLiteral("Tom &amp; Jerry"));
}

void TestSiteListFile::readsByPosition() {
    const QByteArray text = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<lista>\n"
                            "  <sito nome=\"Uno &amp;amp; Due\" altro=\"x\">\n"
                            "    <indirizzo>http://one/</indirizzo>\n"
                            "    <impronta>-5</impronta>\n"
                            "    <quando>ieri</quando>\n"
                            "    <note>prima &amp;lt;riga&amp;gt;</note>\n"
                            "    <extra>ignored</extra>\n"
                            "  </sito>\n"
                            "  <gruppo><sito n=\"due\"><a><![CDATA[http://two/?a&b]]></a><b></b><c/>"
                            "<d>x<i>y</i>z</d></sito></gruppo>\n"
                            "</lista>\n";
    const QString file = path(QStringLiteral("other.xml"));
    QVERIFY(writeBytes(file, text));
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY2(r.ok, qPrintable(r.detail));
    QCOMPARE(r.entries.size(), size_t(2));
    const SiteEntry& one = r.entries[0];
    QCOMPARE(one.key, QStringLiteral("Uno &amp; Due"));
    QCOMPARE(one.nick, QStringLiteral("Uno & Due"));
    QCOMPARE(one.url, QStringLiteral("http://one/"));
    QCOMPARE(one.crc, QStringLiteral("-5"));
    QCOMPARE(one.rdatetime, QStringLiteral("ieri"));
    QCOMPARE(one.descrizione, QStringLiteral("prima <riga>"));
    const SiteEntry& two = r.entries[1];
    QCOMPARE(two.key, QStringLiteral("due"));
    QCOMPARE(two.url, QStringLiteral("http://two/?a&b"));
    QCOMPARE(two.crc, QStringLiteral("0"));
    QCOMPARE(two.rdatetime, QString());
    QCOMPARE(two.descrizione, QStringLiteral("xyz"));
}

void TestSiteListFile::emptyCrcBecomesZero() {
    const QByteArray text = kHead +
                            "<ElencoSiti><sito nick=\"a\"><url>u</url><crc/><rdatetime/><descrizione/></sito>"
                            "<sito nick=\"b\"><url>v</url><crc></crc><rdatetime></rdatetime><descrizione>"
                            "</descrizione></sito></ElencoSiti>\r\n";
    const QString file = path(QStringLiteral("crc.xml"));
    QVERIFY(writeBytes(file, text));
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY2(r.ok, qPrintable(r.detail));
    QCOMPARE(r.entries.size(), size_t(2));
    QCOMPARE(r.entries[0].crc, QStringLiteral("0"));
    QCOMPARE(r.entries[1].crc, QStringLiteral("0"));
}

void TestSiteListFile::emptyNicksNumbered() {
    const QByteArray text = kHead + "<ElencoSiti>" + record("") + record("Bob") + record("") + "</ElencoSiti>";
    const QString file = path(QStringLiteral("nicks.xml"));
    QVERIFY(writeBytes(file, text));
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY2(r.ok, qPrintable(r.detail));
    QCOMPARE(keysOf(r.entries), (QStringList{QStringLiteral("§1"), QStringLiteral("Bob"), QStringLiteral("§3")}));
    QCOMPARE(r.entries[0].nick, QString());
}

void TestSiteListFile::duplicateKeys_data() {
    QTest::addColumn<QStringList>("nicks");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("same nick") << QStringList{QStringLiteral("a"), QStringLiteral("a")}
                               << QStringList{QStringLiteral("a"), QStringLiteral("§2")};
    QTest::newRow("differs in case") << QStringList{QStringLiteral("Ab"), QStringLiteral("aB")}
                                     << QStringList{QStringLiteral("Ab"), QStringLiteral("§2")};
    QTest::newRow("fallback taken by a later nick")
        << QStringList{QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("§2")}
        << QStringList{QStringLiteral("a"), QStringLiteral("§2_2"), QStringLiteral("§2")};
    QTest::newRow("nick equals a numbered key") << QStringList{QStringLiteral("§2"), QString()}
                                                << QStringList{QStringLiteral("§2"), QStringLiteral("§2_2")};
    QTest::newRow("suffix taken too") << QStringList{QStringLiteral("x"), QStringLiteral("x"),
                                                     QStringLiteral("§2_2"), QStringLiteral("§2")}
                                      << QStringList{QStringLiteral("x"), QStringLiteral("§2_3"),
                                                     QStringLiteral("§2_2"), QStringLiteral("§2")};
    QTest::newRow("three equal") << QStringList{QStringLiteral("z"), QStringLiteral("Z"), QStringLiteral("z")}
                                 << QStringList{QStringLiteral("z"), QStringLiteral("§2"), QStringLiteral("§3")};
}

void TestSiteListFile::duplicateKeys() {
    QFETCH(QStringList, nicks);
    QFETCH(QStringList, keys);
    std::vector<SiteEntry> entries;
    for (const QString& nick : nicks)
        entries.push_back(makeEntry(nick, QStringLiteral("http://same/")));
    const QString file = path(QStringLiteral("dups.xml"));
    QVERIFY(writeSiteListFile(file, entries).ok);
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY2(r.ok, qPrintable(r.detail));
    QCOMPARE(keysOf(r.entries), keys);
    for (size_t i = 0; i < entries.size(); ++i)
        QCOMPARE(r.entries[i].nick, nicks.at(qsizetype(i)));
}

void TestSiteListFile::moreThan32767Records() {
    std::vector<SiteEntry> entries;
    for (int i = 0; i < 40000; ++i)
        entries.push_back(
            makeEntry(i % 2 ? QString() : QStringLiteral("n%1").arg(i), QStringLiteral("http://h/%1").arg(i)));
    const QString file = path(QStringLiteral("big.xml"));
    QVERIFY(writeSiteListFile(file, entries).ok);
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY2(r.ok, qPrintable(r.detail));
    QCOMPARE(r.entries.size(), entries.size());
    QCOMPARE(r.entries.back().key, QStringLiteral("§40000"));
    QCOMPARE(r.entries.back().url, QStringLiteral("http://h/39999"));
}

void TestSiteListFile::badFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = kHead + "<ElencoSiti>" + record("a") + record("b") + "</ElencoSiti>\r\n";
    QTest::newRow("not XML") << QByteArray("nick;url\r\nTom;http://t/\r\n");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("declaration only") << kHead;
    QTest::newRow("truncated") << good.left(good.size() - 30);
    QTest::newRow("truncated in root") << good.left(good.size() - 15);
    QTest::newRow("missing attribute") << (kHead + "<ElencoSiti>" + record("a") +
                                           "<sito><url>u</url><crc/><rdatetime/><descrizione/></sito>"
                                           "</ElencoSiti>");
    QTest::newRow("three children") << (kHead + "<ElencoSiti>" + record("a") +
                                        "<sito nick=\"b\"><url>u</url><crc/><rdatetime/></sito></ElencoSiti>");
    QTest::newRow("no children") << (kHead + "<ElencoSiti><sito nick=\"b\"/></ElencoSiti>");
    QTest::newRow("invalid UTF-8") << (kHead + "<ElencoSiti>" + record("caf\xE9") + "</ElencoSiti>");
    QTest::newRow("overlong UTF-8") << (kHead + "<ElencoSiti>" + record("\xC0\xAF") + "</ElencoSiti>");
    QTest::newRow("encoded surrogate") << (kHead + "<ElencoSiti>" + record("\xED\xA0\x80") + "</ElencoSiti>");
    QTest::newRow("control character") << (kHead + "<ElencoSiti>" + record("a\x01") + "</ElencoSiti>");
    QTest::newRow("control character reference") << (kHead + "<ElencoSiti>" + record("a&#1;") + "</ElencoSiti>");
    QTest::newRow("surrogate reference") << (kHead + "<ElencoSiti>" + record("a", "&#xD800;") + "</ElencoSiti>");
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE<\0a\0/\0>\0", 10);
    QTest::newRow("doctype") << (kHead + "<!DOCTYPE ElencoSiti [<!ENTITY x \"boom\">]>\r\n<ElencoSiti>" +
                                 record("&x;") + "</ElencoSiti>");
    QTest::newRow("external doctype")
        << (kHead + "<!DOCTYPE ElencoSiti SYSTEM \"http://127.0.0.1:9/x.dtd\"><ElencoSiti/>");
    QTest::newRow("two roots") << (kHead + "<ElencoSiti/><ElencoSiti>" + record("a") + "</ElencoSiti>");
    QTest::newRow("text after root") << (good + "trailing");
    QTest::newRow("too many elements") << (kHead + "<r>" + QByteArray("<a/>").repeated(8'000'001) + "</r>");
    QTest::newRow("mismatched tags") << (kHead + "<ElencoSiti>" + record("a") + "</Elenco>");
}

void TestSiteListFile::badFiles() {
    QFETCH(QByteArray, bytes);
    const QString file = path(QStringLiteral("bad.xml"));
    QVERIFY(writeBytes(file, bytes));
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY(!r.ok);
    QCOMPARE(r.error, SiteListFileTexts::kFormatError);
    QVERIFY(!r.detail.isEmpty());
    QVERIFY(r.entries.empty());
}

void TestSiteListFile::badPaths_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << QStringLiteral("missing");
    QTest::newRow("empty name") << QStringLiteral("empty");
    QTest::newRow("directory") << QStringLiteral("directory");
    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("device") << QStringLiteral("device");
    QTest::newRow("larger than 256 MiB") << QStringLiteral("huge");
}

void TestSiteListFile::badPaths() {
    QFETCH(QString, kind);
    QString file = path(QStringLiteral("target.xml"));
    if (kind == QLatin1StringView("empty")) {
        file.clear();
    } else if (kind == QLatin1StringView("directory")) {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("target.xml")));
    } else if (kind == QLatin1StringView("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    } else if (kind == QLatin1StringView("device")) {
        file = QStringLiteral("/dev/zero");
    } else if (kind == QLatin1StringView("huge")) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(kHead + "<ElencoSiti/>") > 0);
        if (!f.resize(kMaxSiteListFileSize + 1))
            QSKIP("this file system cannot hold a sparse file of that size");
    }
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY(!r.ok);
    QCOMPARE(r.error, SiteListFileTexts::kFormatError);
    QVERIFY(r.entries.empty());
}

void TestSiteListFile::deepNestingLoads() {
    constexpr int kDepth = 200000;
    QByteArray text = kHead + "<ElencoSiti>";
    text += QByteArray("<a>").repeated(kDepth);
    text += "<sito nick=\"deep\"><url>" + QByteArray("<b>").repeated(kDepth) + "http://deep/" +
            QByteArray("</b>").repeated(kDepth) + "</url><crc/><rdatetime/><descrizione/></sito>";
    text += QByteArray("</a>").repeated(kDepth);
    text += "</ElencoSiti>";
    const QString file = path(QStringLiteral("deep.xml"));
    QVERIFY(writeBytes(file, text));
    const SiteListReadResult r = readSiteListFile(file);
    QVERIFY2(r.ok, qPrintable(r.detail));
    QCOMPARE(r.entries.size(), size_t(1));
    QCOMPARE(r.entries[0].url, QStringLiteral("http://deep/"));
}

void TestSiteListFile::saveReplacesFile() {
    const QString file = path(QStringLiteral("list.xml"));
    QVERIFY(writeBytes(file, QByteArray(5000, 'x')));
    QVERIFY(writeSiteListFile(file, {}).ok);
    QCOMPARE(readBytes(file), kHead + "<ElencoSiti/>\r\n");
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("list.xml")});
}

void TestSiteListFile::saveFailures_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("path is a folder") << QStringLiteral("folder");
    QTest::newRow("folder does not exist") << QStringLiteral("nofolder");
    QTest::newRow("read-only folder") << QStringLiteral("readonly");
}

void TestSiteListFile::saveFailures() {
    QFETCH(QString, kind);
    const QDir dir(m_dir->path());
    const QByteArray oldBytes = kHead + "<ElencoSiti>" + record("old") + "</ElencoSiti>\r\n";
    QVERIFY(writeBytes(path(QStringLiteral("old.xml")), oldBytes));
    QString target;
    if (kind == QLatin1StringView("folder")) {
        QVERIFY(dir.mkdir(QStringLiteral("sub")));
        target = path(QStringLiteral("sub"));
    } else if (kind == QLatin1StringView("nofolder")) {
        target = path(QStringLiteral("missing/list.xml"));
    } else {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        target = path(QStringLiteral("old.xml"));
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    }
    const QStringList before = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    const SiteListWriteResult w =
        writeSiteListFile(target, {makeEntry(QStringLiteral("new"), QStringLiteral("u"))});
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(!w.ok);
    QVERIFY2(w.error.contains(target), qPrintable(w.error));
    QCOMPARE(readBytes(path(QStringLiteral("old.xml"))), oldBytes);
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    if (kind == QLatin1StringView("folder"))
        QVERIFY(QDir(target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

void TestSiteListFile::invalidCharsRefused_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("bad");
    QTest::newRow("nick, control character") << 0 << QStringLiteral("a\x01");
    QTest::newRow("url, NUL") << 1 << QString(QChar(0));
    QTest::newRow("crc, escape") << 2 << QStringLiteral("\x1b");
    QTest::newRow("rdatetime, U+FFFE") << 3 << QString(QChar(0xFFFE));
    QTest::newRow("descrizione, U+FFFF") << 4 << QString(QChar(0xFFFF));
    QTest::newRow("descrizione, lone high surrogate") << 4 << QString(QChar(0xD83D));
    QTest::newRow("url, lone low surrogate") << 1 << (QStringLiteral("x") + QChar(0xDE00));
    QTest::newRow("nick, reversed pair") << 0 << (QString(QChar(0xDE00)) + QChar(0xD83D));
}

void TestSiteListFile::invalidCharsRefused() {
    QFETCH(int, field);
    QFETCH(QString, bad);
    SiteEntry e = makeEntry(QStringLiteral("Seconda"), QStringLiteral("http://two/"));
    QString* fields[] = {&e.nick, &e.url, &e.crc, &e.rdatetime, &e.descrizione};
    *fields[field] += bad;
    const QString file = path(QStringLiteral("list.xml"));
    const QByteArray oldBytes = kHead + "<ElencoSiti/>\r\n";
    QVERIFY(writeBytes(file, oldBytes));

    const SiteListWriteResult w =
        writeSiteListFile(file, {makeEntry(QStringLiteral("Prima"), QStringLiteral("u")), e});
    QVERIFY(!w.ok);
    QVERIFY2(w.error.contains(QStringLiteral("2 (Seconda")), qPrintable(w.error));
    QCOMPARE(readBytes(file), oldBytes);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("list.xml")});
}

QTEST_APPLESS_MAIN(TestSiteListFile)
#include "tst_sitelistfile.moc"
