#include "core/Fingerprint.h"
#include "store/SiteListFile.h"
#include "support/DataRows.h"
#include "support/TestHttpServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

// quovel-check run as a separate process against a loopback server and real list files.
class TestQuovelCheck : public QObject {
    Q_OBJECT
    TestHttpServer m_server;
    QTemporaryDir m_dir;
    int m_files = 0;
    static inline const QString kOldTime = u"01/01/2026 10:00:00"_s;
    static inline const QString kOtherCrc = QString::number(calcCRC32("another page"));

    struct Checked {
        int exitCode = -1;
        QStringList lines;
        QString errors;
    };
    // output: empty to read standard output, "full" to send it to /dev/full, "gone" for a reader that leaves,
    // "limit" to read it from a process that cannot write a file larger than 150 bytes (as on a full disk).
    // meanwhile: what happens while it runs.
    Checked check(const QStringList& arguments, const QString& output = {},
                  const std::function<void()>& meanwhile = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // The user's own settings are never read or written by a test.
        environment.insert(u"XDG_CONFIG_HOME"_s, m_dir.filePath(u"config"_s));
        environment.insert(u"HOME"_s, m_dir.path());
        QProcess process, reader;
        process.setProcessEnvironment(environment);
        if (output == u"full")
            process.setStandardOutputFile(u"/dev/full"_s);
        if (output == u"limit") {
            process.setChildProcessModifier([] {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{150, 150};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        }
        if (output == u"gone") // a reader that has left before anything is written, as "| head -1" soon does
            process.setStandardOutputProcess(&reader);
        process.start(QStringLiteral(QUOVEL_CHECK_PATH), arguments);
        if (output == u"gone") {
            reader.start(u"true"_s, {});
            reader.waitForFinished();
        }
        if (meanwhile)
            meanwhile();
        if (!process.waitForFinished(60000))
            return {}; // the destructor kills it
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
                QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

private slots:
    void initTestCase() {
        QVERIFY(m_server.isListening());
        QVERIFY(m_dir.isValid());
        m_server.setPage(u"/other"_s, "another page");
    }

    void run_data() {
        columns<QString, QStringList, QStringList, int, QString, QString, QString>(
            "options", "urls", "crcs", "exitCode", "markers", "summary", "output");
        const QString fixed = m_server.url(u"/fixed"_s), other = m_server.url(u"/other"_s);
        const QString slow = m_server.url(u"/slow?ms=4000"_s), refused = TestHttpServer::refusedUrl();
        const QString f = QString::number(calcCRC32(m_server.page(u"/fixed"_s)));
        using L = QStringList;
        QTest::newRow("equal, changed, timed out; not saved")
            << u"--timeout 1"_s << L{fixed, other, slow} << L{f, u"0"_s, u"42"_s} << 1 << u"= <> ?"_s
            << u"3 of 3 checked: 1 changed, 1 timed out"_s << QString();
        QTest::newRow("nothing found; one entry, one line")
            << u"--parallel 1"_s << L{u"\n  "_s + fixed + u"\n"_s, fixed + u"?again"} << L{f, f} << 0 << u"= ="_s
            << u"0 changed, 0 timed out"_s << QString();
        QTest::newRow("saved; a timeout keeps its fingerprint and time")
            << u"--save --timeout 1"_s << L{other, slow} << L{u"0"_s, u"7"_s} << 1 << u"<> ?"_s << u"1 changed"_s
            << QString();
        QTest::newRow("dead site: marked, the run goes on, saved")
            << u"--save --parallel 1"_s << L{other, refused, other} << L{u"0"_s, u"5"_s, u"6"_s} << 1
            << u"<> ? <>"_s << refused + u": Errore 35772"_s << QString();
        QTest::newRow("error page: marked, its fingerprint kept, the status named")
            << u"--save"_s << L{m_server.url(u"/status?code=404"_s)} << L{u"5"_s} << 1 << u"?"_s
            << u"Errore 35781: HTTP 404 Not Found"_s << QString();
        QTest::newRow("unexpected error, saved")
            << u"--save --parallel 1"_s << L{other, fixed, other} << L{u"0"_s, u"5x"_s, u"6"_s} << 2 << u"<> - -"_s
            << u"Errore 13"_s << QString();
        QTest::newRow("output to a full disk, saved")
            << u"--save"_s << L{other} << L{u"0"_s} << 2 << u"<>"_s << u"standard output"_s << u"full"_s;
        QTest::newRow("reader of the output gone, saved")
            << u"--save"_s << L{other} << L{u"0"_s} << 2 << u"<>"_s << u"standard output"_s << u"gone"_s;
        QTest::newRow("save on a full disk: the file as it was")
            << u"--save"_s << L{other} << L{u"0"_s} << 2 << u"<>"_s << u"File too large"_s << u"limit"_s;
    }
    void run() {
        const auto [options, urls, crcs, exitCode, markers, summary, output] =
            fetch<QString, QStringList, QStringList, int, QString, QString, QString>(
                "options", "urls", "crcs", "exitCode", "markers", "summary", "output");
        std::vector<SiteEntry> entries(std::size_t(urls.size()));
        QStringList lines;
        for (qsizetype i = 0; i < urls.size(); ++i) {
            SiteEntry& e = entries[std::size_t(i)];
            e.url = urls[i];
            e.crc = StoredCrc::fromText(crcs[i]);
            e.rdatetime = kOldTime;
            // Only /other changes: it is given another fingerprint in every list.
            const QString marker = markers.section(u' ', int(i), int(i));
            lines << marker + u' ' + (marker == u"<>" ? kOtherCrc : crcs[i]) + u' ' +
                         QString(urls[i]).replace(u'\n', u"%0A"_s);
        }
        const QString path = m_dir.filePath(u"list%1.qvl"_s.arg(++m_files));
        QVERIFY(writeSiteListFile(path, entries).ok());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        const Checked checked = check(options.split(u' ', Qt::SkipEmptyParts) << path, output);
        QCOMPARE(checked.exitCode, exitCode);
        QCOMPARE(checked.lines, output.isEmpty() || output == u"limit" ? lines : QStringList());
        QVERIFY2(checked.errors.contains(summary), qPrintable(checked.errors));
        const bool saved = options.contains(u"--save") && output != u"limit";
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (output == u"limit")
            QCOMPARE(file.readAll(), before);
        const SiteListReadResult after = readSiteListFile(path);
        QVERIFY(after.outcome.ok());
        for (qsizetype i = 0; i < urls.size(); ++i) {
            const SiteEntry& e = after.entries.at(std::size_t(i));
            // Saved, the file holds what was printed; otherwise it is as it was.
            QCOMPARE(e.crc.text(), saved ? lines[i].section(u' ', 1, 1) : crcs[i]);
            QCOMPARE(e.rdatetime != kOldTime, e.crc.text() != crcs[i]); // a new time only with a new fingerprint
        }
    }

    // With --diff, a changed page's text is shown against the version the previous check kept, the lines its
    // rules leave out marked as such; --show-text shows the text as text mode reads it, with the same marks.
    void diffOfAChangedPage() {
        m_server.setPage(u"/news"_s, "<p>Notizie</p><p>Aggiornato: 1</p><p>Il prezzo è 10 euro</p>");
        SiteEntry e;
        e.url = m_server.url(u"/news"_s);
        e.options.edit().textMode = true;
        e.options.edit().ignore = QStringList{u"^Aggiornato:"_s};
        e.options.edit().headers = QStringList{u"Accept-Language: it"_s};
        const QString path = m_dir.filePath(u"news.qvl"_s);
        QVERIFY(writeSiteListFile(path, {e}).ok());
        QCOMPARE(check({u"--save"_s, u"--diff"_s, path}).exitCode, 1); // the first version: nothing to compare
        m_server.setPage(u"/news"_s, "<p>Notizie</p><p>Aggiornato: 2</p><p>Il prezzo è 12 euro</p>");
        const Checked checked = check({u"--save"_s, u"--diff"_s, path});
        QCOMPARE(checked.exitCode, 1);
        QCOMPARE(checked.lines.mid(1, 2).join(u'|').count(e.url), 2); // --- and +++ name the page
        QCOMPARE(checked.lines.mid(3),
                 (QStringList{u"@@ -1,3 +1,3 @@"_s, u" Notizie"_s, u"~Aggiornato: 1"_s, u"-Il prezzo è 10 euro"_s,
                              u"~Aggiornato: 2"_s, u"+Il prezzo è 12 euro"_s}));

        Checked shown = check({u"--show-text"_s, e.url, path});
        QCOMPARE(shown.exitCode, 0);
        QCOMPARE(shown.lines, (QStringList{u"  Notizie"_s, u"~ Aggiornato: 2"_s, u"  Il prezzo è 12 euro"_s}));
        QVERIFY(m_server.lastHeaders(u"/news"_s).contains("Accept-Language: it")); // asked as a check asks
        shown = check({u"--show-text"_s, e.url});
        QCOMPARE(shown.lines, (QStringList{u"Notizie"_s, u"Aggiornato: 2"_s, u"Il prezzo è 12 euro"_s}));
        shown = check({u"--show-text"_s, TestHttpServer::refusedUrl()});
        QVERIFY(shown.exitCode == 1 && shown.lines.isEmpty() && !shown.errors.isEmpty());
        // --history lists both versions kept: time, body fingerprint, text size, complete or not.
        const Checked listed = check({u"--history"_s, e.url});
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(listed.lines.size(), 2);
        QVERIFY(listed.lines.last().endsWith(u' ' + checked.lines.first().section(u' ', 1, 1) + u" 42 complete"));
        QVERIFY2(listed.errors.contains(u"2 versions kept"_s), qPrintable(listed.errors));
    }

    // With a failure limit, an outage is reported on the check that reaches it, and its end once.
    void reportFailuresAfter() {
        SiteEntry e;
        e.url = TestHttpServer::refusedUrl();
        const QString path = m_dir.filePath(u"down.qvl"_s);
        QVERIFY(writeSiteListFile(path, {e}).ok());
        const QStringList options{u"--save"_s, u"--report-failures-after"_s, u"2"_s, path};
        for (const auto& [marker, status] : {std::pair{u"~"_s, 0}, std::pair{u"?"_s, 1}, std::pair{u"~"_s, 0}}) {
            const Checked checked = check(options);
            QCOMPARE(checked.exitCode, status);
            QCOMPARE(checked.lines.value(0).section(u' ', 0, 0), marker);
        }
        std::vector<SiteEntry> entries = readSiteListFile(path).entries;
        QCOMPARE(entries.at(0).options->failures, 3);
        entries.at(0).url = m_server.url(u"/other"_s);
        QVERIFY(writeSiteListFile(path, entries).ok());
        Checked checked = check(options);
        QCOMPARE(checked.exitCode, 1); // changed
        QVERIFY2(checked.errors.contains(u"di nuovo raggiungibile"_s), qPrintable(checked.errors));
        checked = check(options);
        QCOMPARE(checked.exitCode, 0);
        QVERIFY(!checked.errors.contains(u"raggiungibile"_s));
    }

    // --import adds to a list (made when missing) and checks nothing; a file it cannot read changes nothing.
    void import() {
        const QString jobs = m_dir.filePath(u"urls.yaml"_s), list = m_dir.filePath(u"imported.qvl"_s);
        QFile file(jobs);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("name: A\nurl: http://a.example/\nfilter: [html2text, grep: x]\n---\nurl: ftp://b.example/\n");
        file.close();
        Checked checked = check({u"--import"_s, jobs, u"--save"_s, list});
        QCOMPARE(checked.exitCode, 0);
        QCOMPARE(checked.lines, QStringList{u"http://a.example/"_s});
        QVERIFY2(checked.errors.contains(u"ftp://b.example/: non è un indirizzo http o https"_s),
                 qPrintable(checked.errors));
        QVERIFY(checked.errors.contains(u"http://a.example/: filtro \"grep\" non importato"_s));
        SiteListReadResult read = readSiteListFile(list);
        QCOMPARE(read.entries.size(), std::size_t(1));
        QCOMPARE(read.entries.front().nick, u"A"_s);
        QVERIFY(read.entries.front().options->textMode);

        checked = check({u"--import"_s, jobs, u"--save"_s, list}); // already there: nothing added
        QCOMPARE(checked.exitCode, 0);
        QVERIFY(checked.lines.isEmpty());
        QVERIFY(checked.errors.contains(u"già nella lista"_s));
        QCOMPARE(check({u"--import"_s, m_dir.filePath(u"none.yaml"_s), u"--save"_s, list}).exitCode, 2);
        QCOMPARE(readSiteListFile(list).entries.size(), std::size_t(1));
    }

    // The window saves the list during a slow check: its added site, edited description and deleted site stay,
    // and the check's results go into the sites it kept.
    void savedMeanwhile() {
        const QString path = m_dir.filePath(u"shared.qvl"_s);
        std::vector<SiteEntry> entries(3);
        const QString urls[] = {m_server.url(u"/other"_s), m_server.url(u"/fixed"_s),
                                m_server.url(u"/slow?ms=2000"_s)};
        for (int i = 0; i < 3; ++i) {
            entries[i].url = urls[i];
            entries[i].nick = u"n%1"_s.arg(i);
        }
        QVERIFY(writeSiteListFile(path, entries).ok());
        const int slowBefore = m_server.hits(u"/slow"_s);
        const Checked checked = check({u"--save"_s, path}, {}, [&] {
            QVERIFY(QTest::qWaitFor([&] { return m_server.hits(u"/slow"_s) > slowBefore; }, 10000));
            std::vector<SiteEntry> edited = entries;
            edited.erase(edited.begin());
            edited[0].descrizione = u"nuova"_s;
            edited.push_back(entries[0]);
            edited.back().url = u"http://added.invalid/"_s;
            edited.back().nick = u"nuovo"_s;
            QVERIFY(writeSiteListFile(path, edited).ok());
        });
        QCOMPARE(checked.exitCode, 1);
        QVERIFY2(checked.errors.contains(u"merged: n0, n1, nuovo"_s), qPrintable(checked.errors));
        const SiteListReadResult after = readSiteListFile(path);
        QStringList got;
        for (const SiteEntry& e : after.entries)
            got << e.nick + u' ' + e.url + u' ' + e.descrizione + u' ' +
                       (e.crc.text() == u"0" ? u"0"_s : u"new"_s);
        QCOMPARE(got, (QStringList{u"n1 "_s + urls[1] + u" nuova new"_s, u"n2 "_s + urls[2] + u"  new"_s,
                                   u"nuovo http://added.invalid/  0"_s}));
    }

    void refusesBadInput() {
        const QString list = u" /nonexistent/list.qvl"_s;
        // A mistyped path to another XML file is refused, never overwritten by --save.
        const QByteArray otherXml = "<?xml version=\"1.0\"?>\n<project/>\n";
        QFile other(m_dir.filePath(u"pom.xml"_s));
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write(otherXml) > 0);
        other.close();
        for (const QString& arguments :
             QStringList{QString(), list, list + list, u"--timeout 0"_s + list, u"--timeout abc"_s + list,
                         u"--parallel x"_s + list, u"--frobnicate"_s + list, u"--history x"_s + list,
                         u"--report-failures-after 0"_s + list, u"--save "_s + other.fileName()}) {
            const Checked checked = check(arguments.split(u' ', Qt::SkipEmptyParts));
            QVERIFY2(checked.exitCode == 2 && checked.lines.isEmpty() && !checked.errors.isEmpty(),
                     qPrintable(arguments));
        }
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(other.readAll(), otherXml);
    }
};

QTEST_GUILESS_MAIN(TestQuovelCheck)
#include "tst_quovelcheck.moc"
