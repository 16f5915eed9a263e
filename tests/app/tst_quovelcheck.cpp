#include "core/Fingerprint.h"
#include "store/SiteListFile.h"
#include "support/TestHttpServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// quovel-check run as a separate process against a loopback server and real list files.
class TestQuovelCheck : public QObject {
    Q_OBJECT
    TestHttpServer m_server;
    QTemporaryDir m_dir;
    int m_files = 0;
    static inline const QString kOldTime = u"01/01/2026 10:00:00"_s;
    static inline const QString kOtherCrc = QString::number(calcCRC32("another page"));

    struct Outcome {
        int exitCode = -1;
        QStringList lines;
        QString errors;
    };
    Outcome check(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // The user's own settings are never read or written by a test.
        environment.insert(u"XDG_CONFIG_HOME"_s, m_dir.filePath(u"config"_s));
        environment.insert(u"HOME"_s, m_dir.path());
        for (const char* proxy :
             {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
            environment.remove(QString::fromLatin1(proxy));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QUOVEL_CHECK_PATH), arguments);
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
        QTest::addColumn<QString>("options");
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QStringList>("crcs");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("markers");
        QTest::addColumn<QString>("summary");
        const QString fixed = m_server.url(u"/fixed"_s), other = m_server.url(u"/other"_s);
        const QString slow = m_server.url(u"/slow?ms=4000"_s), refused = TestHttpServer::refusedUrl();
        const QString f = QString::number(calcCRC32(m_server.page(u"/fixed"_s)));
        using L = QStringList;
        QTest::newRow("equal, changed, timed out; not saved")
            << u"--timeout 1"_s << L{fixed, other, slow} << L{f, u"0"_s, u"42"_s} << 1 << u"= <> ?"_s
            << u"3 of 3 checked: 1 changed, 1 timed out"_s;
        QTest::newRow("nothing found") << u"--parallel 1"_s << L{fixed, fixed + u"?again"} << L{f, f} << 0
                                       << u"= ="_s << u"0 changed, 0 timed out"_s;
        QTest::newRow("saved; a timeout keeps its fingerprint and time")
            << u"--save --timeout 1"_s << L{other, slow} << L{u"0"_s, u"7"_s} << 1 << u"<> ?"_s << u"1 changed"_s;
        QTest::newRow("error, not saved") << u"--parallel 1"_s << L{other, refused, other}
                                          << L{u"0"_s, u"5"_s, u"6"_s} << 2 << u"<> - -"_s << u"Errore 35772"_s;
        QTest::newRow("error, saved") << u"--save --parallel 1"_s << L{other, refused, other}
                                      << L{u"0"_s, u"5"_s, u"6"_s} << 2 << u"<> - -"_s << u"Errore 35772"_s;
    }
    void run() {
        QFETCH(QString, options);
        QFETCH(QStringList, urls);
        QFETCH(QStringList, crcs);
        QFETCH(int, exitCode);
        QFETCH(QString, markers);
        QFETCH(QString, summary);
        std::vector<SiteEntry> entries(std::size_t(urls.size()));
        QStringList lines;
        for (qsizetype i = 0; i < urls.size(); ++i) {
            SiteEntry& e = entries[std::size_t(i)];
            e.url = urls[i];
            e.crc = crcs[i];
            e.rdatetime = kOldTime;
            // Only /other changes: it is given another fingerprint in every list.
            const QString marker = markers.section(u' ', int(i), int(i));
            lines << marker + u' ' + (marker == u"<>" ? kOtherCrc : crcs[i]) + u' ' + urls[i];
        }
        const QString path = m_dir.filePath(u"list%1.qvl"_s.arg(++m_files));
        QVERIFY(writeSiteListFile(path, entries).ok());

        const Outcome outcome = check(options.split(u' ', Qt::SkipEmptyParts) << path);
        QCOMPARE(outcome.exitCode, exitCode);
        QCOMPARE(outcome.lines, lines);
        QVERIFY2(outcome.errors.contains(summary), qPrintable(outcome.errors));
        const SiteListReadResult after = readSiteListFile(path);
        QVERIFY(after.outcome.ok());
        for (qsizetype i = 0; i < urls.size(); ++i) {
            const SiteEntry& e = after.entries.at(std::size_t(i));
            // Saved, the file holds what was printed; otherwise it is as it was.
            QCOMPARE(e.crc, options.contains(u"--save") ? lines[i].section(u' ', 1, 1) : crcs[i]);
            QCOMPARE(e.rdatetime != kOldTime, e.crc != crcs[i]); // a new time only with a new fingerprint
        }
    }

    void refusesBadInput_data() {
        QTest::addColumn<QString>("arguments");
        QTest::newRow("no file") << QString();
        QTest::newRow("missing file") << u"/nonexistent/list.qvl"_s;
        QTest::newRow("two files") << u"/nonexistent/list.qvl /nonexistent/list.qvl"_s;
        QTest::newRow("timeout zero") << u"--timeout 0 /nonexistent/list.qvl"_s;
        QTest::newRow("timeout text") << u"--timeout abc /nonexistent/list.qvl"_s;
        QTest::newRow("parallel text") << u"--parallel x /nonexistent/list.qvl"_s;
        QTest::newRow("unknown option") << u"--frobnicate /nonexistent/list.qvl"_s;
        QFile other(m_dir.filePath(u"pom.xml"_s));
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("<?xml version=\"1.0\"?>\n<project/>\n") > 0);
        QTest::newRow("other XML, --save") << u"--save "_s + other.fileName();
    }
    void refusesBadInput() {
        QFETCH(QString, arguments);
        const Outcome outcome = check(arguments.split(u' ', Qt::SkipEmptyParts));
        QCOMPARE(outcome.exitCode, 2);
        QVERIFY(outcome.lines.isEmpty());
        QVERIFY(!outcome.errors.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestQuovelCheck)
#include "tst_quovelcheck.moc"
