#include "store/PageHistory.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {
const QString kUrl = u"https://example.org/pagina"_qs;
const QDateTime kStart = QDateTime(QDate(2026, 3, 1), QTime(10, 0), Qt::UTC);

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
            history.record(kUrl, u"versione %1\nè qui"_qs.arg(i), kStart.addSecs(i), -i);
        history.record(kUrl, u"versione 5\nè qui"_qs, kStart.addSecs(9), -5); // same text: no new version
        const std::vector<PageVersion> versions = history.versions(kUrl);
        QCOMPARE(texts(versions),
                 QStringList({u"versione 3\nè qui"_qs, u"versione 4\nè qui"_qs, u"versione 5\nè qui"_qs}));
        QCOMPARE(versions.back().checked, kStart.addSecs(5));
        QCOMPARE(versions.back().bodyCrc, -5);
        QVERIFY(!versions.back().truncated);
        QCOMPARE(history.latest(kUrl)->text, versions.back().text);
        QVERIFY(history.versions(u"https://example.org/altra"_qs).empty());
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

    void damagedFileReadsAsNone_data() {
        QTest::addColumn<int>("damage");
        QTest::newRow("cut short") << 0;
        QTest::newRow("one byte flipped") << 1;
        QTest::newRow("huge length") << 2;
        QTest::newRow("garbage") << 3;
        QTest::newRow("another URL's file") << 4;
    }
    void damagedFileReadsAsNone() {
        QFETCH(int, damage);
        QTemporaryDir dir;
        PageHistory history(dir.path());
        history.record(kUrl, u"prima\nseconda"_qs, kStart, 1);
        const QString path = dir.filePath(QDir(dir.path()).entryList(QDir::Files).value(0));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        const qsizetype versionAt = bytes.indexOf("pagina") + 6 + 4;
        switch (damage) {
        case 0:
            bytes.chop(5);
            break;
        case 1:
            bytes[bytes.size() - 9] = char(bytes[bytes.size() - 9] ^ 0x10);
            break;
        case 2:
            bytes.replace(versionAt + 20, 4, "\xff\xff\xff\x7f");
            break; // the compressed length
        case 3:
            bytes = noise(100, 3).toLatin1();
            break;
        case 4: {
            QTemporaryDir other;
            PageHistory(other.path()).record(u"https://example.org/x"_qs, u"altro"_qs, kStart, 2);
            QFile o(other.filePath(QDir(other.path()).entryList(QDir::Files).value(0)));
            QVERIFY(o.open(QIODevice::ReadOnly));
            bytes = o.readAll();
        }
        }
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        QVERIFY(history.versions(kUrl).empty());
        QVERIFY(!history.latest(kUrl));
        history.record(kUrl, u"nuova"_qs, kStart.addSecs(60), 3);
        QCOMPARE(texts(history.versions(kUrl)), QStringList{u"nuova"_qs});
    }

    void pruneByLastCheck() {
        QTemporaryDir dir;
        PageHistory history(dir.path());
        history.record(u"https://a/"_qs, u"a"_qs, kStart, 1);
        history.record(u"https://b/"_qs, u"b"_qs, kStart, 2);
        history.record(u"https://c/"_qs, u"c"_qs, kStart, 3);
        history.record(u"https://c/"_qs, u"c"_qs, kStart.addDays(25), 3); // same text, checked again
        QFile other(dir.filePath(u"note.txt"_qs));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.setFileTime(kStart.addYears(-1), QFileDevice::FileModificationTime);
        history.noteChecked({u"https://b/"_qs, u"https://nessuna/"_qs}, kStart.addDays(20));
        QCOMPARE(history.prune(kStart.addDays(45)), 1);
        QVERIFY(history.versions(u"https://a/"_qs).empty());
        QCOMPARE(texts(history.versions(u"https://b/"_qs)), QStringList{u"b"_qs});
        QCOMPARE(history.prune(kStart.addDays(52)), 1);
        QCOMPARE(texts(history.versions(u"https://c/"_qs)), QStringList{u"c"_qs});
        QVERIFY(other.exists());
    }

    void concurrentRecords() {
        QTemporaryDir dir;
        PageHistory history(dir.path(), 50);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&history, t] {
                for (int i = 0; i < 20; ++i) {
                    history.record(kUrl, u"%1 %2"_qs.arg(t).arg(i), kStart.addSecs(i), t);
                    history.record(u"https://t%1/"_qs.arg(t), noise(50, quint32(i)), kStart.addSecs(i), i);
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        QCOMPARE(history.versions(kUrl).size(), 50u);
        for (int t = 0; t < 4; ++t)
            QCOMPARE(texts(history.versions(u"https://t%1/"_qs.arg(t))).size(), 20);
    }
};

QTEST_GUILESS_MAIN(TestPageHistory)
#include "tst_pagehistory.moc"
