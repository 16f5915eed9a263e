#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/SiteList.h"
#include "schedule/CheckScheduler.h"
#include "schedule/ConnectionState.h"
#include "store/PageHistory.h"
#include "store/SettingsStore.h"
#include "ui/SessionKeeper.h"
#include "ui/SingleInstance.h"
#include "ui/TrayPresence.h"
#include "ui/frmQVL.h"
#include "winsupport/Prompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quovel"));
    QApplication::setApplicationName(QStringLiteral("Quovel"));
    QApplication::setApplicationVersion(QStringLiteral(QUOVEL_VERSION));
    // The desktop's task bar finds the menu entry and its icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUOVEL_APP_ID));
    QIcon icon;
    for (const char* size : {"48", "128", "256"})
        icon.addFile(QStringLiteral(":/icons/quovel-") + QLatin1String(size) + QStringLiteral(".png"));
    QApplication::setWindowIcon(icon);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Quovel: quali pagine web sono cambiate dall'ultima visita."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption newInstance(
        QStringLiteral("new-instance"),
        QStringLiteral("Start a new window even when Quovel already runs in this session."));
    const QCommandLineOption minimized(QStringLiteral("minimized"),
                                       QStringLiteral("Start minimised (to the tray where there is one)."));
    parser.addOptions({newInstance, minimized});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("elenco dei siti da aprire (.qvl o .xml)"),
                                 QStringLiteral("[FILE]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    const QString file = files.isEmpty() ? QString() : files.constFirst();
    // One window per session: a later start hands its list over and ends.
    SingleInstance instance;
    if (!parser.isSet(newInstance)) {
        if (SingleInstance::handOver(file) == SingleInstance::HandOver::Done)
            return 0;
        instance.listen();
    }

    SettingsStore settings;
    // Before the run, which writes to it until it ends.
    PageHistory history(PageHistory::defaultFolder(), settings.historyVersions());
    SiteList list;
    Clock clock;
    ConnectionState connection;
    CheckRun run(list, clock, settings.checkOptions());
    CheckScheduler scheduler(run, connection, clock);
    WidgetPrompter prompter;

    frmQVL window({settings, list, clock, connection, run, scheduler, prompter, &history});
    QObject::connect(&instance, &SingleInstance::openRequested, &window, &frmQVL::handOver);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, [&window] { window.handOver({}); });
    if (!parser.isSet(minimized))
        window.show();
    else if (!window.tray()->isShown())
        window.showMinimized();
    // A list named on the command line opens as "&Open" would open it; otherwise what the settings bring back.
    if (!file.isEmpty())
        window.openListFile(file);
    window.session()->restore(file.isEmpty());
    return QApplication::exec();
}
