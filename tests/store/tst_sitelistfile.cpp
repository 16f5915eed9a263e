#include "store/SiteListFile.h"
#include "store/XmlEntities.h"
#include "support/DataRows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#ifdef Q_OS_LINUX
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#endif

namespace {

SiteEntry makeEntry(const QString& nick, const QString& url) {
    SiteEntry e;
    e.nick = nick;
    e.url = url;
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

QString describe(const SiteEntry& e) {
    return QStringList{e.key, e.nick, e.url, e.crc.text(), e.rdatetime, e.descrizione}.join(QLatin1Char('|'));
}

const QByteArray kHead = QByteArrayLiteral("<?xml version=\"1.0\"?>\r\n");
const QByteArray kEmptyList = kHead + "<ElencoSiti/>\r\n";

QByteArray record(const QByteArray& nick, const QByteArray& url = "u", const QByteArray& crc = "1") {
    return "<sito nick=\"" + nick + "\"><url>" + url + "</url><crc>" + crc +
           "</crc><rdatetime/><descrizione/></sito>";
}

QByteArray list(const QByteArray& records) {
    return kHead + "<ElencoSiti>" + records + "</ElencoSiti>\r\n";
}

} // namespace

class TestSiteListFile : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList dirEntries() const {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("markup and references") << u"A & B <c> \"d\" 'e' ]]> &amp; &#13; &nbsp;"_qs;
        QTest::newRow("line breaks and tab") << u"one\r\ntwo\rthree\nfour\tfive"_qs;
        QTest::newRow("outer blanks") << u"  padded  "_qs;
        QTest::newRow("a number not in its own form") << u"-007"_qs;
        QTest::newRow("whitespace only") << u" \t "_qs;
        QTest::newRow("line break only") << u"\r\n"_qs;
        QTest::newRow("non-ASCII and emoji") << u"perché 東京 §1 \U0001F600"_qs;
        QTest::newRow("leading byte-order mark") << u"\uFEFF\uFEFFx"_qs;
        QTest::newRow("longer than a write chunk") << u"&é\U0001F600'\r"_qs.repeated(20000);
    }

    void roundTrip() {
        QFETCH(QString, text);
        SiteEntry in = makeEntry(text, text);
        in.crc = StoredCrc::fromText(text);
        in.rdatetime = in.descrizione = text;
        QVERIFY(writeSiteListFile(path(u"list.xml"_qs), {in}).ok());
        const SiteListReadResult r = readSiteListFile(path(u"list.xml"_qs), SiteListRoot::ElencoSiti);
        QVERIFY2(r.outcome.ok(), qPrintable(r.detail));
        QCOMPARE(r.entries.size(), size_t(1));
        in.key = XMLEntityEncode(text);
        QCOMPARE(describe(r.entries[0]), describe(in));
    }

    void exactBytes_data() {
        columns<QString, QString, QByteArray>("nick", "url", "expected");
        QTest::newRow("empty list") << QString() << QString() << kEmptyList;
        QTest::newRow("Tom & Jerry") << u"Tom & Jerry"_qs << u"http://t/"_qs
                                     << list(record("Tom &amp;amp; Jerry", "http://t/", "0"));
        QTest::newRow("& in URL") << u"q"_qs << u"http://x/?a=1&b=<2>"_qs
                                  << list(record("q", "http://x/?a=1&amp;b=&lt;2&gt;", "0"));
    }

    void exactBytes() {
        const auto [nick, url, expected] = fetch<QString, QString, QByteArray>("nick", "url", "expected");
        std::vector<SiteEntry> entries;
        if (!url.isEmpty())
            entries.push_back(makeEntry(nick, url));
        const QString file = path(u"exact.xml"_qs);
        QVERIFY(writeBytes(file, QByteArray(5000, 'x'))); // a longer old file must not leave a tail
        QVERIFY(writeSiteListFile(file, entries).ok());
        QCOMPARE(readBytes(file), expected);
        QCOMPARE(dirEntries(), QStringList{u"exact.xml"_qs});
    }

    void optionsRoundTrip() {
        SiteEntry in = makeEntry(u"n"_qs, u"http://o/"_qs);
        in.options.textMode = true;
        in.options.noDigits = true;
        in.options.ignore = QStringList{u"^Visitatori:"_qs, u"<b>&amp; \\d+ 'x' \"y\"\r\n"_qs};
        in.options.start = u"Notizie & <fatti>"_qs;
        in.options.textCrc = -2147483647 - 1;
        in.options.userAgent = u"Mio \"agente\""_qs;
        in.options.hostDelayMs = 0;
        in.options.headers = QStringList{u"Accept-Language: it"_qs, u"X-A: <&>"_qs};
        in.options.hasSecrets = true;
        in.options.server = {"\"W/x\"", "Wed, 07 Jan 2026 11:00:00 GMT", 3, true,
                             QDateTime(QDate(2026, 1, 7), QTime(11, 0), Qt::UTC)};
        in.options.selector = u"div > p:first-child, a[href$=\".pdf\"] & <x>"_qs;
        in.options.selectorKind = SelectorKind::Css;
        SiteEntry plain = makeEntry(u"p"_qs, u"http://p/"_qs);
        const QString file = path(u"opt.xml"_qs);
        QVERIFY(writeSiteListFile(file, {in, plain}).ok());
        const QByteArray bytes = readBytes(file);
        const QByteArray head =
            "<descrizione/><opzioni testo=\"1\" cifre=\"1\" crctesto=\"-2147483648\" versione=\"" +
            QByteArray::number(kTextVersion) +
            "\" agente=\"Mio &quot;agente&quot;\" ritardo=\"0\" segreti=\"1\" etag=\"&quot;W/x&quot;\" "
            "modificato=\"Wed, 07 Jan 2026 11:00:00 GMT\" condizionali=\"3\" ignoravalidatori=\"1\" "
            "riprova=\"2026-01-07T11:00:00Z\"><intestazione>Accept-Language: it</intestazione>"
            "<intestazione>X-A: &lt;&amp;&gt;</intestazione><ignora>^Visitatori:</ignora>";
        QVERIFY2(bytes.contains(head), bytes.constData());
        QVERIFY(bytes.contains("<selettore tipo=\"css\">div &amp;gt; p:first-child"));
        QVERIFY(bytes.contains(record("p", "http://p/", "0")));
        const SiteListReadResult r = readSiteListFile(file);
        QVERIFY2(r.outcome.ok(), qPrintable(r.detail));
        QCOMPARE(r.entries.size(), size_t(2));
        QVERIFY(r.entries[0].options == in.options);
        QVERIFY(r.entries[1].options.isDefault());
        // A reader that takes a record's first four children by position sees the four fields as before.
        QVERIFY(writeBytes(file, list(record("a").replace("</sito>", "<opzioni testo=\"1\" versione=\"1\"/>"
                                                                     "</sito>"))));
        const SiteListReadResult old = readSiteListFile(file);
        QVERIFY(old.outcome.ok());
        QVERIFY(old.entries[0].options.textMode && !old.entries[0].options.textCrc);
        QCOMPARE(describe(old.entries[0]), u"a|a|u|1||"_qs);
    }

    // What a later version adds is written back in its place as read; what this one knows, as it writes it.
    void unknownKept_data() {
        columns<QByteArray, QByteArray>("bytes", "expected");
        const QByteArray opzioni = "<opzioni testo=\"1\" cifre=\"0\" versione=\"1\" n='&#65;'><ignora>a</ignora>"
                                   "<x k=\"a>b\"><!-- </x> --><y/></x><fine>z</fine><w/></opzioni>";
        const QByteArray sito =
            "<sito nick=\"a\" nuovo = \"&lt;1\"><url>u</url><crc>1</crc><rdatetime/><descrizione/>"
            "<p>q</p>" +
            opzioni + "<r/></sito>";
        QTest::newRow("everywhere")
            << (kHead + "<ElencoSiti v=\"2\" data='x &amp; y'>\n <meta><![CDATA[<sito>]]></meta>\n" + sito +
                "<fine/></ElencoSiti>")
            << (kHead + "<ElencoSiti v=\"2\" data='x &amp; y'><meta><![CDATA[<sito>]]></meta>" + sito +
                "<fine/></ElencoSiti>\r\n");
        QTest::newRow("default options with an unknown attribute")
            << list(record("a").replace("</sito>",
                                        "<opzioni testo=\"0\" cifre=\"0\" versione=\"1\" z=\"1\"/></sito>"))
            << list(record("a").replace(
                   "</sito>", "<opzioni testo=\"0\" cifre=\"0\" versione=\"1\" z=\"1\"></opzioni></sito>"));
        QTest::newRow("a wrapper of records is read through, not kept")
            << list("<gruppo x=\"1\">" + record("a") + "</gruppo><vuoto/>") << list(record("a") + "<vuoto/>");
        QTest::newRow("text before a record's first element, then one unknown")
            << list("<sito nick=\"a\">u<crc>1</crc><rdatetime/><descrizione/><p>q</p></sito>")
            << list(record("a").replace("</sito>", "<p>q</p></sito>"));
        QTest::newRow("empty list with attributes")
            << (kHead + "<ElencoSiti v=\"3\"/>") << (kHead + "<ElencoSiti v=\"3\"/>\r\n");
    }

    void unknownKept() {
        const auto [bytes, expected] = fetch<QByteArray, QByteArray>("bytes", "expected");
        const QString file = path(u"in.xml"_qs);
        QVERIFY(writeBytes(file, bytes));
        const SiteListReadResult r = readSiteListFile(file);
        QVERIFY2(r.outcome.ok(), qPrintable(r.detail));
        QVERIFY(writeSiteListFile(file, r.entries, r.root).ok());
        QCOMPARE(readBytes(file), expected);
    }

    void reads_data() {
        // expected: key|nick|url|crc|rdatetime|descrizione, one string per entry
        columns<QByteArray, QStringList>("bytes", "expected");
        QTest::newRow("by position, whatever the names")
            << QByteArray(
                   "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<lista>\n <sito nome=\"Uno &amp;amp; Due\" x=\"y\">\n"
                   "  <a>http://one/</a>\n  <b>-5</b> <c>ieri</c> <d>prima &amp;lt;riga&amp;gt;</d> <e>x</e>\n"
                   " </sito>\n <g><sito n=\"due\"><a><![CDATA[http://two/?a&#0;b]]><!--&#0;--></a><b></b><c/>"
                   "<d>x<i>y</i>z</d></sito></g>\n</lista>\n")
            << QStringList{u"Uno &amp; Due|Uno & Due|http://one/|-5|ieri|prima <riga>"_qs,
                           u"due|due|http://two/?a&#0;b|0||xyz"_qs};
        QTest::newRow("text in a record and its fields, by position")
            << list("<sito nick=\"t\">testo<b>-5<!-- --> </b><c> </c><d>x<i>y<![CDATA[&]]></i><j/>z</d></sito>")
            << QStringList{u"t|t|testo|-5| |xy&z"_qs};
        QTest::newRow("empty list") << kEmptyList << QStringList();
        QTest::newRow("empty crc and nicks") << list(record("", "u", "") + record("Bob") + record("", "v", ""))
                                             << QStringList{u"§1||u|0||"_qs, u"Bob|Bob|u|1||"_qs, u"§3||v|0||"_qs};
        QTest::newRow("duplicates, also in case")
            << list(record("Ab") + record("aB") + record("Ab"))
            << QStringList{u"Ab|Ab|u|1||"_qs, u"§2|aB|u|1||"_qs, u"§3|Ab|u|1||"_qs};
        // The Kelvin sign folds to an ASCII letter: one identity with "k".
        QTest::newRow("duplicates, folded across scripts")
            << list(record("k") + record("\xE2\x84\xAA") + record("\xC3\x89t\xC3\xA9") +
                    record("\xC3\xA9T\xC3\x89"))
            << QStringList{u"k|k|u|1||"_qs, u"§2|\u212A|u|1||"_qs, u"\u00C9t\u00E9|\u00C9t\u00E9|u|1||"_qs,
                           u"§4|\u00E9T\u00C9|u|1||"_qs};
        QTest::newRow("fallback key taken by a later nick")
            << list(record("a") + record("a") + record("§2") + record("§2_2"))
            << QStringList{u"a|a|u|1||"_qs, u"§2_3|a|u|1||"_qs, u"§2|§2|u|1||"_qs, u"§2_2|§2_2|u|1||"_qs};
        // A recursive walk over the tree would overflow the stack here.
        const int n = 200000;
        const QByteArray deepUrl = QByteArray("<b>").repeated(n) + "http://d/" + QByteArray("</b>").repeated(n);
        QTest::newRow("deep nesting") << list(QByteArray("<a>").repeated(n) + record("d", deepUrl) +
                                              QByteArray("</a>").repeated(n))
                                      << QStringList{u"d|d|http://d/|1||"_qs};
    }

    void reads() {
        const auto [bytes, expected] = fetch<QByteArray, QStringList>("bytes", "expected");
        const QString file = path(u"in.xml"_qs);
        QVERIFY(writeBytes(file, bytes));
        const SiteListReadResult r = readSiteListFile(file);
        QVERIFY2(r.outcome.ok(), qPrintable(r.detail));
        QStringList got;
        for (const SiteEntry& e : r.entries)
            got << describe(e);
        QCOMPARE(got, expected);
    }

    void badFiles_data() {
        // kind empty: a file holding the bytes
        columns<QByteArray, QString>("bytes", "kind");
        const QByteArray good = list(record("a") + record("b"));
        QTest::newRow("not XML") << QByteArray("nick;url\r\nTom;http://t/\r\n") << QString();
        QTest::newRow("truncated") << good.left(good.size() - 30) << QString();
        QTest::newRow("missing attribute")
            << list(record("a") + "<sito><url>u</url><crc/><rdatetime/><descrizione/></sito>") << QString();
        QTest::newRow("three children")
            << list(record("a") + "<sito nick=\"b\"><url>u</url><crc/><rdatetime/></sito>") << QString();
        QTest::newRow("invalid UTF-8") << list(record("caf\xE9")) << QString();
        QTest::newRow("overlong UTF-8") << list(record("\xC0\xAF")) << QString();
        QTest::newRow("control character reference") << list(record("a&#1;")) << QString();
        QTest::newRow("NUL reference") << list(record("ab&#0;cd")) << QString();
        QTest::newRow("NUL reference, hex, in a field") << list(record("a", "u&#x000;v")) << QString();
        // Each level inside the url of the one above: reading these used to take time quadratic in the file.
        const int levels = 16000;
        QTest::newRow("records nested in fields")
            << list(QByteArray("<sito nick=\"n\"><url>u").repeated(levels) +
                    QByteArray("</url><crc/><rdatetime/><descrizione/></sito>").repeated(levels))
            << QString();
        QTest::newRow("DOCTYPE") << (kHead + "<!DOCTYPE ElencoSiti [<!ENTITY x \"boom\">]>\r\n" +
                                     list(record("&x;")))
                                 << QString();
        QTest::newRow("other root, a site list required")
            << (kHead + "<project>" + record("a") + "</project>") << u"root"_qs;
        QTest::newRow("missing file") << QByteArray() << u"missing"_qs;
        QTest::newRow("directory") << QByteArray() << u"directory"_qs;
        QTest::newRow("FIFO") << QByteArray() << u"fifo"_qs;
        QTest::newRow("larger than 256 MiB") << kEmptyList << u"huge"_qs;
    }

    void badFiles() {
        const auto [bytes, kind] = fetch<QByteArray, QString>("bytes", "kind");
        const QString file = path(u"bad.xml"_qs);
        if (!bytes.isEmpty())
            QVERIFY(writeBytes(file, bytes));
        if (kind == QLatin1StringView("huge") && !QFile::resize(file, kMaxSiteListFileSize + 1))
            QSKIP("this file system cannot hold a sparse file of that size");
        if (kind == QLatin1StringView("directory"))
            QVERIFY(QDir(m_dir->path()).mkdir(u"bad.xml"_qs));
        if (kind == QLatin1StringView("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        const SiteListReadResult r =
            readSiteListFile(file, kind == u"root" ? SiteListRoot::ElencoSiti : SiteListRoot::Any);
        QVERIFY(!r.outcome.ok());
        QCOMPARE(r.outcome.errorText(), SiteListFileTexts::kFormatError);
        QVERIFY(r.entries.empty());
    }

    void saveRefused_data() {
        // field of the second entry: nick, url, crc, rdatetime, descrizione
        columns<QString, int, QString>("target", "field", "bad");
        QTest::newRow("path is a folder") << u"sub"_qs << 0 << QString();
        QTest::newRow("folder does not exist") << u"no/list.xml"_qs << 0 << QString();
        const QString target = u"list.xml"_qs;
        QTest::newRow("nick, control character") << target << 0 << u"\x01"_qs;
        QTest::newRow("url, NUL") << target << 1 << QString(QChar(0));
        QTest::newRow("crc, U+FFFE") << target << 2 << QString(QChar(0xFFFE));
        QTest::newRow("rdatetime, reversed pair") << target << 3 << (QString(QChar(0xDE00)) + QChar(0xD83D));
        QTest::newRow("descrizione, lone high surrogate") << target << 4 << QString(QChar(0xD83D));
    }

    void saveRefused() {
        const auto [target, field, bad] = fetch<QString, int, QString>("target", "field", "bad");
        SiteEntry e = makeEntry(u"Seconda"_qs, u"http://two/"_qs);
        QString crc = e.crc.text();
        QString* fields[] = {&e.nick, &e.url, &crc, &e.rdatetime, &e.descrizione};
        *fields[field] += bad;
        e.crc = StoredCrc::fromText(crc);
        const QByteArray oldBytes = list(record("old"));
        QVERIFY(writeBytes(path(u"list.xml"_qs), oldBytes));
        QVERIFY(QDir(m_dir->path()).mkdir(u"sub"_qs));
        const QStringList before = dirEntries();
        const Outcome w = writeSiteListFile(path(target), {makeEntry(u"Prima"_qs, u"u"_qs), e});
        QVERIFY(!w.ok());
        QVERIFY2(w.errorText().contains(target == QLatin1StringView("list.xml") ? u"2 (Seconda"_qs : path(target)),
                 qPrintable(w.errorText()));
        QCOMPARE(readBytes(path(u"list.xml"_qs)), oldBytes);
        QCOMPARE(dirEntries(), before); // no temporary file left behind
        QVERIFY(QDir(path(u"sub"_qs)).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

#ifdef Q_OS_LINUX
    // A disk that fills up in the middle of a save (here: a file size limit) is reported with the system's
    // reason, and the old file stays.
    void saveFailsMidway() {
        const QByteArray oldBytes = list(record("old"));
        QVERIFY(writeBytes(path(u"list.xml"_qs), oldBytes));
        const std::vector<SiteEntry> many(4000, makeEntry(u"Nick"_qs, u"http://example.org/una/pagina"_qs));
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 64 * 1024;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const Outcome w = writeSiteListFile(path(u"list.xml"_qs), many);
        ::setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!w.ok());
        QVERIFY2(w.errorText().contains(qt_error_string(EFBIG)), qPrintable(w.errorText()));
        QCOMPARE(readBytes(path(u"list.xml"_qs)), oldBytes);
    }
#endif
};

QTEST_APPLESS_MAIN(TestSiteListFile)
#include "tst_sitelistfile.moc"
