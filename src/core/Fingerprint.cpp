#include "core/Fingerprint.h"
#include "core/FingerprintDetail.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QUOVEL_HAVE_CLMUL_CODE 1
#endif

namespace {

using Table = std::array<quint32, 256>;

// Table 0 is the classic byte table; table s advances a byte through s further zero bytes (slice-by-8).
constexpr std::array<Table, 8> makeTables() {
    std::array<Table, 8> t{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][i] = c;
    }
    for (std::size_t s = 1; s < 8; ++s)
        for (std::size_t i = 0; i < 256; ++i)
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFFu];
    return t;
}

// Built by the compiler: nothing to initialise at run time, nothing shared that could change.
constexpr std::array<Table, 8> kTables = makeTables();

// The helpers below work on the register (the complement of zlib's CRC).
quint32 bytewise(quint32 r, const unsigned char* p, std::size_t n) {
    const Table& t = kTables[0];
    while (n--)
        r = t[(r ^ *p++) & 0xFFu] ^ (r >> 8);
    return r;
}

quint32 sliceBy8(quint32 r, const unsigned char* p, std::size_t n) {
    if constexpr (std::endian::native == std::endian::little) {
        const auto& t = kTables;
        for (; n >= 8; p += 8, n -= 8) {
            std::uint64_t w;
            std::memcpy(&w, p, 8);
            w ^= r;
            r = t[7][w & 0xFFu] ^ t[6][(w >> 8) & 0xFFu] ^ t[5][(w >> 16) & 0xFFu] ^ t[4][(w >> 24) & 0xFFu] ^
                t[3][(w >> 32) & 0xFFu] ^ t[2][(w >> 40) & 0xFFu] ^ t[1][(w >> 48) & 0xFFu] ^ t[0][w >> 56];
        }
    }
    return bytewise(r, p, n);
}

#ifdef QUOVEL_HAVE_CLMUL_CODE

#define QUOVEL_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

QUOVEL_CLMUL_TARGET inline __m128i load(const unsigned char* q) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
}

// Carries the 128 bits of x forward over the distance k stands for, and adds the data found there.
QUOVEL_CLMUL_TARGET inline __m128i fold(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// Folding with carry-less multiplication (Intel, "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ"):
// four 128-bit lanes are folded 64 bytes ahead, merged into one, then reduced to 32 bits by Barrett reduction.
// A constant for a distance of n bits is (x^n mod P) bit-reflected and shifted left by one; given high, low.
// Needs n >= 64 and n a multiple of 16.
QUOVEL_CLMUL_TARGET quint32 foldClmul(quint32 r, const unsigned char* p, std::size_t n) {
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4); // n = 4*128-32, 4*128+32
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0); // n = 128-32, 128+32
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);              // n = 64
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641); // floor(x^64 / P), P, both reflected
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);

    __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(int(r)));
    __m128i x2 = load(p + 16);
    __m128i x3 = load(p + 32);
    __m128i x4 = load(p + 48);
    p += 64;
    n -= 64;
    for (; n >= 64; p += 64, n -= 64) {
        x1 = fold(x1, k1k2, load(p));
        x2 = fold(x2, k1k2, load(p + 16));
        x3 = fold(x3, k1k2, load(p + 32));
        x4 = fold(x4, k1k2, load(p + 48));
    }
    x1 = fold(x1, k3k4, x2);
    x1 = fold(x1, k3k4, x3);
    x1 = fold(x1, k3k4, x4);
    for (; n >= 16; p += 16, n -= 16)
        x1 = fold(x1, k3k4, load(p));

    // 128 bits to 64.
    __m128i x = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    x = _mm_xor_si128(_mm_srli_si128(x, 4), _mm_clmulepi64_si128(_mm_and_si128(x, low32), k5, 0x00));

    // Barrett reduction to 32 bits.
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x, low32), poly, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
    return quint32(_mm_extract_epi32(_mm_xor_si128(x, t), 1));
}

#endif

} // namespace

namespace fingerprint_detail {

bool hasClmul() {
#ifdef QUOVEL_HAVE_CLMUL_CODE
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    }();
    return has;
#else
    return false;
#endif
}

quint32 crc32Portable(quint32 crc, const unsigned char* data, std::size_t size) {
    return ~sliceBy8(~crc, data, size);
}

quint32 crc32Clmul(quint32 crc, const unsigned char* data, std::size_t size) {
#ifdef QUOVEL_HAVE_CLMUL_CODE
    quint32 r = ~crc;
    if (size >= 64) {
        const std::size_t folded = size & ~std::size_t(15);
        r = foldClmul(r, data, folded);
        data += folded;
        size -= folded;
    }
    return ~bytewise(r, data, size);
#else
    return crc32Portable(crc, data, size);
#endif
}

quint32 crc32Update(quint32 crc, const unsigned char* data, std::size_t size) {
    return hasClmul() ? crc32Clmul(crc, data, size) : crc32Portable(crc, data, size);
}

} // namespace fingerprint_detail

const std::array<quint32, 256>& crcTable() {
    return kTables[0];
}

qint32 calcCRC32(QByteArrayView bytes) {
    if (bytes.size() < 2)
        return 0;
    // The last byte never counts: every fingerprint already stored in list files was made that way.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    return qint32(fingerprint_detail::crc32Update(0, p, std::size_t(bytes.size()) - 1));
}

void Crc32Stream::add(const char* data, std::size_t size) {
    if (size == 0)
        return;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    if (m_size > 0) {
        const auto last = static_cast<unsigned char>(m_last);
        m_crc = fingerprint_detail::crc32Update(m_crc, &last, 1);
    }
    m_crc = fingerprint_detail::crc32Update(m_crc, p, size - 1);
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
