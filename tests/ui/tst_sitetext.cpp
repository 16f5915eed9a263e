#include "core/PageText.h"
#include "core/SiteList.h"
#include "store/PageHistory.h"
#include "store/SiteListFile.h"
#include "support/DataRows.h"
#include "support/ScriptedPrompter.h"
#include "support/World.h"
#include "ui/PlainTextLines.h"
#include "ui/SiteSecrets.h"
#include "ui/SiteTextCommands.h"
#include "ui/frmDiff.h"
#include "ui/frmSiteOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

using namespace Qt::StringLiterals;

namespace {

const QString kUrl = QStringLiteral("http://news.example/");
const QByteArray kPrices =
    "<html><body><h1>Listino</h1><table id=\"listino\"><tr><th>Articolo</th><th>Prezzo</th></tr>"
    "<tr><td>Caff\xc3\xa8</td><td class=\"prezzo\">18,90</td></tr>"
    "<tr><td>T\xc3\xa8</td><td class=\"prezzo\">6,50</td></tr></table></body></html>";
const QDateTime kMonday(QDate(2026, 11, 30), QTime(9, 0));

SiteOptions visitorsIgnored() {
    SiteOptions o;
    o.textMode = true;
    o.ignore = QStringList{QStringLiteral("^Visitatori:")};
    return o;
}

// The character format at a character of a block of the view.
QTextCharFormat formatAt(const QPlainTextEdit* view, int block, int column) {
    QTextCursor cursor(view->document()->findBlockByNumber(block));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column + 1);
    return cursor.charFormat();
}

} // namespace

class TestSiteText : public QObject {
    Q_OBJECT
private slots:
    void viewerMarksWordsAndSkipsIgnoredLines() {
        QTemporaryDir dir;
        PageHistory history(dir.path());
        history.record(kUrl, QStringLiteral("Titolo\nVisitatori: 10\nNotizie\nIl prezzo è 5 euro\nOrari\nFine"),
                       kMonday, 1);
        frmDiff viewer(kUrl, {}, &history, visitorsIgnored());
        auto* view = viewer.findChild<QPlainTextEdit*>(QStringLiteral("txtDiff"));
        auto* count = viewer.findChild<QLabel*>(QStringLiteral("lblConteggio"));
        // One version: a note in the window, nothing to compare.
        QVERIFY(viewer.shownLines().empty() && view->blockCount() == 1);
        QVERIFY(!viewer.findChild<QWidget*>(QStringLiteral("cboPrima"))->isEnabled());

        history.record(
            kUrl, QStringLiteral("Titolo\nVisitatori: 11\nNotizie\nIl prezzo è 7 euro\nOrari\nNuova riga\nFine"),
            kMonday.addDays(1), 2);
        viewer.reload(visitorsIgnored());
        QCOMPARE(count->text(), QStringLiteral("3 righe cambiate (2 ignorate)"));
        const QStringList expected{QStringLiteral("  Titolo"),
                                   QStringLiteral("- Visitatori: 10") + PlainTextLines::kIgnoredLabel,
                                   QStringLiteral("+ Visitatori: 11") + PlainTextLines::kIgnoredLabel,
                                   QStringLiteral("  Notizie"),
                                   QStringLiteral("- Il prezzo è 5 euro"),
                                   QStringLiteral("+ Il prezzo è 7 euro"),
                                   QStringLiteral("  Orari"),
                                   QStringLiteral("+ Nuova riga"),
                                   QStringLiteral("  Fine")};
        QCOMPARE(view->toPlainText().split(u'\n'), expected);
        // The changed word is strong, the rest of its line is not; ignored lines are grey, not red or green.
        for (int block : {4, 5}) {
            QVERIFY(view->document()->findBlockByNumber(block).blockFormat().hasProperty(
                QTextFormat::BackgroundBrush));
            QCOMPARE(formatAt(view, block, 14).fontWeight(), int(QFont::Bold));
            QVERIFY(formatAt(view, block, 2).fontWeight() != int(QFont::Bold));
        }
        QVERIFY(!view->document()->findBlockByNumber(1).blockFormat().hasProperty(QTextFormat::BackgroundBrush));
        QCOMPARE(formatAt(view, 1, 3).foreground().color(), formatAt(view, 2, 3).foreground().color());
        QVERIFY(formatAt(view, 1, 3).foreground().color() != formatAt(view, 0, 3).foreground().color());

        // Opened at the first change, never at an ignored one; the moves go by runs of changed lines.
        QCOMPARE(view->textCursor().blockNumber(), 4);
        QVERIFY(viewer.nextChange());
        QCOMPARE(view->textCursor().blockNumber(), 7);
        QVERIFY(!viewer.nextChange());
        QVERIFY(viewer.previousChange());
        QVERIFY(!viewer.previousChange());
        QCOMPARE(view->textCursor().blockNumber(), 4);

        viewer.findChild<QCheckBox*>(QStringLiteral("chkAggiunte"))->setChecked(true);
        QCOMPARE(
            view->toPlainText().split(u'\n'),
            (QStringList{QStringLiteral("+     2  Visitatori: 11") + PlainTextLines::kIgnoredLabel,
                         QStringLiteral("+     4  Il prezzo è 7 euro"), QStringLiteral("+     6  Nuova riga")}));
        QCOMPARE(count->text(), QStringLiteral("2 righe aggiunte (1 ignorata)"));
    }

    void invalidRuleMarkedAndNotSaved() {
        QTemporaryDir dir;
        PageHistory history(dir.path());
        history.record(kUrl, QStringLiteral("Visitatori: 3\nNotizie\nCopyright"), kMonday, 42);
        SiteList list;
        list.add(QStringLiteral("n"), kUrl);
        list.setField(0, SiteList::Field::Crc, QStringLiteral("42"));
        list.setSelectedRow(0);
        ScriptedPrompter prompter;
        SiteSecrets secrets(SecretStore(dir.filePath(u"secrets.json"_s)), list, prompter, nullptr, {});
        bool accept = true;
        QList<int> invalid;
        QString preview;
        SiteTextCommands commands(list, &history, secrets, {}, prompter, nullptr, [&](frmSiteOptions& dialog) {
            dialog.findChild<QCheckBox*>(QStringLiteral("chkTesto"))->setChecked(true);
            dialog.findChild<QPlainTextEdit*>(QStringLiteral("txtRegole"))
                ->setPlainText(QStringLiteral("^Visitatori:\n([\n^Copy"));
            invalid = dialog.invalidRuleLines();
            auto* view = dialog.findChild<QPlainTextEdit*>(QStringLiteral("txtAnteprima"));
            QTRY_VERIFY(view->toPlainText().contains(QStringLiteral("Copyright [ignorata]")));
            preview = view->toPlainText();
            accept ? dialog.accept() : dialog.reject();
        });
        accept = false;
        commands.editSelectedOptions();
        QVERIFY(list.entryAt(0).options->isDefault() && !list.isModified());
        accept = true;
        commands.editSelectedOptions();
        QCOMPARE(invalid, QList<int>{2});
        QCOMPARE(preview, QStringLiteral("Visitatori: 3 [ignorata]\nNotizie\nCopyright [ignorata]"));
        const SiteOptions saved = list.entryAt(0).options;
        QCOMPARE(saved.ignore, (QStringList{QStringLiteral("^Visitatori:"), QStringLiteral("^Copy")}));
        // The body the entry holds is the one the latest text came from: the new rules' baseline is taken now.
        QCOMPARE(saved.textCrc, std::optional<qint32>(TextRules(saved).fingerprint(QStringLiteral("Notizie"))));
        QVERIFY(list.isModified());
    }

    // The selector is refused as it is typed, with its reason and OK disabled; "Anteprima" fetches the page once,
    // as a check asks for it, and the selector is tried on it as it is typed.
    void selectorAsTyped_data() {
        columns<bool, QString, QString, QString, QString>("css", "selector", "refused", "count", "preview");
        QTest::newRow("css class") << true << u"td.prezzo"_s << QString()
                                   << u"2 elementi corrispondono al selettore"_s << u"18,90\n6,50"_s;
        QTest::newRow("xpath with a browser's tbody")
            << false << u"//table[@id='listino']/tbody/tr/td[2]"_s << QString()
            << u"2 elementi corrispondono al selettore"_s << u"18,90\n6,50"_s;
        QTest::newRow("matches nothing")
            << true << u"p.prezzo"_s << QString() << u"0 elementi corrispondono al selettore"_s
            << u"Nessun elemento corrisponde al selettore"_s;
        QTest::newRow("css outside the subset") << true << u"td:hover"_s << u"Selettore non supportato: :hover"_s
                                                << QString() << u"Selettore non supportato: :hover"_s;
        QTest::newRow("xpath that does not compile") << false << u"//td["_s << u"Selettore non supportato: //td["_s
                                                     << QString() << u"Selettore non supportato: //td["_s;
    }
    void selectorAsTyped() {
        const auto [css, selector, refused, count, preview] =
            fetch<bool, QString, QString, QString, QString>("css", "selector", "refused", "count", "preview");
        TestHttpServer server;
        server.setPage(u"/listino"_s, kPrices);
        SiteOptions current;
        current.textMode = true;
        current.headers = QStringList{u"Accept-Language: it"_s};
        current.hasSecrets = true;
        frmSiteOptions dialog(current, {server.url(u"/listino"_s), std::nullopt, {u"Cookie: s=1"_s}});
        dialog.findChild<QComboBox*>(u"cboTipoSelettore"_s)->setCurrentIndex(css ? 1 : 0);
        QTest::keyClicks(dialog.findChild<QLineEdit*>(u"txtSelettore"_s), selector);
        auto* error = dialog.findChild<QLabel*>(u"lblErroreSelettore"_s);
        QCOMPARE(error->text(), refused);
        QCOMPARE(error->isVisibleTo(&dialog), !refused.isEmpty());
        QCOMPARE(dialog.findChild<QPushButton*>(u"cmdOK"_s)->isEnabled(), refused.isEmpty());
        // The preview reads the page it fetched, never the history: the history keeps no markup.
        dialog.findChild<QPushButton*>(u"cmdAnteprima"_s)->click();
        auto* view = dialog.findChild<QPlainTextEdit*>(u"txtAnteprima"_s);
        QTRY_COMPARE(view->toPlainText(), preview);
        QCOMPARE(dialog.findChild<QLabel*>(u"lblCorrispondenze"_s)->text(), count);
        const QList<QByteArray> sent = server.lastHeaders(u"/listino"_s);
        QVERIFY(sent.contains("Accept-Language: it") && sent.contains("Cookie: s=1"));
        QCOMPARE(server.hits(u"/listino"_s), 1);
    }

    void headerLineRefusedAsTyped_data() {
        columns<QString, QString, QString>("box", "line", "reason");
        QTest::newRow("managed by the fetcher") << u"txtIntestazioni"_s << u"Host: example.org"_s
                                                << u"Riga 1: L'intestazione Host la scrive il programma stesso."_s;
        QTest::newRow("no colon") << u"txtIntestazioni"_s << u"Accept-Language it"_s
                                  << u"Riga 1: Scrivere l'intestazione come «Nome: valore»."_s;
        QTest::newRow("a secret among the headers")
            << u"txtIntestazioni"_s << u"Cookie: a=1"_s
            << u"Riga 1: Cookie e Authorization vanno tra le intestazioni segrete."_s;
        QTest::newRow("no secret among the secrets")
            << u"txtSegrete"_s << u"Accept-Language: it"_s << u"Riga 1: Qui vanno solo Cookie e Authorization."_s;
        QTest::newRow("accepted") << u"txtIntestazioni"_s << u"Accept-Language: it"_s << QString();
    }
    void headerLineRefusedAsTyped() {
        const auto [box, line, reason] = fetch<QString, QString, QString>("box", "line", "reason");
        frmSiteOptions dialog{SiteOptions(), SiteOptionsContext()};
        QTest::keyClicks(dialog.findChild<QPlainTextEdit*>(box), line);
        auto* report =
            dialog.findChild<QLabel*>(box == u"txtSegrete" ? u"lblErroreSegrete"_s : u"lblErroreIntestazioni"_s);
        QCOMPARE(report->text(), reason);
        QCOMPARE(dialog.findChild<QPushButton*>(u"cmdOK"_s)->isEnabled(), reason.isEmpty());
    }

    // Secret lines go to the user's own file and to the run at once, never into the list file; they follow the
    // site's URL when it is edited.
    void secretsKeptApartAndFollowTheUrl() {
        World w;
        QTemporaryDir dir;
        w.add(u"s"_s, u"/fixed"_s);
        w.list.setSelectedRow(0);
        ScriptedPrompter prompter;
        SecretStore store(dir.filePath(u"secrets.json"_s));
        SiteSecrets secrets(store, w.list, prompter, nullptr,
                            [&w](const SecretHeaders& all) { w.run.setSecrets(all); });
        SiteTextCommands commands(w.list, nullptr, secrets, {}, prompter, nullptr, [](frmSiteOptions& dialog) {
            QTest::keyClicks(dialog.findChild<QPlainTextEdit*>(u"txtSegrete"_s), u"Cookie: sessione=abc"_s);
            dialog.accept();
        });
        commands.editSelectedOptions();
        QVERIFY(w.list.entryAt(0).options->hasSecrets);
        const QString listPath = dir.filePath(u"lista.qvl"_s);
        QVERIFY(writeSiteListFile(listPath, w.list.entries()).ok());
        QFile list(listPath);
        QVERIFY(list.open(QIODevice::ReadOnly));
        QVERIFY(!list.readAll().contains("sessione"));
        QCOMPARE(store.read().value(w.server.url(u"/fixed"_s)), QStringList{u"Cookie: sessione=abc"_s});

        const QString moved = w.server.url(u"/moved"_s);
        w.server.setPage(u"/moved"_s, "moved");
        w.list.setField(0, SiteList::Field::Url, moved);
        QCOMPARE(store.read(), (SecretHeaders{{moved, {u"Cookie: sessione=abc"_s}}}));
        w.run.CheckSelectedURLs(false);
        QVERIFY(w.waitRuns());
        QVERIFY(w.server.lastHeaders(u"/moved"_s).contains("Cookie: sessione=abc"));
    }

    void rebaselining_data() {
        // what: how the rules change; latest: the stored version ("" none, "cut" cut to size, else its body crc)
        columns<QString, QString, QString, QString>("what", "entryCrc", "latest", "expected");
        QTest::newRow("same rules keep the fingerprint") << u"same"_s << u"7"_s << u"7"_s << u"kept"_s;
        QTest::newRow("new rule, same body: baseline now") << u"rule"_s << u"7"_s << u"7"_s << u"now"_s;
        QTest::newRow("negative crc text") << u"rule"_s << u"-5"_s << u"-5"_s << u"now"_s;
        QTest::newRow("body changed since the text") << u"rule"_s << u"8"_s << u"7"_s << u"none"_s;
        QTest::newRow("no history") << u"rule"_s << u"7"_s << u""_s << u"none"_s;
        QTest::newRow("text cut to size") << u"rule"_s << u"7"_s << u"cut"_s << u"none"_s;
        QTest::newRow("text mode off") << u"off"_s << u"7"_s << u"7"_s << u"none"_s;
        QTest::newRow("new selector: the text was read without it")
            << u"selector"_s << u"7"_s << u"7"_s << u"none"_s;
    }
    void rebaselining() {
        const auto [what, entryCrc, latestCrc, expected] =
            fetch<QString, QString, QString, QString>("what", "entryCrc", "latest", "expected");
        SiteOptions old = visitorsIgnored();
        old.textCrc = 99;
        SiteOptions next = old;
        next.textCrc = 123; // whatever the dialog carried: never taken as it is
        if (what == u"rule")
            next.ignore << QStringLiteral("^Oggi");
        if (what == u"off")
            next.textMode = false;
        if (what == u"selector")
            next.selector = u"//p"_s;
        std::optional<PageVersion> latest;
        if (!latestCrc.isEmpty())
            latest = PageVersion{kMonday, latestCrc == u"cut" ? 7 : latestCrc.toInt(),
                                 QStringLiteral("Visitatori: 1\nOggi piove\nNotizie"), latestCrc == u"cut"};
        const SiteOptions result =
            frmSiteOptions::rebaselined(old, next, StoredCrc::fromText(entryCrc).value(), latest);
        QVERIFY(result.sameRules(next));
        QCOMPARE(result.version, kTextVersion);
        const std::optional<qint32> want = expected == u"kept" ? old.textCrc
                                           : expected == u"now"
                                               ? std::optional<qint32>(TextRules(next).fingerprint(latest->text))
                                               : std::nullopt;
        QCOMPARE(result.textCrc, want);
    }
};

QTEST_MAIN(TestSiteText)
#include "tst_sitetext.moc"
