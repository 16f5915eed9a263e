#include "core/SiteList.h"
#include "support/DataRows.h"
#include "support/ScriptedPrompter.h"
#include "ui/ImportCommand.h"
#include "ui/ImportPreviewModel.h"
#include "ui/frmImport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The import preview run through File > "Importa…" with a scripted file dialog and a preview answered in place.
class TestImportPreview : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName() : QString();
    }

private slots:
    void preview_data() {
        // folder: the chooser's index; untick: a row to untick, -1 none; answer: "ok", "cancel", "none" (untick
        // all)
        columns<int, int, QString, QString, QString>("folder", "untick", "answer", "shown", "added");
        const QString all = u"https://a.example/ http://c.example/ http://b.example/"_s;
        const QString a = u"https://a.example/|A|Lavoro"_s, c = u"http://c.example/|C|Lavoro / Progetti"_s;
        QTest::newRow("all, OK") << 0 << -1 << u"ok"_s << all
                                 << a + u';' + c + u";http://b.example/|B|Notizie del giorno";
        QTest::newRow("a folder and below, one unticked")
            << 1 << 0 << u"ok"_s << u"https://a.example/ http://c.example/"_s << c;
        QTest::newRow("the inner folder") << 2 << -1 << u"ok"_s << u"http://c.example/"_s << c;
        QTest::newRow("Annulla adds nothing") << 0 << -1 << u"cancel"_s << all << QString();
        QTest::newRow("none ticked: OK is off") << 0 << -1 << u"none"_s << all << QString();
    }

    void preview() {
        const auto [folder, untick, answer, shown, added] =
            fetch<int, int, QString, QString, QString>("folder", "untick", "answer", "shown", "added");
        const QString path = writeFile(u"bookmarks.html"_s, R"(<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p>
            <DT><H3>Lavoro</H3><DL><p><DT><A HREF="https://a.example/">A</A>
              <DT><H3>Progetti</H3><DL><p><DT><A HREF="http://c.example/">C</A></DL><p></DL><p>
            <DT><A HREF="http://b.example/">B</A><DD>Notizie del giorno
            <DT><A HREF="http://old.example/">Old</A><DT><A HREF="ftp://f.example/">F</A></DL>)");
        SiteList list;
        list.add(SiteList::keyFromUrl(u"http://old.example/"_s), u"http://old.example/"_s);
        list.setModified(false);
        ScriptedPrompter prompter;
        prompter.fileNames << path;
        QStringList urls, skipped;
        bool okEnabled = true;
        // Structured bindings are copied in: clang before 16 cannot capture them.
        ImportCommand command(
            list, prompter, nullptr, [&, folder = folder, untick = untick, answer = answer](frmImport& dialog) {
                // Every control is named and has an accessible name.
                QList<QWidget*> controls = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
                for (QPushButton* button : dialog.findChildren<QPushButton*>())
                    controls << button;
                for (QWidget* w : controls) {
                    if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QComboBox*>(w) ||
                        qobject_cast<QPushButton*>(w)) {
                        QVERIFY2(!w->objectName().isEmpty() && !w->accessibleName().isEmpty(),
                                 w->metaObject()->className());
                    }
                }
                dialog.chooseFolder(folder);
                ImportPreviewModel& model = dialog.sites();
                for (int row = 0; row < model.rowCount(); ++row)
                    urls << model.index(row, 0).data().toString();
                skipped = dialog.skippedLines();
                if (untick >= 0)
                    model.setData(model.index(untick, 0), Qt::Unchecked, Qt::CheckStateRole);
                if (answer == u"none")
                    dialog.findChild<QPushButton*>(u"cmdImportTickNone"_s)->click();
                okEnabled = dialog.findChild<QPushButton*>(u"cmdOK"_s)->isEnabled();
                if (answer == u"ok")
                    dialog.accept();
                else
                    dialog.reject();
            });
        command.importSites();
        QCOMPARE(urls.join(u' '), shown);
        if (folder == 0) {
            QCOMPARE(skipped, (QStringList{u"http://old.example/ — già nella lista"_s,
                                           u"ftp://f.example/ — non è un indirizzo http o https"_s}));
        }
        QCOMPARE(okEnabled, answer != u"none");
        QStringList rows;
        for (int row = 1; row < list.count(); ++row) {
            const SiteEntry& e = list.entryAt(row);
            rows << QStringList{e.url, e.nick, e.descrizione}.join(u'|');
        }
        QCOMPARE(rows.join(u';'), added);
        QCOMPARE(list.isModified(), !added.isEmpty());
    }

    void unreadableFile() {
        SiteList list;
        ScriptedPrompter prompter;
        prompter.fileNames << writeFile(u"bad.txt"_s, "http://a.example/\xFF\n");
        bool shown = false;
        ImportCommand command(list, prompter, nullptr, [&shown](frmImport&) { shown = true; });
        command.importSites();
        QVERIFY(!shown);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.front().text, u"Il file non è testo UTF-8."_s);
        QCOMPARE(list.count(), 0);
        QVERIFY(!list.isModified());
    }
};

QTEST_MAIN(TestImportPreview)
#include "tst_importpreview.moc"
