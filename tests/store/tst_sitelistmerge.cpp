#include "store/SiteListMerge.h"
#include "support/DataRows.h"

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
