// Check runs over 200 pages of 100 KiB from a loopback server that answers each after 50 ms, one at a time
// and in parallel: wall time against the ideal, CPU time per page, peak memory and the most requests the
// server answered at once. N=1 and N=6 fetch from one host; N=32 spreads the pages over several loopback
// hosts, since the run fetches at most 6 at once from one host. Every run keeps page history as the window
// does: N=1 and N=32 check pages new to the list (every text is read and kept), N=6 pages that did not
// change since the last check (no text is read).
#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/Fingerprint.h"
#include "core/SiteList.h"
#include "store/PageHistory.h"
#include "support/TestHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>

namespace {
constexpr int kPages = 200;
constexpr int kPageBytes = 100 * 1024;
constexpr int kDelayMs = 50;
// Enough hosts that 32 in flight need at most 4 per host, well under the per-host cap of 6.
constexpr int kWideHosts = 8;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The process's peak resident memory in KiB, from /proc/self/status.
long peakKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Resets the peak to the current resident size; false where the kernel does not allow it.
bool resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

struct Figures {
    double seconds = 0;
    double limitSeconds = 0;
    double cpuMsPerPage = 0;
    long peak = 0;
    int checked = 0;
    int maxConcurrent = 0;
    int hosts = 1;
    bool failed = false;
};

// Page i is on host i modulo the server's host count, so that consecutive pages go to different hosts.
Figures runOnce(int parallel, int hosts, quint32 seedBase, bool unchanged) {
    TestHttpServer server(hosts);
    if (!server.isListening()) {
        std::fprintf(stderr, "the loopback server did not start on %d hosts\n", hosts);
        Figures f;
        f.failed = true;
        f.hosts = hosts;
        f.limitSeconds = 1;
        return f;
    }
    SiteList list;
    Clock clock;
    std::vector<SiteEntry> entries(kPages);
    for (int i = 0; i < kPages; ++i) {
        entries[i].key = QStringLiteral("p%1").arg(i);
        entries[i].url = server.urlOnHost(i % hosts, QStringLiteral("/page?size=%1&delay_ms=%2&seed=%3")
                                                         .arg(kPageBytes)
                                                         .arg(kDelayMs)
                                                         .arg(seedBase + quint32(i)));
        entries[i].ticked = true;
        if (unchanged)
            entries[i].crc = StoredCrc(calcCRC32(TestHttpServer::pageBody(kPageBytes, seedBase + quint32(i))));
    }
    list.replaceAll(std::move(entries));

    QTemporaryDir historyDir;
    PageHistory history(historyDir.path());
    CheckRun run(list, clock, CheckOptions{30, parallel});
    run.setArchive(&history);
    QEventLoop loop;
    Figures f;
    QObject::connect(&run, &CheckRun::finished, &loop, [&](const CheckRunReport& report) {
        f.checked = report.checked;
        f.failed = !report.outcome.ok();
        loop.quit();
    });
    const double cpuBefore = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    run.CheckSelectedURLs(false);
    loop.exec();
    f.seconds = double(timer.nsecsElapsed()) / 1e9;
    f.cpuMsPerPage = (cpuSeconds() - cpuBefore) * 1000.0 / kPages;
    f.limitSeconds = std::ceil(double(kPages) / parallel) * kDelayMs / 1000.0;
    f.peak = peakKiB();
    f.maxConcurrent = server.maxConcurrent();
    f.hosts = hosts;
    return f;
}

void print(int parallel, const Figures& f, const char* peakNote) {
    std::printf("N=%-2d  hosts %d  checked %d%s  time %.3f s  limit %.3f s  ratio %.3f  cpu/page %.3f ms  "
                "peak %.1f MB  server max concurrent %d%s\n",
                parallel, f.hosts, f.checked, f.failed ? " (FAILED)" : "", f.seconds, f.limitSeconds,
                f.seconds / f.limitSeconds, f.cpuMsPerPage, double(f.peak) / 1024.0, f.maxConcurrent, peakNote);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("%d pages of %d bytes, each answered after %d ms\n", kPages, kPageBytes, kDelayMs);

    // N=32 first, so that its peak is its own even where the peak cannot be reset.
    const bool reset = resetPeak();
    const Figures wide = runOnce(32, kWideHosts, 100000, false);
    print(32, wide, reset ? " (peak reset before the run)" : " (first run)");
    resetPeak();
    print(1, runOnce(1, 1, 200000, false), "");
    resetPeak();
    const Figures six = runOnce(6, 1, 300000, true);
    print(6, six, "");
    std::printf("check run time/limit ratio at N=32: %.3f  peak %.1f MB  server max concurrent %d\n",
                wide.seconds / wide.limitSeconds, double(wide.peak) / 1024.0, wide.maxConcurrent);
    std::printf("check run time/limit ratio at N=6: %.3f\n", six.seconds / six.limitSeconds);
    return six.failed || six.checked != kPages || wide.failed || wide.checked != kPages ? 1 : 0;
}
