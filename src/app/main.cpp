#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/Language.h"
#include "core/SiteList.h"
#include "core/Version.h"
#include "schedule/CheckScheduler.h"
#include "schedule/ConnectionState.h"
#include "store/PageHistory.h"
#include "store/SecretStore.h"
#include "store/SettingsStore.h"
#include "ui/ReadableIndicators.h"
#include "ui/SessionKeeper.h"
#include "ui/SingleInstance.h"
#include "ui/TrayPresence.h"
#include "ui/frmQVL.h"
#include "winsupport/Prompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLocale>
#include <QPalette>

#include <cstdio>
#include <cstdlib>

namespace {

void nameApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quovel"));
    QCoreApplication::setApplicationName(QStringLiteral("Quovel"));
    QCoreApplication::setApplicationVersion(QLatin1StringView(quovelVersion()));
}

const QString kLang = QStringLiteral("lang");

void describeCommandLine(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Quovel: quali pagine web sono cambiate dall'ultima visita.") +
        QStringLiteral(
            "\nSettings (~/.config/Quovel/Quovel.conf, section Settings): Timeout, Parallel, Notify, "
            "FailuresBeforeNotice, ReopenLastList, RearmTimer, AutoSave, CloseWhileArmed, MaxTextBytes, "
            "HistoryVersions, Language, FullRequestEvery, HostDelayMs, UserAgent, Proxy; sites' "
            "secret headers: ~/.config/Quovel/secrets.json."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        kLang,
        QCoreApplication::translate(
            "main", "Lingua di questa esecuzione: it (italiano), en (inglese) o source (i testi originali)."),
        QStringLiteral("LANG")));
    parser.addOption({QStringLiteral("new-instance"),
                      QCoreApplication::translate(
                          "main", "Avvia una nuova finestra anche se Quovel è già aperto in questa sessione.")});
    parser.addOption(
        {QStringLiteral("minimized"),
         QCoreApplication::translate("main", "Avvia ridotto a icona (nell'area di notifica, dove c'è).")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QCoreApplication::translate("main", "elenco dei siti da aprire (.qvl o .xml)"),
                                 QStringLiteral("[FILE]"));
}

// Everything shown from here on, --help included, speaks the language of the run: --lang's, else the one the
// Language setting keeps, else the user's. False for a --lang that names none.
bool speakTheLanguage(QCoreApplication& app, const SettingsStore& settings) {
    QCommandLineParser early;
    const QCommandLineOption lang(kLang, QString(), QStringLiteral("LANG"));
    early.addOption(lang);
    early.parse(QCoreApplication::arguments()); // the other options are the full parser's business
    const QString choice = early.isSet(lang) ? early.value(lang) : settings.language();
    if (early.isSet(lang) && (!Language::isChoice(choice) || choice.isEmpty() || choice == u"auto")) {
        std::fputs("quovel: --lang takes it, en or source\n", stderr);
        return false;
    }
    Language::install(app, Language::resolve(choice, QLocale::system().uiLanguages()));
    return true;
}

// Qt's Fusion style with a dark palette of its colour roles.
void useDarkPalette() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    const QColor window(0x35, 0x35, 0x35), base(0x24, 0x24, 0x24), text(0xe8, 0xe8, 0xe8);
    QPalette dark(text, window, window.lighter(130), window.darker(130), window.darker(115), text, text, base,
                  window);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Link, QColor(0x6c, 0xb4, 0xff));
    dark.setColor(QPalette::Disabled, QPalette::Text, text.darker(170));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, text.darker(170));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, text.darker(170));
    QApplication::setPalette(dark);
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
    const SettingsStore settings;
    if (!speakTheLanguage(app, settings))
        std::exit(1);
    QCommandLineParser spoken;
    describeCommandLine(spoken);
    spoken.process(app); // prints and exits
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
    // For checking the colours against a dark theme on any desktop.
    if (qgetenv("QUOVEL_PALETTE") == "dark")
        useDarkPalette();
    ReadableIndicators::installOverFusion();

    SettingsStore settings;
    if (!speakTheLanguage(app, settings))
        return 1;
    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    const QString file = files.isEmpty() ? QString() : files.constFirst();
    // One window per session: a later start hands its list over and ends.
    SingleInstance instance;
    if (!parser.isSet(QStringLiteral("new-instance"))) {
        if (SingleInstance::handOver(file) == SingleInstance::HandOver::Done)
            return 0;
        instance.listen();
    }

    // Before the run, which writes to it until it ends.
    PageHistory history(PageHistory::defaultFolder(), int(settings.number(Settings::kHistoryVersions)));
    SiteList list;
    Clock clock;
    ConnectionState connection;
    CheckRun run(list, clock, [&settings] { return settings.checkOptions(); });
    SecretStore secrets(SecretStore::besideSettings(settings.fileName()));
    run.setSecrets(secrets.read());
    CheckScheduler scheduler(run, connection, clock);
    WidgetPrompter prompter;

    frmQVL window({settings, list, clock, connection, run, scheduler, prompter, &history});
    QObject::connect(&instance, &SingleInstance::openRequested, &window, &frmQVL::handOver);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, [&window] { window.handOver({}); });
    if (!parser.isSet(QStringLiteral("minimized")))
        window.show();
    else if (!window.tray()->isShown())
        window.showMinimized();
    // A list named on the command line opens as "&Open" would open it; otherwise what the settings bring back.
    if (!file.isEmpty())
        window.openListFile(file);
    window.session()->restore(file.isEmpty());
    return QApplication::exec();
}
