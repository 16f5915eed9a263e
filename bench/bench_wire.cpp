// What checks cost the network and how the pace per host holds a run up.
//
// Bytes: 200 pages of 100 KiB, checked three times: the first run (full answers), a second with the
// validators of the first (conditional requests), a second with FullRequestEvery=1 (no validators). With a
// base URL (e.g. an nginx on loopback serving p000.html … p199.html) the pages are that server's, else the
// tests' loopback server's.
// Pace: 100 loopback hosts × 5 pages with a least delay of 1 s between two requests to one host: the run
// should take about the 4 delays of one host, not 100 hosts' worth.
#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/SiteList.h"
#include "store/Setting.h"
#include "support/TestHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>

namespace {
constexpr int kPages = 200;
constexpr int kPageBytes = 100 * 1024;

CheckRunReport runOnce(CheckRun& run) {
    QEventLoop loop;
    CheckRunReport report;
    QObject::connect(&run, &CheckRun::finished, &loop, [&](const CheckRunReport& r) {
        report = r;
        loop.quit();
    });
    run.CheckSelectedURLs(false);
    loop.exec();
    return report;
}

void tickAll(SiteList& list) {
    for (int row = 0; row < list.count(); ++row)
        list.setTicked(row, true);
}

void bytes(const QString& base) {
    TestHttpServer server;
    SiteList list;
    std::vector<SiteEntry> entries(kPages);
    for (int i = 0; i < kPages; ++i) {
        const QString name = QStringLiteral("/p%1.html").arg(i, 3, 10, QLatin1Char('0'));
        if (base.isEmpty())
            server.setPage(name, TestHttpServer::pageBody(kPageBytes, quint32(i)));
        entries[i].key = QStringLiteral("p%1").arg(i);
        entries[i].url = base.isEmpty() ? server.url(name) : base + name;
        entries[i].ticked = true;
    }
    list.replaceAll(std::move(entries));
    const Clock clock;
    CheckOptions options{30, 6, Settings::kMaxTextBytes.defaultValue};
    CheckRun run(list, clock, [&options] { return options; });
    const auto show = [](const char* what, const CheckRunReport& r) {
        std::printf("%-36s checked %d  received %10lld bytes (%.2f MB)\n", what, r.checked,
                    static_cast<long long>(r.bytesReceived), double(r.bytesReceived) / 1e6);
        std::fflush(stdout);
        return r.bytesReceived;
    };
    std::printf("%d pages of about %d bytes from %s\n", kPages, kPageBytes,
                base.isEmpty() ? "the tests' loopback server" : qPrintable(base));
    show("first run", runOnce(run));
    tickAll(list);
    const qint64 conditional = show("second run, with validators", runOnce(run));
    tickAll(list);
    options.fullRequestEvery = 1;
    const qint64 full = show("second run, without validators", runOnce(run));
    std::printf("wire: second run with validators %.2f %% of one without\n",
                full > 0 ? 100.0 * double(conditional) / double(full) : 0.0);
}

void pace() {
    constexpr int kHosts = 100, kPerHost = 5, kDelayMs = 1000;
    TestHttpServer server(kHosts);
    if (!server.isListening()) {
        std::printf("pace: the loopback server did not start on %d hosts\n", kHosts);
        return;
    }
    SiteList list;
    std::vector<SiteEntry> entries(kHosts * kPerHost);
    for (int i = 0; i < int(entries.size()); ++i) {
        entries[i].key = QStringLiteral("h%1").arg(i);
        entries[i].url = server.urlOnHost(i % kHosts, QStringLiteral("/fixed?n=%1").arg(i));
        entries[i].ticked = true;
    }
    list.replaceAll(std::move(entries));
    const Clock clock;
    CheckOptions options{30, int(Settings::kParallel.maximum), Settings::kMaxTextBytes.defaultValue};
    options.network.hostDelayMs = kDelayMs;
    CheckRun run(list, clock, options);
    QElapsedTimer timer;
    timer.start();
    const CheckRunReport r = runOnce(run);
    std::printf("pace: %d hosts x %d pages, %d ms per host (±20 %%), %d at once: checked %d in %.2f s "
                "(one host's share: %.1f to %.1f s)\n",
                kHosts, kPerHost, kDelayMs, options.parallel, r.checked, double(timer.elapsed()) / 1000.0,
                (kPerHost - 1) * kDelayMs * 0.8 / 1000.0, (kPerHost - 1) * kDelayMs * 1.2 / 1000.0);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bytes(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    pace();
    return 0;
}
