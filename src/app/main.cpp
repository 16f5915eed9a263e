#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/SiteList.h"
#include "schedule/CheckScheduler.h"
#include "schedule/ConnectionState.h"
#include "store/PageHistory.h"
#include "store/SettingsStore.h"
#include "ui/frmQVL.h"
#include "winsupport/Prompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

namespace {

void nameApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quovel"));
    QCoreApplication::setApplicationName(QStringLiteral("Quovel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUOVEL_VERSION));
}

void describeCommandLine(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Quovel: quali pagine web sono cambiate dall'ultima visita."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("elenco dei siti da aprire (.qvl o .xml)"),
                                 QStringLiteral("[FILE]"));
}

// --help and --version answer without a display: the GUI application would abort where there is none.
void answerWithoutWindow(int& argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    describeCommandLine(parser);
    // Options of the GUI application (-style, -platform) are not known here: those lines are read below.
    if (!parser.parse(arguments) ||
        !(parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))))
        return;
    QCoreApplication app(argc, argv);
    nameApplication();
    parser.process(app); // prints and exits
}

} // namespace

int main(int argc, char* argv[]) {
    answerWithoutWindow(argc, argv);
    QApplication app(argc, argv);
    nameApplication();
    // The desktop's task bar finds the menu entry and its icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUOVEL_APP_ID));
    QIcon icon;
    for (const char* size : {"48", "128", "256"})
        icon.addFile(QStringLiteral(":/icons/quovel-") + QLatin1String(size) + QStringLiteral(".png"));
    QApplication::setWindowIcon(icon);

    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.process(app);

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
    window.show();
    // A list named on the command line opens as "&Open" would open it; nothing is loaded otherwise.
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty())
        window.openListFile(files.constFirst());
    return QApplication::exec();
}
