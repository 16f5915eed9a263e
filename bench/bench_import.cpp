// Reads hostile and large import files, each in a process of its own, and prints the time, the peak memory of
// that process and what came of it: the bounds must hold for any input.
#include "core/SiteList.h"
#include "store/SiteImport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray bookmarks(qsizetype size, int sites) {
    QByteArray icon = "data:image/png;base64," + QByteArray(size / sites - 120, 'A');
    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    for (int i = 0; i < sites; ++i) {
        html += "<DT><H3>Cartella " + QByteArray::number(i % 50) + "</H3><DL><p><DT><A HREF=\"https://s" +
                QByteArray::number(i) + ".example/\" ICON=\"" + icon + "\">Sito</A></DL><p>\n";
    }
    return html + "</DL>\n";
}

QByteArray yamlAliasBomb() {
    QByteArray keys;
    for (int k = 0; k < 4000; ++k)
        keys += "k" + QByteArray::number(k) + ": v, ";
    return "m: &m {" + keys + "css: x}\nurl: http://a.example/\nfilter: [" + QByteArray("*m, ").repeated(10000) +
           "*m]\n";
}

QByteArray yamlLaughs() {
    QByteArray y = "a: &a [lol, lol, lol, lol, lol, lol, lol, lol, lol, lol]\n";
    for (char c = 'b'; c <= 'j'; ++c)
        y += QByteArray(1, c) + ": &" + c + " [" + QByteArray("*").append(char(c - 1)).append(", ").repeated(9) +
             "*" + char(c - 1) + "]\n";
    return y + "url: http://a.example/\nfilter: *j\nname: *j\n";
}

QByteArray opmlLaughs() {
    QByteArray dtd = "<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        dtd += "<!ENTITY l" + QByteArray::number(i) + " \"" +
               QByteArray("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    return "<?xml version=\"1.0\"?><!DOCTYPE opml [" + dtd +
           "]><opml><body><outline text=\"&l9;\" xmlUrl=\"http://a.example/\"/></body></opml>";
}

void run(const char* name, const std::function<QByteArray()>& make, const char* fileName) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(fileName));
        {
            QFile file(path);
            const QByteArray bytes = make();
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                _exit(1);
            if (bytes.isEmpty()) // a sparse file, larger than any import
                file.resize(200'000'000);
            std::printf("%-40s %7.1f MiB ", name, double(file.size()) / (1 << 20));
        }
        QElapsedTimer timer;
        timer.start();
        const ImportRead read = readImportFile(path);
        SiteList list;
        const int added = read.outcome.ok() ? addImported(list, planImport(read, list).toAdd) : 0;
        std::printf("%7lld ms  %6d sites  %s\n", timer.elapsed(), added,
                    read.outcome.ok() ? "read" : read.outcome.errorText().toUtf8().constData());
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    std::printf("%-40s peak memory %ld MiB\n", "", usage.ru_maxrss / 1024);
}

} // namespace

int main() {
    run(
        "bookmarks, 100 MB, 50,000 sites", []() -> QByteArray { return bookmarks(100'000'000, 50'000); },
        "b.html");
    run(
        "bookmarks, 120,000 sites", []() -> QByteArray { return bookmarks(12'000'000, 120'000); }, "b.html");
    run(
        "bookmarks, 1,000,000 nested folders",
        []() -> QByteArray { return "<DL>" + QByteArray("<DL><p>").repeated(1'000'000); }, "b.html");
    run(
        "bookmarks, invalid UTF-8 at the end",
        []() -> QByteArray { return bookmarks(100'000'000, 1000) + "\xFF"; }, "b.html");
    run(
        "bookmarks, 200 MB (sparse)", []() -> QByteArray { return QByteArray(); }, "b.html");
    run("YAML, billion laughs", yamlLaughs, "u.yaml");
    run("YAML, 10,000 aliases of a 4,000-key map", yamlAliasBomb, "u.yaml");
    run(
        "YAML, 256 KiB flow list",
        []() -> QByteArray { return "[" + QByteArray("1,").repeated(128 * 1024 - 1) + "1]"; }, "u.yaml");
    run(
        "YAML, 1,000 jobs",
        []() -> QByteArray {
            QByteArray y;
            for (int i = 0; i < 1000; ++i)
                y += "name: Sito " + QByteArray::number(i) + "\nurl: https://s" + QByteArray::number(i) +
                     ".example/\nfilter: [html2text, grepi: '^Visite', {re.sub: '(?m)^Ora: .*$'}]\n---\n";
            return y;
        },
        "u.yaml");
    run("OPML, billion laughs", opmlLaughs, "f.opml");
    run(
        "OPML, 100 MB of outlines",
        []() -> QByteArray {
            return "<opml><body>" +
                   QByteArray("<outline text='a' xmlUrl='http://a.example/'/>").repeated(2'000'000) +
                   "</body></opml>";
        },
        "f.opml");
    run(
        "URL lines, 100,000",
        []() -> QByteArray {
            QByteArray t;
            for (int i = 0; i < 100'000; ++i)
                t += "https://s" + QByteArray::number(i) + ".example/page\n";
            return t;
        },
        "l.txt");
    return 0;
}
