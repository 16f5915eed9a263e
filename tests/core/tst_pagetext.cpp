#include "core/PageSelector.h"
#include "core/PageText.h"

#include <QTest>

#include <thread>

using namespace Qt::StringLiterals;

using Fates = QList<LineFate>;
constexpr LineFate K = LineFate::Kept, O = LineFate::OutsideRegion, I = LineFate::Ignored;

class TestPageText : public QObject {
    Q_OBJECT
private slots:
    void extraction_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("dropped, title kept")
            << QByteArray("<html><head><title>Titolo</title><style>p{color:red}</style><script>var t='12:00';"
                          "</script></head><body><noscript>Abilita JS</noscript><template><p>t</p></template>"
                          "<iframe><p>f</p></iframe><p>Uno</p><!-- c --></body></html>")
            << QByteArray("text/html; charset=utf-8") << u"Titolo\nUno"_s;
        QTest::newRow("entities, br, blanks")
            << QByteArray("<p>a&amp;b&nbsp;&nbsp; c\n\t d<br>e &lt;f&gt;&#8364;</p>") << QByteArray("text/html")
            << u"a&b c d\ne <f>\u20AC"_s;
        QTest::newRow("blocks, cells, inline")
            << QByteArray("<div> x </div><ul><li>1</li><li>2</ul><table><tr><td>a</td><td>b</td></tr></table>"
                          "<p>  </p><span>in</span><b>line</b><pre>l1\n  l2</pre>")
            << QByteArray() << u"x\n1\n2\na b\ninline\nl1\nl2"_s;
        QTest::newRow("plain by type") << QByteArray("<p>x</p>\r\n\r\n  a \u00a0 b  \r c")
                                       << QByteArray("text/plain") << u"<p>x</p>\na b\nc"_s;
        QTest::newRow("plain, no markup")
            << QByteArray("\xEF\xBB\xBF 1 < 2 > 0\n\n x") << QByteArray() << u"1 < 2 > 0\nx"_s;
        QTest::newRow("invalid utf-8") << QByteArray("<p>a\xFF"
                                                     "b\xC3</p>")
                                       << QByteArray() << u"a\uFFFDb\uFFFD"_s;
        QTest::newRow("byte order mark inside")
            << QByteArray("<p>\xEF\xBB\xBF\n>x") << QByteArray("text/html") << u"\uFEFF >x"_s;
        QTest::newRow("invalid utf-8, plain") << QByteArray("a\xFF"
                                                            "b")
                                              << QByteArray("text/plain") << u"a\uFFFDb"_s;
        QTest::newRow("utf-16, broken pair") << QByteArray("\xFF\xFE"
                                                           "a\0\0\xD8"
                                                           "b\0",
                                                           8)
                                             << QByteArray("text/plain") << u"a\uFFFDb"_s;
        QTest::newRow("latin-1 by type")
            << QByteArray("<p>caff\xE8 \x80</p>") << QByteArray("text/html; charset=\"ISO-8859-1\"")
            << u"caff\u00E8 \u20AC"_s;
        QTest::newRow("latin-1 by meta")
            << QByteArray("<meta charset=windows-1252><p>caff\xE8</p>") << QByteArray() << u"caff\u00E8"_s;
        // Markup read as a browser's tokeniser reads it.
        QTest::newRow("references") << QByteArray("<p>&#65&#x20AC;&#x80;&#0;&#xD800;&#99999999; &gt &nope; &amp"
                                                  "&Omega;&apos;&#;</p>")
                                    << QByteArray("text/html")
                                    << u"A\u20AC\u20AC\uFFFD\uFFFD\uFFFD &gt &nope; "
                                       u"&amp\u03A9'&#;"_s;
        QTest::newRow("tags and comments")
            << QByteArray("<P>a<A TITLE='x>y' b=\"<p>\">b</A><!---->c<!-->d<!--x--!>e<!doctype html><![CDATA[f]]>"
                          "g</ x>h<?pi?>i</>j<3 k") +
                   '\0' + "l</P >"
            << QByteArray("text/html") << u"abcdeghij<3 kl"_s;
        QTest::newRow("left out to the end tag, or to the end")
            << QByteArray("<SCRIPT>x</scripts></b></SCRIPT\t>a<style>p{}</style >b<style>c")
            << QByteArray("text/html") << u"ab"_s;
        QTest::newRow("plaintext") << QByteArray("<p>a<plaintext><b>&amp;\nc") << QByteArray("text/html")
                                   << u"a\n<b>&amp;\nc"_s;
    }
    void extraction() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, type);
        QFETCH(QString, text);
        QCOMPARE(extractPageText(body, type).text, text);
    }

    // Pages a tree builder would take quadratic time over, and one endless line: each must come out whole, and
    // soon (the test's timeout is the bound; the benchmark has figures); only a page over 16 MiB has no text (-1).
    void hostilePages_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("lines");
        const int n = 250'000;
        QTest::newRow("nested div") << QByteArray("<div>x").repeated(n) << n;
        QTest::newRow("end tags closing nothing")
            << "<b>x" + QByteArray("<b>").repeated(900) + QByteArray("</x>").repeated(n) << 1;
        QTest::newRow("unclosed b") << QByteArray("<p><b>x").repeated(n) << n;
        QTest::newRow("li in dd") << QByteArray("<li><dd>x").repeated(n) << n;
        QTest::newRow("self-closed div") << QByteArray("<div/>x").repeated(n) << n;
        QTest::newRow("comment closed at once") << QByteArray("<!--><p>x").repeated(n) << n;
        QTest::newRow("unclosed script") << QByteArray("<script>").repeated(n) + "</scrip" << 0;
        QTest::newRow("unclosed a") << QByteArray("<a href=\"#\">x</b>").repeated(n) + "<p>y" << 2;
        QTest::newRow("one line") << "<p>" + QByteArray("parola ").repeated(1'000'000) << 1;
        QTest::newRow("broken tags") << QByteArray("<div a=\"<p>\">x<!--<").repeated(n) << 1;
        QTest::newRow("over 16 MiB") << "<p>" + QByteArray(16 << 20, 'x') << -1;
    }
    void hostilePages() {
        QFETCH(QByteArray, body);
        QFETCH(int, lines);
        const PageText page = extractPageText(body, "text/html");
        QCOMPARE(page.status == PageText::TooComplex ? -1
                 : page.text.isEmpty()               ? 0
                                                     : page.text.count(u'\n') + 1,
                 lines);
    }

    // CSS selectors become XPath, checked on real markup: the text of every match on a line of its own, by the
    // same rules as the page's (the script left out); a browser's tbody steps skipped where the tree has none.
    void selectors_data() {
        QTest::addColumn<bool>("css");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QString>("xpath"); // what a CSS selector becomes
        QTest::addColumn<QString>("text");  // the matched text; for a refused selector, the reason
        const auto css = [](const char* name, const QString& selector, const QString& xpath, const QString& text) {
            QTest::newRow(name) << true << selector << xpath << text;
        };
        const QString word = u"[contains(concat(' ', normalize-space(%1), ' '), ' %2 ')]"_s;
        css("id", u"#prezzo"_s, u"//*[@id='prezzo']"_s, u"12 €"_s);
        css("type, class", u"div.caro"_s, u"//div"_s + word.arg(u"@class"_s, u"caro"_s), u"12 €"_s);
        css("~=", u"[class~=box]"_s, u"//*"_s + word.arg(u"@class"_s, u"box"_s), u"12 €"_s);
        css("group, >, first and last child", u"UL > li:first-child, li:last-child"_s,
            u"//ul/li[not(preceding-sibling::*)] | //li[not(following-sibling::*)]"_s, u"uno\ntre"_s);
        css("descendant, nth-child", u"body li:nth-child(2)"_s, u"//body//li[count(preceding-sibling::*) = 1]"_s,
            u"due"_s);
        css("^=", u"[lang^=it]"_s, u"//*[starts-with(@lang, 'it')]"_s, u"due"_s);
        css("script left out", u"p"_s, u"//p"_s, u"pdf"_s);
        css("$=", u"p a[href$=\".pdf\"]"_s,
            u"//p//a[substring(@href, string-length(@href) - string-length('.pdf') + 1) = '.pdf']"_s, u"pdf"_s);
        css("*=, presence", u"a[href*='x.example'][title]"_s, u"//a[contains(@href, 'x.example')][@title]"_s,
            u"pdf"_s);
        css("tbody skipped", u"table > tbody > tr:nth-child(2) > td"_s,
            u"//table/tbody/tr[count(preceding-sibling::*) = 1]/td"_s, u"b1\nb2"_s);
        css("no match", u"#assente"_s, u"//*[@id='assente']"_s, QString());
        for (const char* refused : {"li + li", "li ~ li", "a:hover", "p::before", "[lang=it i]", ":not(p)",
                                    "li:nth-child(2n+1)", "div >", "a[href=\"x\\\"\"]"})
            css(refused, QString::fromUtf8(refused), QString(), u"Selettore non supportato: "_s);
        QTest::newRow("xpath, tbody skipped")
            << false << u"/html/body/table/tbody/tr[1]/td[2]"_s << QString() << u"a2"_s;
        QTest::newRow("xpath attribute") << false << u"//a/@href"_s << QString() << u"https://x.example/doc.pdf"_s;
        QTest::newRow("xpath number") << false << u"count(//li)"_s << QString() << u"3"_s;
        QTest::newRow("xpath refused") << false << u"//li[@"_s << QString()
                                       << u"Selettore non supportato: //li[@"_s;
    }
    void selectors() {
        QFETCH(bool, css);
        QFETCH(QString, selector);
        QFETCH(QString, xpath);
        QFETCH(QString, text);
        const QByteArray page =
            "<html><head><title>T</title></head><body><div id=prezzo class='box caro'>12 €</div>"
            "<ul><li>uno<li lang=it-IT>due<li>tre</ul><table><tr><td>a1<td>a2<tr><td>b1<td>b2"
            "</table><p><a href='https://x.example/doc.pdf' title=t>pdf</a><script>var x;</script>";
        const SelectorXPath s = selectorXPath(css ? SelectorKind::Css : SelectorKind::XPath, selector);
        if (text.startsWith(u"Selettore non supportato: "_s)) {
            QVERIFY2(s.error.startsWith(text) && s.xpath.isEmpty(), qPrintable(s.error));
            return;
        }
        QCOMPARE(s.error, QString());
        if (css)
            QCOMPARE(s.xpath, xpath);
        const PageText got = extractPageText(page, "text/html", s.xpath);
        QCOMPARE(got.text, text);
        QCOMPARE(got.status, text.isEmpty() ? PageText::NoMatch : PageText::Read);
        QCOMPARE(got.matches, text.isEmpty() ? 0 : text.count(u'\n') + 1);
    }

    void rules_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<SiteOptions>("options");
        QTest::addColumn<Fates>("fates");
        QTest::addColumn<QString>("kept");
        const QString lines = u"a\nINIZIO 1\nb 22\nFINE\nc\nFINE"_s;
        auto opts = [](QString start, QString end, QStringList ignore = {}, bool digits = false) {
            SiteOptions o;
            o.start = start, o.end = end, o.ignore = ignore, o.noDigits = digits;
            return o;
        };
        QTest::newRow("region") << lines << opts(u"INIZIO"_s, u"FINE"_s) << Fates{O, K, K, K, O, O}
                                << u"INIZIO 1\nb 22\nFINE"_s;
        QTest::newRow("start missing: whole page")
            << lines << opts(u"ASSENTE"_s, u"FINE"_s) << Fates{K, K, K, K, O, O} << u"a\nINIZIO 1\nb 22\nFINE"_s;
        QTest::newRow("end on the start line does not end it")
            << u"x FINE INIZIO\ny\nFINE z\nw"_s << opts(u"INIZIO"_s, u"FINE"_s) << Fates{K, K, K, O}
            << u"x FINE INIZIO\ny\nFINE z"_s;
        QTest::newRow("ignore, invalid and empty patterns")
            << lines << opts({}, {}, {u"^[ac]$"_s, u"("_s, QString()}) << Fates{I, K, K, K, I, K}
            << u"INIZIO 1\nb 22\nFINE\nFINE"_s;
        QTest::newRow("ignore in region, digits")
            << u"Visitatori: 123\nx\u0663y\U0001D7D9\n45\nOra 12:00"_s
            << opts({}, u"Ora"_s, {u"^Visitatori:"_s}, true) << Fates{I, K, K, K} << u"xy\n\nOra :"_s;
        QTest::newRow("empty") << QString() << opts(u"INIZIO"_s, {}, {u"x"_s}) << Fates{} << QString();
        // What a list file may hold beyond what the options dialog saves is not used.
        QStringList many(kMaxIgnoreRules, u"^never"_s);
        QTest::newRow("rules beyond the hundredth, overlong rules")
            << u"a\nb\nc"_s << opts({}, {}, many << u"^a"_s) << Fates{K, K, K} << u"a\nb\nc"_s;
        QTest::newRow("overlong rule") << u"a\nb"_s << opts({}, {}, {u"^a|"_s + QString(kMaxRuleLength, u'x')})
                                       << Fates{K, K} << u"a\nb"_s;
    }
    void rules() {
        QFETCH(QString, text);
        QFETCH(SiteOptions, options);
        QFETCH(Fates, fates);
        QFETCH(QString, kept);
        const FilteredText r = TextRules(options).apply(text);
        QCOMPARE(r.fates, fates);
        QCOMPARE(r.lines.size(), r.fates.size());
        QCOMPARE(r.text, kept);
        QVERIFY(r.limitHits.isEmpty());
    }

    void hasText_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<bool>("text");
        QTest::newRow("html") << QByteArray("<p>x</p>") << QByteArray("text/html; charset=utf-8") << true;
        QTest::newRow("json") << QByteArray("{}") << QByteArray("application/json") << true;
        QTest::newRow("feed") << QByteArray("<rss/>") << QByteArray("application/rss+xml") << true;
        QTest::newRow("picture") << QByteArray("GIF89a") << QByteArray("image/gif") << false;
        QTest::newRow("pdf") << QByteArray("%PDF-1.4") << QByteArray("application/pdf") << false;
        QTest::newRow("no type, NUL bytes") << QByteArray("PK\3\4\0\0", 6) << QByteArray() << false;
        QTest::newRow("no type, UTF-16") << QByteArray("\xFF\xFEx\0", 4) << QByteArray() << true;
        QTest::newRow("no type, text") << QByteArray("plain") << QByteArray("application/octet-stream") << true;
    }
    void hasText() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, type);
        QFETCH(bool, text);
        QCOMPARE(hasPageText(body, type), text);
    }

    // A pattern that backtracks without end gives up at the limit on every thread at once, is reported once,
    // and leaves the line kept.
    void runawayPattern() {
        SiteOptions o;
        o.ignore = QStringList{u"^(a|aa)+$"_s, u"^Z"_s};
        const TextRules rules(o);
        const QString text = QString(200'000, u'a') + u"b\nZ\n"_s + QString(50, u'a') + u'b';
        std::vector<FilteredText> results(4);
        std::vector<std::thread> threads;
        for (FilteredText& r : results)
            threads.emplace_back([&] { r = rules.apply(text); });
        for (std::thread& t : threads)
            t.join();
        for (const FilteredText& r : results) {
            QCOMPARE(r.fates, (Fates{K, I, K}));
            QCOMPARE(r.limitHits, QStringList{o.ignore.first()});
        }
    }

    // A timestamp in a script and a visitor counter change nothing; a paragraph does.
    void fingerprintOfPage() {
        SiteOptions o;
        o.ignore = QStringList{u"^Visitatori:"_s};
        const TextRules rules(o);
        auto page = [&](const char* time, const char* count, const char* para) {
            const QByteArray html = QByteArray("<script>var t='") + time + "'</script><p>Visitatori: " + count +
                                    "</p><p>" + para + "</p>";
            return rules.fingerprint(extractPageText(html).text);
        };
        const qint32 base = page("10:00", "41", "Notizia");
        QCOMPARE(page("10:05", "42", "Notizia"), base);
        QVERIFY(page("10:05", "42", "Notizie") != base);
    }

    void patternErrors() {
        QCOMPARE(TextRules::patternError(u"^Visitatori: \\d+"_s), QString());
        QCOMPARE(TextRules::patternError(QString()), u"Regola vuota"_s);
        QVERIFY(TextRules::patternError(u"a(b"_s).startsWith(u"Espressione non valida: "_s));
    }
};

QTEST_GUILESS_MAIN(TestPageText)
#include "tst_pagetext.moc"
