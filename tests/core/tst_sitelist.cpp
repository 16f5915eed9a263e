#include "core/SiteList.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {

// Ticks written as text, one character per row: '1' ticked, '0' not.
QString ticksOf(const SiteList& list) {
    QString out;
    for (int i = 0; i < list.count(); ++i)
        out.append(list.isTicked(i) ? u'1' : u'0');
    return out;
}

QStringList nicksInOrder(const SiteList& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out.append(list.field(i, SiteList::Field::Nick));
    return out;
}

SiteEntry makeEntry(const QString& nick, const QString& url, const QString& res, const QString& crc,
                    const QString& when, const QString& descr) {
    SiteEntry e;
    e.nick = nick;
    e.key = nick;
    e.url = url;
    e.res = res;
    e.crc = crc;
    e.rdatetime = when;
    e.descrizione = descr;
    return e;
}

// Four entries whose columns hold ties, letter-case variants and numbers that sort differently as text.
std::vector<SiteEntry> sortFixture() {
    return {
        makeEntry(QStringLiteral("e0"), QStringLiteral("http://b.example"), ResultMarker::kChanged,
                  QStringLiteral("10"), QStringLiteral("2/1/2024 10:00:00"), QStringLiteral("beta")),
        makeEntry(QStringLiteral("e1"), QStringLiteral("http://A.example"), ResultMarker::kEqual,
                  QStringLiteral("-5"), QStringLiteral("10/1/2024 09:00:00"), QStringLiteral("Alpha")),
        makeEntry(QStringLiteral("e2"), QStringLiteral("http://b.EXAMPLE"), ResultMarker::kNone,
                  QStringLiteral("9"), QStringLiteral("1/2/2024 08:00:00"), QStringLiteral("alpha")),
        makeEntry(QStringLiteral("e3"), QStringLiteral("http://c.example"), ResultMarker::kEqual,
                  QStringLiteral("100"), QStringLiteral("2/1/2024 10:00:00"), QString()),
    };
}

// Checks the id and key lookups against a plain walk over the entries.
void verifyLookups(const SiteList& list) {
    for (int row = 0; row < list.count(); ++row) {
        const SiteEntry& e = list.entryAt(row);
        QCOMPARE(list.rowOfId(e.id), row);
        if (!e.key.isEmpty())
            QCOMPARE(list.rowOfKey(e.key), row);
    }
}

} // namespace

class TestSiteList : public QObject {
    Q_OBJECT
private slots:
    void newListIsEmpty();
    void badPositionsAreHarmless();
    void columns_data();
    void columns();
    void keyFromUrl_data();
    void keyFromUrl();
    void addGivesBlankUntickedEntry();
    void duplicateKeys_data();
    void duplicateKeys();
    void changedUrlKeepsKey();
    void removeByKey();
    void setAllTicks_data();
    void setAllTicks();
    void tickThroughModel();
    void fieldsAndCellSignals_data();
    void fieldsAndCellSignals();
    void sort_data();
    void sort();
    void sortTexts_data();
    void sortTexts();
    void sortMatchesPlainSort_data();
    void sortMatchesPlainSort();
    void sortKeepsPersistentIndexes();
    void sortIgnoresBadColumns();
    void selectionFollowsEntry();
    void lookupsAfterReorderAndRemoval();
    void bulkOperationsEmitOneSignal();
    void replaceAllGivesFreshIds();
    void duplicateKeysFromReplaceAll();
    void letGoEntriesLeaveCopiesIntact_data();
    void letGoEntriesLeaveCopiesIntact();
    void modifiedFlag();
    void modelTester();
};

void TestSiteList::newListIsEmpty() {
    SiteList list;
    QCOMPARE(list.count(), 0);
    QCOMPARE(list.rowCount(), 0);
    QCOMPARE(list.columnCount(), 5);
    QCOMPARE(list.selectedRow(), -1);
    QVERIFY(!list.isModified());
    QVERIFY(!list.containsKey(QStringLiteral("abc")));
}

void TestSiteList::badPositionsAreHarmless() {
    SiteList list;
    QVERIFY(list.add(QStringLiteral("a"), QStringLiteral("http://a")));
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    for (int pos : {-1, 1, 1000}) {
        QCOMPARE(list.entryAt(pos), SiteEntry());
        QCOMPARE(list.field(pos, SiteList::Field::Url), QString());
        QVERIFY(!list.isTicked(pos));
        list.setTicked(pos, true);
        list.setField(pos, SiteList::Field::Crc, QStringLiteral("5"));
        list.setSelectedRow(pos);
        QCOMPARE(list.selectedRow(), -1);
    }
    QCOMPARE(changed.count(), 0);
    QCOMPARE(list.entryAt(0).crc, QStringLiteral("0"));
    QVERIFY(!list.remove(QStringLiteral("zzz")));
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.rowOfId(0), -1);
    QCOMPARE(list.rowOfId(987654), -1);
    QCOMPARE(list.data(list.index(5, 0)), QVariant());
    QCOMPARE(SiteList::columnKey(5), QString());
    QCOMPARE(SiteList::columnWidthTwips(-1), 0);
}

void TestSiteList::columns_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("twips");
    QTest::newRow("url") << 0 << "x1" << QStringLiteral("                      URL") << 2900;
    QTest::newRow("res") << 1 << "x2" << QStringLiteral("RES") << 550;
    QTest::newRow("crc") << 2 << "x3" << QStringLiteral("      CRC") << 1180;
    QTest::newRow("rdatetime") << 3 << "x4" << QStringLiteral("   Ultimo controllo") << 1670;
    QTest::newRow("descrizione") << 4 << "x5" << QStringLiteral("   Descrizione") << 2000;
}

void TestSiteList::columns() {
    QFETCH(int, column);
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(int, twips);
    SiteList list;
    QCOMPARE(SiteList::columnKey(column), key);
    QCOMPARE(SiteList::columnCaption(column), caption);
    QCOMPARE(SiteList::columnWidthTwips(column), twips);
    QCOMPARE(list.headerData(column, Qt::Horizontal).toString(), caption);
}

void TestSiteList::keyFromUrl_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("key");
    QTest::newRow("letters before www") << "abc://www.Site1.org"
                                        << "Site1org";
    QTest::newRow("no www keeps all") << "abc://site1.org"
                                      << "abcsite1org";
    QTest::newRow("usual address") << "http://www.example.com/"
                                   << "examplecom";
    QTest::newRow("www in the middle") << "https://foo.www.bar-2.com/x?y=1#z"
                                       << "bar2comxy1z";
    QTest::newRow("www made of kept characters") << "w.w-w/Page"
                                                 << "Page";
    QTest::newRow("first occurrence") << "http://wwww.x.www.y"
                                      << "wxwwwy";
    QTest::newRow("no letters or digits") << "://-./?#&="
                                          << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("only www") << "www"
                              << "";
    QTest::newRow("non-ASCII letters dropped")
        << QStringLiteral("http://www.caffè.it/über") << QStringLiteral("caffitber");
    QTest::newRow("non-ASCII digits dropped") << QStringLiteral("http://www.a١２b.it") << "abit";
    QTest::newRow("upper-case WWW not matched") << "http://WWW.Example.com"
                                                << "httpWWWExamplecom";
    QTest::newRow("mixed-case Www not matched") << "http://Www.a.com"
                                                << "httpWwwacom";
}

void TestSiteList::keyFromUrl() {
    QFETCH(QString, url);
    QFETCH(QString, key);
    QCOMPARE(SiteList::keyFromUrl(url), key);
}

void TestSiteList::addGivesBlankUntickedEntry() {
    SiteList list;
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QVERIFY(list.add(QStringLiteral("k1"), QStringLiteral("http://one")));
    QVERIFY(list.add(QStringLiteral("k2"), QStringLiteral(" http://Two ")));
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(inserted.at(1).at(1).toInt(), 1);
    QCOMPARE(list.count(), 2);

    const SiteEntry& e = list.entryAt(1);
    QCOMPARE(e.url, QStringLiteral(" http://Two "));
    QCOMPARE(e.key, QStringLiteral("k2"));
    QCOMPARE(e.crc, QStringLiteral("0"));
    QVERIFY(e.res.isEmpty());
    QVERIFY(e.rdatetime.isEmpty());
    QVERIFY(e.descrizione.isEmpty());
    QVERIFY(e.nick.isEmpty());
    QVERIFY(!e.ticked);
    QVERIFY(e.id != 0);
    QVERIFY(e.id != list.entryAt(0).id);
    QCOMPARE(list.data(list.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(!list.isModified());
}

void TestSiteList::duplicateKeys_data() {
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("added");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same key") << "abc"
                              << "abc" << false;
    QTest::newRow("upper case of existing") << "abc"
                                            << "ABC" << false;
    QTest::newRow("mixed case of existing") << "Example1com"
                                            << "eXAMPLE1COM" << false;
    QTest::newRow("different key") << "abc"
                                   << "abd" << true;
    QTest::newRow("prefix") << "abc"
                            << "ab" << true;
    QTest::newRow("loaded section key") << QStringLiteral("§3") << QStringLiteral("§3") << false;
    // An empty key is no key at all, so several entries may lack one.
    QTest::newRow("two empty keys") << ""
                                    << "" << true;
}

void TestSiteList::duplicateKeys() {
    QFETCH(QString, existing);
    QFETCH(QString, added);
    QFETCH(bool, accepted);
    SiteList list;
    QVERIFY(list.add(existing, QStringLiteral("http://first")));
    list.setTicked(0, true);
    const auto before = list.entries();
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);

    QCOMPARE(list.add(added, QStringLiteral("http://second")), accepted);
    QCOMPARE(list.count(), accepted ? 2 : 1);
    QCOMPARE(inserted.count(), accepted ? 1 : 0);
    QCOMPARE(list.entryAt(0), before.front());
    QVERIFY(!list.isModified());
}

void TestSiteList::changedUrlKeepsKey() {
    SiteList list;
    const QString oldUrl = QStringLiteral("http://www.old-site.org/");
    const QString newUrl = QStringLiteral("http://www.new-site.org/");
    QVERIFY(list.add(SiteList::keyFromUrl(oldUrl), oldUrl));
    list.setField(0, SiteList::Field::Url, newUrl);
    QCOMPARE(list.entryAt(0).key, QStringLiteral("oldsiteorg"));
    QVERIFY(!list.add(SiteList::keyFromUrl(oldUrl), oldUrl));
    QVERIFY(!list.add(SiteList::keyFromUrl(QStringLiteral("https://www.OLD.site.org")), oldUrl));
    QVERIFY(list.add(SiteList::keyFromUrl(newUrl), newUrl));
    QCOMPARE(list.count(), 2);
}

void TestSiteList::removeByKey() {
    SiteList list;
    for (const char* k : {"a", "b", "c"})
        QVERIFY(list.add(QString::fromLatin1(k), QStringLiteral("http://") + QString::fromLatin1(k)));
    QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
    QVERIFY(list.remove(QStringLiteral("B")));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.entryAt(1).key, QStringLiteral("c"));
    QVERIFY(!list.remove(QStringLiteral("b")));
    QVERIFY(!list.remove(QString()));
    QVERIFY(list.add(QStringLiteral("b"), QStringLiteral("http://b-again")));
    QCOMPARE(list.rowOfKey(QStringLiteral("b")), 2);
    QVERIFY(!list.isModified());
}

void TestSiteList::setAllTicks_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("after");
    QTest::newRow("untick mixed") << "1011" << 0 << "0000";
    QTest::newRow("untick none ticked") << "000" << 0 << "000";
    QTest::newRow("tick mixed") << "0100" << 1 << "1111";
    QTest::newRow("tick all ticked") << "11" << 1 << "11";
    QTest::newRow("invert rows 1 and 3 of 3") << "101" << 2 << "010";
    QTest::newRow("invert none ticked") << "0000" << 2 << "1111";
    QTest::newRow("invert all ticked") << "111" << 2 << "000";
    QTest::newRow("invert single") << "0" << 2 << "1";
}

void TestSiteList::setAllTicks() {
    QFETCH(QString, before);
    QFETCH(int, mode);
    QFETCH(QString, after);
    SiteList list;
    for (int i = 0; i < before.size(); ++i) {
        QVERIFY(list.add(QString::number(i), QStringLiteral("http://x") + QString::number(i)));
        list.setTicked(i, before.at(i) == u'1');
    }
    QCOMPARE(ticksOf(list), before);

    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    list.setAllTicks(static_cast<SiteList::TickMode>(mode));
    QCOMPARE(ticksOf(list), after);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), list.index(0, 0));
    QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), list.index(list.count() - 1, 0));
    QCOMPARE(changed.at(0).at(2).value<QList<int>>(), QList<int>{Qt::CheckStateRole});
}

void TestSiteList::tickThroughModel() {
    SiteList list;
    QVERIFY(list.add(QStringLiteral("a"), QStringLiteral("http://a")));
    const QModelIndex cell = list.index(0, 0);
    QVERIFY(list.flags(cell).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(list.flags(cell).testFlag(Qt::ItemIsSelectable));
    QVERIFY(list.flags(cell).testFlag(Qt::ItemIsEnabled));
    QVERIFY(!list.flags(cell).testFlag(Qt::ItemIsEditable));
    QVERIFY(!list.flags(list.index(0, 2)).testFlag(Qt::ItemIsUserCheckable));
    QCOMPARE(list.data(list.index(0, 2), Qt::CheckStateRole), QVariant());

    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    QVERIFY(list.setData(cell, Qt::Checked, Qt::CheckStateRole));
    QVERIFY(list.isTicked(0));
    QCOMPARE(list.data(cell, Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), cell);
    list.setTicked(0, true);
    QCOMPARE(changed.count(), 1);
    QVERIFY(list.setData(cell, Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!list.isTicked(0));
    QVERIFY(!list.setData(cell, QStringLiteral("http://b"), Qt::EditRole));
    QCOMPARE(list.entryAt(0).url, QStringLiteral("http://a"));
}

void TestSiteList::fieldsAndCellSignals_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("column"); // -1: no column of its own
    QTest::newRow("url") << int(SiteList::Field::Url) << 0;
    QTest::newRow("res") << int(SiteList::Field::Res) << 1;
    QTest::newRow("crc") << int(SiteList::Field::Crc) << 2;
    QTest::newRow("rdatetime") << int(SiteList::Field::RDateTime) << 3;
    QTest::newRow("descrizione") << int(SiteList::Field::Descrizione) << 4;
    QTest::newRow("nick") << int(SiteList::Field::Nick) << -1;
}

void TestSiteList::fieldsAndCellSignals() {
    QFETCH(int, field);
    QFETCH(int, column);
    const auto f = static_cast<SiteList::Field>(field);
    SiteList list;
    QVERIFY(list.add(QStringLiteral("a"), QStringLiteral("http://a")));
    QVERIFY(list.add(QStringLiteral("b"), QStringLiteral("http://b")));
    const QString text = QStringLiteral("<b>Perché & -123</b>");

    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    list.setField(1, f, text);
    QCOMPARE(list.field(1, f), text);
    QCOMPARE(list.field(0, f), f == SiteList::Field::Url   ? QStringLiteral("http://a")
                               : f == SiteList::Field::Crc ? QStringLiteral("0")
                                                           : QString());
    QCOMPARE(changed.count(), 1);
    const auto topLeft = changed.at(0).at(0).value<QModelIndex>();
    QCOMPARE(topLeft, changed.at(0).at(1).value<QModelIndex>());
    QCOMPARE(topLeft.row(), 1);
    if (column >= 0) {
        QCOMPARE(topLeft.column(), column);
        QCOMPARE(list.data(list.index(1, column)).toString(), text);
    } else {
        QCOMPARE(list.data(list.index(1, 0), SiteList::NickRole).toString(), text);
    }

    list.setField(1, f, text);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(list.entryAt(1).key, QStringLiteral("b"));
    QVERIFY(!list.isModified());
}

void TestSiteList::sort_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("order");
    auto row = [](const char* name, int column, bool desc, const char* order) {
        QTest::newRow(name) << column << desc << QString::fromLatin1(order).split(u',');
    };
    // Ties keep their earlier order in both directions.
    row("url ascending", 1, false, "e1,e0,e2,e3");
    row("url descending", 1, true, "e3,e0,e2,e1");
    row("res ascending", 2, false, "e2,e1,e3,e0");
    row("res descending", 2, true, "e0,e1,e3,e2");
    row("crc ascending, as text", 3, false, "e1,e0,e3,e2");
    row("crc descending, as text", 3, true, "e2,e3,e0,e1");
    row("last check ascending, as text", 4, false, "e2,e1,e0,e3");
    row("last check descending, as text", 4, true, "e0,e3,e1,e2");
    row("description ascending", 5, false, "e3,e1,e2,e0");
    row("description descending", 5, true, "e0,e1,e2,e3");
}

void TestSiteList::sort() {
    QFETCH(int, column);
    QFETCH(bool, descending);
    QFETCH(QStringList, order);
    const Qt::SortOrder sortOrder = descending ? Qt::DescendingOrder : Qt::AscendingOrder;

    SiteList byNumber;
    byNumber.replaceAll(sortFixture());
    QSignalSpy layout(&byNumber, &QAbstractItemModel::layoutChanged);
    QSignalSpy reset(&byNumber, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&byNumber, &QAbstractItemModel::dataChanged);
    byNumber.sortByColumn(column, sortOrder);
    QCOMPARE(nicksInOrder(byNumber), order);
    QCOMPARE(layout.count() + reset.count(), 1);
    QCOMPARE(changed.count(), 0);
    verifyLookups(byNumber);

    SiteList byView;
    byView.replaceAll(sortFixture());
    byView.sort(column - 1, sortOrder);
    QCOMPARE(nicksInOrder(byView), order);

    // Whatever order came before, the sorted column reads the same.
    byView.sortByColumn(column == 1 ? 5 : 1, Qt::DescendingOrder);
    byView.sortByColumn(column, sortOrder);
    byView.sortByColumn(column, sortOrder);
    QStringList expectedTexts, actualTexts;
    for (int i = 0; i < byView.count(); ++i) {
        actualTexts << byView.data(byView.index(i, column - 1)).toString().toCaseFolded();
        expectedTexts << byNumber.data(byNumber.index(i, column - 1)).toString().toCaseFolded();
    }
    QCOMPARE(actualTexts, expectedTexts);
}

void TestSiteList::sortTexts_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("ascending"); // positions of the texts, in sorted order
    QTest::newRow("long shared start") << QStringList{QStringLiteral("http://www.example.com/pageB"),
                                                      QStringLiteral("http://www.example.com/pagea/x"),
                                                      QStringLiteral("http://www.example.com/page"),
                                                      QStringLiteral("http://www.example.com/pagea")}
                                       << QList<int>{2, 3, 1, 0};
    QTest::newRow("accented capitals") << QStringList{QStringLiteral("été"), QStringLiteral("Zeta"),
                                                      QStringLiteral("Été"), QStringLiteral("ÉTÉ!")}
                                       << QList<int>{1, 0, 2, 3};
    QTest::newRow("letters outside the basic plane")
        << QStringList{QStringLiteral("\U00010400b"), QStringLiteral("\U00010428a"), QStringLiteral("z")}
        << QList<int>{2, 1, 0};
    QTest::newRow("empty and blanks") << QStringList{QStringLiteral("a"), QString(), QStringLiteral(" "),
                                                     QString()}
                                      << QList<int>{1, 3, 2, 0};
    QTest::newRow("differ after eight units")
        << QStringList{QStringLiteral("abcdefghijkZ"), QStringLiteral("ABCDEFGHIJKa"),
                       QStringLiteral("abcdefghijk"), QStringLiteral("B"), QStringLiteral("abcdefghijK")}
        << QList<int>{2, 4, 1, 0, 3};
    QTest::newRow("embedded NUL after a shared start")
        << QStringList{QStringLiteral("xy") + QChar(u'\0'), QStringLiteral("xy"),
                       QStringLiteral("xy") + QChar(u'\0'), QStringLiteral("XY")}
        << QList<int>{1, 3, 0, 2};
    QTest::newRow("all equal") << QStringList{QStringLiteral("Same"), QStringLiteral("same"),
                                              QStringLiteral("SAME")}
                               << QList<int>{0, 1, 2};
}

void TestSiteList::sortTexts() {
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, ascending);
    std::vector<SiteEntry> entries;
    for (int i = 0; i < texts.size(); ++i)
        entries.push_back(makeEntry(QString::number(i), {}, {}, {}, {}, texts.at(i)));

    SiteList list;
    list.replaceAll(entries);
    list.sortByColumn(5, Qt::AscendingOrder);
    QStringList expected;
    for (int i : ascending)
        expected << QString::number(i);
    QCOMPARE(nicksInOrder(list), expected);

    // Descending reverses the order of unequal texts; equal ones keep their order.
    list.replaceAll(entries);
    list.sortByColumn(5, Qt::DescendingOrder);
    for (int row = 1; row < list.count(); ++row) {
        const QString before = list.field(row - 1, SiteList::Field::Descrizione).toCaseFolded();
        const QString after = list.field(row, SiteList::Field::Descrizione).toCaseFolded();
        QVERIFY(before >= after);
        if (before == after)
            QVERIFY(list.entryAt(row - 1).nick.toInt() < list.entryAt(row).nick.toInt());
    }
}

void TestSiteList::sortMatchesPlainSort_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("descending");
    for (int column = 1; column <= 5; ++column) {
        for (bool descending : {false, true}) {
            const QByteArray name =
                "column " + QByteArray::number(column) + (descending ? " descending" : " ascending");
            QTest::newRow(name.constData()) << column << descending;
        }
    }
}

// Many texts from a small alphabet, so that long shared starts, ties and case variants abound; the order must
// be that of a plain stable sort of the case-folded texts.
void TestSiteList::sortMatchesPlainSort() {
    QFETCH(int, column);
    QFETCH(bool, descending);
    QRandomGenerator rng(column * 2 + descending);
    const QString alphabet = QStringLiteral("aAbB/.éÉ0");
    auto randomText = [&] {
        QString text = rng.bounded(2) ? QStringLiteral("https://www.example-") : QString();
        const int length = rng.bounded(14);
        for (int i = 0; i < length; ++i)
            text.append(alphabet.at(rng.bounded(alphabet.size())));
        return text;
    };
    std::vector<SiteEntry> entries;
    for (int i = 0; i < 1500; ++i)
        entries.push_back(
            makeEntry(QString::number(i), randomText(), randomText(), randomText(), randomText(), randomText()));

    SiteList list;
    list.replaceAll(entries);
    list.sortByColumn(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);

    std::vector<std::pair<QString, int>> expected;
    for (size_t i = 0; i < entries.size(); ++i) {
        const SiteEntry& e = entries[i];
        const QString texts[] = {e.url, e.res, e.crc, e.rdatetime, e.descrizione};
        expected.emplace_back(texts[column - 1].toCaseFolded(), int(i));
    }
    std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
        return descending ? b.first < a.first : a.first < b.first;
    });
    QStringList expectedNicks;
    for (const auto& [text, index] : expected)
        expectedNicks << QString::number(index);
    QCOMPARE(nicksInOrder(list), expectedNicks);
    verifyLookups(list);
}

void TestSiteList::sortKeepsPersistentIndexes() {
    SiteList list;
    list.replaceAll(sortFixture());
    const QPersistentModelIndex e2(list.index(2, 3));
    const QPersistentModelIndex e0(list.index(0, 0));
    list.sortByColumn(3, Qt::AscendingOrder); // e1,e0,e3,e2
    QVERIFY(e2.isValid());
    QCOMPARE(e2.row(), 3);
    QCOMPARE(e2.column(), 3);
    QCOMPARE(list.data(e2.sibling(e2.row(), 2)).toString(), QStringLiteral("9"));
    QCOMPARE(e0.row(), 1);
    QCOMPARE(list.data(e0, SiteList::NickRole).toString(), QStringLiteral("e0"));
}

void TestSiteList::sortIgnoresBadColumns() {
    SiteList list;
    list.replaceAll(sortFixture());
    const QStringList before = nicksInOrder(list);
    QSignalSpy layout(&list, &QAbstractItemModel::layoutChanged);
    list.sortByColumn(0, Qt::AscendingOrder);
    list.sortByColumn(6, Qt::DescendingOrder);
    list.sort(-1);
    list.sort(5);
    QCOMPARE(nicksInOrder(list), before);
    QCOMPARE(layout.count(), 0);
}

void TestSiteList::selectionFollowsEntry() {
    SiteList list;
    list.replaceAll(sortFixture());
    list.setSelectedRow(2);
    const quint64 selectedId = list.entryAt(2).id;

    list.sortByColumn(1, Qt::DescendingOrder); // e3,e0,e2,e1
    QCOMPARE(list.selectedRow(), 2);
    list.sortByColumn(3, Qt::AscendingOrder); // e1,e0,e3,e2
    QCOMPARE(list.selectedRow(), 3);
    QCOMPARE(list.entryAt(list.selectedRow()).id, selectedId);

    QVERIFY(list.remove(QStringLiteral("e1")));
    QCOMPARE(list.selectedRow(), 2);
    QCOMPARE(list.entryAt(list.selectedRow()).nick, QStringLiteral("e2"));
    QVERIFY(list.add(QStringLiteral("e9"), QStringLiteral("http://z")));
    QCOMPARE(list.selectedRow(), 2);

    QVERIFY(list.remove(QStringLiteral("E2")));
    QCOMPARE(list.selectedRow(), -1);
    // A later entry never inherits the removed one's selection.
    QVERIFY(list.add(QStringLiteral("e2"), QStringLiteral("http://b.EXAMPLE")));
    QCOMPARE(list.selectedRow(), -1);

    list.setSelectedRow(0);
    QCOMPARE(list.selectedRow(), 0);
    list.setSelectedRow(-1);
    QCOMPARE(list.selectedRow(), -1);

    list.setSelectedRow(1);
    list.clear();
    QCOMPARE(list.selectedRow(), -1);

    list.replaceAll(sortFixture());
    list.setSelectedRow(1);
    list.replaceAll(sortFixture());
    QCOMPARE(list.selectedRow(), -1);
}

void TestSiteList::lookupsAfterReorderAndRemoval() {
    SiteList list;
    QRandomGenerator rng(20240611);
    std::vector<quint64> removedIds;
    int nextKey = 0;
    for (int step = 0; step < 600; ++step) {
        const int op = rng.bounded(10);
        if (op < 5 || list.count() == 0) {
            const QString key = QStringLiteral("K") + QString::number(nextKey++);
            QVERIFY(list.add(key, QStringLiteral("http://") + QString::number(rng.bounded(50))));
            list.setField(list.count() - 1, SiteList::Field::Crc, QString::number(rng.bounded(-20, 20)));
        } else if (op < 8) {
            const int row = rng.bounded(list.count());
            const SiteEntry e = list.entryAt(row);
            QVERIFY(list.remove(e.key.toLower()));
            removedIds.push_back(e.id);
            QCOMPARE(list.rowOfKey(e.key), -1);
        } else {
            list.sortByColumn(rng.bounded(1, 6), rng.bounded(2) ? Qt::AscendingOrder : Qt::DescendingOrder);
        }
        if (step % 7 == 0)
            verifyLookups(list);
    }
    verifyLookups(list);
    for (quint64 id : removedIds)
        QCOMPARE(list.rowOfId(id), -1);
}

void TestSiteList::bulkOperationsEmitOneSignal() {
    SiteList list;
    QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    QSignalSpy layout(&list, &QAbstractItemModel::layoutChanged);

    std::vector<SiteEntry> many;
    for (int i = 0; i < 500; ++i)
        many.push_back(makeEntry(QString::number(i), QStringLiteral("http://h/") + QString::number(i % 37), {},
                                 QString::number(i * 7919 % 1000), {}, {}));
    list.replaceAll(many);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(list.count(), 500);

    for (int mode : {1, 2, 0}) {
        list.setAllTicks(static_cast<SiteList::TickMode>(mode));
    }
    QCOMPARE(changed.count(), 3);

    for (int column = 1; column <= 5; ++column) {
        list.sortByColumn(column, Qt::AscendingOrder);
        list.sortByColumn(column, Qt::DescendingOrder);
    }
    QCOMPARE(layout.count() + reset.count(), 10 + 1);

    list.clear();
    QCOMPARE(list.count(), 0);
    QCOMPARE(reset.count(), 2);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(changed.count(), 3);

    list.setAllTicks(SiteList::TickAll);
    QCOMPARE(changed.count(), 3);
    QVERIFY(!list.isModified());
}

void TestSiteList::replaceAllGivesFreshIds() {
    SiteList list;
    std::vector<SiteEntry> given = sortFixture();
    for (SiteEntry& e : given)
        e.id = 7;
    given[1].ticked = true;
    list.replaceAll(given);
    QCOMPARE(list.count(), 4);
    QCOMPARE(ticksOf(list), QStringLiteral("0100"));
    std::vector<quint64> ids;
    for (const SiteEntry& e : list.entries())
        ids.push_back(e.id);
    std::sort(ids.begin(), ids.end());
    QVERIFY(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    QVERIFY(ids.front() != 0);

    const quint64 oldId = list.entryAt(0).id;
    list.replaceAll(sortFixture());
    QCOMPARE(list.rowOfId(oldId), -1);
    verifyLookups(list);
    QCOMPARE(list.rowOfKey(QStringLiteral("E3")), 3);
}

void TestSiteList::duplicateKeysFromReplaceAll() {
    SiteList list;
    std::vector<SiteEntry> given = sortFixture();
    given[2].key = QStringLiteral("E0");
    list.replaceAll(given);
    QCOMPARE(list.rowOfKey(QStringLiteral("e0")), 0);
    QVERIFY(!list.add(QStringLiteral("e0"), QStringLiteral("http://x")));
    QVERIFY(list.remove(QStringLiteral("e0")));
    QCOMPARE(list.rowOfKey(QStringLiteral("e0")), 1);
    QCOMPARE(list.entryAt(1).nick, QStringLiteral("e2"));
}

void TestSiteList::letGoEntriesLeaveCopiesIntact_data() {
    QTest::addColumn<bool>("byClear");
    QTest::newRow("clear") << true;
    QTest::newRow("replaceAll") << false;
}

// The list frees entries it lets go of on its own time; texts shared with copies held elsewhere must survive,
// and the list must stay usable while the freeing runs and when it is destroyed mid-way.
void TestSiteList::letGoEntriesLeaveCopiesIntact() {
    QFETCH(bool, byClear);
    std::vector<SiteEntry> many;
    for (int i = 0; i < 20000; ++i)
        many.push_back(makeEntry(QStringLiteral("n") + QString::number(i),
                                 QStringLiteral("http://h/") + QString::number(i), ResultMarker::kEqual,
                                 QString::number(-i), QStringLiteral("06/12/2026 21:10:38"),
                                 QStringLiteral("Città ") + QString::number(i)));
    std::vector<SiteEntry> held;
    {
        SiteList list;
        for (int round = 0; round < 4; ++round) {
            list.replaceAll(many);
            QVERIFY(list.rowOfKey(QStringLiteral("N7")) >= 0);
            list.sortByColumn(1, Qt::DescendingOrder);
            held = list.entries();
            if (byClear)
                list.clear();
            else
                list.replaceAll(sortFixture());
            QCOMPARE(list.count(), byClear ? 0 : 4);
            QCOMPARE(list.rowOfKey(QStringLiteral("N7")), -1);
            QCOMPARE(list.selectedRow(), -1);
            verifyLookups(list);
        }
        // Destroyed here with the last freeing possibly still running.
        list.replaceAll(many);
    }
    QCOMPARE(held.size(), many.size());
    std::sort(held.begin(), held.end(), [](const SiteEntry& a, const SiteEntry& b) {
        return a.nick.mid(1).toInt() < b.nick.mid(1).toInt();
    });
    for (size_t i = 0; i < many.size(); ++i) {
        SiteEntry expected = many[i];
        expected.id = held[i].id;
        QCOMPARE(held[i], expected);
    }
}

void TestSiteList::modifiedFlag() {
    SiteList list;
    QSignalSpy spy(&list, &SiteList::modifiedChanged);
    list.setModified(false);
    QCOMPARE(spy.count(), 0);
    list.setModified(true);
    list.setModified(true);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QVERIFY(list.isModified());

    QVERIFY(list.add(QStringLiteral("a"), QStringLiteral("http://a")));
    list.setField(0, SiteList::Field::Crc, QStringLiteral("12"));
    list.setAllTicks(SiteList::TickAll);
    list.sortByColumn(1, Qt::DescendingOrder);
    list.clear();
    QVERIFY(list.isModified());
    list.setModified(false);
    QVERIFY(list.add(QStringLiteral("a"), QStringLiteral("http://a")));
    QVERIFY(list.remove(QStringLiteral("a")));
    list.replaceAll(sortFixture());
    QVERIFY(!list.isModified());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
}

void TestSiteList::modelTester() {
    SiteList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    list.replaceAll(sortFixture());
    QVERIFY(list.add(QStringLiteral("n1"), QStringLiteral("http://n1")));
    QVERIFY(list.add(QStringLiteral("n2"), QStringLiteral("http://n2")));
    list.setTicked(1, true);
    list.setField(2, SiteList::Field::Res, ResultMarker::kBusy);
    list.setField(2, SiteList::Field::Nick, QStringLiteral("nick"));
    list.setAllTicks(SiteList::InvertTicks);
    for (int column = 0; column < 5; ++column) {
        list.sort(column, Qt::AscendingOrder);
        list.sort(column, Qt::DescendingOrder);
    }
    QVERIFY(list.remove(QStringLiteral("n1")));
    QVERIFY(list.remove(QStringLiteral("e0")));
    QVERIFY(list.setData(list.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    list.clear();
    QVERIFY(list.add(QStringLiteral("n3"), QStringLiteral("http://n3")));
    list.replaceAll({});
    QCOMPARE(list.count(), 0);
}

QTEST_GUILESS_MAIN(TestSiteList)
#include "tst_sitelist.moc"
