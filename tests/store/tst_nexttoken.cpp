#include "store/NextToken.h"

#include <QTest>

class TestNextToken : public QObject {
    Q_OBJECT
private slots:
    void nothingRemembered();
    void tokens_data();
    void tokens();
    void programWideMemory();
};

static const QString kSect = QStringLiteral("\u00a7");

void TestNextToken::nothingRemembered() {
    TokenCursor cursor;
    QCOMPARE(cursor.next(QString(), kSect), QString());
    QCOMPARE(cursor.next(QString(), kSect), QString());
}

void TestNextToken::tokens_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiters");
    QTest::addColumn<QStringList>("expected"); // the tokens, then two empty texts are checked

    const auto s = [](const char* utf8) {
        return QString::fromUtf8(utf8);
    };
    QTest::newRow("leading run") << s("§§a§b") << kSect << QStringList{s("a"), s("b")};
    QTest::newRow("placement") << s("1551§1551§4425§8535§0") << kSect
                               << QStringList{s("1551"), s("1551"), s("4425"), s("8535"), s("0")};
    QTest::newRow("doubled and trailing")
        << s("100§§200§300§400§0§") << kSect << QStringList{s("100"), s("200"), s("300"), s("400"), s("0")};
    QTest::newRow("only delimiters") << s("§§§") << kSect << QStringList{};
    QTest::newRow("no delimiter") << s("abc") << kSect << QStringList{s("abc")};
    QTest::newRow("empty delimiter set") << s("a§b") << QString() << QStringList{s("a§b")};
    QTest::newRow("several delimiters") << s(" a,b ;;c ") << s(" ,;") << QStringList{s("a"), s("b"), s("c")};
    QTest::newRow("exact characters") << s("aAbBa") << s("A") << QStringList{s("a"), s("bBa")};
    QTest::newRow("accented not folded") << s("èeÈ") << s("e") << QStringList{s("è"), s("È")};
    QTest::newRow("single char tokens") << s("§x§y§") << kSect << QStringList{s("x"), s("y")};
}

void TestNextToken::tokens() {
    QFETCH(QString, text);
    QFETCH(QString, delimiters);
    QFETCH(QStringList, expected);

    TokenCursor cursor;
    QStringList got;
    QString token = cursor.next(text, delimiters);
    while (!token.isEmpty() && got.size() <= expected.size()) {
        got << token;
        token = cursor.next(QString(), delimiters);
    }
    QCOMPARE(got, expected);
    QCOMPARE(cursor.next(QString(), delimiters), QString());
    QCOMPARE(cursor.next(QString(), delimiters), QString());
}

void TestNextToken::programWideMemory() {
    QCOMPARE(NextToken(QString::fromUtf8("§§a§b"), kSect), QStringLiteral("a"));
    QCOMPARE(NextToken(QString(), kSect), QStringLiteral("b"));
    QCOMPARE(NextToken(QString(), kSect), QString());
    QCOMPARE(NextToken(QString(), kSect), QString());
    // A new text starts over, also in the middle of an earlier one.
    QCOMPARE(NextToken(QString::fromUtf8("x§y§z"), kSect), QStringLiteral("x"));
    QCOMPARE(NextToken(QString::fromUtf8("1§2"), kSect), QStringLiteral("1"));
    QCOMPARE(NextToken(QString(), kSect), QStringLiteral("2"));
    QCOMPARE(NextToken(QString(), kSect), QString());
    // The delimiters may change between calls on the same text.
    QCOMPARE(NextToken(QStringLiteral("a,b;c"), QStringLiteral(",")), QStringLiteral("a"));
    QCOMPARE(NextToken(QString(), QStringLiteral(";")), QStringLiteral(",b"));
    QCOMPARE(NextToken(QString(), QStringLiteral(";")), QStringLiteral("c"));
}

QTEST_APPLESS_MAIN(TestNextToken)
#include "tst_nexttoken.moc"
