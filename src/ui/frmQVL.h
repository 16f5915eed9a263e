#pragma once

#include "ui/QvlCommand.h"
#include "ui/frmShowModified.h"
#include "winsupport/CTooltip.h"

#include <QMainWindow>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <memory>

class CheckRun;
class CheckScheduler;
class ClockIndicator;
class Clock;
class ConnectionState;
class FileCommands;
class ImportCommand;
class ListEditing;
class ListInteraction;
class frmPreferences;
class MainMenus;
class Outcome;
class PageHistory;
class Prompter;
class QFrame;
class QLabel;
class QPushButton;
class QTableView;
class SettingsStore;
class SiteList;
class SessionKeeper;
class SiteSecrets;
class SiteTextCommands;
class TrayPresence;
struct CheckRunReport;

// What the main window works with; whoever starts the program builds these and keeps them alive longer
// than the window.
struct frmQVLServices {
    SettingsStore& settings;
    SiteList& list;
    const Clock& clock;
    const ConnectionState& connection;
    CheckRun& run;
    CheckScheduler& scheduler;
    Prompter& prompter;
    // Where the runs keep each page's text and the change viewer reads it; none keeps no history. It must
    // outlive the run.
    PageHistory* history = nullptr;
};

// The main window: the site list with its menus, toolbar, status bar and the scheduler's control frame.
class frmQVL : public QMainWindow {
    Q_OBJECT
public:
    // The smallest and largest outer size the user can drag the window to, in logical pixels.
    static constexpr QSize kMinTrackSize{570, 285};
    static constexpr QSize kMaxTrackSize{1000, 750};

    explicit frmQVL(const frmQVLServices& services, QWidget* parent = nullptr);
    ~frmQVL() override;

    // Runs one command of the menus, the popup, the toolbar or the keyboard.
    void runCommand(QvlCommand command);
    // Loads a list file as "&Open" does, without the dialog (the command line's file).
    bool openListFile(const QString& path);
    // A later start's command line: its list file opened as "&Open" would, and the window shown in front.
    void handOver(const QString& path);

    // The right-button procedure: a right press after "Esci" closes the window.
    void rightButtonProcedure(Qt::MouseButton button);
    bool exitRequested() const { return m_exitRequested; }

    SiteList& siteList() const { return m_list; }
    QTableView* listView() const { return m_view; }
    MainMenus* menus() const { return m_menus; }
    ListInteraction* listInteraction() const { return m_interaction; }
    FileCommands& fileCommands() const { return *m_files; }
    frmPreferences* preferencesWindow() const { return m_setTimer; }
    frmShowModified* resultsWindow() const { return m_results; }
    QLabel* statusPanel(int panel) const; // 1..3
    const CTooltip& hoverTip() const { return m_hoverTip; }
    TrayPresence* tray() const { return m_tray; }
    SessionKeeper* session() const { return m_session; }
    SiteTextCommands* siteText() const { return m_siteText; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildListView();
    void buildControlFrame();
    void buildStatusBar();
    void restorePlacement();
    void showPlacementError(const Outcome& outcome);
    void applySizeBounds();
    void layoutControls();
    void updateDateTime();
    void startCommand();
    void setTimerCommand();
    void onRunFinished(const CheckRunReport& report);
    void showPopup(const QPoint& globalPos);
    void setUpHistory(PageHistory* history);

    SettingsStore& m_settings;
    SiteList& m_list;
    const Clock& m_clock;
    CheckRun& m_run;
    CheckScheduler& m_scheduler;
    Prompter& m_prompter;

    MainMenus* m_menus = nullptr;
    QTableView* m_view = nullptr;
    ListInteraction* m_interaction = nullptr;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<ListEditing> m_editing;
    ImportCommand* m_import = nullptr;    // a child of the window
    frmPreferences* m_setTimer = nullptr; // the open timing preferences, while they are open
    QFrame* m_frameCTRLs = nullptr;
    ClockIndicator* m_imgClock = nullptr;
    QPushButton* m_cmdSetTimer = nullptr;
    QPushButton* m_cmdStart = nullptr;
    QPushButton* m_cmdStop = nullptr;
    QLabel* m_panels[3] = {nullptr, nullptr, nullptr};
    QTimer m_dateTimeTimer;
    QPointer<frmShowModified> m_results;
    CTooltip m_hoverTip;
    TrayPresence* m_tray = nullptr;
    SessionKeeper* m_session = nullptr;
    bool m_exitRequested = false;
    bool m_closing = false;
    bool m_showingRunError = false;
    QSize m_frameExtra;
    SiteTextCommands* m_siteText = nullptr;
    SiteSecrets* m_secrets = nullptr; // a child of the window
    QThreadPool m_background;         // waits for its work when the window goes
};
