#include "core/SiteList.h"
#include "support/ScriptedPrompter.h"
#include "ui/ListEditing.h"
#include "ui/frmDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The entry dialog's Dirty and typing rules, and the list-editing commands run through a scripted dialog.
class TestListEditing : public QObject {
    Q_OBJECT
private slots:
    void dirty_data();
    void dirty();
    void descriptionLimit_data();
    void descriptionLimit();
    void commands_data();
    void commands();
};

void TestListEditing::dirty_data() {
    QTest::addColumn<int>("box"); // 0 URL, 1 nick, 2 description
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("releaseOnly");
    QTest::addColumn<QString>("then");
    QTest::addColumn<bool>("dirty");
    QTest::addColumn<int>("result"); // -1: still open
    QTest::newRow("filled only") << 0 << 0 << false << QString() << false << -1;
    QTest::newRow("letter in nick") << 1 << int(Qt::Key_X) << false << QString() << true << -1;
    QTest::newRow("backspace in url") << 0 << int(Qt::Key_Backspace) << false << QString() << true << -1;
    QTest::newRow("delete is no character") << 0 << int(Qt::Key_Delete) << false << QString() << false << -1;
    QTest::newRow("release in description") << 2 << int(Qt::Key_Shift) << true << QString() << true << -1;
    QTest::newRow("release in nick") << 1 << int(Qt::Key_Shift) << true << QString() << false << -1;
    QTest::newRow("typed then Annulla") << 1 << int(Qt::Key_X) << false << "cancel" << false << 0;
    QTest::newRow("typed then close box") << 1 << int(Qt::Key_X) << false << "close" << false << 0;
    QTest::newRow("typed then OK") << 1 << int(Qt::Key_X) << false << "ok" << true << 1;
    QTest::newRow("enter presses OK") << 2 << int(Qt::Key_Return) << false << QString() << true << 1;
    QTest::newRow("esc presses Annulla") << 1 << int(Qt::Key_Escape) << false << QString() << false << 0;
}

void TestListEditing::dirty() {
    QFETCH(int, box);
    QFETCH(int, key);
    QFETCH(bool, releaseOnly);
    QFETCH(QString, then);
    QFETCH(bool, dirty);
    QFETCH(int, result);
    frmDialog dialog;
    dialog.fill(QStringLiteral("http://a.it"), QStringLiteral("a"), QStringLiteral("b"));
    dialog.show();
    QLineEdit* boxes[] = {dialog.txtNewURL(), dialog.txtNick(), dialog.txtDescrizione()};
    if (releaseOnly)
        QTest::keyRelease(boxes[box], Qt::Key(key));
    else if (key != 0)
        QTest::keyClick(boxes[box], Qt::Key(key));
    if (then == QLatin1String("cancel"))
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    else if (then == QLatin1String("ok"))
        QTest::mouseClick(dialog.OKButton(), Qt::LeftButton);
    else if (then == QLatin1String("close"))
        dialog.close();
    QCOMPARE(dialog.Dirty(), dirty);
    QCOMPARE(dialog.isVisible(), result < 0);
    if (result >= 0) {
        QCOMPARE(dialog.result(), result);
        QCOMPARE(dialog.url(), QStringLiteral("http://a.it")); // hiding keeps the texts readable
    }
}

void TestListEditing::descriptionLimit_data() {
    QTest::addColumn<int>("filled");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("backspace");
    QTest::addColumn<int>("length");
    QTest::newRow("115th taken, 116th refused") << 113 << "abc" << false << 115;
    QTest::newRow("long filled text kept whole") << 200 << QString() << false << 200;
    QTest::newRow("long text refuses typing") << 200 << "x" << false << 200;
    QTest::newRow("long text may shrink") << 200 << QString() << true << 199;
}

void TestListEditing::descriptionLimit() {
    QFETCH(int, filled);
    QFETCH(QString, typed);
    QFETCH(bool, backspace);
    QFETCH(int, length);
    frmDialog dialog;
    dialog.fill({}, {}, QString(filled, u'd'));
    QTest::keyClicks(dialog.txtDescrizione(), typed);
    if (backspace)
        QTest::keyClick(dialog.txtDescrizione(), Qt::Key_Backspace);
    QCOMPARE(dialog.descrizione().size(), length);
}

// A list of "url|crc|description" entries, every one marked "   =" by an earlier check.
static void fillList(SiteList& list, const QString& spec) {
    for (const QString& e : spec.split(u';', Qt::SkipEmptyParts)) {
        const QStringList f = e.split(u'|');
        QVERIFY(list.add(SiteList::keyFromUrl(f[0]), f[0]));
        list.setField(list.count() - 1, SiteList::Field::Crc, f[1]);
        list.setField(list.count() - 1, SiteList::Field::Res, ResultMarker::kEqual);
        list.setField(list.count() - 1, SiteList::Field::Descrizione, f.value(2));
    }
}

static QString listText(const SiteList& list) {
    QStringList rows;
    for (const SiteEntry& e : list.entries())
        rows << QStringList{e.url, e.crc, e.res, e.nick, e.descrizione}.join(u'|');
    return rows.join(u';');
}

void TestListEditing::commands_data() {
    QTest::addColumn<QString>("entries");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typedUrl"); // null: the URL box is left alone; else it is replaced by typing
    QTest::addColumn<QString>("typedNick");
    QTest::addColumn<bool>("ok");            // OK, else Annulla; for delete the answer to the question
    QTest::addColumn<bool>("dropWhileOpen"); // the list is emptied while the dialog is open
    QTest::addColumn<QString>("clipboard");  // before the command
    QTest::addColumn<bool>("modifiedBefore");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("shown"); // "title: text" of the message or question, if any
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("clipboardAfter");
    const QString ab = QStringLiteral("http://www.a.it|11|da;http://b.it|22|db");
    const QString a = QStringLiteral("http://www.a.it|11|   =||da");
    const QString b = QStringLiteral("http://b.it|22|   =||db");
    const QString none;
    QTest::newRow("add") << ab << -1 << "add"
                         << "https://www.c.it/ X"
                         << "C" << true << false << "x" << false << a + u';' + b + u";https://www.c.it/ X|0||C|"
                         << none << true << "x";
    QTest::newRow("add duplicate") << ab << -1 << "add"
                                   << "www.a.it"
                                   << "" << true << false << "x" << false << a + u';' + b
                                   << "Attenzione: URL duplicato.: Questo indirizzo appartiene già alla lista!"
                                   << false << "x";
    QTest::newRow("add cancelled keeps the flag")
        << ab << -1 << "add"
        << "c.it"
        << "" << false << false << "x" << true << a + u';' + b << none << true << "x";
    QTest::newRow("add nothing typed") << ab << -1 << "add" << QString() << "" << true << false << "x" << true
                                       << a + u';' + b << none << true << "x";
    QTest::newRow("paste one line") << ab << -1 << "paste" << QString() << "" << true << false << "http://d.it\r\n"
                                    << false << a + u';' + b + u";http://d.it|0|||" << none << true
                                    << "http://d.it\r\n";
    QTest::newRow("paste cancelled") << ab << -1 << "paste" << QString() << "" << false << false << "http://d.it"
                                     << false << a + u';' + b << none << false << "http://d.it";
    QTest::newRow("paste two lines") << ab << -1 << "paste" << QString() << "" << true << false << "d\ne" << false
                                     << a + u';' + b << none << false << "d\ne";
    QTest::newRow("modify case only") << ab << 0 << "modify"
                                      << "HTTP://WWW.A.IT"
                                      << "" << true << false << "x" << false << u"HTTP://WWW.A.IT|11|||da;" + b
                                      << none << true << "x";
    QTest::newRow("modify url") << ab << 1 << "modify"
                                << "http://b.it/nuova"
                                << "" << true << false << "x" << false << a + u";http://b.it/nuova|0|||db" << none
                                << true << "x";
    QTest::newRow("modify nick, long description kept")
        << QStringLiteral("http://b.it|22|") + QString(140, u'd') << 0 << "modify" << QString() << "N" << true
        << false << "x" << false << QStringLiteral("http://b.it|22||N|") + QString(140, u'd') << none << true
        << "x";
    QTest::newRow("modify cancelled keeps the flag")
        << ab << 0 << "modify"
        << "z"
        << "" << false << false << "x" << true << a + u';' + b << none << true << "x";
    QTest::newRow("modify entry gone") << ab << 0 << "modify"
                                       << "z"
                                       << "" << true << true << "x" << false << "" << none << false << "x";
    QTest::newRow("modify no selection")
        << ab << -1 << "modify"
        << "z"
        << "" << true << false << "x" << false << a + u';' + b
        << "Error: Missing URL.: Seleziona prima l'indirizzo che intendi modificare!" << false << "x";
    QTest::newRow("modify empty key") << "http://www.|5|" << 0 << "modify"
                                      << "http://www.e.it"
                                      << "" << true << false << "x" << false << "http://www.e.it|0|||" << none
                                      << true << "x";
    const QString question = QStringLiteral("Conferma eliminazione.: Vuoi davvero eliminare l'indirizzo:\r\n");
    QTest::newRow("delete no") << ab << 1 << "delete" << QString() << "" << false << false << "x" << false
                               << a + u';' + b << question + u"http://b.it\r\ndall'elenco?" << false << "x";
    QTest::newRow("delete yes") << ab << 1 << "delete" << QString() << "" << true << false << "x" << false << a
                                << question + u"http://b.it\r\ndall'elenco?" << true << "x";
    QTest::newRow("delete empty key") << "http://www.|5|;http://b.it|22|db" << 0 << "delete" << QString() << ""
                                      << true << false << "x" << false << b
                                      << question + u"http://www.\r\ndall'elenco?" << true << "x";
    QTest::newRow("delete no selection") << ab << -1 << "delete" << QString() << "" << true << false << "x"
                                         << false << a + u';' + b << none << false << "x";
    QTest::newRow("copy") << ab << 1 << "copy" << QString() << "" << true << false << "x" << false << a + u';' + b
                          << none << false << "http://b.it";
    QTest::newRow("copy empty key") << "http://www.|5|" << 0 << "copy" << QString() << "" << true << false << "x"
                                    << false << "http://www.|5|   =||" << none << false << "http://www.";
}

void TestListEditing::commands() {
    QFETCH(QString, entries);
    QFETCH(int, selected);
    QFETCH(QString, command);
    QFETCH(QString, typedUrl);
    QFETCH(QString, typedNick);
    QFETCH(bool, ok);
    QFETCH(bool, dropWhileOpen);
    QFETCH(QString, clipboard);
    QFETCH(bool, modifiedBefore);
    QFETCH(QString, result);
    QFETCH(QString, shown);
    QFETCH(bool, modified);
    QFETCH(QString, clipboardAfter);
    SiteList list;
    fillList(list, entries);
    list.setSelectedRow(selected);
    list.setModified(modifiedBefore);
    QApplication::clipboard()->setText(clipboard);
    ScriptedPrompter prompter;
    prompter.answers << ok;
    QWidget owner;
    int runs = 0;
    ListEditing editing(list, prompter, &owner, [&](frmDialog& dialog) {
        ++runs;
        dialog.show();
        if (!typedUrl.isNull()) {
            dialog.txtNewURL()->selectAll();
            QTest::keyClicks(dialog.txtNewURL(), typedUrl);
        }
        QTest::keyClicks(dialog.txtNick(), typedNick);
        if (dropWhileOpen)
            list.clear();
        QTest::mouseClick(ok ? dialog.OKButton() : dialog.CancelButton(), Qt::LeftButton);
    });
    const QHash<QString, void (ListEditing::*)()> commands = {{QStringLiteral("add"), &ListEditing::addURL},
                                                              {QStringLiteral("paste"), &ListEditing::pasteURL},
                                                              {QStringLiteral("modify"), &ListEditing::modifyURL},
                                                              {QStringLiteral("delete"), &ListEditing::deleteURL},
                                                              {QStringLiteral("copy"), &ListEditing::copyURL}};
    (editing.*commands.value(command))();
    QCOMPARE(listText(list), result);
    QCOMPARE(prompter.shown.isEmpty() ? QString() : prompter.shown[0].title + u": " + prompter.shown[0].text,
             shown);
    QCOMPARE(list.isModified(), modified);
    QCOMPARE(QApplication::clipboard()->text(), clipboardAfter);
    QCOMPARE(runs, command == QLatin1String("add") || command == QLatin1String("paste") ||
                       (command == QLatin1String("modify") && selected >= 0));
}

QTEST_MAIN(TestListEditing)
#include "tst_listediting.moc"
