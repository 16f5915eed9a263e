// Times the site list's bulk operations on a long, realistic list and prints the best of three runs of each.
#include "core/SiteList.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <limits>
#include <numeric>
#include <thread>

namespace {

constexpr int kEntries = 100000;
constexpr int kRounds = 3;

QString twoDigits(int n) {
    return QString::number(n).rightJustified(2, u'0');
}

// Entries as a list file of this size would give them: site numbers in random order, a few accents.
std::vector<SiteEntry> makeEntries() {
    QRandomGenerator rng(42);
    std::vector<int> numbers(kEntries);
    std::iota(numbers.begin(), numbers.end(), 1);
    std::shuffle(numbers.begin(), numbers.end(), rng);
    const QString markers[] = {ResultMarker::kNone, ResultMarker::kEqual, ResultMarker::kChanged,
                               ResultMarker::kTimeout};
    const QString words[] = {QStringLiteral("Notizie"),    QStringLiteral("Città di Forlì"),
                             QStringLiteral("caffè e tè"), QStringLiteral("Perché no"),
                             QStringLiteral("Übersicht"),  QStringLiteral("blog personale"),
                             QStringLiteral("ÉCOLE")};
    std::vector<SiteEntry> entries;
    entries.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        const QString n = QString::number(numbers[i]);
        SiteEntry e;
        e.url = QStringLiteral("https://www.example-") + n + QStringLiteral(".com/path/page") + n +
                QStringLiteral(".html");
        e.res = markers[rng.bounded(4)];
        e.crc = StoredCrc(static_cast<qint32>(rng.generate()));
        e.rdatetime = twoDigits(rng.bounded(1, 29)) + u'/' + twoDigits(rng.bounded(1, 13)) + u'/' +
                      QString::number(rng.bounded(2020, 2027)) + u' ' + twoDigits(rng.bounded(24)) + u':' +
                      twoDigits(rng.bounded(60)) + u':' + twoDigits(rng.bounded(60));
        e.descrizione = words[rng.bounded(7)] + u' ' + QString::number(rng.bounded(5000));
        e.nick = QStringLiteral("sito") + n;
        e.key = e.nick;
        e.ticked = rng.bounded(2) == 1;
        entries.push_back(std::move(e));
    }
    return entries;
}

// A copy that shares no text with the original, like the entries a list file reader makes: freeing it frees
// every string, which a shared copy would not.
std::vector<SiteEntry> deepCopy(const std::vector<SiteEntry>& entries) {
    auto own = [](const QString& s) {
        return QString(s.constData(), s.size());
    };
    std::vector<SiteEntry> out;
    out.reserve(entries.size());
    for (const SiteEntry& e : entries) {
        SiteEntry c = e;
        for (QString* text : {&c.url, &c.res, &c.rdatetime, &c.descrizione, &c.nick, &c.key})
            *text = own(*text);
        out.push_back(std::move(c));
    }
    return out;
}

struct Timing {
    double wallMs = std::numeric_limits<double>::max();
    double cpuMs = std::numeric_limits<double>::max(); // less disturbed than wall time on a shared machine
};

// Best of kRounds; prepare (untimed) sets the list up before each round.
Timing bestOf(const std::function<void()>& prepare, const std::function<void()>& work) {
    Timing best;
    for (int round = 0; round < kRounds; ++round) {
        prepare();
        QElapsedTimer timer;
        const std::clock_t cpuStart = std::clock();
        timer.start();
        work();
        best.wallMs = std::min(best.wallMs, timer.nsecsElapsed() / 1e6);
        best.cpuMs = std::min(best.cpuMs, double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
    }
    return best;
}

} // namespace

int main() {
    // The program always runs other threads (the window system's event reader, the fetcher's resolver), so
    // malloc takes its multi-threaded paths there; once a thread has run, it takes them here too.
    std::thread([] {}).join();
    const std::vector<SiteEntry> entries = makeEntries();
    SiteList list;
    double worst = 0;
    double worstCpu = 0;
    auto print = [](const char* what, Timing t) {
        std::printf("%-40s %8.2f ms (cpu %.2f ms)\n", what, t.wallMs, t.cpuMs);
    };
    auto report = [&](const char* what, Timing t) {
        print(what, t);
        worst = std::max(worst, t.wallMs);
        worstCpu = std::max(worstCpu, t.cpuMs);
    };
    // The list as a user has it after opening a file, sorting it and adding an entry: entries no longer in
    // allocation order, key index built.
    auto loadAndSort = [&] {
        list.replaceAll(deepCopy(entries));
        list.sortByColumn(1, Qt::AscendingOrder);
        (void)list.add(QStringLiteral("nuovo"), QStringLiteral("https://www.nuovo.it/"));
    };
    auto load = [&] {
        list.replaceAll(deepCopy(entries));
    };
    auto nothing = [] {
    };

    // The entries handed over are made outside the timing, as a list file reader would make its own.
    std::vector<SiteEntry> fresh;
    auto replaceAll = [&] {
        list.replaceAll(std::move(fresh));
    };
    report("replaceAll (empty list)", bestOf(
                                          [&] {
                                              list.clear();
                                              fresh = deepCopy(entries);
                                          },
                                          replaceAll));
    report("replaceAll (full list)", bestOf(
                                         [&] {
                                             loadAndSort();
                                             fresh = deepCopy(entries);
                                         },
                                         replaceAll));
    // Lookups are figures of their own, not bulk operations.
    print("rowOfKey, first lookup (index build)", bestOf(load, [&] { (void)list.rowOfKey(QStringLiteral("x")); }));
    report("setAllTicks mode 0", bestOf(nothing, [&] { list.setAllTicks(SiteList::UntickAll); }));
    report("setAllTicks mode 1", bestOf(nothing, [&] { list.setAllTicks(SiteList::TickAll); }));
    report("setAllTicks mode 2", bestOf(nothing, [&] { list.setAllTicks(SiteList::InvertTicks); }));
    for (int column = 1; column <= SiteList::ColumnCount; ++column) {
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            const QByteArray what = "sort column " + QByteArray::number(column) +
                                    (order == Qt::AscendingOrder ? " ascending" : " descending");
            // Each round starts from the list as loaded, so no round sorts an already sorted list.
            report(what.constData(), bestOf(load, [&] { list.sortByColumn(column, order); }));
        }
    }
    print("rowOfKey, 100000 lookups after a sort", bestOf(nothing, [&] {
              quint64 sum = 0;
              for (const SiteEntry& e : entries)
                  sum += static_cast<quint64>(list.rowOfKey(e.key));
              if (sum == 0)
                  std::printf("unexpected lookups\n");
          }));
    // Every other entry, as the delete-ticked command would with half the list ticked.
    report("removeIf half", bestOf(loadAndSort, [&] {
               if (list.removeIf([](const SiteEntry& e) { return e.ticked; }) == 0)
                   std::printf("unexpected removal\n");
           }));
    // Freeing every entry included.
    report("clear", bestOf(loadAndSort, [&] { list.clear(); }));
    std::printf("site list %d-entry bulk operations: max %.0f ms (cpu max %.0f ms)\n", kEntries, worst, worstCpu);
    return 0;
}
