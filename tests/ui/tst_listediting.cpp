#include "core/SiteList.h"
#include "support/DataRows.h"
#include "support/ScriptedPrompter.h"
#include "ui/ListEditing.h"
#include "ui/frmDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The list before a command: "url|crc|description" entries joined by ';', all marked "   =" by an earlier
// check; '*' before the selected entry, '!' at the start when the list has unsaved changes.
static void fillList(SiteList& list, QString entries) {
    list.setModified(entries.startsWith(u'!'));
    for (const QString& e : entries.remove(u'!').split(u';', Qt::SkipEmptyParts)) {
        const QStringList f = QString(e).remove(u'*').split(u'|');
        QVERIFY(list.add(SiteList::keyFromUrl(f[0]), f[0]));
        const int row = list.count() - 1;
        list.setField(row, SiteList::Field::Crc, f[1]);
        list.setField(row, SiteList::Field::Res, ResultMarker::kEqual);
        list.setField(row, SiteList::Field::Descrizione, f.value(2));
        if (e.startsWith(u'*'))
            list.setSelectedRow(row);
    }
}

static QString listText(const SiteList& list) {
    QStringList rows;
    for (const SiteEntry& e : list.entries())
        rows << QStringList{e.url, e.crc.text(), e.res, e.nick, e.descrizione}.join(u'|');
    return rows.join(u';');
}

// The entry dialog's Dirty and typing rules, and the list-editing commands run through a scripted dialog.
class TestListEditing : public QObject {
    Q_OBJECT
private slots:
    void dirty_data() {
        // box: 0 URL, 1 nick, 2 description; key: negative when only released; result: -1 while still open
        columns<int, int, QString, bool, int>("box", "key", "then", "dirty", "result");
        // clang-format off
        QTest::newRow("filled only") << 0 << 0 << QString() << false << -1;
        QTest::newRow("letter in nick") << 1 << int(Qt::Key_X) << QString() << true << -1;
        QTest::newRow("backspace in url") << 0 << int(Qt::Key_Backspace) << QString() << true << -1;
        QTest::newRow("delete is no character") << 0 << int(Qt::Key_Delete) << QString() << false << -1;
        QTest::newRow("release in description") << 2 << -int(Qt::Key_Shift) << QString() << true << -1;
        QTest::newRow("typed then Annulla") << 1 << int(Qt::Key_X) << "cancel" << false << 0;
        QTest::newRow("typed then close box") << 1 << int(Qt::Key_X) << "close" << false << 0;
        QTest::newRow("enter presses OK") << 2 << int(Qt::Key_Return) << QString() << true << 1;
        QTest::newRow("esc presses Annulla") << 1 << int(Qt::Key_Escape) << QString() << false << 0;
        // clang-format on
    }

    void dirty() {
        const auto [box, key, then, dirty, result] =
            fetch<int, int, QString, bool, int>("box", "key", "then", "dirty", "result");
        frmDialog dialog;
        dialog.fill(QStringLiteral("http://a.it"), QStringLiteral("a"), QStringLiteral("b"));
        dialog.show();
        QLineEdit* boxes[] = {dialog.txtNewURL(), dialog.txtNick(), dialog.txtDescrizione()};
        if (key < 0)
            QTest::keyRelease(boxes[box], Qt::Key(-key));
        else if (key != 0)
            QTest::keyClick(boxes[box], Qt::Key(key));
        if (then == QLatin1String("cancel"))
            QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        else if (then == QLatin1String("close"))
            dialog.close();
        QCOMPARE(dialog.Dirty(), dirty);
        QCOMPARE(dialog.isVisible(), result < 0);
        if (result >= 0) {
            QCOMPARE(dialog.result(), result);
            QCOMPARE(dialog.url(), QStringLiteral("http://a.it")); // hiding keeps the texts readable
        }
    }

    void descriptionLimit() {
        frmDialog dialog;
        dialog.fill({}, {}, QString(113, u'd'));
        QTest::keyClicks(dialog.txtDescrizione(), QStringLiteral("abc"));
        QCOMPARE(dialog.descrizione().size(), 115);
        // A longer text the program puts in is kept whole; typing cannot grow it, deleting can shorten it.
        dialog.fill({}, {}, QString(200, u'd'));
        QTest::keyClick(dialog.txtDescrizione(), Qt::Key_X);
        QCOMPARE(dialog.descrizione().size(), 200);
        QTest::keyClick(dialog.txtDescrizione(), Qt::Key_Backspace);
        QCOMPARE(dialog.descrizione().size(), 199);
    }

    void commands_data() {
        // command: "paste" is followed by the clipboard's text
        // person: "typed URL ('-' none)|typed nick|ok, cancel, or ok after a load"
        // after: the list's entries as "url|crc|res|nick|description", or "=" unchanged
        // shown: "title: text" of a message, or the clipboard after a copy
        columns<QString, QString, QString, QString, QString, bool>("before", "command", "person", "after", "shown",
                                                                   "modified");
        const QString ab = QStringLiteral("http://www.a.it|11|da;*http://b.it|22|db");
        const QString a = QStringLiteral("http://www.a.it|11|   =||da;");
        const QString b = QStringLiteral("http://b.it|22|   =||db");
        const QString ask = QStringLiteral("Conferma eliminazione.: Vuoi davvero eliminare l'indirizzo:\r\n");
        const QString noSelection =
            QStringLiteral("Error: Missing URL.: Seleziona prima l'indirizzo che intendi modificare!");
        const QString duplicate =
            QStringLiteral("Attenzione: URL duplicato.: Questo indirizzo appartiene già alla lista!");
        const QString longText = QString(140, u'd');
        // clang-format off
        QTest::newRow("add")                 << ab       << "add"    << "https://www.c.it/ X|C|ok" << a + b + u";https://www.c.it/ X|0||C|" << ""        << true;
        QTest::newRow("add duplicate")       << ab       << "add"    << "www.a.it||ok"   << "="                          << duplicate                           << false;
        QTest::newRow("add cancelled, flag kept") << u'!' + ab << "add" << "c.it||cancel" << "="                        << ""                                  << true;
        QTest::newRow("paste one line")      << ab << "paste http://d.it\r\n" << "-||ok" << a + b + u";http://d.it|0|||" << ""                                  << true;
        QTest::newRow("paste cancelled")     << ab       << "paste http://d.it" << "-||cancel" << "="                    << ""                                  << false;
        QTest::newRow("paste two lines")     << ab       << "paste d\ne" << "-||ok"          << "="                      << ""                                  << false;
        QTest::newRow("modify case only")    << ab       << "modify" << "HTTP://B.IT||ok"    << a + u"HTTP://B.IT|22|||db" << ""                                << true;
        QTest::newRow("modify url")          << ab       << "modify" << "http://b.it/x||ok"  << a + u"http://b.it/x|0|||db" << ""                               << true;
        QTest::newRow("modify nick, long description kept") << u"*http://b.it|22|" + longText << "modify" << "-|N|ok" << u"http://b.it|22||N|" + longText << "" << true;
        QTest::newRow("modify cancelled, flag kept") << u'!' + ab << "modify" << "z||cancel" << "="                    << ""                                  << true;
        QTest::newRow("modify entry gone")   << ab       << "modify" << "z||load"            << ""                       << ""                                  << false;
        QTest::newRow("modify no selection") << "a.it|1|" << "modify" << "z||ok"             << "="                      << noSelection                         << false;
        QTest::newRow("modify empty key")    << "*http://www.|5|" << "modify" << "http://www.e.it||ok" << "http://www.e.it|0|||" << ""                     << true;
        QTest::newRow("delete no")           << ab       << "delete" << "-||cancel"          << "="                      << ask + u"http://b.it\r\ndall'elenco?" << false;
        QTest::newRow("delete yes")          << ab       << "delete" << "-||ok"              << a.chopped(1)             << ask + u"http://b.it\r\ndall'elenco?" << true;
        QTest::newRow("delete empty key") << "*http://www.|5|;http://b.it|22|db" << "delete" << "-||ok" << b            << ask + u"http://www.\r\ndall'elenco?" << true;
        QTest::newRow("copy")                << ab       << "copy"   << "-||ok"              << "="                      << "http://b.it"                       << false;
        QTest::newRow("copy empty key")      << "*http://www.|5|" << "copy" << "-||ok"       << "="                      << "http://www."                       << false;
        // clang-format on
    }

    void commands() {
        const auto [before, command, person, after, shown, modified] =
            fetch<QString, QString, QString, QString, QString, bool>("before", "command", "person", "after",
                                                                     "shown", "modified");
        SiteList list;
        fillList(list, before);
        const QString unchanged = listText(list);
        const QStringList does = person.split(u'|');
        QApplication::clipboard()->setText(command.section(u' ', 1));
        ScriptedPrompter prompter;
        prompter.answers << (does[2] != u"cancel");
        QWidget owner;
        ListEditing editing(list, prompter, &owner, [&](frmDialog& dialog) {
            dialog.show();
            if (does[0] != u"-") {
                dialog.txtNewURL()->selectAll();
                QTest::keyClicks(dialog.txtNewURL(), does[0]);
            }
            QTest::keyClicks(dialog.txtNick(), does[1]);
            if (does[2] == u"load")
                list.clear();
            QTest::mouseClick(does[2] == u"cancel" ? dialog.CancelButton() : dialog.OKButton(), Qt::LeftButton);
        });
        const QHash<QString, void (ListEditing::*)()> commands = {
            {QStringLiteral("add"), &ListEditing::addURL},
            {QStringLiteral("paste"), &ListEditing::pasteURL},
            {QStringLiteral("modify"), &ListEditing::modifyURL},
            {QStringLiteral("delete"), &ListEditing::deleteURL},
            {QStringLiteral("copy"), &ListEditing::copyURL}};
        (editing.*commands.value(command.section(u' ', 0, 0)))();
        QCOMPARE(listText(list), after == u"=" ? unchanged : after);
        if (command == u"copy")
            QCOMPARE(QApplication::clipboard()->text(), shown);
        else
            QCOMPARE(prompter.shown.isEmpty() ? QString()
                                              : prompter.shown[0].title + u": " + prompter.shown[0].text,
                     shown);
        QCOMPARE(list.isModified(), modified);
    }
};

QTEST_MAIN(TestListEditing)
#include "tst_listediting.moc"
