#include "store/SiteListMerge.h"
#include "store/SiteListSession.h"
#include "support/DataRows.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Sites written "id=nick:url:crc:description[:text fingerprint]", separated by ';'; id 0 is a site the list
// did not have at the base (for base, the ids are 1, 2, …).
std::vector<SiteEntry> sites(const QString& text) {
    std::vector<SiteEntry> out;
    for (const QString& site : text.split(u';', Qt::SkipEmptyParts)) {
        const QStringList id = site.split(u'=');
        const QStringList f = id.last().split(u':');
        SiteEntry e;
        e.id = id.size() > 1 ? id[0].toULongLong() : out.size() + 1;
        e.nick = f[0];
        e.url = f[1];
        e.crc = StoredCrc::fromText(f[2]);
        e.descrizione = f[3];
        if (f.size() > 4)
            e.options.edit().textCrc = f[4].toInt();
        out.push_back(e);
    }
    return out;
}

QString text(const std::vector<SiteEntry>& entries) {
    QStringList out;
    for (const SiteEntry& e : entries)
        out << QStringList{e.nick, e.url, e.crc.text(), e.descrizione}.join(u':') +
                   (e.options->textCrc ? u':' + QString::number(*e.options->textCrc) : QString());
    return out.join(u';');
}

void writeList(const QString& path, const QString& root, const QString& records) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(u"<?xml version=\"1.0\"?>\n<%1>%2</ElencoSiti>\n"_s.arg(root, records).toUtf8());
}

QString site(const QString& nick, const QString& url, const QString& more = {}) {
    return u"<sito nick=\"%1\"><url>%2</url><crc>1</crc><rdatetime/><descrizione>d</descrizione>%3</sito>"_s.arg(
        nick, url, more);
}

// Edits of the list loaded, "n.field=value" separated by '|' (n counted from 0): nick, url, descr, crc, when (a
// check time to the millisecond, with an interval), text (text mode and its fingerprint); "n.del" deletes the
// site, "add=url" adds one without a nick.
void edit(std::vector<SiteEntry>& list, const QString& edits) {
    for (const QString& e : edits.split(u'|', Qt::SkipEmptyParts)) {
        const QString value = e.section(u'=', 1);
        const QString what = e.section(u'=', 0, 0);
        if (what == u"add") {
            list.emplace_back().url = value;
            continue;
        }
        const qsizetype n = what.section(u'.', 0, 0).toInt();
        SiteEntry& s = list[std::size_t(n)];
        const QString field = what.section(u'.', 1);
        if (field == u"nick") {
            s.nick = value;
        } else if (field == u"url") {
            s.url = value;
        } else if (field == u"descr") {
            s.descrizione = value;
        } else if (field == u"crc") {
            s.crc = StoredCrc::fromText(value);
        } else if (field == u"when") {
            s.options.edit().minInterval = 60;
            s.options.edit().lastChecked = QDateTime::fromMSecsSinceEpoch(1234567);
        } else if (field == u"text") {
            s.options.edit().textMode = true;
            s.options.edit().textCrc = value.toInt();
        } else if (field == u"del") {
            list.erase(list.begin() + n);
        }
    }
}

} // namespace

class TestSiteListMerge : public QObject {
    Q_OBJECT
private slots:
    void merge_data() {
        columns<QString, QString, QString, QString, bool, QString, QString>("base", "mine", "theirs", "checked",
                                                                            "theirOrder", "expected", "merged");
        const QString ab = u"a:u1:1:d;b:u2:2:d"_s;
        QTest::newRow("checker: its results in the other writer's list")
            << ab << u"1=a:u1:9:d;2=b:u2:8:d"_s << u"c:u3:0:;b:u2:2:nuova;a:u1:1:d"_s << u"1,2"_s << true
            << u"c:u3:0:;b:u2:8:nuova;a:u1:9:d"_s << u"b,c"_s;
        QTest::newRow("checker: a site the other writer deleted stays deleted")
            << ab << u"1=a:u1:9:d;2=b:u2:8:d"_s << u"a:u1:1:d"_s << u"1,2"_s << true << u"a:u1:9:d"_s << u"b"_s;
        QTest::newRow("checker: a site it could not fetch keeps the other writer's results")
            << ab << u"1=a:u1:1:d;2=b:u2:8:d"_s << u"a:u1:5:d:50;b:u2:6:d"_s << u"2"_s << true
            << u"a:u1:5:d:50;b:u2:8:d"_s << u"a"_s;
        QTest::newRow("window: its edits win, the file's results for what it did not check")
            << ab << u"1=a:u1:1:mia;2=b:u2:2:d;0=n:u9:0:"_s << u"a:u1:5:loro;b:u2:6:d:60"_s << QString() << false
            << u"a:u1:5:mia;b:u2:6:d:60;n:u9:0:"_s << u"a,b"_s;
        QTest::newRow("window: its check wins") << u"a:u1:1:d:10"_s << u"1=a:u1:9:d:90"_s << u"a:u1:5:d:50"_s
                                                << u"1"_s << false << u"a:u1:9:d:90"_s << QString();
        QTest::newRow("window: a site it deleted stays deleted, whatever was checked")
            << ab << u"1=a:u1:1:d"_s << u"a:u1:1:d;b:u2:7:d"_s << QString() << false << u"a:u1:1:d"_s << QString();
        QTest::newRow("window: a site it edited and the other writer deleted is kept")
            << ab << u"1=a:u1:1:d;2=b:u2:2:mia"_s << u"a:u1:1:d"_s << QString() << false
            << u"a:u1:1:d;b:u2:2:mia"_s << u"b"_s;
        QTest::newRow("window: its new address keeps its own results")
            << ab << u"1=a:u7:0:d;2=b:u2:2:d"_s << u"a:u1:5:d;b:u2:2:d"_s << QString() << false
            << u"a:u7:0:d;b:u2:2:d"_s << QString();
        QTest::newRow("one address twice: matched in order")
            << u"x:u:1:d;y:u:2:d"_s << u"1=x:u:1:d;2=y:u:2:d"_s << u"x:u:5:d;y:u:6:d"_s << QString() << false
            << u"x:u:5:d;y:u:6:d"_s << u"x,y"_s;
        QTest::newRow("one address twice, once in the other writer's list")
            << u"x:u:1:d;y:u:2:d;z:v:3:d"_s << u"1=x:u:1:d;2=y:u:2:d;3=z:v:3:d"_s << u"z:v:7:d;x:u:5:d"_s
            << QString() << false << u"x:u:5:d;z:v:7:d"_s << u"x,y,z"_s;
    }
    void merge() {
        const auto [base, mine, theirs, checked, theirOrder, expected, merged] =
            fetch<QString, QString, QString, QString, bool, QString, QString>("base", "mine", "theirs", "checked",
                                                                              "theirOrder", "expected", "merged");
        QSet<quint64> ids;
        for (const QString& id : checked.split(u',', Qt::SkipEmptyParts))
            ids.insert(id.toULongLong());
        const SiteListMerge m = mergeSiteLists(sites(base), sites(mine), sites(theirs), ids,
                                               theirOrder ? MergeOrder::Theirs : MergeOrder::Mine);
        QCOMPARE(text(m.entries), expected);
        QCOMPARE(m.merged.join(u','), merged);
    }

    // After a merged save the list is the one a read of the file gives, to the keys, the options' form and the
    // unknown content kept.
    void mergedSaveReadsBack_data() {
        columns<QString, QString, QString, QString, QString, bool>("root", "base", "theirs", "edits", "checked",
                                                                   "theirOrder");
        const QString three = site(u"a"_s, u"u1"_s) + site(u"b"_s, u"u2"_s) + site(u"c"_s, u"u3"_s);
        QTest::newRow("keys: repeated, empty, with entities, numbered where the sites moved")
            << u"ElencoSiti"_s << three
            << site(u""_s, u"u0"_s) + site(u"A"_s, u"u1"_s) + site(u"x&amp;AMP;y"_s, u"u2"_s) +
                   site(u"a"_s, u"u3"_s) + site(u"§2"_s, u"u4"_s)
            << u"0.descr=mia|add=u9|add=u8"_s << QString() << false;
        QTest::newRow("options read in another form than written")
            << u"ElencoSiti"_s << three
            << site(u"a"_s, u"u1"_s, u"<opzioni testo=\"0\" cifre=\"0\" versione=\"3\"/>"_s) +
                   site(u"b"_s, u"u2"_s,
                        u"<opzioni testo=\"1\" intervallo=\"0\" controllato=\"2026-01-01T10:00:00+02:00\" "
                        "riprova=\"2026-01-01T10:00:00+02:00\"><selettore tipo=\"css\"/><intestazione/>"
                        "<altro/></opzioni>"_s) +
                   site(u"c"_s, u"u3"_s, u"<opzioni versione=\"2\" crctesto=\" 7\"/><dopo/>"_s)
            << u"2.descr=mia"_s << QString() << true;
        QTest::newRow("unknown content, fingerprints and times as written by another program")
            << u"ElencoSiti futuro=\"1\""_s << three + u"<fine/>"_s
            << u"<prima/><sito nick=\"a\" nuovo=\"x\"><url>u1</url><crc>007</crc><rdatetime> 1 &#13;</rdatetime>"
               "<descrizione>&amp;lt;</descrizione><in/></sito>"_s +
                   site(u"b"_s, u"u2"_s) + u"<mezzo/>"_s +
                   u"<sito nick=\"c\"><url>u3</url><crc/><rdatetime/><descrizione/></sito><fine/><dopo/>"_s +
                   u"<sito nick=\"d\"><url> u4</url><crc>-0</crc><rdatetime> 1 &#13;</rdatetime>"
                   "<descrizione>&amp;AMP;</descrizione></sito>"_s
            << u"1.del|1.del"_s << u"1"_s << false;
        QTest::newRow("mine's own values: a fingerprint's own text, a time to the millisecond, text mode")
            << u"ElencoSiti"_s << three << three + site(u"d"_s, u"u4"_s)
            << u"0.crc=-0|1.when=|2.text=5|1.nick=b&lt;|add=u5"_s << u"1,2,3"_s << true;
    }
    void mergedSaveReadsBack() {
        const auto [root, base, theirs, edits, checked, theirOrder] =
            fetch<QString, QString, QString, QString, QString, bool>("root", "base", "theirs", "edits", "checked",
                                                                     "theirOrder");
        QSet<quint64> ids;
        for (const QString& id : checked.split(u',', Qt::SkipEmptyParts))
            ids.insert(id.toULongLong());
        const MergeOrder order = theirOrder ? MergeOrder::Theirs : MergeOrder::Mine;
        QTemporaryDir dir;
        const QString path = dir.filePath(u"list.qvl"_s);
        writeList(path, u"ElencoSiti"_s, base);
        SiteListSession session;
        std::vector<SiteEntry> mine = session.load(path).entries;
        for (std::size_t i = 0; i < mine.size(); ++i)
            mine[i].id = i + 1;
        session.setBase(mine);
        edit(mine, edits);
        writeList(path, root, theirs);

        const SiteListSave saved = session.save(path, mine, ids, order);
        QVERIFY(saved.outcome.ok() && saved.merged && saved.entries);
        const SiteListReadResult read = readSiteListFile(path);
        QVERIFY(read.outcome.ok());
        QCOMPARE(saved.entries->size(), read.entries.size());
        for (std::size_t i = 0; i < read.entries.size(); ++i) {
            SiteEntry shown = saved.entries->at(i);
            const SiteEntry& r = read.entries[i];
            QCOMPARE(shown.key, r.key);
            QCOMPARE(shown.nick, r.nick);
            QCOMPARE(shown.crc.text(), r.crc.text());
            QCOMPARE(shown.rdatetime, r.rdatetime);
            QVERIFY2(shown.options == r.options, qPrintable(r.url));
            shown.id = 0;
            QVERIFY2(shown == r, qPrintable(r.url));
        }
        // The next save starts from what the file holds: its unknown content goes where a read put it.
        QVERIFY(!session.changedOnDisk());
        std::vector<SiteEntry> more = *saved.entries;
        more.emplace_back().url = u"u7"_s;
        const SiteListSave again = session.save(path, more, {}, order);
        QVERIFY(again.outcome.ok() && !again.merged);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), siteListBytes(more, read.root));
    }

    // How a page is asked for is an edit; what its server said, a check's result: each side keeps its own.
    void requestEditsAndServerMemory_data() {
        columns<bool>("mineChecks");
        QTest::newRow("the window edits, quovel-check checks") << false;
        QTest::newRow("the window checks, quovel-check edits") << true;
    }
    void requestEditsAndServerMemory() {
        QFETCH(bool, mineChecks);
        const std::vector<SiteEntry> base = sites(u"a:u1:1:d"_s);
        std::vector<SiteEntry> edited = sites(u"1=a:u1:1:d"_s);
        edited[0].options.edit().userAgent = u"Mio/1"_s;
        edited[0].options.edit().headers = {u"Accept-Language: it"_s};
        edited[0].options.edit().minInterval = 3600;
        std::vector<SiteEntry> checked = sites(u"1=a:u1:7:d"_s);
        checked[0].options.edit().server.etag = "\"v2\"";
        checked[0].options.edit().failures = 0;
        const std::vector<SiteEntry>& mine = mineChecks ? checked : edited;
        const std::vector<SiteEntry>& theirs = mineChecks ? edited : checked;
        const SiteListMerge m =
            mergeSiteLists(base, mine, theirs, mineChecks ? QSet<quint64>{1} : QSet<quint64>{}, MergeOrder::Mine);
        const SiteOptions& o = m.entries.at(0).options;
        QCOMPARE(o.userAgent, u"Mio/1"_s);
        QCOMPARE(o.headers, QStringList{u"Accept-Language: it"_s});
        QCOMPARE(o.minInterval, 3600);
        QCOMPARE(o.server.etag, QByteArray("\"v2\""));
        QCOMPARE(m.entries.at(0).crc.text(), u"7"_s);
    }
};

QTEST_APPLESS_MAIN(TestSiteListMerge)
#include "tst_sitelistmerge.moc"
