#include "support/ScriptedPrompter.h"
#include "winsupport/CommonDialog.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class TestCommonDialog : public QObject {
    Q_OBJECT
private slots:
    void filters_data();
    void filters();
    void fileChoice_data();
    void fileChoice();
    void request_data();
    void request();
    void iconSize_data();
    void iconSize();
    void actions();
};

using namespace Qt::StringLiterals;

namespace {
const QString kListFilter = QStringLiteral("XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl");
}

void TestCommonDialog::filters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("selected");
    const QStringList list{u"XML files (*.xml)"_s, u"Quovel files (*.qvl)"_s};
    QTest::newRow("index 0: first") << kListFilter << 0 << list << 0;
    QTest::newRow("index 1: first") << kListFilter << 1 << list << 0;
    QTest::newRow("index 2: second") << kListFilter << 2 << list << 1;
    QTest::newRow("index past the end: first") << kListFilter << 3 << list << 0;
    QTest::newRow("description without pattern") << "Text|*.txt" << 0 << QStringList{u"Text (*.txt)"_s} << 0;
    QTest::newRow("several patterns, every file")
        << "Lists (*.xml;*.qvl)|*.xml;*.qvl|All files (*.*)|*.*" << 2
        << QStringList{u"Lists (*.xml *.qvl)"_s, u"All files (*)"_s} << 1;
    QTest::newRow("dangling description") << "Text|*.txt|Orphan" << 0 << QStringList{u"Text (*.txt)"_s} << 0;
    QTest::newRow("no filter") << "" << 0 << QStringList{} << 0;
}

void TestCommonDialog::filters() {
    QFETCH(QString, filter);
    QFETCH(int, filterIndex);
    ScriptedPrompter prompter;
    CommonDialog dialog(prompter);
    dialog.setFilter(filter);
    dialog.setFilterIndex(filterIndex);
    QVERIFY(dialog.ShowOpen().ok());
    QCOMPARE(prompter.files.size(), 1);
    QTEST(prompter.files.first().nameFilters(), "names");
    QTEST(prompter.files.first().filterIndex, "selected");
}

void TestCommonDialog::fileChoice_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("defaultExt");
    QTest::addColumn<QString>("chosen"); // in a folder holding "exists"; empty: cancelled
    QTest::addColumn<bool>("cancelError");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("fileTitle"); // empty: FileName and FileTitle as before
    QTest::newRow("save gets the extension") << true << "*.qvl"
                                             << "list" << false << 0 << "list.qvl";
    QTest::newRow("typed extension kept") << true << "*.qvl"
                                          << "list.xml" << false << 0 << "list.xml";
    QTest::newRow("dotted default extension") << true << ".xml"
                                              << "list" << false << 0 << "list.xml";
    QTest::newRow("no default extension") << true << ""
                                          << "list" << false << 0 << "list";
    QTest::newRow("open gets the extension") << false << "*.qvl"
                                             << "list" << false << 0 << "list.qvl";
    QTest::newRow("open of a file so named") << false << "*.qvl"
                                             << "exists" << false << 0 << "exists";
    QTest::newRow("choice with CancelError") << false << ""
                                             << "list.xml" << true << 0 << "list.xml";
    QTest::newRow("cancel") << true << "*.qvl"
                            << "" << false << 0 << "";
    QTest::newRow("cancel with CancelError") << false << "*.qvl"
                                             << "" << true << CommonDialog::kCancelError << "";
}

void TestCommonDialog::fileChoice() {
    QFETCH(bool, save);
    QFETCH(QString, defaultExt);
    QFETCH(QString, chosen);
    QFETCH(bool, cancelError);
    QFETCH(QString, fileTitle);
    QTemporaryDir dir;
    QFile exists(dir.filePath(QStringLiteral("exists")));
    QVERIFY(exists.open(QIODevice::WriteOnly));
    ScriptedPrompter prompter;
    prompter.fileNames << (chosen.isEmpty() ? QString() : dir.filePath(chosen));
    CommonDialog dialog(prompter);
    dialog.setDefaultExt(defaultExt);
    dialog.setCancelError(cancelError);
    dialog.setFileName(QStringLiteral("before"));
    dialog.setFileTitle(QStringLiteral("before"));
    const Outcome outcome = save ? dialog.ShowSave() : dialog.ShowOpen();
    QTEST(outcome.errorNumber(), "error");
    QCOMPARE(dialog.FileTitle(), fileTitle.isEmpty() ? QStringLiteral("before") : fileTitle);
    QCOMPARE(dialog.FileName(), fileTitle.isEmpty() ? QStringLiteral("before") : dir.filePath(fileTitle));
}

void TestCommonDialog::request_data() {
    QTest::addColumn<QString>("initDir");
    QTest::addColumn<QString>("fallbackDir");
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<QString>("startsIn"); // empty: the documents folder, or home without one
    QTest::addColumn<quint32>("sentFlags");
    QTest::newRow("InitDir first") << "/srv/a"
                                   << "/srv/b" << 0xE4u << "/srv/a" << 0x04u;
    QTest::newRow("then the caller's folder") << ""
                                              << "/srv/b" << 0x2u << "/srv/b" << 0x2u;
    QTest::newRow("then documents") << ""
                                    << "" << 0xFFFFFFFFu << "" << 0xFFFFFF1Fu;
}

void TestCommonDialog::request() {
    QFETCH(QString, initDir);
    QFETCH(QString, fallbackDir);
    QFETCH(quint32, flags);
    QFETCH(QString, startsIn);
    ScriptedPrompter prompter;
    QWidget owner;
    CommonDialog dialog(prompter, fallbackDir);
    dialog.setInitDir(initDir);
    dialog.setFlags(flags);
    dialog.setHOwner(&owner);
    dialog.setDialogTitle(QStringLiteral("Salvataggio"));
    dialog.setFileName(QStringLiteral("elenco.xml"));
    QVERIFY(dialog.ShowSave().ok());
    const Prompter::FileRequest& sent = prompter.files.first();
    if (startsIn.isEmpty()) {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        startsIn = QDir(documents).exists() ? documents : QDir::homePath();
    }
    QCOMPARE(sent.initialDir, startsIn);
    QTEST(sent.flags, "sentFlags");
    QCOMPARE(dialog.flags(), flags);
    QCOMPARE(sent.owner, &owner);
    QCOMPARE(sent.title, QStringLiteral("Salvataggio"));
    QCOMPARE(sent.fileName, QStringLiteral("elenco.xml"));
}

void TestCommonDialog::iconSize_data() {
    QTest::addColumn<int>("set"); // -1: never set
    QTest::addColumn<int>("read");
    QTest::newRow("never set") << -1 << 32;
    QTest::newRow("16") << 16 << 16;
    QTest::newRow("32") << 32 << 32;
    QTest::newRow("24") << 24 << 32;
    QTest::newRow("0") << 0 << 32;
}

void TestCommonDialog::iconSize() {
    QFETCH(int, set);
    ScriptedPrompter prompter;
    CommonDialog dialog(prompter);
    if (set >= 0)
        dialog.setIconSize(set);
    QTEST(dialog.IconSize(), "read");
}

// The shell's dialogs do nothing here and say so; the file dialogs open through the prompter.
void TestCommonDialog::actions() {
    ScriptedPrompter prompter;
    CommonDialog dialog(prompter);
    for (int action : {5, 6, 7, 9, 10, 11, 12, 13, 14})
        QCOMPARE(dialog.setAction(action).errorNumber(), CommonDialog::kNotAvailableError);
    QVERIFY(dialog.setAction(0).ok() && dialog.setAction(15).ok());
    QVERIFY(prompter.files.isEmpty() && prompter.shown.isEmpty());
    QVERIFY(dialog.setAction(1).ok() && dialog.setAction(2).ok());
    QCOMPARE(prompter.files.size(), 2);
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
