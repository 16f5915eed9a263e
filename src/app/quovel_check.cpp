// quovel-check: checks every entry of a list file as a scheduled run does, without a window.
#include "app/ShowText.h"
#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/Language.h"
#include "core/PageText.h"
#include "core/SiteList.h"
#include "core/TextDiff.h"
#include "core/Version.h"
#include "store/PageHistory.h"
#include "store/SecretStore.h"
#include "store/SettingsStore.h"
#include "store/SiteImport.h"
#include "store/SiteListFile.h"
#include "store/SiteListSession.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace {

constexpr int kExitNothingFound = 0;
constexpr int kExitFound = 1;
constexpr int kExitError = 2;

void printErr(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// False when standard output could not take it (a full disk, a reader that went away).
bool printOut(const QString& text) {
    return std::fputs(text.toUtf8().constData(), stdout) >= 0;
}

// One entry, one line: control characters (a hand-indented URL's line breaks) are percent-encoded.
QString oneLine(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += u'%' + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            out += c;
    }
    return out;
}

// The same, written piece by piece: an address as long as the list file is never copied whole.
bool printOneLine(std::FILE* to, QStringView text) {
    constexpr qsizetype kPiece = 64 * 1024;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype n = std::min(kPiece, text.size() - at);
        if (at + n < text.size() && text[at + n - 1].isHighSurrogate())
            --n;
        const QString piece = oneLine(text.sliced(at, n));
        if (std::fputs((to == stdout ? piece.toUtf8() : piece.toLocal8Bit()).constData(), to) < 0)
            return false;
        at += n;
    }
    return true;
}

// A whole number from min upwards, or -1.
int wholeNumber(const QString& text, int min) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= min ? value : -1;
}

// Lists what the history holds for url's page, one version a line, and says whether any of it was lost.
int listHistory(const PageHistory& history, const QString& url) {
    const HistoryListing listing = history.listing(url);
    for (const HistoryListing::Version& v : listing.versions) {
        if (!printOut(QStringLiteral("%1 %2 %3 %4\n")
                          .arg(v.checked.toLocalTime().toString(Qt::ISODate))
                          .arg(v.bodyCrc)
                          .arg(v.textBytes)
                          .arg(v.truncated ? QStringLiteral("truncated") : QStringLiteral("complete"))))
            break;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printErr(QCoreApplication::translate("QuovelCheck", "quovel-check: cannot write to standard output\n"));
        return kExitError;
    }
    const qsizetype kept = qsizetype(listing.versions.size());
    if (!listing.found) {
        printErr(QCoreApplication::translate("QuovelCheck", "No history kept for %1\n").arg(oneLine(url)));
    } else if (listing.newer) {
        printErr(QCoreApplication::translate(
                     "QuovelCheck", "The history file of %1 was written by a newer version of Quovel: it is left "
                                    "as it is\n")
                     .arg(oneLine(url)));
    } else if (listing.damaged) {
        printErr(QCoreApplication::translate(
                     "QuovelCheck", "The history file of %1 is damaged: %2 versions kept%3; the others go at the "
                                    "next version written\n")
                     .arg(oneLine(url))
                     .arg(kept)
                     .arg(listing.held >= kept
                              ? QCoreApplication::translate("QuovelCheck", " of %1").arg(listing.held)
                              : QString()));
        return kExitFound;
    } else {
        printErr(QCoreApplication::translate("QuovelCheck", "%1 versions kept\n").arg(kept));
    }
    return kExitNothingFound;
}

QString markerWord(const QString& res) {
    const QString word = res.trimmed();
    return word.isEmpty() || res == ResultMarker::kBusy ? QStringLiteral("-") : word;
}

// Adds the pages of an import file to the list file: the added URLs on standard output, what is skipped on
// standard error; the list is written only with --save. Nothing is checked.
int importInto(const QString& importPath, const QString& listPath, bool save) {
    const ImportRead read = readImportFile(importPath);
    if (!read.outcome.ok()) {
        printErr(QStringLiteral("quovel-check: %1\n").arg(read.outcome.errorText()));
        return kExitError;
    }
    SiteListSession session;
    SiteListReadResult listRead = session.load(listPath, SiteListRoot::ElencoSiti);
    // A list file that does not exist yet is an empty list: the import makes it.
    if (!listRead.outcome.ok() && listRead.outcome.errorNumber() != SiteListFileErrors::kFileNotFound) {
        printErr(QStringLiteral("quovel-check: %1: %2 (%3)\n")
                     .arg(listPath, listRead.outcome.errorText(), listRead.detail));
        return kExitError;
    }
    SiteList list;
    list.replaceAll(std::move(listRead.entries));
    session.setBase(list.entries());
    const ImportPlan plan = planImport(read, list);
    for (const ImportSkip& skip : plan.skipped)
        printErr(oneLine(skip.what.isEmpty() ? skip.why : skip.what + QStringLiteral(": ") + skip.why) + u'\n');
    const int added = addImported(list, plan.toAdd);
    for (const ImportedSite& site : plan.toAdd)
        printOut(oneLine(site.url) + u'\n');
    printErr(QCoreApplication::translate("QuovelCheck", "%1 added, %2 not imported\n")
                 .arg(added)
                 .arg(plan.skipped.size()));
    if (save && added > 0) {
        // Another program may have saved the list meanwhile: its changes stay, the new sites are added to them.
        const SiteListSave saved = session.save(listPath, list.entries(), {}, MergeOrder::Theirs);
        if (!saved.outcome.ok()) {
            printErr(QStringLiteral("quovel-check: %1\n").arg(saved.outcome.errorText()));
            return kExitError;
        }
    }
    return kExitNothingFound;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quovel"));
    QCoreApplication::setApplicationName(QStringLiteral("quovel-check"));
    QCoreApplication::setApplicationVersion(QLatin1StringView(quovelVersion()));

    // The messages speak the user's language; the entry lines, which scripts read, never change.
    const SettingsStore settings;
    Language::install(app, Language::resolve(settings.language(), QLocale::system().uiLanguages()));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate(
            "QuovelCheck",
            "Checks every page of a Quovel list file and prints one line per entry: marker, fingerprint, URL.\n"
            "Exit status: 0 nothing changed or timed out, 1 something did or could not be fetched, 2 the file "
            "could not be read, the run ended on an error, or the output could not be written.\n"
            "With --history: 0 the history was read whole (or there is none), 1 its file is damaged.") +
        QStringLiteral("\nSettings (~/.config/Quovel/Quovel.conf, section Settings): Timeout, Parallel, Language, "
                       "MaxTextBytes, HistoryVersions, FullRequestEvery, HostDelayMs, UserAgent, Proxy; sites' "
                       "secret headers: ~/.config/Quovel/secrets.json."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption saveOption(
        QStringLiteral("save"),
        QCoreApplication::translate("QuovelCheck", "Write the new fingerprints and times back into FILE."));
    const QCommandLineOption timeoutOption(
        QStringLiteral("timeout"),
        QCoreApplication::translate("QuovelCheck", "Fetch timeout in seconds (default: the Timeout setting)."),
        QStringLiteral("S"));
    const QCommandLineOption parallelOption(
        QStringLiteral("parallel"),
        QCoreApplication::translate("QuovelCheck", "Pages fetched at once (default: the Parallel setting)."),
        QStringLiteral("N"));
    const QCommandLineOption diffOption(
        QStringLiteral("diff"),
        QCoreApplication::translate(
            "QuovelCheck",
            "After the entries, a unified diff of each changed page's text against its previous version; for a "
            "site in text mode, lines its rules leave out are marked '~', not '-' or '+'."));
    const QCommandLineOption failuresOption(
        QStringLiteral("report-failures-after"),
        QCoreApplication::translate(
            "QuovelCheck",
            "Report a failing page once per outage: marked \"?\" (exit status 1) on its K-th failed check "
            "in a row, \"~\" on the others, and a line when it is reachable again. Use with --save, "
            "which keeps the counts."),
        QStringLiteral("K"));
    const QCommandLineOption historyOption(
        QStringLiteral("history"),
        QCoreApplication::translate("QuovelCheck",
                                    "List the versions kept in the history of URL's page, oldest first: check "
                                    "time, body fingerprint, text size in bytes, complete or truncated. No list "
                                    "file is read."),
        QStringLiteral("URL"));
    const QCommandLineOption importOption(
        QStringLiteral("import"),
        QCoreApplication::translate(
            "QuovelCheck",
            "Add the pages of IMPORT (a urlwatch job list, an OPML file, browser bookmarks in HTML, or one "
            "URL a line) to FILE, which need not exist yet, and check nothing; with --save FILE is "
            "written. Added URLs go to standard output, what is not imported and why to standard error. "
            "Exit status 0, or 2 when IMPORT or FILE cannot be read or FILE cannot be written."),
        QStringLiteral("IMPORT"));
    const QCommandLineOption showTextOption(
        QStringLiteral("show-text"),
        QCoreApplication::translate(
            "QuovelCheck",
            "Check nothing: print the text that text mode sees in the page at URL, one line per line. With a list "
            "FILE, the rules of that URL's site apply (its selector too: standard error says how many elements "
            "matched) and every line is marked: '  ' kept, '~ ' left out by an ignore rule, '# ' outside the "
            "region."),
        QStringLiteral("URL"));
    parser.addOptions({saveOption, timeoutOption, parallelOption, diffOption, historyOption, showTextOption,
                       failuresOption, importOption});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QCoreApplication::translate("QuovelCheck", "The list file to check."));
    if (!parser.parse(QCoreApplication::arguments())) {
        printErr(parser.errorText() + u'\n');
        return kExitError;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        printOut(parser.helpText());
        return kExitNothingFound;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        printOut(QStringLiteral("quovel-check ") + QLatin1StringView(quovelVersion()) + u'\n');
        return kExitNothingFound;
    }
    if (parser.isSet(historyOption)) {
        if (!parser.positionalArguments().isEmpty()) {
            printErr(QCoreApplication::translate("QuovelCheck",
                                                 "quovel-check: --history takes a URL and no list file\n"));
            return kExitError;
        }
        return listHistory(PageHistory(PageHistory::defaultFolder()), parser.value(historyOption));
    }
    const bool showing = parser.isSet(showTextOption);
    if (parser.positionalArguments().size() != 1 && !(showing && parser.positionalArguments().isEmpty())) {
        printErr(
            QCoreApplication::translate("QuovelCheck", "quovel-check: give exactly one list file (see --help)\n"));
        return kExitError;
    }
    const QString path = parser.positionalArguments().value(0);
    if (parser.isSet(importOption))
        return importInto(parser.value(importOption), path, parser.isSet(saveOption));

    // The user's settings, with the command line's values on top; the settings are never written.
    CheckOptions options = settings.checkOptions();
    if (parser.isSet(timeoutOption)) {
        options.timeoutSeconds = wholeNumber(parser.value(timeoutOption), 1);
        if (options.timeoutSeconds < 0) {
            printErr(QCoreApplication::translate(
                "QuovelCheck", "quovel-check: --timeout takes a whole number of seconds from 1\n"));
            return kExitError;
        }
    }
    if (parser.isSet(parallelOption)) {
        const int parallel = wholeNumber(parser.value(parallelOption), 1);
        if (parallel < 0) {
            printErr(QCoreApplication::translate("QuovelCheck",
                                                 "quovel-check: --parallel takes a whole number from 1\n"));
            return kExitError;
        }
        options.parallel = int(Settings::kParallel.within(parallel));
    }
    int reportAfter = 0;
    if (parser.isSet(failuresOption)) {
        reportAfter = wholeNumber(parser.value(failuresOption), 1);
        if (reportAfter < 0) {
            printErr(QCoreApplication::translate(
                "QuovelCheck", "quovel-check: --report-failures-after takes a whole number from 1\n"));
            return kExitError;
        }
    }
    // A reader of the output that goes away must not kill the program before it saves.
    std::signal(SIGPIPE, SIG_IGN);
    if (showing)
        return showText(parser.value(showTextOption), path, options, settings.number(Settings::kMaxTextBytes),
                        SecretStore(SecretStore::besideSettings(settings.fileName())).read());

    SiteListSession session;
    SiteListReadResult read = session.load(path, SiteListRoot::ElencoSiti); // never overwrite other XML
    if (!read.outcome.ok()) {
        printErr(QStringLiteral("quovel-check: %1: %2 (%3)\n")
                     .arg(path, Language::text("SiteListFileTexts", read.outcome.errorText()), read.detail));
        return kExitError;
    }
    SiteList list;
    list.replaceAll(std::move(read.entries));
    session.setBase(list.entries());

    const Clock clock;
    // The same history as the window's: a page changed here shows its differences there too.
    PageHistory history(PageHistory::defaultFolder(), int(settings.number(Settings::kHistoryVersions)));
    CheckRun run(list, clock, options);
    run.setArchive(&history);
    run.setSecrets(SecretStore(SecretStore::besideSettings(settings.fileName())).read());
    const bool progress = isatty(STDERR_FILENO);
    if (progress) {
        QObject::connect(&run, &CheckRun::statusText, &app,
                         [](const QString& text) { printErr(QStringLiteral("\r\033[K") + text); });
    }
    QSet<quint64> checked; // whose results this run has to save, whatever else the file holds by then
    QObject::connect(&run, &CheckRun::checked, &app, [&checked](quint64 id) { checked.insert(id); });
    CheckRunReport report;
    bool done = false;
    QObject::connect(&run, &CheckRun::finished, &app, [&report, &done](const CheckRunReport& r) {
        report = r;
        done = true;
        QCoreApplication::quit();
    });
    run.CheckSelectedURLs(true);
    if (!done) // a run may end before the event loop starts
        QCoreApplication::exec();
    if (progress)
        printErr(QStringLiteral("\r\033[K"));

    // With a failure limit, a failure that does not reach it is "~" and counts for nothing.
    QSet<quint64> quiet;
    bool outageReported = false;
    for (const FailureStreak& streak : report.streaks) {
        if (reportAfter > 0 && streak.failures > 0 && !streak.reachesLimit(reportAfter))
            quiet.insert(streak.entryId);
        outageReported |= reportAfter > 0 && streak.reachesLimit(reportAfter);
    }
    for (const SiteEntry& entry : list.entries()) {
        const QString marker = quiet.contains(entry.id) ? QStringLiteral("~") : markerWord(entry.res);
        if (!printOut(marker + u' ' + oneLine(entry.crc.text()) + u' ') || !printOneLine(stdout, entry.url) ||
            !printOut(QStringLiteral("\n")))
            break;
    }
    if (parser.isSet(diffOption)) {
        for (const QString& url : report.changed) {
            const std::vector<PageVersion> versions = history.versions(url);
            if (versions.size() < 2)
                continue;
            const PageVersion& older = versions[versions.size() - 2];
            const PageVersion& newer = versions.back();
            const auto label = [&url](const PageVersion& v) -> QString {
                return oneLine(url) + u'\t' + v.checked.toLocalTime().toString(Qt::ISODate);
            };
            const auto entry = std::find_if(list.entries().begin(), list.entries().end(),
                                            [&url](const SiteEntry& e) { return e.url == url; });
            std::optional<TextRules> rules;
            if (entry != list.entries().end() && entry->options->textMode)
                rules.emplace(entry->options);
            QString diff =
                unifiedDiff(older.text, newer.text, label(older), label(newer), rules ? &*rules : nullptr);
            if (!diff.endsWith(u'\n'))
                diff += u'\n';
            if (!printOut(u'\n' + diff))
                break;
        }
    }
    const bool printed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    const int outputError = errno;
    for (const PageFailure& failure : report.failures) {
        if (quiet.contains(failure.entryId))
            continue;
        printOneLine(stderr, failure.url);
        printErr(QCoreApplication::translate("QuovelCheck", ": Errore %1: %2\n")
                     .arg(failure.outcome.errorNumber())
                     .arg(failure.outcome.errorText()));
    }

    for (const FailureStreak& streak : report.streaks) {
        if (reportAfter > 0 && streak.recoversFrom(reportAfter))
            printErr(QCoreApplication::translate("QuovelCheck",
                                                 "%1: di nuovo raggiungibile (non raggiungibile dal %2)\n")
                         .arg(oneLine(streak.url), streak.since.toLocalTime().toString(Qt::ISODate)));
    }
    printErr(QCoreApplication::translate("QuovelCheck", "%1 of %2 checked: %3 changed, %4 timed out%5\n")
                 .arg(report.checked)
                 .arg(list.count())
                 .arg(report.changed.size())
                 .arg(report.timeouts.size())
                 .arg(report.notDue > 0
                          ? QCoreApplication::translate("QuovelCheck", ", %1 not due").arg(report.notDue)
                          : QString()));
    const bool failed = reportAfter > 0 ? outageReported : !report.timeouts.isEmpty();
    int status = report.changed.isEmpty() && !failed ? kExitNothingFound : kExitFound;
    if (!report.outcome.ok()) {
        printErr(QCoreApplication::translate("QuovelCheck", "Errore %1: %2\n")
                     .arg(report.outcome.errorNumber())
                     .arg(report.outcome.errorText()));
        status = kExitError;
    }
    if (!printed) {
        printErr(QCoreApplication::translate("QuovelCheck", "quovel-check: cannot write to standard output: %1\n")
                     .arg(QString::fromLocal8Bit(std::strerror(outputError))));
        status = kExitError;
    }
    // Someone who checks only from cron never opens the window, which prunes the history at start.
    history.prune(clock.now());
    if (parser.isSet(saveOption)) {
        // Another program (the window, another cron job) may have saved the list during the run: its changes
        // stay, and this run's results go into the sites it kept.
        const SiteListSave saved = session.save(path, list.entries(), checked, MergeOrder::Theirs);
        if (!saved.outcome.ok()) {
            printErr(QStringLiteral("quovel-check: %1\n").arg(saved.outcome.errorText()));
            status = kExitError;
        } else if (saved.merged) {
            printErr(QCoreApplication::translate("QuovelCheck",
                                                 "quovel-check: %1 was saved by another program during the run; "
                                                 "merged: %2\n")
                         .arg(path, saved.mergedSites.isEmpty() ? QStringLiteral("-")
                                                                : oneLine(saved.mergedSites.join(u", "))));
        }
    }
    return status;
}
