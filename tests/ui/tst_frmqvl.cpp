#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/SiteList.h"
#include "core/SiteOptions.h"
#include "schedule/CheckScheduler.h"
#include "schedule/ConnectionState.h"
#include "store/SettingsStore.h"
#include "store/SiteListFile.h"
#include "support/DataRows.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHttpServer.h"
#include "ui/ClockIndicator.h"
#include "ui/FileCommands.h"
#include "ui/ListInteraction.h"
#include "ui/MainMenus.h"
#include "ui/QvlLayout.h"
#include "ui/SiteTextCommands.h"
#include "ui/frmDialog.h"
#include "ui/frmDiff.h"
#include "ui/frmPreferences.h"
#include "ui/frmQVL.h"
#include "ui/frmShowModified.h"
#include "ui/frmSiteOptions.h"
#include "ui/frmSplash.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>
#include <QWindow>

#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

struct SwitchableConnection : ConnectionState {
    bool IsConnected() const override { return online; }
    bool online = true;
};

// A main window over real services: settings in a temporary folder, a real run, a scripted person.
struct World {
    QTemporaryDir dir;
    SettingsStore settings = SettingsStore::atPath(dir.filePath(QStringLiteral("q.ini")));
    SiteList list;
    Clock clock;
    SwitchableConnection connection;
    CheckRun run{list, clock, [this] {
                     return settings.checkOptions();
                 }};
    CheckScheduler scheduler{run, connection, clock};
    ScriptedPrompter prompter;
    std::unique_ptr<frmQVL> window;

    World() {
        window =
            std::make_unique<frmQVL>(frmQVLServices{settings, list, clock, connection, run, scheduler, prompter});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    ~World() {
        scheduler.TimerStop();
        QTRY_VERIFY_WITH_TIMEOUT(!run.isActive(), 10000);
    }
    void add(const QString& nick, const QString& url, const QString& description = {}) {
        list.add(nick.isEmpty() ? QStringLiteral("k%1").arg(list.count()) : nick, url);
        list.setField(list.count() - 1, SiteList::Field::Nick, nick);
        list.setField(list.count() - 1, SiteList::Field::Descrizione, description);
    }
    QString ticks() const {
        QString t;
        for (int i = 0; i < list.count(); ++i)
            t += list.isTicked(i) ? u'1' : u'0';
        return t;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QPoint rowPoint(int row) const {
        QTableView* view = window->listView();
        return QPoint(view->columnViewportPosition(1) + 5, view->rowViewportPosition(row) + 3);
    }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kTwoSites =
    "<?xml version=\"1.0\"?>\r\n<ElencoSiti><sito nick=\"a\"><url>http://a.example/</url><crc>1</crc>"
    "<rdatetime/><descrizione/></sito><sito nick=\"b\"><url>http://b.example/</url><crc>2</crc>"
    "<rdatetime/><descrizione/></sito></ElencoSiti>\r\n";

} // namespace

class TestFrmQVL : public QObject {
    Q_OBJECT
private slots:
    void startsEmptyAndDisarmed() {
        World w;
        QCOMPARE(w.list.count(), 0);
        QVERIFY(w.prompter.files.isEmpty() && w.prompter.shown.isEmpty());
        auto* clock = w.window->findChild<ClockIndicator*>(QStringLiteral("imgClock"));
        QVERIFY(clock);
        QCOMPARE(clock->currentKey(), ClockKey::kDisarmed);
        QCOMPARE(clock->toolTip(), CheckScheduler::kTimerDisabledText);
        QVERIFY(!w.window->menuBar()->actions().contains(w.window->menus()->popup()->menuAction()));
        for (const char* key : {"OPEN", "SAVE", "DELETE", "EDIT", "COPY", "PASTE", "START"}) {
            QAction* button = w.window->menus()->toolbarButton(QString::fromLatin1(key));
            QVERIFY2(button && !button->icon().pixmap(16, 16).isNull(), key); // every picture is in the program
        }
    }

    // Each entry or button is triggered on a list ticked "100" whose first entry is selected, with the computer
    // offline; the row gives what can be seen afterwards: ticks | file dialog | message | exit request | window |
    // modal dialog shown | clipboard.
    void commandWiring_data() {
        columns<QString, QString>("control", "seen");
        // Every control that leads to the same outcome is listed in one row, separated by commas.
        for (auto [controls, seen] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"mnuFile_0,tbToolbar_Open,key Ctrl+O", "100|Caricamento elenco siti da aggiornare|||open||"},
                 {"mnuFile_1,tbToolbar_Save,key Ctrl+S", "100|Salvataggio degli url da verificare|||open||"},
                 {"mnuSelect_0,mnuPopup1_3", "111||||open||"},
                 {"mnuSelect_1,mnuPopup1_4", "000||||open||"},
                 {"mnuSelect_2,mnuPopup1_5", "011||||open||"},
                 {"mnuPopup1_0,tbToolbar_Start,cmdStart,key F5", "100||Error: PC not online.||open||"},
                 {"mnuEdit_0,mnuPopup1_7,mnuEdit_2,mnuPopup1_8,tbToolbar_Edit,tbToolbar_Paste",
                  "100||||open|frmDialog|"},
                 {"mnuEdit_1,mnuPopup1_9,tbToolbar_Delete,key Delete", "100||Conferma eliminazione.||open||"},
                 {"mnuEdit_3,mnuPopup1_10,tbToolbar_Copy,key Ctrl+C", "100||||open||http://x0.example/"},
                 {"mnuFile_4,cmdSetTimer", "100||||open|frmPreferences|"},
                 {"mnuHelp_2", "100||||open|frmSplash|"},
                 {"mnuEdit_6", "100||||open|frmSiteOptions|"},
                 {"mnuPopup1_12", "100|||armed|open||"},
                 {"mnuFile_6,key Ctrl+Q", "100||||closed||"}})
            for (const QString& control : QString::fromLatin1(controls).split(u','))
                QTest::newRow(qPrintable(control)) << control << QString::fromUtf8(seen);
    }
    void commandWiring() {
        const auto [control, seen] = fetch<QString, QString>("control", "seen");
        World w;
        w.connection.online = false;
        for (int i = 0; i < 3; ++i)
            w.add(QStringLiteral("n%1").arg(i), QStringLiteral("http://x%1.example/").arg(i));
        w.list.setTicked(0, true);
        w.window->listInteraction()->selectRow(0);
        QGuiApplication::clipboard()->clear();
        // Whatever modal dialog the command opens is noted and closed, so the test never waits on a person.
        QString modal;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                modal = QString::fromLatin1(dialog->metaObject()->className());
                dialog->close();
            }
        });
        closer.start(10);
        if (control.startsWith(u"key ")) {
            w.window->listView()->setFocus();
            const QKeySequence key(control.mid(4));
            QTest::keyClick(w.window->listView(), key[0].key(), key[0].keyboardModifiers());
        } else if (auto* button = w.window->findChild<QPushButton*>(control)) {
            button->click();
        } else {
            QAction* action = w.window->findChild<QAction*>(control);
            QVERIFY(action);
            action->trigger();
        }
        const QString observed = w.ticks() + u'|' +
                                 (w.prompter.files.isEmpty() ? QString() : w.prompter.files.last().title) + u'|' +
                                 (w.prompter.shown.isEmpty() ? QString() : w.prompter.shown.last().title) + u'|' +
                                 (w.window->exitRequested() ? QStringLiteral("armed") : QString()) + u'|' +
                                 (w.window->isVisible() ? QStringLiteral("open") : QStringLiteral("closed")) +
                                 u'|' + modal + u'|' + QGuiApplication::clipboard()->text();
        QCOMPARE(observed, seen);
        QCOMPARE(w.list.count(), 3);
        QVERIFY(!w.list.isModified());
    }

    // The change viewer: the selected entry's, one per page, gone with the window; with no selection, as Modify.
    void changeViewerOfTheSelection() {
        World w;
        const QString url = QStringLiteral("http://x.example/");
        w.add(QStringLiteral("x"), url);
        for (QvlCommand command : {QvlCommand::ModifyUrl, QvlCommand::ShowDiff, QvlCommand::SiteOptions})
            w.window->runCommand(command);
        QCOMPARE(w.prompter.shown.size(), 3);
        QCOMPARE(w.prompter.shown[1].text, w.prompter.shown[0].text);
        QCOMPARE(w.prompter.shown[2].text, w.prompter.shown[0].text);
        w.window->listInteraction()->selectRow(0);
        w.window->listView()->setFocus();
        QTest::keyClick(w.window->listView(), Qt::Key_D, Qt::ControlModifier);
        QPointer<frmDiff> viewer = w.window->siteText()->viewer(url);
        QVERIFY(viewer && viewer->isVisible());
        w.window->runCommand(QvlCommand::ShowDiff);
        QCOMPARE(w.window->siteText()->viewer(url), viewer.data());
        w.window->close();
        QTRY_VERIFY(viewer.isNull());
    }

    // Open and save: what the person chose, what is on disk before, and what the window shows afterwards.
    void fileCommands_data() {
        // chosen "" cancels the dialog
        columns<bool, QString, QByteArray, bool, QString, QString, int, bool>(
            "save", "chosen", "before", "answer", "message", "caption", "count", "modified");
        const QString load = QStringLiteral("Load error"), quovel = QStringLiteral("Quovel");
        QTest::newRow("open cancelled") << false << "" << QByteArray() << false << "" << quovel << 1 << true;
        QTest::newRow("open malformed")
            << false << "x.qvl" << QByteArray("<ElencoSiti>") << false << load << quovel << 1 << true;
        QTest::newRow("open missing") << false << "none.qvl" << QByteArray() << false << load << quovel << 1
                                      << true;
        QTest::newRow("open") << false << "x.qvl" << kTwoSites << false << ""
                              << "Quovel - x.qvl" << 2 << true;
        QTest::newRow("save cancelled") << true << "" << QByteArray() << false << "" << quovel << 1 << true;
        QTest::newRow("save new") << true << "n.xml" << QByteArray() << false << ""
                                  << "Quovel - n.xml" << 1 << false;
        QTest::newRow("overwrite declined")
            << true << "o.xml" << QByteArray("old") << false << "Conferma sovrascrittura" << quovel << 1 << true;
        QTest::newRow("overwrite") << true << "o.xml" << QByteArray("old") << true << "Conferma sovrascrittura"
                                   << "Quovel - o.xml" << 1 << false;
        QTest::newRow("save fails") << true << "no/such/folder/f.xml" << QByteArray() << false << "Save error"
                                    << quovel << 1 << true;
        // Through a file size limit, as on a full disk: the error names the reason, the old file stays.
        QTest::newRow("save on a full disk")
            << true << "full.xml" << QByteArray("old") << true << "Save error" << quovel << 1 << true;
    }
    void fileCommands() {
        const auto [save, chosen, before, answer, message, caption, count, modified] =
            fetch<bool, QString, QByteArray, bool, QString, QString, int, bool>(
                "save", "chosen", "before", "answer", "message", "caption", "count", "modified");
        World w;
        w.add(QStringLiteral("mine"), QStringLiteral("http://mine.example/"));
        w.list.setModified(true);
        const QString path = chosen.isEmpty() ? QString() : w.path(chosen);
        if (!before.isEmpty())
            writeFile(path, before);
        w.prompter.fileNames << path;
        w.prompter.answers << answer;
        const bool full = chosen == u"full.xml";
        rlimit old{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        if (full) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{64, old.rlim_max};
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        w.window->runCommand(save ? QvlCommand::Save : QvlCommand::Open);
        ::setrlimit(RLIMIT_FSIZE, &old);
        QCOMPARE(w.prompter.shown.isEmpty() ? QString() : w.prompter.shown.last().title, message);
        if (full)
            QVERIFY(w.prompter.shown.last().text.contains(qt_error_string(EFBIG)));
        QCOMPARE(w.window->windowTitle(), caption);
        QCOMPARE(w.list.count(), count);
        QCOMPARE(w.list.isModified(), modified);
        if (save && (!answer || full) && !before.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly) && f.readAll() == before);
        }
        // The dialogs never start in the program's folder: first the documents, then the last list's folder.
        QVERIFY(w.prompter.files.first().initialDir != QDir::currentPath());
        QCOMPARE(w.prompter.files.first().owner, w.window.get());
        if (caption != QLatin1String("Quovel"))
            QCOMPARE(w.window->fileCommands().initialFolder(), QFileInfo(path).absolutePath());
        if (message == QLatin1String("Load error"))
            QVERIFY(!w.prompter.shown.last().detail.isEmpty()); // the reader's reason
        // Save proposes a name, never a folder: the open list's, else "Siti.qvl"; the .qvl filter first.
        w.window->runCommand(QvlCommand::Save);
        const Prompter::FileRequest asked = w.prompter.files.last();
        QCOMPARE(asked.fileName,
                 caption == QLatin1String("Quovel") ? QStringLiteral("Siti.qvl") : QFileInfo(path).fileName());
        QCOMPARE(asked.filterIndex, 1);
        QCOMPARE(asked.suffix(), QStringLiteral("qvl"));
    }

    void closeSequence_data() {
        columns<bool, QString, bool, bool, int>("modified", "how", "answer", "closed", "questions");
        QTest::newRow("clean") << false << "close" << false << true << 0;
        QTest::newRow("kept by No") << true << "close" << false << false << 1;
        QTest::newRow("left by Yes") << true << "close" << true << true << 1;
        QTest::newRow("right press alone") << false << "right" << false << false << 0;
        QTest::newRow("right press after Esci") << false << "esci right" << false << true << 0;
        QTest::newRow("Esci, modified, No") << true << "esci right" << false << false << 1;
    }
    void closeSequence() {
        const auto [modified, how, answer, closed, questions] =
            fetch<bool, QString, bool, bool, int>("modified", "how", "answer", "closed", "questions");
        World w;
        w.add(QStringLiteral("a"), QStringLiteral("http://a.example/"));
        w.list.setModified(modified);
        QVERIFY(w.scheduler.TimerStarted(600).ok());
        w.prompter.answers << answer;
        if (how.startsWith(u"esci"))
            w.window->menus()->popup()->actions().last()->trigger();
        if (how.endsWith(u"right")) {
            QTest::mouseClick(w.window->listView()->viewport(), Qt::RightButton, {}, w.rowPoint(0));
            QCOMPARE(w.window->menus()->popup()->isVisible(), !closed); // the popup shows on the release
            w.window->menus()->popup()->close();
        } else
            w.window->close();
        QCOMPARE(!w.window->isVisible(), closed);
        QCOMPARE(w.prompter.shown.size(), questions);
        // Closing disarms the schedule and stores the placement; staying open changes nothing.
        QCOMPARE(w.scheduler.isArmed(), !closed);
        QCOMPARE(w.settings.get(QStringLiteral("frmQVL"), QStringLiteral("LTWHS"), {}).isEmpty(), !closed);
        QCOMPARE(w.list.isModified(), modified);
    }

    // Alt+letter reaches one entry only: in every menu, the toolbar's and the popup's, in every language.
    void accessKeysAreUnique_data() {
        columns<QString>("language");
        for (const char* code : {"", "it", "en"})
            QTest::newRow(*code ? code : "source") << QString::fromLatin1(code);
    }
    void accessKeysAreUnique() {
        const auto [code] = fetch<QString>("language");
        QTranslator translator;
        if (!code.isEmpty()) {
            QVERIFY(translator.load(QStringLiteral(":/i18n/quovel_%1.qm").arg(code)));
            QCoreApplication::installTranslator(&translator);
        }
        World w;
        QCoreApplication::removeTranslator(&translator);
        QList<QList<QAction*>> groups{w.window->menuBar()->actions(), w.window->menus()->toolbar()->actions()};
        for (QMenu* menu : w.window->findChildren<QMenu*>())
            groups << menu->actions();
        QVERIFY(groups.size() >= 2 + 5);
        for (const QList<QAction*>& group : groups) {
            QHash<QChar, QString> taken;
            for (const QAction* action : group) {
                const QString text = action->text();
                QVERIFY(action->isSeparator() || !text.isEmpty());
                const qsizetype amp = text.indexOf(u'&');
                if (amp < 0 || amp + 1 >= text.size())
                    continue;
                const QChar key = text.at(amp + 1).toUpper();
                QVERIFY2(!taken.contains(key), qPrintable(taken.value(key) + u'/' + text));
                taken.insert(key, text);
            }
        }
    }

    // To assistive technology every window is a window or dialog with a name, and every control has a name.
    void everyWindowAndControlIsNamed() {
        World w;
        w.add(QStringLiteral("a"), QStringLiteral("http://a.example/"));
        QPointer<frmShowModified> results;
        CheckRunReport report;
        report.outcome = Outcome::success();
        report.changed << QStringLiteral("http://a.example/");
        frmShowModified::showReport(results, report, w.window.get());
        QVERIFY(results && !results->isModal());
        const std::unique_ptr<QWidget> windows[] = {
            std::make_unique<frmDialog>(w.window.get()),
            std::make_unique<frmPreferences>(1, QStringLiteral("15"), w.prompter, w.window.get()),
            std::make_unique<frmSiteOptions>(SiteOptions(), SiteOptionsContext(), w.window.get()),
            std::make_unique<frmDiff>(QStringLiteral("http://a.example/"), QString(), nullptr, SiteOptions(),
                                      w.window.get()),
            std::make_unique<frmSplash>(w.window.get())};
        QList<QWidget*> all{w.window.get(), results.data()};
        for (const auto& window : windows)
            all << window.get();
        for (QWidget* window : all) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window);
            QVERIFY(face);
            QVERIFY2(QList<QAccessible::Role>({QAccessible::Window, QAccessible::Dialog}).contains(face->role()),
                     qPrintable(window->objectName()));
            QVERIFY2(!face->text(QAccessible::Name).isEmpty(), qPrintable(window->objectName()));
            for (QWidget* control : window->findChildren<QWidget*>()) {
                if (control->window() != window || control->focusPolicy() == Qt::NoFocus ||
                    !control->isVisibleTo(window))
                    continue;
                QAccessibleInterface* part = QAccessible::queryAccessibleInterface(control);
                QVERIFY2(part && !part->text(QAccessible::Name).isEmpty(),
                         qPrintable(window->objectName() + u'/' + control->objectName() + u'/' +
                                    QString::fromLatin1(control->metaObject()->className())));
            }
        }
        results->close();
    }

    // Space ticks the selected row whatever cell is the current one.
    void spaceTicksTheRow_data() {
        columns<int>("column");
        for (int column = 0; column < SiteList::ColumnCount; ++column)
            QTest::addRow("column %d", column) << column;
    }
    void spaceTicksTheRow() {
        const auto [column] = fetch<int>("column");
        World w;
        w.add(QStringLiteral("a"), QStringLiteral("http://a.example/"));
        w.add(QStringLiteral("b"), QStringLiteral("http://b.example/"));
        QTableView* view = w.window->listView();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(1, column));
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(w.ticks(), QStringLiteral("01"));
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(w.ticks(), QStringLiteral("00"));
    }

    void layoutClamps() {
        const QvlLayout roomy = QvlLayout::forWindow(9000, 6000, 975);
        QVERIFY(roomy.listWidth > 500 && roomy.listHeight > 520);
        QCOMPARE(QvlLayout::forWindow(1200, 6000, 975).listWidth, 500);
        QCOMPARE(QvlLayout::forWindow(9000, 1900, 975).listHeight, 520);
        QCOMPARE(QvlLayout::forWindow(9000, 2000, 975).listHeight, 500);
    }

    // The frame can be dragged between the two bounds; maximized, the window still fills the screen.
    void sizeBoundsHoldExceptMaximized() {
        World w;
        const QMargins m = w.window->windowHandle()->frameMargins();
        const QSize frame(m.left() + m.right(), m.top() + m.bottom()); // the bounds are for the whole window
        QCOMPARE(w.window->minimumSize() + frame, frmQVL::kMinTrackSize);
        QCOMPARE(w.window->maximumSize() + frame, frmQVL::kMaxTrackSize);
        w.window->showMaximized();
        QVERIFY(w.window->maximumWidth() > 10000);
        w.window->showNormal();
        QCOMPARE(w.window->maximumSize() + frame, frmQVL::kMaxTrackSize);
    }

    void hoverTipAndSelection() {
        World w;
        w.add(QStringLiteral("Uno"), QStringLiteral("http://uno.example/"),
              QStringLiteral("<b>non grassetto</b>"));
        w.add(QString(), QStringLiteral("http://due.example/"));
        ListInteraction* hover = w.window->listInteraction();
        QSignalSpy rebuilt(hover, &ListInteraction::tipRebuilt);
        QSignalSpy destroyed(hover, &ListInteraction::tipDestroyed);
        QWidget* viewport = w.window->listView()->viewport();
        QTest::mouseMove(viewport, QPoint(7, viewport->height() - 7)); // from wherever the pointer was
        QTest::mouseMove(viewport, w.rowPoint(0));
        QTest::mouseMove(viewport, w.rowPoint(0) + QPoint(20, 1));
        QCOMPARE(rebuilt.size(), 1);
        QCOMPARE(rebuilt.at(0), (QVariantList{QStringLiteral("Uno"),
                                              QStringLiteral("http://uno.example/\r\n<b>non grassetto</b>")}));
        QTRY_COMPARE(w.list.selectedRow(), 0);
        QTest::mouseMove(viewport, w.rowPoint(1));
        QCOMPARE(rebuilt.last(), (QVariantList{QString(), QStringLiteral("http://due.example/")}));
        QTRY_COMPARE(w.window->listView()->currentIndex().row(), 1);
        // The window's tip carries the texts as plain text.
        QCOMPARE(w.window->hoverTip().Title(), QString());
        QCOMPARE(w.window->hoverTip().TipText(), QStringLiteral("http://due.example/"));
        QVERIFY(w.window->hoverTip().window());
        QTest::mouseMove(viewport, QPoint(5, viewport->height() - 3));
        QCOMPARE(destroyed.size(), 1);
        QVERIFY(!w.window->hoverTip().window());
        QCOMPARE(hover->hoveredRow(), 0);
    }

    void sortToggleKeepsTheSelectedEntry() {
        World w;
        for (const char* url : {"http://b/", "http://c/", "http://a/"})
            w.add({}, QString::fromLatin1(url));
        w.window->listInteraction()->selectRow(0); // b
        const quint64 id = w.list.entryAt(0).id;
        w.window->listInteraction()->headerClicked(0);
        QCOMPARE(w.list.entryAt(0).url, QStringLiteral("http://c/"));
        w.window->listInteraction()->headerClicked(2); // another column: ascending now
        w.window->listInteraction()->headerClicked(0);
        QCOMPARE(w.list.entryAt(0).url, QStringLiteral("http://c/"));
        QCOMPARE(w.list.entryAt(w.list.selectedRow()).id, id);
        QCOMPARE(w.window->listView()->currentIndex().row(), w.list.selectedRow());
    }

    void inPlaceEdit_data() {
        columns<QString, int, QString, bool, QString, int>("meanwhile", "key", "typed", "modified", "url", "crc");
        const int enter = Qt::Key_Return;
        const char *a = "http://a.example/", *b = "http://b.example/", *caseOnly = "HTTP://A.example/";
        QTest::newRow("letter case") << "" << enter << caseOnly << true << caseOnly << 77;
        QTest::newRow("changed") << "" << enter << b << true << b << 0;
        QTest::newRow("abandoned") << "" << int(Qt::Key_Escape) << b << false << a << 77;
        QTest::newRow("ticked while typing") << "tick" << enter << b << true << b << 0;
        QTest::newRow("row deleted while typing") << "delete" << 0 << b << true << "http://z.example/" << 77;
    }
    void inPlaceEdit() {
        const auto [meanwhile, key, typed, modified, url, crc] = fetch<QString, int, QString, bool, QString, int>(
            "meanwhile", "key", "typed", "modified", "url", "crc");
        World w;
        w.add(QStringLiteral("a"), QStringLiteral("http://a.example/"), QStringLiteral("d"));
        w.add(QStringLiteral("z"), QStringLiteral("http://z.example/"));
        for (int row : {0, 1}) {
            w.list.setField(row, SiteList::Field::Crc, QStringLiteral("77"));
            w.list.setField(row, SiteList::Field::Res, QStringLiteral("  <>"));
        }
        w.window->activateWindow();
        QTableView* view = w.window->listView();
        w.window->listInteraction()->selectRow(0);
        view->setFocus();
        QTest::keyClick(view, Qt::Key_F2);
        auto* editor = view->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, typed);
        if (meanwhile == u"tick") // what a run does to the row it has fetched
            w.list.setTicked(0, true);
        else if (meanwhile == u"delete")
            w.list.remove(w.list.entryAt(0).key);
        if (key != 0)
            QTest::keyClick(editor, Qt::Key(key));
        QTRY_VERIFY(!view->findChild<QLineEdit*>()); // the editor commits and closes later
        QCOMPARE(w.list.entryAt(0).url, url);
        QCOMPARE(w.list.entryAt(0).crc.text().toInt(), crc);
        QCOMPARE(w.list.isModified(), modified);
        QCOMPARE(w.list.entryAt(0).res, QStringLiteral("  <>"));
        // The other columns are never edited in place; the URL can be edited again.
        QVERIFY(!(view->model()->flags(view->model()->index(0, 1)) & Qt::ItemIsEditable));
        w.window->listInteraction()->selectRow(0);
        QTest::keyClick(view, Qt::Key_F2);
        QVERIFY(view->findChild<QLineEdit*>());
    }

    void doubleClickOpensWebAddressesOnly_data() {
        columns<QString, bool>("url", "opened");
        QTest::newRow("http") << "http://a.example/x?y=1" << true;
        QTest::newRow("https") << "https://a.example/" << true;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("program") << "/usr/bin/xterm" << false;
        QTest::newRow("other scheme") << "javascript:alert(1)" << false;
    }
    void doubleClickOpensWebAddressesOnly() {
        const auto [url, opened] = fetch<QString, bool>("url", "opened");
        World w;
        w.add(QStringLiteral("a"), url);
        QList<QUrl> asked;
        w.window->listInteraction()->setUrlOpener([&](const QUrl& u) {
            asked << u;
            return true;
        });
        QTest::mouseDClick(w.window->listView()->viewport(), Qt::LeftButton, {}, w.rowPoint(0));
        QCOMPARE(asked.size(), opened ? 1 : 0);
        if (opened)
            QCOMPARE(asked.first().toString(), url);
    }

    void timeoutReachesScheduledRuns() {
        World w;
        QTimer::singleShot(0, [&] {
            frmPreferences* preferences = w.window->preferencesWindow();
            preferences->findChild<QLineEdit*>(QStringLiteral("txtTimeout"))->setText(QStringLiteral("40"));
            preferences->close();
        });
        w.window->runCommand(QvlCommand::SetTimer);
        QCOMPARE(w.run.options().timeoutSeconds, 40);
    }

    // Scheduled runs over a list with a bad fingerprint fail again while the first failure's message is open.
    void failingRunsShowOneMessageAtATime() {
        TestHttpServer server;
        World w;
        w.add(QStringLiteral("bad"), server.url(QStringLiteral("/fixed")));
        w.list.setField(0, SiteList::Field::Crc, QStringLiteral("abc"));
        int open = 0, mostOpen = 0;
        w.prompter.whileMessageOpen = [&] {
            mostOpen = std::max(mostOpen, ++open);
            if (open < 3) {
                w.run.CheckSelectedURLs(true);
                QTRY_VERIFY(!w.run.isActive());
            }
            --open;
        };
        w.run.CheckSelectedURLs(true);
        QTRY_VERIFY(!w.run.isActive() && open == 0);
        QCOMPARE(mostOpen, 1);
    }

    // Another program saves the open list file: a list without unsaved changes is loaded again, its sort,
    // selection and ticks kept; with unsaved changes the window says so at once and merges at the next save.
    void anotherWriterSaves() {
        World w;
        const QString path = w.path(QStringLiteral("shared.qvl"));
        writeFile(path, kTwoSites);
        QVERIFY(w.window->openListFile(path));
        w.window->listInteraction()->headerClicked(0); // b, a
        w.list.setTicked(1, true);
        w.window->listInteraction()->selectRow(0);
        const auto otherSaves = [&](const QString& word, const QString& crc) {
            SiteListReadResult r = readSiteListFile(path);
            r.entries[1].descrizione = word;
            r.entries[1].crc = StoredCrc::fromText(crc);
            r.entries.push_back(r.entries[0]);
            r.entries.back().nick = word;
            r.entries.back().url = QStringLiteral("http://%1.example/").arg(word);
            QVERIFY(writeSiteListFile(path, r.entries).ok());
        };
        otherSaves(QStringLiteral("uno"), QStringLiteral("7"));
        QTRY_COMPARE(w.list.count(), 3);
        QCOMPARE(w.window->statusPanel(1)->text(), QString::fromUtf8(FileCommands::kReloadedText));
        QCOMPARE(w.ticks(), QStringLiteral("001")); // uno, b, a
        QCOMPARE(w.list.selectedRow(), 1);
        QVERIFY(!w.list.isModified());

        w.list.setField(2, SiteList::Field::Descrizione, QStringLiteral("mia"));
        w.list.setModified(true);
        otherSaves(QStringLiteral("due"), QStringLiteral("8")); // the file was replaced: the watch holds
        QTRY_COMPARE(w.window->statusPanel(1)->text(), QString::fromUtf8(FileCommands::kChangedText));
        QCOMPARE(w.list.count(), 3);
        QVERIFY(w.window->fileCommands().saveFile(path));
        QCOMPARE(w.window->statusPanel(1)->text(),
                 QString::fromUtf8(FileCommands::kMergedText).arg(QStringLiteral("b, due")));
        QVERIFY(!w.list.isModified());
        QStringList saved;
        const std::vector<SiteEntry> fresh = readSiteListFile(path).entries;
        for (const SiteEntry& e : fresh)
            saved << e.nick + u' ' + e.crc.text() + u' ' + e.descrizione;
        QCOMPARE(saved.join(u'|'), QStringLiteral("uno 1 |b 8 due|a 1 mia|due 1 "));
        // The window shows the merged list as the file holds it, in its own sort.
        QCOMPARE(w.list.count(), int(fresh.size()));
        for (const SiteEntry& read : fresh) {
            const auto shown = std::find_if(w.list.entries().cbegin(), w.list.entries().cend(),
                                            [&read](const SiteEntry& e) { return e.key == read.key; });
            QVERIFY(shown != w.list.entries().cend());
            SiteEntry s = *shown;
            s.id = 0;
            s.res.clear();
            s.ticked = false;
            QVERIFY2(s == read, qPrintable(read.key));
        }
    }

    // A manual run from the window against loopback pages: markers, status bar, stop, results window.
    void checkRunFromTheWindow() {
        TestHttpServer server;
        World w;
        w.settings.save(SettingKeys::kSettings, Settings::kParallel.name(), QStringLiteral("1"));
        w.add(QStringLiteral("d"), QStringLiteral("http://127.0.0.1:1/")); // nothing listens there
        w.add(QStringLiteral("f"), server.url(QStringLiteral("/fixed")));
        for (int i = 0; i < 3; ++i)
            w.add(QStringLiteral("s%1").arg(i), server.url(QStringLiteral("/slow?ms=1500")));
        w.window->runCommand(QvlCommand::SelectAll);
        w.window->findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();
        QTRY_COMPARE(w.list.entryAt(1).res, QStringLiteral("  <>"));
        QTRY_VERIFY(w.window->statusPanel(1)->text().startsWith(u"Browsing "));
        w.window->findChild<QPushButton*>(QStringLiteral("cmdStop"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.run.isActive(), 10000);
        QVERIFY(w.list.isTicked(4)); // stopped before the last page
        QVERIFY(w.window->statusPanel(1)->text().startsWith(u"Last check at "));
        QTRY_VERIFY(w.window->resultsWindow() && w.window->resultsWindow()->isVisible());
        int changed = 0;
        for (int i = 0; i < w.list.count(); ++i)
            changed += w.list.entryAt(i).res == QStringLiteral("  <>") ? 1 : 0;
        QCOMPARE(w.window->resultsWindow()->lbxURLs()->count(), changed);
        // The dead site is marked "?" and its hover tip says since when and why.
        QCOMPARE(w.list.entryAt(0).res, QStringLiteral("   ?"));
        w.window->listInteraction()->hoverAt(w.rowPoint(0));
        QVERIFY2(w.window->hoverTip().TipText().contains(u"\r\nNon raggiungibile dal ") &&
                     w.window->hoverTip().TipText().contains(u": Connessione al server non riuscita."),
                 qPrintable(w.window->hoverTip().TipText()));
    }
};

QTEST_MAIN(TestFrmQVL)
#include "tst_frmqvl.moc"
