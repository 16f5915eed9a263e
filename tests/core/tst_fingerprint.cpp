#include "core/Fingerprint.h"
#include "core/FingerprintDetail.h"

#include <QRandomGenerator>
#include <QTest>

#include <zlib.h>

namespace {
using CrcFunction = quint32 (*)(quint32, const unsigned char*, std::size_t);

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (char& c : bytes)
        c = char(gen.bounded(256));
    return bytes;
}

const unsigned char* at(const QByteArray& bytes, qsizetype offset = 0) {
    return reinterpret_cast<const unsigned char*>(bytes.constData()) + offset;
}
} // namespace

class TestFingerprint : public QObject {
    Q_OBJECT
private slots:
    void knownValuesAndTable() {
        QCOMPARE(calcCRC32(QByteArrayView()), 0);
        QCOMPARE(calcCRC32("x"), 0);
        QCOMPARE(calcCRC32("123456789\n"), -873187034);
        QCOMPARE(calcCRC32("123456789\r"), -873187034); // the last byte never counts
        for (int i = 0; i < 256; ++i)
            QCOMPARE(crcTable()[i], quint32(get_crc_table()[i]));
    }
    void pathsMatchZlib() {
        std::vector<CrcFunction> paths{&fingerprint_detail::crc32Update, &fingerprint_detail::crc32Portable};
        if (fingerprint_detail::hasClmul())
            paths.push_back(&fingerprint_detail::crc32Clmul);
        const QByteArray data = randomBytes(1 << 20, 42);
        const QByteArray ones(5000, '\xff'); // all bits set has caught sign and shift errors before
        for (const CrcFunction crc : paths) {
            QCOMPARE(crc(0, at(ones), 5000), quint32(crc32_z(0, at(ones), 5000)));
            QCOMPARE(crc(0, at(data, 3), data.size() - 3), quint32(crc32_z(0, at(data, 3), data.size() - 3)));
            // Every length across the fold thresholds (16, 64, 128) from every alignment; odd ones continue a CRC.
            for (std::size_t length = 0; length <= 1100; ++length)
                for (qsizetype offset = 0; offset < 16; ++offset) {
                    const quint32 start = (length & 1) ? quint32(length) * 2654435761u : 0u;
                    if (crc(start, at(data, offset), length) != crc32_z(start, at(data, offset), length))
                        QFAIL(qPrintable(QStringLiteral("length %1 offset %2").arg(length).arg(offset)));
                }
        }
    }
    void streamMatchesWhole() {
        const std::pair<int, int> sizeAndMaxChunk[] = {{0, 10}, {1, 3}, {1000, 80}, {300000, 20000}};
        for (const auto& [pageSize, maxChunk] : sizeAndMaxChunk) {
            const QByteArray page = randomBytes(pageSize, quint32(pageSize));
            const qint32 whole = calcCRC32(page);
            QCOMPARE(whole, pageSize < 2 ? 0 : qint32(crc32_z(0, at(page), pageSize - 1)));
            QRandomGenerator gen(quint32(pageSize) * 31u + 1u);
            Crc32Stream stream;
            for (int trial = 0; trial < 50; ++trial) {
                stream.reset();
                for (qsizetype pos = 0, chunk = 0; pos < page.size(); pos += chunk) {
                    // Empty and one-byte chunks come often, to meet the held-back byte in every state.
                    const int kind = int(gen.bounded(4));
                    chunk = qMin(kind < 2 ? kind : qsizetype(gen.bounded(maxChunk + 1)), page.size() - pos);
                    stream.add(QByteArrayView(page).sliced(pos, chunk));
                }
                QCOMPARE(stream.size(), qint64(page.size()));
                QCOMPARE(stream.value(), whole);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestFingerprint)
#include "tst_fingerprint.moc"
