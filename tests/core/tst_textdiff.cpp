#include "core/PageText.h"
#include "core/TextDiff.h"

#include <QTest>

namespace {
// Every line as a kind mark and its text, with the marked words in brackets: "=a", "-b [x]", "+b [y]".
QString render(const std::vector<DiffLine>& lines) {
    QStringList out;
    for (const DiffLine& line : lines) {
        QString text = line.text;
        for (auto it = line.words.crbegin(); it != line.words.crend(); ++it)
            text.insert(it->start + it->length, QLatin1Char(']')).insert(it->start, QLatin1Char('['));
        const char kind = line.kind == DiffLine::Kind::Same      ? '='
                          : line.kind == DiffLine::Kind::Removed ? '-'
                                                                 : '+';
        out << QLatin1Char(kind) + (line.ignored ? QStringLiteral("~") : QString()) + text;
    }
    return out.join(QLatin1Char('|'));
}
} // namespace

class TestTextDiff : public QObject {
    Q_OBJECT
private slots:
    void lines_data() {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("newer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("equal, final newline ends a line") << u"a\nb"_qs << u"a\nb\n"_qs << u"=a|=b"_qs;
        QTest::newRow("from nothing") << QString() << u"a\nb"_qs << u"+a|+b"_qs;
        QTest::newRow("price changed") << u"Titolo\nIl prezzo è 10 euro\nFine"_qs
                                       << u"Titolo\nIl prezzo è 12 euro\nFine"_qs
                                       << u"=Titolo|-Il prezzo è [10] euro|+Il prezzo è [12] euro|=Fine"_qs;
        QTest::newRow("removed first, only pairs get words")
            << u"x\nora 10:30 oggi\ny\nz"_qs << u"x\nora 11:45 oggi\nnuova\nz"_qs
            << u"=x|-ora [10]:[30] oggi|-[y]|+ora [11]:[45] oggi|+[nuova]|=z"_qs;
        QTest::newRow("unpaired lines")
            << u"a\nb c\nd"_qs << u"a\nb e\nf g\nd"_qs << u"=a|-b [c]|+b [e]|+f g|=d"_qs;
        const QString longLine(20000, QLatin1Char('w'));
        QTest::newRow("a long line is marked whole") << longLine + u" 1"_qs << longLine + u" 2"_qs
                                                     << u"-["_qs + longLine + u" 1]|+["_qs + longLine + u" 2]"_qs;
    }
    void lines() {
        QFETCH(QString, older);
        QFETCH(QString, newer);
        QFETCH(QString, expected);
        const std::vector<DiffLine> diff = diffTexts(older, newer);
        QCOMPARE(render(diff), expected);
        const QStringList a = older.split(QLatin1Char('\n'));
        const QStringList b = newer.split(QLatin1Char('\n'));
        for (const DiffLine& line : diff) {
            QCOMPARE(line.oldNumber > 0, line.kind != DiffLine::Kind::Added);
            QCOMPARE(line.newNumber > 0, line.kind != DiffLine::Kind::Removed);
            if (line.oldNumber > 0)
                QCOMPARE(a.value(line.oldNumber - 1), line.text);
            if (line.newNumber > 0)
                QCOMPARE(b.value(line.newNumber - 1), line.text);
        }
    }

    void ignored_data() {
        QTest::addColumn<bool>("noDigits");
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("newer");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("changes");
        QTest::newRow("counter line ignored, paragraph counted")
            << false << u"Titolo\nVisitatori: 10\nTesto vecchio"_qs << u"Titolo\nVisitatori: 11\nTesto nuovo"_qs
            << u"=Titolo|-~Visitatori: [10]|-Testo [vecchio]|+~Visitatori: [11]|+Testo [nuovo]"_qs << 2;
        QTest::newRow("digits only") << true << u"Aggiornato 3 ore fa\nA"_qs << u"Aggiornato 4 ore fa\nB"_qs
                                     << u"-~Aggiornato [3] ore fa|-[A]|+~Aggiornato [4] ore fa|+[B]"_qs << 2;
        QTest::newRow("digits kept") << false << u"Aggiornato 3 ore fa"_qs << u"Aggiornato 4 ore fa"_qs
                                     << u"-Aggiornato [3] ore fa|+Aggiornato [4] ore fa"_qs << 2;
    }
    void ignored() {
        QFETCH(bool, noDigits);
        QFETCH(QString, older);
        QFETCH(QString, newer);
        QFETCH(QString, expected);
        QFETCH(int, changes);
        SiteOptions options;
        options.textMode = true;
        options.noDigits = noDigits;
        options.ignore = {u"^Visitatori:"_qs};
        const TextRules rules(options);
        if (rules.apply(older).fates.isEmpty())
            QSKIP("TextRules is not implemented in this build");
        const std::vector<DiffLine> diff = diffTexts(older, newer, &rules);
        QCOMPARE(render(diff), expected);
        QCOMPARE(std::count_if(diff.begin(), diff.end(), isChange), changes);
    }

    void unified_data() {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("newer");
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("expected");
        const QString ten = u"a\nb\nc\nd\ne\nf\ng\nh\ni\nj"_qs;
        const QString twelve = u"a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl"_qs;
        QTest::newRow("equal") << ten << ten << 3 << QString();
        QTest::newRow("six kept lines join two changes")
            << ten << u"a\nB\nc\nd\ne\nf\ng\nh\nI\nj"_qs << 3
            << u"--- old\n+++ new\n@@ -1,10 +1,10 @@\n a\n-b\n+B\n c\n d\n e\n f\n g\n h\n-i\n+I\n j\n"_qs;
        QTest::newRow("seven part them")
            << twelve << u"a\nB\nc\nd\ne\nf\ng\nh\ni\nJ\nk\nl"_qs << 3
            << u"--- old\n+++ new\n@@ -1,5 +1,5 @@\n a\n-b\n+B\n c\n d\n e\n@@ -7,6 +7,6 @@\n g\n h\n i\n-j\n+J\n k\n l\n"_qs;
        QTest::newRow("from nothing") << QString() << u"x\ny"_qs << 3
                                      << u"--- old\n+++ new\n@@ -0,0 +1,2 @@\n+x\n+y\n"_qs;
        QTest::newRow("one line left") << u"a\nb"_qs << u"a"_qs << 3
                                       << u"--- old\n+++ new\n@@ -1,2 +1 @@\n a\n-b\n"_qs;
        QTest::newRow("context 1") << u"a\nb\nc\nd"_qs << u"a\nb\nX\nc\nd"_qs << 1
                                   << u"--- old\n+++ new\n@@ -2,2 +2,3 @@\n b\n+X\n c\n"_qs;
        QTest::newRow("context 0") << u"a\nb"_qs << u"a\nX\nb"_qs << 0
                                   << u"--- old\n+++ new\n@@ -1,0 +2 @@\n+X\n"_qs;
        // A line the rules leave out is context, however it changed; alone it is no change.
        QTest::newRow("ignored line")
            << u"a\nAggiornato: 1\nb"_qs << u"a\nAggiornato: 2\nB"_qs << 3
            << u"--- old\n+++ new\n@@ -1,3 +1,3 @@\n a\n~Aggiornato: 1\n-b\n~Aggiornato: 2\n+B\n"_qs;
        QTest::newRow("ignored line alone") << u"Aggiornato: 1"_qs << u"Aggiornato: 2"_qs << 3 << QString();
    }
    void unified() {
        QFETCH(QString, older);
        QFETCH(QString, newer);
        QFETCH(int, context);
        QFETCH(QString, expected);
        SiteOptions options;
        options.ignore = {u"^Aggiornato:"_qs};
        const TextRules rules(options);
        QCOMPARE(unifiedDiff(older, newer, u"old"_qs, u"new"_qs, &rules, context), expected);
    }
};

QTEST_APPLESS_MAIN(TestTextDiff)
#include "tst_textdiff.moc"
