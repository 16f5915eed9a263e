#include "ui/frmQVL.h"

#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/Language.h"
#include "core/SiteList.h"
#include "schedule/CheckScheduler.h"
#include "store/PageHistory.h"
#include "store/SecretStore.h"
#include "store/SettingsStore.h"
#include "ui/FileCommands.h"
#include "ui/ImportCommand.h"
#include "ui/ListEditing.h"
#include "ui/ListInteraction.h"
#include "ui/MainMenus.h"
#include "ui/RunNotifier.h"
#include "ui/SessionKeeper.h"
#include "ui/SiteSecrets.h"
#include "ui/SiteTextCommands.h"
#include "ui/TrayPresence.h"
#include "ui/WindowPlacement.h"
#include "ui/frmPreferences.h"
#include "ui/frmShowModified.h"
#include "ui/frmSplash.h"
#include "winsupport/Prompter.h"
#include "winsupport/Twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QSessionManager>
#include <QTableView>
#include <QToolBar>
#include <QWindow>

frmQVL::frmQVL(const frmQVLServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_settings(services.settings)
    , m_list(services.list)
    , m_clock(services.clock)
    , m_run(services.run)
    , m_scheduler(services.scheduler)
    , m_prompter(services.prompter) {
    setObjectName(QStringLiteral("frmQVL"));
    setWindowTitle(QStringLiteral("Quovel"));
    setAttribute(Qt::WA_QuitOnClose);

    // Toolbar (flat, icon-only) and the menus; the popup never shows in the menu bar.
    m_menus = new MainMenus(*this);
    connect(m_menus, &MainMenus::command, this, &frmQVL::runCommand);
    // The hover tip: a balloon with the information icon, shown over the list's rows.
    m_hoverTip.setStyle(1);
    m_hoverTip.setIcon(1);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmQVLClient"));
    setCentralWidget(central);
    buildListView();
    buildControlFrame();
    buildStatusBar();
    m_files = std::make_unique<FileCommands>(m_list, m_run, m_prompter, *m_view, *m_panels[0], *this);
    m_editing = std::make_unique<ListEditing>(m_list, m_prompter, this);
    m_import = new ImportCommand(m_list, m_prompter, this);

    auto* startKey = new QAction(this);
    startKey->setShortcut(QKeySequence(Qt::Key_F5));
    connect(startKey, &QAction::triggered, this, [this] { runCommand(QvlCommand::Start); });
    addAction(startKey);

    connect(&m_run, &CheckRun::statusText, m_panels[0], &QLabel::setText);
    connect(&m_run, &CheckRun::beep, this, [] { QApplication::beep(); });
    connect(&m_run, &CheckRun::finished, this, &frmQVL::onRunFinished);

    m_tray = new TrayPresence(this, this);
    m_tray->follow(m_scheduler);
    connect(m_tray, &TrayPresence::startRequested, this, [this] { runCommand(QvlCommand::Start); });
    connect(m_tray, &TrayPresence::stopRequested, this, [this] { runCommand(QvlCommand::Stop); });
    m_session = new SessionKeeper({m_settings, m_list, m_run, m_scheduler, m_prompter, *m_files, *m_tray}, *this);
    connect(m_session, &SessionKeeper::autoSaveFailed, m_panels[0], &QLabel::setText);
    connect(&m_session->notifier(), &RunNotifier::resultsRequested, this, [this] {
        m_tray->raiseWindow();
        if (m_results) {
            m_results->showNormal();
            m_results->raise();
            m_results->activateWindow();
        }
    });
    // The session ending closes the window as its close box would; the save question needs the session
    // manager's leave to talk to the user first, and a No keeps the session from ending.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (m_list.isModified() && !manager.allowsInteraction())
            return;
        m_session->quitNext();
        if (!close())
            manager.cancel();
    });

    setUpHistory(services.history);

    resize(twipsToPixels(8415, logicalDpiX()), twipsToPixels(3885, logicalDpiY()));
    restorePlacement();
    applySizeBounds();
}

frmQVL::~frmQVL() = default;

void frmQVL::restorePlacement() {
    showPlacementError(PersistPlacement(*this, false, m_settings));
}

void frmQVL::showPlacementError(const Outcome& outcome) {
    if (outcome.ok())
        return;
    m_prompter.message(
        Prompter::Icon::Exclamation, QString(),
        tr("Error %1").arg(outcome.errorNumber()) + QStringLiteral("\r\n\r\n") + outcome.errorText(), this);
}

void frmQVL::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutControls();
}

void frmQVL::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window manager tells the frame's size late; the bounds follow it.
    const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    if (QSize(frame.left() + frame.right(), frame.top() + frame.bottom()) != m_frameExtra)
        applySizeBounds();
}

void frmQVL::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The frame's size is known once the window is shown.
    QTimer::singleShot(0, this, [this] {
        applySizeBounds();
        layoutControls();
    });
    if (m_results && !m_results->isVisible())
        m_results->show(); // what a periodic run found while the window was away
}

void frmQVL::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        applySizeBounds();
        if (!isMinimized() && m_results && !m_results->isVisible())
            m_results->show();
    }
}

void frmQVL::mousePressEvent(QMouseEvent* event) {
    // A press on the window where no control is: the right button goes to the right-button procedure, the
    // left one moves the window as its title bar would.
    if (event->button() == Qt::RightButton) {
        rightButtonProcedure(Qt::RightButton);
    } else if (event->button() == Qt::LeftButton && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
    }
    event->accept();
}

void frmQVL::rightButtonProcedure(Qt::MouseButton button) {
    if (button == Qt::RightButton && m_exitRequested)
        close();
}

void frmQVL::showPopup(const QPoint& globalPos) {
    // The press of this click may have closed the window.
    if (!isVisible())
        return;
    QMenu* popup = m_menus->popup();
    popup->popup(QPoint(globalPos.x() - popup->sizeHint().width() / 2, globalPos.y()));
}

bool frmQVL::openListFile(const QString& path) {
    return m_files->loadFile(path);
}

void frmQVL::handOver(const QString& path) {
    m_tray->raiseWindow();
    if (!path.isEmpty())
        m_files->loadFile(path);
}

void frmQVL::runCommand(QvlCommand command) {
    switch (command) {
    case QvlCommand::Open:
        m_files->LoadSiteList();
        break;
    case QvlCommand::Save:
        m_files->SaveSiteList();
        break;
    case QvlCommand::Exit:
        m_session->quitNext();
        close();
        break;
    case QvlCommand::SelectAll:
        m_list.setAllTicks(SiteList::TickAll);
        break;
    case QvlCommand::DeselectAll:
        m_list.setAllTicks(SiteList::UntickAll);
        break;
    case QvlCommand::InvertSelection:
        m_list.setAllTicks(SiteList::InvertTicks);
        break;
    case QvlCommand::Start:
        startCommand();
        break;
    case QvlCommand::Stop:
        m_scheduler.stop();
        break;
    case QvlCommand::ArmExit:
        m_exitRequested = true;
        break;
    case QvlCommand::SetTimer:
        setTimerCommand();
        break;
    case QvlCommand::AddUrl:
        m_editing->addURL();
        break;
    case QvlCommand::DeleteUrl:
        m_editing->deleteURL();
        break;
    case QvlCommand::ModifyUrl:
        m_editing->modifyURL();
        break;
    case QvlCommand::CopyUrl:
        m_editing->copyURL();
        break;
    case QvlCommand::PasteUrl:
        m_editing->pasteURL();
        break;
    case QvlCommand::ShowDiff:
        m_siteText->showSelectedDiff();
        break;
    case QvlCommand::SiteOptions:
        m_siteText->editSelectedOptions();
        break;
    case QvlCommand::Import:
        m_import->importSites();
        break;
    case QvlCommand::About: {
        frmSplash about(this);
        about.exec();
        break;
    }
    }
}

void frmQVL::setUpHistory(PageHistory* history) {
    m_secrets = new SiteSecrets(SecretStore(SecretStore::besideSettings(m_settings.fileName())), m_list,
                                m_prompter, this, [this](const SecretHeaders& all) { m_run.setSecrets(all); });
    m_siteText = new SiteTextCommands(
        m_list, history, *m_secrets, [this] { return m_settings.checkOptions(); }, m_prompter, this);
    if (history) {
        m_run.setArchive(history);
        // Old pages' history goes in the background: start-up does not wait for the folder to be read.
        m_background.start([history, now = m_clock.now()] { history->prune(now); });
    }
    connect(&m_session->notifier(), &RunNotifier::diffRequested, m_siteText, &SiteTextCommands::showDiff);
    // After the run's report has made the results window, its lines lead to the viewer too.
    connect(&m_run, &CheckRun::finished, this, [this] {
        if (m_results)
            connect(m_results, &frmShowModified::diffRequested, m_siteText, &SiteTextCommands::showDiff,
                    Qt::UniqueConnection);
    });
}

void frmQVL::setTimerCommand() {
    // The box shows the stored text; with none stored, the timeout the runs use.
    const QString timeout = m_settings.get(SettingKeys::kSettings, Settings::kTimeout.name(),
                                           QString::number(Settings::kTimeout.defaultValue));
    frmPreferences preferences(m_list.count(), timeout, m_prompter, this);
    m_setTimer = &preferences;
    connect(&preferences, &frmPreferences::TimerStarted, this, [this](qint32 seconds) {
        const Outcome armed = m_scheduler.TimerStarted(seconds);
        if (!armed.ok())
            m_prompter.message(Prompter::Icon::Exclamation, QString(), armed.errorText(), this);
    });
    connect(&preferences, &frmPreferences::TimerStop, this, [this] { m_scheduler.TimerStop(); });
    connect(&preferences, &frmPreferences::timeoutToSave, this, [this](const QString& seconds) {
        m_settings.save(SettingKeys::kSettings, Settings::kTimeout.name(), seconds);
    });
    // Centred over the main window.
    preferences.adjustSize();
    const QRect outer = frameGeometry();
    preferences.move(outer.left() + (outer.width() - preferences.width()) / 2,
                     outer.top() + (outer.height() - preferences.height()) / 2);
    preferences.exec();
    m_setTimer = nullptr;
}

void frmQVL::startCommand() {
    if (m_scheduler.start() == CheckScheduler::StartResult::Offline)
        m_prompter.message(Prompter::Icon::Exclamation,
                           Language::text("CheckScheduler", CheckScheduler::kOfflineTitle),
                           Language::text("CheckScheduler", CheckScheduler::kOfflineText), this);
}

void frmQVL::onRunFinished(const CheckRunReport& report) {
    if (m_closing)
        return;
    if (!report.outcome.ok()) {
        // Scheduled runs go on while the message is open; each failing again must not stack one more box.
        if (m_showingRunError)
            return;
        m_showingRunError = true;
        m_prompter.message(Prompter::Icon::Critical, tr("Errore!"), report.errorMessage(), this);
        m_showingRunError = false;
        return;
    }
    QHash<quint64, QString> errors;
    QHash<quint64, QString> reasons;
    for (const PageFailure& failure : report.failures) {
        errors.insert(failure.entryId,
                      tr("Errore %1: %2").arg(failure.outcome.errorNumber()).arg(failure.outcome.errorText()));
        reasons.insert(failure.entryId, failure.outcome.errorText());
    }
    for (const FailureStreak& streak : report.streaks) {
        if (streak.failures > 0)
            errors.insert(streak.entryId, ListInteraction::unreachableText(
                                              streak.since, reasons.value(streak.entryId, tr("Timeout"))));
    }
    // A page judged by its whole body instead of its text says why, the same way.
    for (const PageFailure& note : report.notes)
        errors.insert(note.entryId, note.outcome.errorText());
    m_interaction->notePageErrors(errors);
    // A periodic run does not put its results over other programs while the window is minimised: the
    // notification tells, and the results show when the window does.
    frmShowModified::showReport(m_results, report, this, report.fromTimer && (isMinimized() || isHidden()));
}

void frmQVL::closeEvent(QCloseEvent* event) {
    if (!m_exitRequested && m_session->keepRunningInTray()) {
        event->ignore();
        return;
    }
    if (m_list.isModified() && !m_prompter.askYesNo(tr("Richiesta salvataggio"),
                                                    tr("Uscire senza salvare le modifiche apportate?"), this)) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_session->noteClose();
    m_scheduler.TimerStop();
    m_hoverTip.Destroy();
    // A run in flight ends here: nothing more is fetched and nothing it finds is shown.
    m_run.requestStop();
    // The size bounds go before the placement is read, so a maximized window's bounds are its own.
    showPlacementError(PersistPlacement(*this, true, m_settings));
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
    event->accept();
}
