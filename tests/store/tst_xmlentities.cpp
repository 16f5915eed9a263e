#include "store/XmlEntities.h"

#include <QTest>

class TestXmlEntities : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void decodeUndoesEncode_data();
    void decodeUndoesEncode();
};

void TestXmlEntities::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("plain") << QStringLiteral("Tom e Jerry") << QStringLiteral("Tom e Jerry");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("ampersand") << QStringLiteral("Tom & Jerry") << QStringLiteral("Tom &amp; Jerry");
    QTest::newRow("all five") << QStringLiteral("&<>\"'") << QStringLiteral("&amp;&lt;&gt;&quot;&apos;");
    QTest::newRow("ampersand first") << QStringLiteral("&lt;") << QStringLiteral("&amp;lt;");
    QTest::newRow("non-ASCII kept") << QStringLiteral("città \u00e8 <b>")
                                    << QStringLiteral("città \u00e8 &lt;b&gt;");
}

void TestXmlEntities::encode() {
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(XMLEntityEncode(text), encoded);
}

void TestXmlEntities::decode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("plain") << QStringLiteral("no references") << QStringLiteral("no references");
    QTest::newRow("all five") << QStringLiteral("&amp;&lt;&gt;&quot;&apos;") << QStringLiteral("&<>\"'");
    QTest::newRow("upper case") << QStringLiteral("A &AMP; B &LT;x&Gt; &QuOt;&aPoS;")
                                << QStringLiteral("A & B <x> \"'");
    QTest::newRow("one level only") << QStringLiteral("&amp;lt;") << QStringLiteral("&lt;");
    QTest::newRow("double ampersand") << QStringLiteral("&amp;amp;") << QStringLiteral("&amp;");
    QTest::newRow("amp then apos") << QStringLiteral("&amp;apos;") << QStringLiteral("&apos;");
    QTest::newRow("unknown reference kept") << QStringLiteral("&nbsp; &#39;") << QStringLiteral("&nbsp; &#39;");
    QTest::newRow("no semicolon") << QStringLiteral("&amp &lt") << QStringLiteral("&amp &lt");
    QTest::newRow("trailing ampersand") << QStringLiteral("a&") << QStringLiteral("a&");
    QTest::newRow("non-ASCII look-alike not matched")
        << QStringLiteral("&apo\u017f;") << QStringLiteral("&apo\u017f;");
}

void TestXmlEntities::decode() {
    QFETCH(QString, text);
    QFETCH(QString, decoded);
    QCOMPARE(XMLEntityDecode(text), decoded);
}

void TestXmlEntities::decodeUndoesEncode_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("specials") << QStringLiteral("A & B <c> \"d\" 'e'");
    QTest::newRow("references as text") << QStringLiteral("&amp; &lt; &GT; &quot;&apos;&amp;amp;");
    QTest::newRow("half references") << QStringLiteral("&am&p;&&lt&;;");
    QTest::newRow("emoji") << QStringLiteral("\U0001F600 & \u00e8");
    QTest::newRow("only ampersands") << QStringLiteral("&&&&");
}

void TestXmlEntities::decodeUndoesEncode() {
    QFETCH(QString, text);
    QCOMPARE(XMLEntityDecode(XMLEntityEncode(text)), text);
}

QTEST_APPLESS_MAIN(TestXmlEntities)
#include "tst_xmlentities.moc"
