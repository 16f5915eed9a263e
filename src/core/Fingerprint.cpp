#include "core/Fingerprint.h"

#include <zlib.h>

namespace {

quint32 update(quint32 crc, const char* data, std::size_t size) {
    return quint32(crc32_z(crc, reinterpret_cast<const Bytef*>(data), size));
}

} // namespace

qint32 calcCRC32(QByteArrayView bytes) {
    if (bytes.size() < 2)
        return 0;
    // The last byte never counts: every fingerprint already stored in list files was made that way.
    return qint32(update(0, bytes.data(), std::size_t(bytes.size()) - 1));
}

void Crc32Stream::add(const char* data, std::size_t size) {
    if (size == 0)
        return;
    if (m_size > 0)
        m_crc = update(m_crc, &m_last, 1);
    m_crc = update(m_crc, data, size - 1);
    m_last = data[size - 1];
    m_size += qint64(size);
}

qint32 Crc32Stream::value() const {
    return qint32(m_crc);
}

void Crc32Stream::reset() {
    m_crc = 0;
    m_size = 0;
    m_last = 0;
}
