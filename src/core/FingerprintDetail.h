#pragma once

#include <QtGlobal>

#include <cstddef>

// Internals of the fingerprint, open to its tests and benchmark. All take and return a raw CRC in zlib's
// convention (start from 0; crc32Update(crc32Update(0, a), b) is the CRC of a followed by b).
namespace fingerprint_detail {

// The fastest path this CPU supports.
quint32 crc32Update(quint32 crc, const unsigned char* data, std::size_t size);

// The table-driven path (slice-by-8), used where carry-less multiplication is missing.
quint32 crc32Portable(quint32 crc, const unsigned char* data, std::size_t size);

// True when this CPU has PCLMULQDQ and SSE4.1, so crc32Clmul may be called.
bool hasClmul();

// The carry-less multiplication path; only when hasClmul().
quint32 crc32Clmul(quint32 crc, const unsigned char* data, std::size_t size);

} // namespace fingerprint_detail
