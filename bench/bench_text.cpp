// Times the text side of a check in CPU time: reading the text of a 1 MiB page, comparing two 1 MiB texts
// with one line in a hundred changed, writing and reading its history, all of that for a changed 100 KiB
// page, the first check of a 1 MiB random-text page, and a selector on an 8 MiB page.
#include "core/PageText.h"
#include "core/TextDiff.h"
#include "store/PageHistory.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// A news-like page: head with styles and scripts, navigation, articles of paragraphs with inline markup and
// entities, a table and lists, until it is `size` bytes.
QByteArray htmlPage(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    const char* const words[] = {"pagina", "notizie",  "prezzo", "euro",   "oggi",   "comune", "della",  "città",
                                 "nuovo",  "servizio", "orari",  "aperto", "chiuso", "evento", "teatro", "è"};
    const auto sentence = [&](int n) {
        QByteArray s;
        for (int i = 0; i < n; ++i) {
            s += words[random.bounded(16)];
            s += i % 7 == 3 ? " <b>" : i % 11 == 5 ? " &amp; " : " ";
            if (i % 7 == 3)
                s += QByteArray(words[random.bounded(16)]) + "</b> ";
        }
        return s;
    };
    QByteArray page = "<!DOCTYPE html><html><head><title>Notizie</title><style>body{font:12px sans-serif}"
                      "</style><script>var t = Date.now(); function f(a){return a*2;}</script></head><body>"
                      "<nav><ul><li><a href=\"/\">Home</a></li><li><a href=\"/n\">Notizie</a></li></ul></nav>";
    for (int article = 0; page.size() < size; ++article) {
        page += "<article><h2>Titolo " + QByteArray::number(article) + "</h2>";
        for (int p = 0; p < 4; ++p)
            page += "<p>" + sentence(30) + "<br>" + sentence(12) + "</p>\n";
        page += "<table><tr><td>Orario</td><td>" + QByteArray::number(random.bounded(24)) +
                ":00</td></tr><tr><td>Posti</td><td>" + QByteArray::number(random.bounded(500)) +
                "</td></tr></table><script>track(" + QByteArray::number(article) + ");</script></article>\n";
    }
    page += "</body></html>";
    return page;
}

// The CPU time of this thread, in milliseconds: on a busy machine the wall clock tells little.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Best of a few runs, in milliseconds of CPU.
double bestMs(const std::function<void()>& work, int runs = 5) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double start = cpuMs();
        work();
        best = std::min(best, cpuMs() - start);
    }
    return best;
}

} // namespace

int main() {
    const QByteArray page = htmlPage(1024 * 1024, 1);
    QString text;
    const double extract = bestMs([&] { text = extractPageText(page, "text/html").text; });
    std::printf("extraction of a 1 MiB HTML page: %.1f ms (%lld lines of text)\n", extract,
                static_cast<long long>(text.count(u'\n') + 1));

    // The site options' preview reads a fetched page again through the selector each time typing pauses: its
    // bound is a page of MaxTextBytes (8 MiB by default).
    const QByteArray large = htmlPage(8 * 1024 * 1024, 3);
    PageText selected;
    const double select =
        bestMs([&] { selected = extractPageText(large, "text/html", QStringLiteral("//td[2]")); }, 3);
    std::printf("selector on an 8 MiB HTML page (the options' preview): %.1f ms (%lld elements)\n", select,
                selected.matches);

    // Two 1 MiB texts, one line in a hundred changed.
    QStringList lines;
    QRandomGenerator random(2);
    for (qsizetype size = 0; size < 1024 * 1024; size += lines.back().size() + 1)
        lines << QStringLiteral("riga %1 della pagina con del testo qualunque, %2")
                     .arg(lines.size())
                     .arg(random.generate());
    const QString older = lines.join(u'\n');
    for (qsizetype i = 0; i < lines.size(); i += 100)
        lines[i] += QStringLiteral(" cambiata");
    const QString newer = lines.join(u'\n');
    std::size_t marked = 0;
    const double diff = bestMs([&] {
        const std::vector<DiffLine> d = diffTexts(older, newer);
        marked = std::size_t(std::count_if(d.begin(), d.end(), isChange));
    });
    std::printf("diff of two 1 MiB texts, %lld lines, 1%% changed: %.1f ms (%zu lines marked)\n",
                static_cast<long long>(lines.size()), diff, marked);

    QTemporaryDir dir;
    PageHistory history(dir.path());
    const QString url = QStringLiteral("http://bench.example/page");
    int version = 0;
    const double write = bestMs([&] {
        ++version;
        history.record(url, version % 2 ? older : newer, QDateTime::currentDateTimeUtc(), version);
    });
    std::size_t versions = 0;
    const double read = bestMs([&] { versions = history.versions(url).size(); });
    std::printf("history of a 1 MiB text: write %.1f ms, read %.1f ms (%zu versions)\n", write, read, versions);

    // What one changed 100 KiB page costs: its text, its text fingerprint under an ignore rule, and its
    // history version (a different page each time, so every version is new).
    SiteOptions site;
    site.textMode = true;
    site.ignore = QStringList{QStringLiteral("^Visitatori:")};
    const TextRules rules(site);
    QList<QByteArray> pages;
    for (quint32 seed = 10; seed < 30; ++seed)
        pages << htmlPage(100 * 1024, seed);
    double parts[3] = {1e9, 1e9, 1e9};
    const double changed = bestMs(
        [&] {
            const double start = cpuMs();
            const PageText small = extractPageText(pages.takeLast(), "text/html");
            const double extracted = cpuMs();
            rules.fingerprint(small.text);
            const double printed = cpuMs();
            history.record(QStringLiteral("http://bench.example/small"), small.text,
                           QDateTime::currentDateTimeUtc(), qint32(pages.size()));
            const double recorded = cpuMs();
            parts[0] = std::min(parts[0], extracted - start);
            parts[1] = std::min(parts[1], printed - extracted);
            parts[2] = std::min(parts[2], recorded - printed);
        },
        20);
    std::printf("a changed 100 KiB page: text, fingerprint and history version %.2f ms (each at its best: text "
                "%.2f, fingerprint %.2f, history %.2f)\n",
                changed, parts[0], parts[1], parts[2]);

    // The first check of a page of 1 MiB random Latin-1 text: its version is over the compressed cap, and cut.
    QByteArray noise(1024 * 1024, '\n');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = i % 100 == 99 ? '\n' : char(0x20 + random.bounded(0xe0));
    QTemporaryDir empty;
    PageHistory fresh(empty.path());
    double firstCpu = 1e9;
    const double first = bestMs([&] {
        QFile::remove(empty.filePath(QDir(empty.path()).entryList(QDir::Files).value(0)));
        const double cpuBefore = cpuMs();
        fresh.record(url, extractPageText(noise, "text/plain; charset=iso-8859-1").text,
                     QDateTime::currentDateTimeUtc(), 1);
        firstCpu = std::min(firstCpu, cpuMs() - cpuBefore);
    });
    const std::optional<PageVersion> cut = fresh.latest(url);
    std::printf(
        "first check of a 1 MiB random-text page (text and history): %.1f ms, %.1f ms of CPU (%lld of %lld "
        "characters kept)\n",
        first, firstCpu, cut ? static_cast<long long>(cut->text.size()) : 0LL,
        static_cast<long long>(noise.size()));

    std::printf("text 1MiB: max %.0f ms\n", std::max({extract, diff, write, read}));
    return 0;
}
