// Check runs over 200 pages of 100 KiB from a loopback server that answers each after 50 ms, one at a time
// and in parallel: wall time against the ideal, CPU time per page and peak memory.
#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/SiteList.h"
#include "store/SettingsStore.h"
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
    bool failed = false;
};

Figures runOnce(TestHttpServer& server, const QString& iniPath, int parallel, quint32 seedBase) {
    SettingsStore settings = SettingsStore::atPath(iniPath);
    settings.save(SettingKeys::kSettings, SettingKeys::kParallel, QString::number(parallel));
    settings.save(SettingKeys::kSettings, SettingKeys::kTimeout, QStringLiteral("30"));
    SiteList list;
    Clock clock;
    std::vector<SiteEntry> entries(kPages);
    for (int i = 0; i < kPages; ++i) {
        entries[i].key = QStringLiteral("p%1").arg(i);
        entries[i].url = server.url(QStringLiteral("/page?size=%1&delay_ms=%2&seed=%3")
                                        .arg(kPageBytes)
                                        .arg(kDelayMs)
                                        .arg(seedBase + quint32(i)));
        entries[i].ticked = true;
    }
    list.replaceAll(std::move(entries));

    CheckRun run(list, settings, clock);
    QEventLoop loop;
    Figures f;
    QObject::connect(&run, &CheckRun::finished, &loop, [&](const CheckRunReport& report) {
        f.checked = report.checked;
        f.failed = report.failed;
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
    return f;
}

void print(int parallel, const Figures& f, const char* peakNote) {
    std::printf("N=%-2d  checked %d%s  time %.3f s  limit %.3f s  ratio %.3f  cpu/page %.3f ms  peak %.1f MB%s\n",
                parallel, f.checked, f.failed ? " (FAILED)" : "", f.seconds, f.limitSeconds,
                f.seconds / f.limitSeconds, f.cpuMsPerPage, double(f.peak) / 1024.0, peakNote);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
        qunsetenv(name);
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Quovel.conf"));
    TestHttpServer server;
    if (!server.isListening()) {
        std::fprintf(stderr, "the loopback server did not start\n");
        return 1;
    }
    std::printf("%d pages of %d bytes, each answered after %d ms\n", kPages, kPageBytes, kDelayMs);

    // N=32 first, so that its peak is its own even where the peak cannot be reset.
    const bool reset = resetPeak();
    // Every page is on one host, so at most 6 are in flight even at N=32: its time ratio says little.
    print(32, runOnce(server, ini, 32, 100000), reset ? " (peak reset before the run)" : " (first run)");
    resetPeak();
    print(1, runOnce(server, ini, 1, 200000), "");
    resetPeak();
    const Figures six = runOnce(server, ini, 6, 300000);
    print(6, six, "");
    std::printf("check run time/limit ratio at N=6: %.3f\n", six.seconds / six.limitSeconds);
    return six.failed || six.checked != kPages ? 1 : 0;
}
