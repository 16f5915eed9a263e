#include "core/Fingerprint.h"

#include <QRandomGenerator>
#include <QTest>

#include <zlib.h>

namespace {
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
    void knownValues() {
        QCOMPARE(calcCRC32(QByteArrayView()), 0);
        QCOMPARE(calcCRC32("x"), 0);
        QCOMPARE(calcCRC32("123456789\n"), -873187034);
        QCOMPARE(calcCRC32("123456789\r"), -873187034); // the last byte never counts
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
