#include "core/Fingerprint.h"
#include "core/FingerprintDetail.h"

#include <QRandomGenerator>
#include <QTest>

#include <zlib.h>

namespace {

using CrcFunction = quint32 (*)(quint32, const unsigned char*, std::size_t);

quint32 zlibCrc(quint32 crc, const unsigned char* data, std::size_t size) {
    return quint32(crc32_z(crc, data, size));
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (char& c : bytes)
        c = char(gen.bounded(256));
    return bytes;
}

const unsigned char* ucharData(const QByteArray& bytes, qsizetype offset = 0) {
    return reinterpret_cast<const unsigned char*>(bytes.constData()) + offset;
}

} // namespace

Q_DECLARE_METATYPE(CrcFunction)

class TestFingerprint : public QObject {
    Q_OBJECT
private slots:
    void knownValues_data();
    void knownValues();
    void lastByteIgnored_data();
    void lastByteIgnored();
    void table();
    void pathsMatchZlib_data();
    void pathsMatchZlib();
    void pathsContinueRunningCrc_data();
    void pathsContinueRunningCrc();
    void matchesZlibWithoutLastByte();
    void streamMatchesWhole_data();
    void streamMatchesWhole();
    void streamReset();
};

void TestFingerprint::knownValues_data() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<qint32>("fingerprint");

    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("one byte") << QByteArray("x") << 0;
    QTest::newRow("one zero byte") << QByteArray(1, '\0') << 0;
    QTest::newRow("check value") << QByteArray("123456789\n") << -873187034;
    QTest::newRow("two bytes") << QByteArray("ab") << -390611389;
    QTest::newRow("ff then zero") << QByteArray("\xff\x00", 2) << -16777216;
    QTest::newRow("sentence") << QByteArray("The quick brown fox jumps over the lazy dog.") << 1095738169;
    QTest::newRow("100 zero bytes") << QByteArray(100, '\0') << -1896021979;
    QTest::newRow("64 ff bytes and one more") << (QByteArray(64, '\xff') + '!') << 258049978;
}

void TestFingerprint::knownValues() {
    QFETCH(QByteArray, page);
    QFETCH(qint32, fingerprint);
    QCOMPARE(calcCRC32(page), fingerprint);
    // A view into the middle of a larger buffer must give the same.
    const QByteArray padded = "<<" + page + ">>";
    QCOMPARE(calcCRC32(QByteArrayView(padded).sliced(2, page.size())), fingerprint);
}

void TestFingerprint::lastByteIgnored_data() {
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");

    QTest::newRow("one byte") << QByteArray("a") << QByteArray("b");
    QTest::newRow("short page") << QByteArray("<html>x") << QByteArray("<html>y");
    QTest::newRow("check value") << QByteArray("123456789\n") << QByteArray("123456789\r");
    const QByteArray big = randomBytes(100000, 7);
    QTest::newRow("large page") << (big + 'a') << (big + 'z');
}

void TestFingerprint::lastByteIgnored() {
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QVERIFY(a != b);
    QCOMPARE(calcCRC32(a), calcCRC32(b));
}

void TestFingerprint::table() {
    const auto& t = crcTable();
    QCOMPARE(t[0], 0u);
    QCOMPARE(t[1], 0x77073096u);
    QCOMPARE(t[128], 0xEDB88320u);
    QCOMPARE(t[255], 0x2D02EF8Du);
    const z_crc_t* reference = get_crc_table();
    for (int i = 0; i < 256; ++i)
        QCOMPARE(t[i], quint32(reference[i]));
    QCOMPARE(&crcTable(), &t);
}

void TestFingerprint::pathsMatchZlib_data() {
    QTest::addColumn<CrcFunction>("crc");
    QTest::newRow("dispatch") << CrcFunction(&fingerprint_detail::crc32Update);
    QTest::newRow("portable") << CrcFunction(&fingerprint_detail::crc32Portable);
    if (fingerprint_detail::hasClmul())
        QTest::newRow("clmul") << CrcFunction(&fingerprint_detail::crc32Clmul);
    else
        qInfo("this CPU lacks PCLMULQDQ or SSE4.1: the carry-less path is not tested");
}

void TestFingerprint::pathsMatchZlib() {
    QFETCH(CrcFunction, crc);
    const QByteArray data = randomBytes(1 << 20, 42);

    // Every length across the fold thresholds (16, 64, 128 bytes), from every alignment within 16 bytes.
    for (std::size_t length = 0; length <= 1100; ++length)
        for (qsizetype offset = 0; offset < 16; ++offset) {
            const auto* p = ucharData(data, offset);
            if (crc(0, p, length) != zlibCrc(0, p, length))
                QFAIL(qPrintable(QStringLiteral("length %1 offset %2").arg(length).arg(offset)));
        }

    QRandomGenerator gen(1234);
    for (int i = 0; i < 40; ++i) {
        const auto offset = qsizetype(gen.bounded(64));
        const auto length = std::size_t(gen.bounded(data.size() - offset));
        const auto* p = ucharData(data, offset);
        if (crc(0, p, length) != zlibCrc(0, p, length))
            QFAIL(qPrintable(QStringLiteral("length %1 offset %2").arg(length).arg(offset)));
    }

    // Buffers whose every bit is set or clear have caught sign and shift errors before.
    const QByteArray ones(5000, '\xff');
    const QByteArray zeros(5000, '\0');
    QCOMPARE(crc(0, ucharData(ones), 5000), zlibCrc(0, ucharData(ones), 5000));
    QCOMPARE(crc(0, ucharData(zeros), 5000), zlibCrc(0, ucharData(zeros), 5000));
}

void TestFingerprint::pathsContinueRunningCrc_data() {
    pathsMatchZlib_data();
}

void TestFingerprint::pathsContinueRunningCrc() {
    QFETCH(CrcFunction, crc);
    const QByteArray data = randomBytes(20000, 99);
    const quint32 starts[] = {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 0xCBF43926u};
    const std::size_t lengths[] = {0, 1, 15, 16, 63, 64, 65, 127, 128, 1000, 19999};
    for (quint32 start : starts)
        for (std::size_t length : lengths) {
            const auto* p = ucharData(data, 1);
            QCOMPARE(crc(start, p, length), zlibCrc(start, p, length));
        }
}

void TestFingerprint::matchesZlibWithoutLastByte() {
    const QByteArray data = randomBytes(1100, 5);
    for (qsizetype n = 2; n <= data.size(); ++n) {
        const QByteArrayView page(data.constData(), n);
        const auto expected = qint32(quint32(crc32_z(0, ucharData(data), std::size_t(n - 1))));
        if (calcCRC32(page) != expected)
            QFAIL(qPrintable(QStringLiteral("length %1").arg(n)));
    }
}

void TestFingerprint::streamMatchesWhole_data() {
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("maxChunk");

    QTest::newRow("empty page") << 0 << 10;
    QTest::newRow("one byte") << 1 << 3;
    QTest::newRow("small page, tiny chunks") << 100 << 3;
    QTest::newRow("page of fold sizes") << 1000 << 80;
    QTest::newRow("network-sized chunks") << 300000 << 20000;
}

void TestFingerprint::streamMatchesWhole() {
    QFETCH(int, pageSize);
    QFETCH(int, maxChunk);
    const QByteArray page = randomBytes(pageSize, quint32(pageSize));
    const qint32 whole = calcCRC32(page);

    QRandomGenerator gen(quint32(pageSize) * 31u + 1u);
    for (int trial = 0; trial < 50; ++trial) {
        Crc32Stream stream;
        qsizetype pos = 0;
        while (pos < page.size()) {
            // Empty and single-byte chunks come often enough to meet the held-back byte in every state.
            const int kind = int(gen.bounded(4));
            qsizetype chunk = kind == 0 ? 0 : kind == 1 ? 1 : qsizetype(gen.bounded(maxChunk + 1));
            chunk = qMin(chunk, page.size() - pos);
            stream.add(QByteArrayView(page).sliced(pos, chunk));
            pos += chunk;
        }
        stream.add(nullptr, 0);
        QCOMPARE(stream.size(), qint64(page.size()));
        QCOMPARE(stream.value(), whole);
    }

    Crc32Stream single;
    single.add(page);
    QCOMPARE(single.value(), whole);
}

void TestFingerprint::streamReset() {
    Crc32Stream stream;
    stream.add(QByteArrayView("something else entirely"));
    stream.reset();
    QCOMPARE(stream.size(), 0);
    QCOMPARE(stream.value(), 0);
    stream.add(QByteArrayView("12345"));
    stream.add(QByteArrayView("6789\n"));
    QCOMPARE(stream.value(), -873187034);
}

QTEST_GUILESS_MAIN(TestFingerprint)
#include "tst_fingerprint.moc"
