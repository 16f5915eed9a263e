// Throughput of the page fingerprint next to zlib's crc32_z on the same buffers, best of several runs.
#include "core/Fingerprint.h"
#include "core/FingerprintDetail.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kLargeSize = 64u << 20;
constexpr std::size_t kSmallSize = 100u << 10;
constexpr int kSmallCount = 640;
constexpr int kRepeats = 7;

volatile quint32 g_sink; // keeps the compiler from dropping the work

double seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best throughput of each contender in MB/s; their runs alternate so that a busy moment hurts both alike.
std::pair<double, double> bestMBps(std::size_t bytesPerRun, const std::function<void()>& ours,
                                   const std::function<void()>& theirs) {
    double bestOurs = 0;
    double bestTheirs = 0;
    for (int i = 0; i < kRepeats; ++i) {
        bestOurs = std::max(bestOurs, double(bytesPerRun) / 1e6 / seconds(ours));
        bestTheirs = std::max(bestTheirs, double(bytesPerRun) / 1e6 / seconds(theirs));
    }
    return {bestOurs, bestTheirs};
}

std::vector<char> randomBuffer(std::size_t size, std::mt19937_64& gen) {
    std::vector<char> buf(size);
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        const auto v = gen();
        std::copy_n(reinterpret_cast<const char*>(&v), 8, buf.data() + i);
    }
    return buf;
}

} // namespace

int main() {
    std::mt19937_64 gen(20240611);
    const std::vector<char> large = randomBuffer(kLargeSize, gen);
    std::vector<std::vector<char>> small;
    for (int i = 0; i < kSmallCount; ++i)
        small.push_back(randomBuffer(kSmallSize, gen));

    auto ours = [](const std::vector<char>& b) {
        return calcCRC32(QByteArrayView(b.data(), qsizetype(b.size())));
    };
    // Same bytes as the fingerprint covers: all but the last.
    auto zlibs = [](const std::vector<char>& b) {
        return quint32(crc32_z(0, reinterpret_cast<const Bytef*>(b.data()), b.size() - 1));
    };

    std::printf("fast path (PCLMULQDQ): %s\n", fingerprint_detail::hasClmul() ? "yes" : "no");
    if (quint32(ours(large)) != zlibs(large)) {
        std::printf("MISMATCH with zlib\n");
        return 1;
    }

    const auto [ourLarge, zlibLarge] = bestMBps(
        kLargeSize, [&] { g_sink = quint32(ours(large)); }, [&] { g_sink = zlibs(large); });
    const auto [ourSmall, zlibSmall] = bestMBps(
        kSmallSize * kSmallCount,
        [&] {
            for (const auto& b : small)
                g_sink = quint32(ours(b));
        },
        [&] {
            for (const auto& b : small)
                g_sink = zlibs(b);
        });

    std::printf("64 MiB buffer:           fingerprint %9.1f MB/s   zlib crc32_z %9.1f MB/s\n", ourLarge,
                zlibLarge);
    std::printf("%d x 100 KiB buffers:   fingerprint %9.1f MB/s   zlib crc32_z %9.1f MB/s\n", kSmallCount,
                ourSmall, zlibSmall);
    std::printf("fingerprint/zlib throughput ratio: %.2f\n", ourLarge / zlibLarge);
    return 0;
}
