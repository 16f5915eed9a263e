#include "store/XmlEntities.h"

#include <QTest>

class TestXmlEntities : public QObject {
    Q_OBJECT
private slots:
    void entities_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("all five, & first")
            << u"A & <B> \"c\" 'd' &lt;"_qs << u"A &amp; &lt;B&gt; &quot;c&quot; &apos;d&apos; &amp;lt;"_qs
            << u"A & <B> \"c\" 'd' <"_qs;
        QTest::newRow("any letter case, one level")
            << u"&AMP;lt; &LT;x&Gt; &QuOt;&aPoS;"_qs << u"&amp;AMP;lt; &amp;LT;x&amp;Gt; &amp;QuOt;&amp;aPoS;"_qs
            << u"&lt; <x> \"'"_qs;
        // U+017F folds to "s" in Unicode case-insensitive matching; only ASCII case may count.
        QTest::newRow("others kept") << u"&nbsp; &#39; &amp &lt a& &apoſ; 😀"_qs
                                     << u"&amp;nbsp; &amp;#39; &amp;amp &amp;lt a&amp; &amp;apoſ; 😀"_qs
                                     << u"&nbsp; &#39; &amp &lt a& &apoſ; 😀"_qs;
    }
    void entities() {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QFETCH(QString, decoded);
        QCOMPARE(XMLEntityEncode(text), encoded);
        QCOMPARE(XMLEntityDecode(text), decoded);
        QCOMPARE(XMLEntityDecode(encoded), text);
    }
};

QTEST_APPLESS_MAIN(TestXmlEntities)
#include "tst_xmlentities.moc"
