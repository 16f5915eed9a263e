#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <cstddef>

// The page fingerprint: CRC-32 (zlib's) of every byte of the page but the last, read as a signed integer.
qint32 calcCRC32(QByteArrayView bytes);

// The fingerprint fed chunk by chunk, holding back the last byte seen; value() equals calcCRC32 of the whole.
class Crc32Stream {
public:
    void add(const char* data, std::size_t size);
    void add(QByteArrayView bytes) { add(bytes.data(), std::size_t(bytes.size())); }
    qint32 value() const;
    qint64 size() const { return m_size; }
    void reset();

private:
    quint32 m_crc = 0; // raw CRC of the bytes before the held-back one, in zlib's convention
    qint64 m_size = 0;
    char m_last = 0;
};
