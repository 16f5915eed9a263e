#include "support/DataRows.h"
#include "support/ScriptedPrompter.h"
#include "winsupport/CommonDialog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;
namespace {
const QString kListFilter = QStringLiteral("XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl");
}

class TestCommonDialog : public QObject {
    Q_OBJECT
private slots:
    void filters_data() {
        columns<QString, int, QStringList, int>("filter", "filterIndex", "names", "selected");
        // clang-format off
        const QStringList list{u"XML files (*.xml)"_s, u"Quovel files (*.qvl)"_s};
        QTest::newRow("index 0: first") << kListFilter << 0 << list << 0;
        QTest::newRow("index 1: first") << kListFilter << 1 << list << 0;
        QTest::newRow("index 2: second") << kListFilter << 2 << list << 1;
        QTest::newRow("index past the end: first") << kListFilter << 3 << list << 0;
        QTest::newRow("description without pattern") << "Text|*.txt" << 0 << QStringList{u"Text (*.txt)"_s} << 0;
        QTest::newRow("several patterns, every file") << "Lists (*.xml;*.qvl)|*.xml;*.qvl|All files (*.*)|*.*" << 2
            << QStringList{u"Lists (*.xml *.qvl)"_s, u"All files (*)"_s} << 1;
        QTest::newRow("dangling description") << "Text|*.txt|Orphan" << 0 << QStringList{u"Text (*.txt)"_s} << 0;
        QTest::newRow("no filter") << "" << 0 << QStringList{} << 0;
    }
    // clang-format on

    void filters() {
        const auto [filter, filterIndex] = fetch<QString, int>("filter", "filterIndex");
        ScriptedPrompter prompter;
        QWidget owner;
        CommonDialog dialog(prompter, QStringLiteral("/srv/last"));
        dialog.setFilter(filter);
        dialog.setFilterIndex(filterIndex);
        dialog.setHOwner(&owner);
        dialog.setDialogTitle(QStringLiteral("Caricamento"));
        QVERIFY(dialog.ShowOpen().ok());
        QCOMPARE(prompter.files.size(), 1);
        QTEST(prompter.files.first().nameFilters(), "names");
        QTEST(prompter.files.first().filterIndex, "selected");
        // With InitDir empty the dialog starts in the caller's folder; the owner and title go along.
        const Prompter::FileRequest& sent = prompter.files.first();
        QVERIFY(sent.initialDir == u"/srv/last" && sent.owner == &owner && sent.title == u"Caricamento");
    }

    void fileChoice_data() {
        // chosen: in a folder holding "exists", empty to cancel; fileTitle: empty when FileName and FileTitle stay
        columns<bool, QString, QString, bool, int, QString>("save", "defaultExt", "chosen", "cancelError", "error",
                                                            "fileTitle");
        // clang-format off
        QTest::newRow("save gets the extension") << true << "*.qvl" << "list" << false << 0 << "list.qvl";
        QTest::newRow("typed extension kept") << true << "*.qvl" << "list.xml" << false << 0 << "list.xml";
        QTest::newRow("dotted default extension") << true << ".xml" << "list" << false << 0 << "list.xml";
        QTest::newRow("no default extension") << true << "" << "list" << false << 0 << "list";
        QTest::newRow("open gets the extension") << false << "*.qvl" << "list" << false << 0 << "list.qvl";
        QTest::newRow("open of a file so named") << false << "*.qvl" << "exists" << false << 0 << "exists";
        QTest::newRow("choice with CancelError") << false << "" << "list.xml" << true << 0 << "list.xml";
        QTest::newRow("cancel") << true << "*.qvl" << "" << false << 0 << "";
        QTest::newRow("cancel with CancelError") << false << "*.qvl" << "" << true << CommonDialog::kCancelError << "";
    }
    // clang-format on

    void fileChoice() {
        const auto [save, defaultExt, chosen, cancelError, fileTitle] =
            fetch<bool, QString, QString, bool, QString>("save", "defaultExt", "chosen", "cancelError",
                                                         "fileTitle");
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
        const CommonDialog::Result outcome = save ? dialog.ShowSave() : dialog.ShowOpen();
        QTEST(outcome.errorNumber, "error");
        QCOMPARE(dialog.FileTitle(), fileTitle.isEmpty() ? QStringLiteral("before") : fileTitle);
        QCOMPARE(dialog.FileName(), fileTitle.isEmpty() ? QStringLiteral("before") : dir.filePath(fileTitle));
    }

    void iconSizeAndFlags_data() {
        // iconSize: -1 when never set; sentFlags: what the file dialog gets
        columns<int, int, quint32, quint32>("iconSize", "iconRead", "flags", "sentFlags");
        // clang-format off
        QTest::newRow("never set, hook bits") << -1 << 32 << 0xE4u << 0x04u;
        QTest::newRow("16, overwrite question") << 16 << 16 << 0x2u << 0x2u;
        QTest::newRow("32, every bit") << 32 << 32 << 0xFFFFFFFFu << 0xFFFFFF1Fu;
        QTest::newRow("24") << 24 << 32 << 0x40u << 0u;
        QTest::newRow("0") << 0 << 32 << 0u << 0u;
    }
    // clang-format on

    void iconSizeAndFlags() {
        const auto [iconSize, flags] = fetch<int, quint32>("iconSize", "flags");
        ScriptedPrompter prompter;
        CommonDialog dialog(prompter);
        if (iconSize >= 0)
            dialog.setIconSize(iconSize);
        dialog.setFlags(flags);
        dialog.setInitDir(QStringLiteral("/srv/init"));
        QVERIFY(dialog.ShowSave().ok());
        QCOMPARE(prompter.files.first().initialDir, QStringLiteral("/srv/init"));
        QTEST(dialog.IconSize(), "iconRead");
        QTEST(prompter.files.first().flags, "sentFlags");
        QCOMPARE(dialog.flags(), flags); // the other dialogs take their own bits
    }
};

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
