#include "core/SiteList.h"
#include "store/SiteImport.h"
#include "store/UrlwatchImport.h"
#include "support/DataRows.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "url|nick|description|options" per site, joined by ';'; options: "text" and the ignore rules.
QString describe(const std::vector<ImportedSite>& sites) {
    QStringList out;
    for (const ImportedSite& s : sites) {
        QStringList options = s.options.ignore;
        if (!s.options.selector.isEmpty())
            options.prepend((s.options.selectorKind == SelectorKind::Css ? u"css="_s : u"xpath="_s) +
                            s.options.selector);
        if (s.options.textMode)
            options.prepend(u"text"_s);
        out << QStringList{s.url, s.nick, s.descrizione, options.join(u',')}.join(u'|');
    }
    return out.join(u';');
}

QString describe(const std::vector<ImportSkip>& skipped) {
    QStringList out;
    for (const ImportSkip& s : skipped)
        out << s.what + u": "_s + s.why;
    return out.join(u';');
}

QByteArray testFile(const QString& name) {
    QFile f(QStringLiteral(QUOVEL_IMPORT_FILES "/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// Reading each kind of import file, the mapping of urlwatch filters, the plan against a list, hostile files.
class TestSiteImport : public QObject {
    Q_OBJECT
private slots:
    void formats_data() {
        columns<QString, QByteArray, int, QString, QString>("name", "file", "format", "sites", "skipped");
        QTest::newRow("urlwatch jobs") << u"urls.yaml"_s << testFile(u"urls.yaml"_s) << int(ImportFormat::Urlwatch)
                                       << u"https://meteo.example/|Meteo||text;http://b.example/|||"_s
                                       << u"dir: un comando, non una pagina"_s;
        QTest::newRow("urlwatch by content")
            << u"jobs"_s << QByteArray("# my jobs\nurl: http://a.example/\n") << int(ImportFormat::Urlwatch)
            << u"http://a.example/|||"_s << QString();
        QTest::newRow("OPML, nested, htmlUrl before xmlUrl")
            << u"feeds.opml"_s << testFile(u"feeds.opml"_s) << int(ImportFormat::Opml)
            << u"https://blog.example/|Blog||;https://ars.example/rss|Ars|Tech|;http://d.example/|D|mine|"_s
            << QString();
        QTest::newRow("bookmarks") << u"bookmarks.html"_s << testFile(u"bookmarks.html"_s)
                                   << int(ImportFormat::Bookmarks)
                                   << u"https://top.example/|Top & più||;"
                                      u"https://news.example/?a=1&b=2|News|Le notizie del giorno|;"
                                      u"http://sport.example/|Sport|Notizie / Sport|;"
                                      u"javascript:alert(1)|Bookmarklet|Notizie / Sport|;"
                                      u"https://top.example/|Top again||"_s
                                   << QString();
        QTest::newRow("one URL a line") << u"list.txt"_s << testFile(u"list.txt"_s) << int(ImportFormat::UrlLines)
                                        << u"http://a.example/|||;https://b.example/x|||"_s << QString();
    }

    void formats() {
        const auto [name, file, format, sites, skipped] =
            fetch<QString, QByteArray, int, QString, QString>("name", "file", "format", "sites", "skipped");
        const ImportRead read = readImportData(file, name);
        QVERIFY2(read.outcome.ok(), qPrintable(read.outcome.errorText()));
        QCOMPARE(int(read.format), format);
        QCOMPARE(describe(read.sites), sites);
        QCOMPARE(describe(read.skipped), skipped);
    }

    void urlwatchFilters_data() {
        columns<QString, QString, QString>("filter", "options", "notImported");
        const QString none;
        QTest::newRow("text form") << u"html2text,grepi:^Aggiornato"_s << u"text,^Aggiornato"_s << none;
        QTest::newRow("list of texts and maps") << u"[html2text: {method: lynx}, {grepi: {re: 'x+'}}, strip]"_s
                                                << u"text,x+"_s << u"strip: nessun filtro corrispondente"_s;
        QTest::newRow("grep keeps lines")
            << u"[html2text, 'grep:Prezzo']"_s << u"text"_s << u"grep: tiene solo le righe che corrispondono"_s;
        QTest::newRow("grepi alone makes text") << u"[grepi: Visite]"_s << u"text,Visite"_s << none;
        QTest::newRow("css becomes the selector, a second one is not imported")
            << u"[css: 'div#a', {xpath: {path: '//p'}}]"_s << u"text,css=div#a"_s
            << u"xpath: un sito ha un solo selettore"_s;
        QTest::newRow("xpath becomes the selector") << u"[{xpath: {path: '//p[@id=\"x\"]'}}, html2text]"_s
                                                    << u"text,xpath=//p[@id=\"x\"]"_s << none;
        QTest::newRow("css we cannot read")
            << u"[css: 'a:hover']"_s << QString() << u"css: Selettore non supportato: :hover"_s;
        QTest::newRow("re.sub of whole lines") << uR"([{re.sub: {pattern: '(?mi)^Visite: \d+$\n?', repl: ''}}])"_s
                                               << uR"(text,(?i)^Visite: \d+$)"_s << none;
        QTest::newRow("re.sub as text, line end only")
            << uR"([re.sub: '(?m)^\s*$\r?\n'])"_s << uR"(text,^\s*$)"_s << none;
        QTest::newRow("re.sub that replaces") << u"[{re.sub: {pattern: '(?m)^a$', repl: 'b'}}]"_s << QString()
                                              << u"re.sub: non toglie righe intere"_s;
        QTest::newRow("re.sub not multi-line")
            << u"[re.sub: '^a$']"_s << QString() << u"re.sub: non toglie righe intere"_s;
        QTest::newRow("re.sub inside a line")
            << u"[re.sub: '(?m)^a\\$']"_s << QString() << u"re.sub: non toglie righe intere"_s;
        QTest::newRow("bad expression") << u"[grepi: '(']"_s << QString() << u"grepi: espressione non valida"_s;
        QTest::newRow("odd item") << u"[[1, 2]]"_s << QString() << u"?: nessun filtro corrispondente"_s;
    }

    void urlwatchFilters() {
        const auto [filter, options, notImported] =
            fetch<QString, QString, QString>("filter", "options", "notImported");
        const ImportRead read =
            readImportData(u"url: http://a.example/\nfilter: %1\n"_s.arg(filter).toUtf8(), u"urls.yaml"_s);
        QVERIFY2(read.outcome.ok(), qPrintable(read.outcome.errorText()));
        QCOMPARE(read.sites.size(), size_t(1));
        const ImportedSite& site = read.sites.front();
        QCOMPARE(describe(read.sites).section(u'|', 3), options);
        QStringList lost = site.notImported;
        lost.replaceInStrings(u"filtro \""_s, QString()).replaceInStrings(u"\" non importato"_s, QString());
        QCOMPARE(lost.join(u','), notImported);
    }

    void plan_data() {
        columns<QString, QStringList, QString, QString>("list", "folder", "added", "skipped");
        QTest::newRow("all folders") << u"http://sport.example/"_s << QStringList()
                                     << u"https://top.example/ https://news.example/?a=1&b=2"_s
                                     << u"http://sport.example/: già nella lista;"
                                        u"javascript:alert(1): non è un indirizzo http o https;"
                                        u"https://top.example/: ripetuto nel file"_s;
        QTest::newRow("one folder, a duplicate of the list by key")
            << u"HTTPS://NEWS.example/?a=1&b=2"_s << QStringList{u"Notizie"_s} << u"http://sport.example/"_s
            << u"https://news.example/?a=1&b=2: già nella lista;javascript:alert(1): non è un indirizzo http o https"_s;
    }

    void plan() {
        const auto [existing, folder, added, skipped] =
            fetch<QString, QStringList, QString, QString>("list", "folder", "added", "skipped");
        SiteList list;
        list.add(SiteList::keyFromUrl(existing), existing);
        list.setModified(false);
        const ImportRead read = readImportData(testFile(u"bookmarks.html"_s), u"b.html"_s);
        QCOMPARE(read.folders, (QList<QStringList>{{u"Notizie"_s}, {u"Notizie"_s, u"Sport"_s}}));
        const ImportPlan plan = planImport(read, list, folder);
        QStringList urls;
        for (const ImportedSite& s : plan.toAdd)
            urls << s.url;
        QCOMPARE(urls.join(u' '), added);
        QCOMPARE(describe(plan.skipped), skipped);

        QCOMPARE(addImported(list, plan.toAdd), int(plan.toAdd.size()));
        QVERIFY(list.isModified());
        const SiteEntry& last = list.entryAt(list.count() - 1);
        QCOMPARE(last.url, plan.toAdd.back().url);
        QCOMPARE(last.descrizione, plan.toAdd.back().descrizione);
        QCOMPARE(last.crc.text(), u"0"_s);
        QCOMPARE(addImported(list, plan.toAdd), 0); // their keys are taken now
    }

    void hostile_data() {
        columns<QString, QByteArray, QString>("name", "file", "error");
        // One map of 2,000 keys, named 2,000 times in a filter list: 4 million visits from a 30 KiB file.
        QByteArray keys;
        for (int k = 0; k < 2000; ++k)
            keys += "k" + QByteArray::number(k) + ": v, ";
        const QByteArray mapBomb = "m: &m {" + keys + "css: x}\nurl: http://a.example/\nfilter: [" +
                                   QByteArray("*m, ").repeated(2000) + "*m]\n";
        QTest::newRow("YAML aliases in the filters") << u"u.yaml"_s << mapBomb << u"alias"_s;
        QTest::newRow("YAML, many nodes")
            << u"u.yaml"_s << "[" + QByteArray("1,").repeated(120'000) + "1]" << u"alias"_s;
        QTest::newRow("YAML too large") << u"u.yaml"_s << QByteArray(300 * 1024, '#') << u"256 KiB"_s;
        QTest::newRow("YAML deeply nested") << u"u.yaml"_s << QByteArray(100'000, '[') << u"YAML valido"_s;
        QTest::newRow("YAML broken") << u"u.yaml"_s << QByteArray("url: [\n") << u"riga"_s;
        QTest::newRow("OPML deeply nested")
            << u"f.opml"_s
            << "<opml><body>" + QByteArray("<outline text='a' xmlUrl='http://a.example/'>").repeated(20000)
            << u"non è XML valido"_s;
        QTest::newRow("OPML folders too deep") << u"f.opml"_s
                                               << "<opml><body>" + QByteArray("<outline text='a'>").repeated(500) +
                                                      QByteArray("</outline>").repeated(500) + "</body></opml>"
                                               << u"oltre 100 livelli"_s;
        QTest::newRow("OPML not OPML") << u"f.opml"_s << QByteArray("<opml><head/></opml>") << u"<opml><body>"_s;
        QTest::newRow("bookmark folders too deep")
            << u"b.html"_s << "<!DOCTYPE NETSCAPE-Bookmark-file-1>" + QByteArray("<DL><p>").repeated(1'000'000)
            << u"oltre 100 livelli"_s;
        QTest::newRow("bookmarks, too many")
            << u"b.html"_s << "<DL>" + QByteArray("<A HREF=x>").repeated(100'001) << u"più di 100000 siti"_s;
        QTest::newRow("invalid UTF-8") << u"list.txt"_s << QByteArray("http://a.example/\xC3(\n") << u"UTF-8"_s;
        QTest::newRow("UTF-8 cut short") << u"list.txt"_s << QByteArray("http://a.example/\xE2\x82") << u"UTF-8"_s;
        QTest::newRow("unknown markup") << u"x.xml"_s << QByteArray("<rss/>") << u"né OPML né segnalibri"_s;
    }

    void hostile() {
        const auto [name, file, error] = fetch<QString, QByteArray, QString>("name", "file", "error");
        const ImportRead read = readImportData(file, name);
        QVERIFY(!read.outcome.ok());
        QVERIFY2(read.outcome.errorText().contains(error), qPrintable(read.outcome.errorText()));
        QVERIFY(read.sites.empty());
    }

    void entityBombIsNotExpanded() {
        const QByteArray bomb = R"(<?xml version="1.0"?><!DOCTYPE opml [<!ENTITY a "aaaaaaaaaa">
            <!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">]>
            <opml><body><outline text="&c;" xmlUrl="http://a.example/"/></body></opml>)";
        const ImportRead read = readImportData(bomb, u"f.opml"_s);
        QVERIFY(read.outcome.ok());
        QCOMPARE(describe(read.sites), u"http://a.example/|&c;||"_s);
    }

    void files() {
        QTemporaryDir dir;
        QVERIFY(readImportFile(dir.filePath(u"missing"_s)).outcome.errorText().contains(u"non esiste"_s));
        QVERIFY(readImportFile(u"/dev/zero"_s).outcome.errorNumber() == kImportUnreadable);
        // A sparse file: refused by its size before anything is read.
        QFile big(dir.filePath(u"big.html"_s));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(kMaxImportFileSize + 1));
        big.close();
        QVERIFY(readImportFile(big.fileName()).outcome.errorText().contains(u"larger than 128 MiB"_s));
    }
};

QTEST_GUILESS_MAIN(TestSiteImport)
#include "tst_siteimport.moc"
