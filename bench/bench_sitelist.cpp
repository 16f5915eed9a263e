// Times the site list's bulk operations on a long list and prints one line per operation.
#include "core/SiteList.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int kEntries = 100000;

std::vector<SiteEntry> makeEntries() {
    QRandomGenerator rng(42);
    std::vector<SiteEntry> entries;
    entries.reserve(kEntries);
    const QString markers[] = {ResultMarker::kNone, ResultMarker::kEqual, ResultMarker::kChanged,
                               ResultMarker::kTimeout};
    for (int i = 0; i < kEntries; ++i) {
        SiteEntry e;
        e.url = QStringLiteral("http://www.Site") + QString::number(rng.bounded(1000000)) +
                QStringLiteral(".example.org/page/") + QString::number(i);
        e.res = markers[rng.bounded(4)];
        e.crc = QString::number(static_cast<qint32>(rng.generate()));
        e.rdatetime = QString::number(rng.bounded(1, 29)) + u'/' + QString::number(rng.bounded(1, 13)) +
                      QStringLiteral("/2024 ") + QString::number(rng.bounded(10, 24)) + QStringLiteral(":00:00");
        e.descrizione = QStringLiteral("Pagina numero ") + QString::number(rng.bounded(5000));
        e.nick = QStringLiteral("nick") + QString::number(i);
        e.key = e.nick;
        e.ticked = rng.bounded(2) == 1;
        entries.push_back(std::move(e));
    }
    return entries;
}

struct Timing {
    double wallMs;
    double cpuMs; // less disturbed than wall time when other work shares the machine
};

Timing timeMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    const std::clock_t cpuStart = std::clock();
    timer.start();
    work();
    return {timer.nsecsElapsed() / 1e6, double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC};
}

} // namespace

int main() {
    SiteList list;
    std::vector<SiteEntry> entries = makeEntries();
    double worst = 0;
    double worstCpu = 0;
    auto report = [&](const char* what, Timing t) {
        std::printf("%-40s %8.2f ms (cpu %.2f ms)\n", what, t.wallMs, t.cpuMs);
        worst = std::max(worst, t.wallMs);
        worstCpu = std::max(worstCpu, t.cpuMs);
    };
    // Lookups are figures of their own, not bulk operations.
    auto note = [](const char* what, Timing t) {
        std::printf("%-40s %8.2f ms (cpu %.2f ms)\n", what, t.wallMs, t.cpuMs);
    };

    report("replaceAll", timeMs([&] { list.replaceAll(std::move(entries)); }));
    note("rowOfId, first lookup (index build)", timeMs([&] { (void)list.rowOfId(1); }));
    report("setAllTicks mode 0", timeMs([&] { list.setAllTicks(SiteList::UntickAll); }));
    report("setAllTicks mode 1", timeMs([&] { list.setAllTicks(SiteList::TickAll); }));
    report("setAllTicks mode 2", timeMs([&] { list.setAllTicks(SiteList::InvertTicks); }));
    for (int column = 1; column <= SiteList::ColumnCount; ++column) {
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            const QByteArray what = "sort column " + QByteArray::number(column) +
                                    (order == Qt::AscendingOrder ? " ascending" : " descending");
            report(what.constData(), timeMs([&] { list.sortByColumn(column, order); }));
        }
    }
    note("rowOfId, 100000 lookups after a sort", timeMs([&] {
             quint64 sum = 0;
             for (int i = 0; i < kEntries; ++i)
                 sum += static_cast<quint64>(list.rowOfId(static_cast<quint64>(i + 1)));
             if (sum == 0)
                 std::printf("unexpected lookups\n");
         }));
    report("clear", timeMs([&] { list.clear(); }));
    std::printf("site list %d-entry bulk operations: max %.0f ms (cpu max %.0f ms)\n", kEntries, worst, worstCpu);
    return 0;
}
