#include "store/NextToken.h"

#include <QTest>

class TestNextToken : public QObject {
    Q_OBJECT
private slots:
    void tokens_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiters");
        QTest::addColumn<QString>("expected"); // the tokens joined by "|", then two empty texts
        QTest::newRow("leading run") << u"§§a§b"_qs << u"§"_qs << u"a|b"_qs;
        QTest::newRow("doubled and trailing") << u"100§§200§300§0§"_qs << u"§"_qs << u"100|200|300|0"_qs;
        QTest::newRow("only delimiters") << u"§§§"_qs << u"§"_qs << QString();
        QTest::newRow("nothing remembered") << QString() << u"§"_qs << QString();
        QTest::newRow("several delimiters") << u" a,b ;;c "_qs << u" ,;"_qs << u"a|b|c"_qs;
        QTest::newRow("case exact") << u"aAbBa"_qs << u"A"_qs << u"a|bBa"_qs;
    }
    void tokens() {
        QFETCH(QString, text);
        QFETCH(QString, delimiters);
        QFETCH(QString, expected);
        TokenCursor cursor;
        QStringList got;
        for (QString t = cursor.next(text, delimiters); !t.isEmpty() && got.size() < 10;
             t = cursor.next({}, delimiters))
            got << t;
        QCOMPARE(got.join(u'|'), expected);
        QCOMPARE(cursor.next({}, delimiters), QString());
        QCOMPARE(cursor.next({}, delimiters), QString());
    }

    void newTextRestarts() {
        QCOMPARE(NextToken(u"x§y§z"_qs, u"§"_qs), u"x"_qs);
        QCOMPARE(NextToken(u"1§2"_qs, u"§"_qs), u"1"_qs);
        QCOMPARE(NextToken({}, u"§"_qs), u"2"_qs);
        QCOMPARE(NextToken({}, u"§"_qs), QString());
    }
};

QTEST_APPLESS_MAIN(TestNextToken)
#include "tst_nexttoken.moc"
