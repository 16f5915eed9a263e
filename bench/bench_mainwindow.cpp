// Times the main window with 100,000 sites (offscreen): start-up to the first show, loading the file through
// "&Open", sorting by each column, ticking all, scrolling to the end, hovering rows, opening it again over itself,
// reloading it when another program saved it, saving it, and saving it over another program's save; prints the
// memory of the empty window and the peak, and as its last line the slowest operation.
#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/SiteList.h"
#include "schedule/CheckScheduler.h"
#include "schedule/ConnectionState.h"
#include "store/SettingsStore.h"
#include "store/SiteListFile.h"
#include "support/ScriptedPrompter.h"
#include "ui/FileCommands.h"
#include "ui/ListInteraction.h"
#include "ui/frmQVL.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kEntries = 100000;

double residentMiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

// Processor time of this process (user and system): on a busy machine it varies far less than the wall time.
double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Lets the window settle and paint, as a person would see the result.
void settle(QWidget& window) {
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer startUp;
    startUp.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SettingsStore settings = SettingsStore::atPath(dir.filePath(QStringLiteral("q.ini")));
    SiteList list;
    Clock clock;
    ConnectionState connection;
    CheckRun run(list, clock, settings.checkOptions());
    CheckScheduler scheduler(run, connection, clock);
    ScriptedPrompter prompter;
    frmQVL window({settings, list, clock, connection, run, scheduler, prompter});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    settle(window);
    const double startUpMs = startUp.nsecsElapsed() / 1e6;
    std::printf("start-up to first show: %.1f ms\n", startUpMs);
    for (int i = 0; i < 20; ++i)
        QTest::qWait(10);
    std::printf("empty window, idle: %.1f MiB resident\n", residentMiB());

    std::vector<SiteEntry> entries(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        SiteEntry& e = entries[i];
        e.nick = QStringLiteral("Sito %1").arg((i * 7919) % kEntries);
        e.url = QStringLiteral("http://www.sito%1.example/pagina/%2.html").arg((i * 7919) % kEntries).arg(i % 97);
        e.crc = StoredCrc(qint32(i * 2654435761u));
        e.rdatetime = QStringLiteral("07/12/2026 01:%1:%2")
                          .arg(i % 60, 2, 10, QLatin1Char('0'))
                          .arg(i % 59, 2, 10, QLatin1Char('0'));
        e.descrizione = QStringLiteral("Descrizione della pagina numero %1").arg(i);
    }
    const QString path = dir.filePath(QStringLiteral("big.qvl"));
    if (!writeSiteListFile(path, entries).ok())
        return 1;
    entries.clear();

    double worst = 0;
    auto timed = [&](const char* what, auto&& operation) {
        QElapsedTimer t;
        const double cpuBefore = cpuMs();
        t.start();
        operation();
        settle(window);
        const double ms = t.nsecsElapsed() / 1e6;
        worst = std::max(worst, ms);
        std::printf("%-34s %8.1f ms  (cpu %.1f ms)\n", what, ms, cpuMs() - cpuBefore);
    };

    prompter.fileNames << path;
    timed("load 100k through Open", [&] { window.runCommand(QvlCommand::Open); });
    if (list.count() != kEntries)
        return 1;
    QTableView* view = window.listView();
    ListInteraction* interaction = window.listInteraction();
    const char* sortNames[] = {"sort by URL", "sort by RES", "sort by CRC", "sort by last check",
                               "sort by description"};
    for (int column = 0; column < 5; ++column)
        timed(sortNames[column], [&] { interaction->headerClicked(column); });
    timed("tick all", [&] { window.runCommand(QvlCommand::SelectAll); });
    timed("scroll to the end", [&] { view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum()); });
    timed("hover every visible row", [&] {
        const int rows = view->viewport()->height() / std::max(1, view->rowHeight(0));
        for (int r = 0; r < rows; ++r)
            interaction->hoverAt(QPoint(30, r * view->rowHeight(0) + 2));
        interaction->selectRow(list.count() - 1);
    });
    std::printf("peak memory, one list: %.1f MiB\n", peakMiB());
    timed("open again over 100k", [&] { window.openListFile(path); });
    {
        // Another program saves the list: the window waits for the writer to settle, then reads it again. The
        // processor time is the reload's; the wall time holds the wait.
        SiteListReadResult saved = readSiteListFile(path);
        saved.entries[5].descrizione = QStringLiteral("cambiata");
        if (!writeSiteListFile(path, saved.entries).ok())
            return 1;
        const QString before = window.statusPanel(1)->text();
        QElapsedTimer t;
        const double cpuBefore = cpuMs();
        t.start();
        while (window.statusPanel(1)->text() == before && t.elapsed() < 5000)
            QTest::qWait(5);
        std::printf("%-34s %8.1f ms  (cpu %.1f ms, after a wait of 300 ms)\n", "reload after another program",
                    t.nsecsElapsed() / 1e6, cpuMs() - cpuBefore);
    }
    list.setField(3, SiteList::Field::Descrizione, QStringLiteral("mia"));
    timed("save 100k", [&] { window.fileCommands().saveFile(path); });
    // Another program saves first: the save merges both and the window shows the merged list.
    {
        SiteListReadResult other = readSiteListFile(path);
        other.entries[7].descrizione = QStringLiteral("loro");
        if (!writeSiteListFile(path, other.entries).ok())
            return 1;
    }
    list.setField(9, SiteList::Field::Descrizione, QStringLiteral("mia2"));
    timed("save 100k merging another's", [&] { window.fileCommands().saveFile(path); });
    std::printf("peak memory, one list replacing another: %.1f MiB\n", peakMiB());
    std::printf("main window 100k: max %.0f ms\n", worst);
    return 0;
}
