#include "core/Fingerprint.h"
#include "store/SiteListFile.h"
#include "support/TestHttpServer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// quovel-check run as a separate process against a loopback server and real list files.
class TestQuovelCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void reportsEveryEntryInListOrder();
    void nothingFoundExitsZero();
    void saveWritesFingerprintsBack();
    void unexpectedErrorEndsTheRun_data();
    void unexpectedErrorEndsTheRun();
    void refusesBadInput_data();
    void refusesBadInput();

private:
    struct Outcome {
        int exitCode = -1;
        QStringList lines;
        QString errors;
    };
    Outcome check(const QStringList& arguments);
    QString writeList(const QList<QPair<QString, QString>>& urlsAndCrcs);
    QString fixedCrc() const { return QString::number(calcCRC32(m_server.page(QStringLiteral("/fixed")))); }

    TestHttpServer m_server;
    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestQuovelCheck::initTestCase() {
    QVERIFY(m_server.isListening());
    QVERIFY(m_dir.isValid());
}

TestQuovelCheck::Outcome TestQuovelCheck::check(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The user's own settings are never read or written by a test.
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("HOME"), m_dir.path());
    for (const char* proxy : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
        environment.remove(QString::fromLatin1(proxy));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUOVEL_CHECK_PATH), arguments);
    Outcome outcome;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return outcome;
    }
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.lines = out.split(u'\n', Qt::SkipEmptyParts);
    outcome.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return outcome;
}

QString TestQuovelCheck::writeList(const QList<QPair<QString, QString>>& urlsAndCrcs) {
    std::vector<SiteEntry> entries;
    for (const auto& [url, crc] : urlsAndCrcs) {
        SiteEntry entry;
        entry.url = url;
        entry.crc = crc;
        entry.rdatetime = QStringLiteral("01/01/2026 10:00:00");
        entry.nick = QStringLiteral("site %1").arg(entries.size() + 1);
        entries.push_back(entry);
    }
    const QString path = m_dir.filePath(QStringLiteral("list%1.qvl").arg(++m_files));
    const SiteListWriteResult written = writeSiteListFile(path, entries);
    return written.ok ? path : QString();
}

void TestQuovelCheck::reportsEveryEntryInListOrder() {
    const QString fixed = m_server.url(QStringLiteral("/fixed"));
    const QString changing = m_server.url(QStringLiteral("/changing"));
    const QString slow = m_server.url(QStringLiteral("/slow?ms=4000"));
    const QString path =
        writeList({{fixed, fixedCrc()}, {changing, QStringLiteral("0")}, {slow, QStringLiteral("42")}});
    QVERIFY(!path.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    const Outcome outcome = check({QStringLiteral("--timeout"), QStringLiteral("1"), path});
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.lines.size(), 3);
    QCOMPARE(outcome.lines.at(0), QStringLiteral("= ") + fixedCrc() + u' ' + fixed);
    QVERIFY2(outcome.lines.at(1).startsWith(QStringLiteral("<> ")), qPrintable(outcome.lines.at(1)));
    QVERIFY(outcome.lines.at(1).endsWith(u' ' + changing));
    QCOMPARE(outcome.lines.at(2), QStringLiteral("? 42 ") + slow);
    QVERIFY(outcome.errors.contains(QStringLiteral("1 changed, 1 timed out")));
    // Without --save the file stays as it was.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestQuovelCheck::nothingFoundExitsZero() {
    const QString fixed = m_server.url(QStringLiteral("/fixed"));
    const QString path = writeList({{fixed, fixedCrc()}, {fixed + QStringLiteral("?again"), fixedCrc()}});
    const Outcome outcome = check({QStringLiteral("--parallel"), QStringLiteral("1"), path});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.lines,
             QStringList({QStringLiteral("= ") + fixedCrc() + u' ' + fixed,
                          QStringLiteral("= ") + fixedCrc() + u' ' + fixed + QStringLiteral("?again")}));
}

void TestQuovelCheck::saveWritesFingerprintsBack() {
    const QString fixed = m_server.url(QStringLiteral("/fixed"));
    const QString slow = m_server.url(QStringLiteral("/slow?ms=4000"));
    const QString path = writeList({{fixed, QStringLiteral("0")}, {slow, QStringLiteral("7")}});
    const Outcome outcome =
        check({QStringLiteral("--save"), QStringLiteral("--timeout"), QStringLiteral("1"), path});
    QCOMPARE(outcome.exitCode, 1);

    const SiteListReadResult saved = readSiteListFile(path);
    QVERIFY(saved.ok);
    QCOMPARE(saved.entries.size(), size_t(2));
    QCOMPARE(saved.entries.at(0).crc, fixedCrc());
    QVERIFY(saved.entries.at(0).rdatetime != QStringLiteral("01/01/2026 10:00:00"));
    // A timed-out entry keeps its fingerprint and time.
    QCOMPARE(saved.entries.at(1).crc, QStringLiteral("7"));
    QCOMPARE(saved.entries.at(1).rdatetime, QStringLiteral("01/01/2026 10:00:00"));
    QCOMPARE(saved.entries.at(0).nick, QStringLiteral("site 1"));

    // The second check finds it unchanged.
    const Outcome again = check({QStringLiteral("--timeout"), QStringLiteral("1"), path});
    QCOMPARE(again.lines.at(0), QStringLiteral("= ") + fixedCrc() + u' ' + fixed);
}

void TestQuovelCheck::unexpectedErrorEndsTheRun_data() {
    QTest::addColumn<bool>("save");
    QTest::newRow("without save") << false;
    QTest::newRow("with save") << true;
}

void TestQuovelCheck::unexpectedErrorEndsTheRun() {
    QFETCH(bool, save);
    const QString fixed = m_server.url(QStringLiteral("/fixed"));
    const QString refused = TestHttpServer::refusedUrl();
    const QString path =
        writeList({{fixed, QStringLiteral("0")}, {refused, QStringLiteral("5")}, {fixed, QStringLiteral("6")}});
    QStringList arguments{QStringLiteral("--parallel"), QStringLiteral("1"), path};
    if (save)
        arguments.prepend(QStringLiteral("--save"));
    const Outcome outcome = check(arguments);
    QCOMPARE(outcome.exitCode, 2);
    QCOMPARE(outcome.lines.size(), 3);
    QVERIFY(outcome.lines.at(0).startsWith(QStringLiteral("<> ")));
    QCOMPARE(outcome.lines.at(1), QStringLiteral("- 5 ") + refused);
    QCOMPARE(outcome.lines.at(2), QStringLiteral("- 6 ") + fixed);
    QVERIFY2(outcome.errors.contains(QStringLiteral("Errore 35772")), qPrintable(outcome.errors));

    const SiteListReadResult after = readSiteListFile(path);
    QVERIFY(after.ok);
    // What was checked before the error is kept only when asked to save.
    QCOMPARE(after.entries.at(0).crc, save ? fixedCrc() : QStringLiteral("0"));
    QCOMPARE(after.entries.at(1).crc, QStringLiteral("5"));
}

void TestQuovelCheck::refusesBadInput_data() {
    QTest::addColumn<QStringList>("arguments");
    const QString missing = QStringLiteral("/nonexistent/list.qvl");
    QTest::newRow("no file") << QStringList{};
    QTest::newRow("missing file") << QStringList{missing};
    QTest::newRow("two files") << QStringList{missing, missing};
    QTest::newRow("timeout zero") << QStringList{QStringLiteral("--timeout"), QStringLiteral("0"), missing};
    QTest::newRow("timeout text") << QStringList{QStringLiteral("--timeout"), QStringLiteral("abc"), missing};
    QTest::newRow("parallel text") << QStringList{QStringLiteral("--parallel"), QStringLiteral("x"), missing};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate"), missing};
}

void TestQuovelCheck::refusesBadInput() {
    QFETCH(QStringList, arguments);
    const Outcome outcome = check(arguments);
    QCOMPARE(outcome.exitCode, 2);
    QVERIFY(outcome.lines.isEmpty());
    QVERIFY(!outcome.errors.isEmpty());
}

QTEST_GUILESS_MAIN(TestQuovelCheck)
#include "tst_quovelcheck.moc"
