#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/SiteList.h"
#include "schedule/CheckScheduler.h"
#include "schedule/ConnectionState.h"
#include "store/SessionSettings.h"
#include "store/SettingsStore.h"
#include "store/SiteListFile.h"
#include "support/ScriptedPrompter.h"
#include "ui/FileCommands.h"
#include "ui/SessionKeeper.h"
#include "ui/SingleInstance.h"
#include "ui/frmQVL.h"
#include "ui/frmSettings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <csignal>

using namespace Qt::StringLiterals;

// The window comes back as it was, and a second start hands its list over to the first.
class TestSession : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    struct Window {
        SettingsStore& settings;
        SiteList list;
        Clock clock;
        ConnectionState connection;
        CheckRun run{list, clock, settings.checkOptions()};
        CheckScheduler scheduler{run, connection, clock};
        ScriptedPrompter prompter;
        frmQVL window{frmQVLServices{settings, list, clock, connection, run, scheduler, prompter}};
        explicit Window(SettingsStore& s)
            : settings(s) {}
        ~Window() { scheduler.TimerStop(); }
    };

private slots:
    void comesBackAsItWas_data() {
        QTest::addColumn<bool>("on");
        QTest::newRow("defaults: an empty list, the timer off") << false;
        QTest::newRow("reopen and re-arm") << true;
    }
    void comesBackAsItWas() {
        QFETCH(bool, on);
        SettingsStore settings = SettingsStore::atPath(m_dir.filePath(u"s%1.ini"_s.arg(on)));
        const QString path = m_dir.filePath(u"siti.qvl"_s);
        SiteEntry e;
        e.url = u"http://127.0.0.1:1/"_s;
        QVERIFY(writeSiteListFile(path, {e}).ok());
        {
            Window first(settings);
            QVERIFY(first.window.openListFile(path));
            QVERIFY(first.scheduler.TimerStarted(600).ok());
            first.window.session()->quitNext();
            QVERIFY(first.window.close());
        }
        SessionSettings s;
        s.reopenLastList = s.rearmTimer = on;
        QVERIFY(s.write(settings));
        Window second(settings);
        second.window.session()->restore(true);
        QCOMPARE(second.list.count(), on ? 1 : 0);
        QCOMPARE(second.scheduler.isArmed(), on);
        QCOMPARE(second.scheduler.intervalSeconds(), on ? 600 : 0);
        QCOMPARE(second.window.session()->recentMenu()->actions().size(), 1);
    }

    // A periodic run saves the list with AutoSave; when the disk refuses, nobody is there to answer a message:
    // the status bar says why and the list stays modified.
    void autoSave_data() {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("saved") << false;
        QTest::newRow("disk full") << true;
    }
    void autoSave() {
        QFETCH(bool, diskFull);
        SettingsStore settings = SettingsStore::atPath(m_dir.filePath(u"auto%1.ini"_s.arg(diskFull)));
        QVERIFY(settings.save(SettingKeys::kSettings, Settings::kAutoSave.name(), u"1"_s));
        const QString path = m_dir.filePath(u"auto%1.qvl"_s.arg(diskFull));
        SiteEntry e;
        e.url = u"http://127.0.0.1:1/"_s; // refused: the failure count changes the list
        QVERIFY(writeSiteListFile(path, {e}).ok());
        const QByteArray before = [&path] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        Window w(settings);
        QVERIFY(w.window.openListFile(path));
        w.list.setTicked(0, true);
        QSignalSpy finished(&w.run, &CheckRun::finished);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (diskFull) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = saved;
            small.rlim_cur = 100;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        w.run.CheckSelectedURLs(true);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        setrlimit(RLIMIT_FSIZE, &saved);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll() == before, diskFull);
        QCOMPARE(w.list.isModified(), diskFull);
        for (const ScriptedPrompter::Shown& shown : w.prompter.shown)
            QVERIFY2(shown.icon != Prompter::Icon::Critical, qPrintable(shown.text));
        if (diskFull)
            QVERIFY2(w.window.statusPanel(1)->text().contains(path), qPrintable(w.window.statusPanel(1)->text()));
    }

    // The settings dialog's request settings reach the next run; a manual proxy is checked as it is typed.
    void requestSettings() {
        SettingsStore settings = SettingsStore::atPath(m_dir.filePath(u"requests.ini"_s));
        frmSettings dialog(SessionSettings::read(settings), RequestSettings::read(settings), false);
        auto* mode = dialog.findChild<QComboBox*>(u"cboProxy"_s);
        auto* address = dialog.findChild<QLineEdit*>(u"txtProxy"_s);
        QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QCOMPARE(mode->currentIndex(), 1); // the system's, by default
        mode->setCurrentIndex(2);
        address->setText(u"proxy.lan"_s);
        QVERIFY(!ok->isEnabled());
        address->setText(u"proxy.lan:3128"_s);
        QVERIFY(ok->isEnabled());
        dialog.findChild<QLineEdit*>(u"txtAgente"_s)->setText(u"  Mio  agente "_s);
        QVERIFY(dialog.requests().write(settings));
        const CheckOptions options = settings.checkOptions();
        QCOMPARE(options.network.proxy, NetworkOptions::Proxy::Manual);
        QCOMPARE(options.network.proxyAddress, QByteArray("proxy.lan:3128"));
        QCOMPARE(options.network.userAgent, QByteArray("Mio agente"));
    }

    // A real second start of the program, with a file, hands it over and ends; a socket nobody answers on is
    // taken over.
    void secondStartHandsItsFileOver() {
        const QString runtime = m_dir.filePath(u"run"_s);
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        qputenv("DISPLAY", ":77");
        QCOMPARE(SingleInstance::socketName(), runtime + u"/quovel-_77"_s);
        QFile stale(SingleInstance::socketName());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        QCOMPARE(SingleInstance::handOver({}), SingleInstance::HandOver::NoneRunning);
        SingleInstance first;
        QVERIFY(first.listen());
        QSignalSpy opened(&first, &SingleInstance::openRequested);

        QProcess second;
        second.setWorkingDirectory(m_dir.path());
        second.start(QStringLiteral(QUOVEL_PATH), {u"siti.qvl"_s});
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 20000);
        QVERIFY(second.state() == QProcess::NotRunning || second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(opened.at(0).at(0).toString(), m_dir.filePath(u"siti.qvl"_s));
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
