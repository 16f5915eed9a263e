#include "core/SiteList.h"
#include "support/DataRows.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QStringList nicks(const SiteList& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out.append(list.field(i, SiteList::Field::Nick));
    return out;
}

SiteEntry makeEntry(const QString& nick, const QStringList& t) {
    return {t.value(0), t.value(1), StoredCrc::fromText(t.value(2)), t.value(3), t.value(4), nick, nick};
}

// CRC texts that sort differently as text and as numbers.
std::vector<SiteEntry> fixture() {
    std::vector<SiteEntry> out;
    for (const char* crc : {"10", "-5", "9", "100"})
        out.push_back(makeEntry(u"e"_s + QString::number(out.size()), {{}, {}, QString::fromLatin1(crc)}));
    return out;
}

void verifyLookups(const SiteList& list) {
    for (int row = 0; row < list.count(); ++row) {
        QCOMPARE(list.rowOfId(list.entryAt(row).id), row);
        QCOMPARE(list.rowOfKey(list.entryAt(row).key.toUpper()), row);
    }
}

} // namespace

class TestSiteList : public QObject {
    Q_OBJECT
private slots:
    void keyFromUrl() {
        const std::pair<QString, QString> urlAndKey[] = {
            {u"abc://site1.org"_s, u"abcsite1org"_s},               // no www
            {u"http://wwww.x.www.y"_s, u"wxwwwy"_s},                // the first www goes
            {u"://-./?#&="_s, QString()},                           // no letters or digits
            {u"http://www.caffè.it/über١"_s, u"caffitber"_s},       // non-ASCII dropped
            {u"http://WWW.Example.com"_s, u"httpWWWExamplecom"_s}}; // upper-case WWW kept
        for (const auto& [url, key] : urlAndKey)
            QCOMPARE(SiteList::keyFromUrl(url), key);
    }

    // Keys are unique whatever their case and fixed at creation; bad positions read empty and change nothing.
    void keysTicksAndBadPositions() {
        SiteList list;
        QVERIFY(list.add(u"Example1com"_s, u"http://first"_s));
        list.setField(0, SiteList::Field::Url, u"http://second"_s); // a new address does not free the old key
        QVERIFY(!list.add(u"eXAMPLE1COM"_s, u"http://x"_s));
        QVERIFY(list.add(u"Example1co"_s, u"http://x"_s));
        QCOMPARE(list.count(), 2);
        list.setTicked(0, true);
        list.setAllTicks(SiteList::InvertTicks);
        QVERIFY(!list.isTicked(0) && list.isTicked(1));
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        QSignalSpy moved(&list, &QAbstractItemModel::layoutChanged);
        for (int pos : {-1, 2, 1000}) {
            QCOMPARE(list.entryAt(pos), SiteEntry());
            QVERIFY(!list.isTicked(pos));
            list.setTicked(pos, true);
            list.setField(pos, SiteList::Field::Crc, u"5"_s);
            list.setSelectedRow(pos);
            list.sortByColumn(pos * 6, Qt::AscendingOrder);
        }
        QCOMPARE(list.selectedRow(), -1);
        QCOMPARE(changed.count() + moved.count(), 0);
    }

    void sortMatchesPlainSort_data() {
        QTest::addColumn<int>("column");
        for (int column = 1; column <= 5; ++column)
            QTest::addRow("column %d", column) << column;
    }
    // Texts from a few pieces, so that ties, case variants, NULs and shared starts abound; the order must be
    // that of a plain stable sort of the case-folded texts.
    void sortMatchesPlainSort() {
        QFETCH(int, column);
        QRandomGenerator rng(column);
        const QStringList pieces = u"a B abcdefgh ABCDEFGH é É 9 10 \U00010400 \0"_s.split(u' ');
        std::vector<SiteEntry> entries;
        std::vector<std::pair<QString, int>> folded;
        for (int i = 0; i < 1500; ++i) {
            QStringList texts;
            for (int c = 0; c < 5; ++c) {
                texts << (i % 2 ? u"https://www.Example-"_s : QString());
                for (int n = rng.bounded(6); n > 0; --n)
                    texts.last() += pieces.at(rng.bounded(pieces.size()));
            }
            entries.push_back(makeEntry(QString::number(i), texts));
            folded.emplace_back(texts.at(column - 1).toCaseFolded(), i);
        }
        SiteList list;
        for (bool descending : {false, true}) {
            std::stable_sort(folded.begin(), folded.end(), [&](const auto& a, const auto& b) {
                return descending ? b.first < a.first : a.first < b.first;
            });
            QStringList expected;
            for (const auto& [text, index] : folded)
                expected << QString::number(index);
            list.replaceAll(entries);
            QSignalSpy layout(&list, &QAbstractItemModel::layoutChanged);
            list.sort(column - 1, descending ? Qt::DescendingOrder : Qt::AscendingOrder); // views count from 0
            QCOMPARE(nicks(list), expected);
            QCOMPARE(layout.count(), 1);
            verifyLookups(list);
        }
    }

    // A view's selection and current row, and the list's own selected entry, stay with their entries through
    // a sort and a bulk removal; the removal costs one layout change.
    void selectionFollowsRows() {
        SiteList list;
        list.replaceAll(fixture());
        QItemSelectionModel view(&list);
        view.select(list.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view.setCurrentIndex(list.index(0, 1), QItemSelectionModel::NoUpdate);
        list.setSelectedRow(2);
        list.sortByColumn(3, Qt::AscendingOrder);
        QCOMPARE(nicks(list), QString::fromLatin1("e1,e0,e3,e2").split(u','));
        QCOMPARE(view.selectedRows(), QModelIndexList{list.index(3, 0)}); // e2
        QCOMPARE(view.currentIndex(), list.index(1, 1));
        QCOMPARE(list.selectedRow(), 3);

        QSignalSpy layout(&list, &QAbstractItemModel::layoutChanged);
        QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
        QCOMPARE(list.removeIf([](const SiteEntry& e) { return e.crc.text().startsWith(u'1'); }), 2);
        QCOMPARE(nicks(list), QString::fromLatin1("e1,e2").split(u','));
        QCOMPARE(view.selectedRows(), QModelIndexList{list.index(1, 0)});
        QVERIFY(!view.currentIndex().isValid()); // its entry is gone
        QCOMPARE(list.selectedRow(), 1);
        QCOMPARE(list.rowOfKey(u"e3"_s), -1);
        verifyLookups(list);
        QCOMPARE(list.removeIf([](const SiteEntry&) { return false; }), 0);
        QCOMPARE(layout.count() + removed.count(), 1);

        QVERIFY(list.remove(u"E2"_s));
        QCOMPARE(list.selectedRow(), -1);
        // A later entry with the same key never inherits the removed one's selection.
        QVERIFY(list.add(u"e2"_s, u"http://b"_s));
        QCOMPARE(list.selectedRow(), -1);
    }

    // Random edits under the model tester; lookups by id and key must follow every reorder and removal.
    void randomOperations() {
        SiteList list;
        QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QItemSelectionModel view(&list);
        QRandomGenerator rng(20240611);
        std::vector<quint64> removedIds;
        for (int step = 0; step < 400; ++step) {
            const int op = rng.bounded(20);
            if (op < 9 || list.count() == 0) {
                QVERIFY(list.add(u"K"_s + QString::number(step), u"http://x"_s));
                list.setField(list.count() - 1, SiteList::Field::Crc, QString::number(rng.bounded(-20, 20)));
                view.select(list.index(list.count() - 1, 0), QItemSelectionModel::Toggle);
            } else if (op < 12) {
                const SiteEntry e = list.entryAt(rng.bounded(list.count()));
                QVERIFY(list.remove(e.key.toLower()));
                removedIds.push_back(e.id);
            } else if (op < 14) {
                const QString digit = QString::number(rng.bounded(10));
                list.removeIf([&](const SiteEntry& e) { return e.crc.text().endsWith(digit); });
            } else if (op < 17) {
                list.sort(rng.bounded(5), rng.bounded(2) ? Qt::AscendingOrder : Qt::DescendingOrder);
            } else if (op < 19) {
                list.setAllTicks(static_cast<SiteList::TickMode>(rng.bounded(3)));
                QVERIFY(list.setData(list.index(rng.bounded(list.count()), 0), Qt::Checked, Qt::CheckStateRole));
            } else if (rng.bounded(2)) {
                list.clear();
            } else {
                list.replaceAll(fixture());
            }
            if (step % 5 == 0)
                verifyLookups(list);
        }
        verifyLookups(list);
        for (quint64 id : removedIds)
            QCOMPARE(list.rowOfId(id), -1);
    }

    // A stored fingerprint: its value (-1: none, or "n" when none and the row says so) and the text it saves.
    void storedCrc_data() {
        columns<QString, QString>("text", "value");
        for (const char* own : {"0", "7", "-7", "2147483647", "-2147483648"})
            QTest::newRow(own) << QString::fromLatin1(own) << QString::fromLatin1(own);
        QTest::newRow("leading zeros") << u"-007"_s << u"-7"_s;
        QTest::newRow("minus zero") << u"-0"_s << u"0"_s;
        for (const char16_t* none :
             {u"", u"-", u"+5", u"2147483648", u"-2147483649", u"12345678901", u"1a", u" 1", u"\u0663"})
            QTest::newRow(qPrintable(u"not a value: "_s + QString::fromUtf16(none)))
                << QString::fromUtf16(none) << u"n"_s;
    }

    void storedCrc() {
        const auto [text, value] = fetch<QString, QString>("text", "value");
        const StoredCrc crc = StoredCrc::fromText(text);
        QCOMPARE(crc.value() ? QString::number(*crc.value()) : u"n"_s, value);
        QCOMPARE(crc.text(), text);
    }
};

QTEST_GUILESS_MAIN(TestSiteList)
#include "tst_sitelist.moc"
