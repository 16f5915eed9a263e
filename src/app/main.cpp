#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/Language.h"
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
#include <QLocale>

#include <cstdio>

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

    // The language comes first, so that everything shown after it, --help included, speaks it: the command
    // line's for this run, else the one the settings keep, else the user's.
    SettingsStore settings;
    const QCommandLineOption langOption(QStringLiteral("lang"), QStringLiteral("it, en, source"),
                                        QStringLiteral("LANG"));
    QCommandLineParser early;
    early.addOption(langOption);
    early.parse(QCoreApplication::arguments()); // the other options are the full parser's business
    const QString choice = early.isSet(langOption) ? early.value(langOption) : settings.language();
    if (early.isSet(langOption) && (!Language::isChoice(choice) || choice.isEmpty() || choice == u"auto")) {
        std::fprintf(stderr, "quovel: --lang takes it, en or source\n");
        return 1;
    }
    Language::install(app, Language::resolve(choice, QLocale::system().uiLanguages()));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Quovel: quali pagine web sono cambiate dall'ultima visita."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        langOption.names(),
        QCoreApplication::translate(
            "main", "Lingua di questa esecuzione: it (italiano), en (inglese) o source (i testi originali)."),
        langOption.valueName()));
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QCoreApplication::translate("main", "elenco dei siti da aprire (.qvl o .xml)"),
                                 QStringLiteral("[FILE]"));
    parser.process(app);

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
