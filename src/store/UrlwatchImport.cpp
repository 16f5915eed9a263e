#include "store/UrlwatchImport.h"

#include "core/PageSelector.h"
#include "core/PageText.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <exception>
#include <sstream>
#include <string>

namespace {

struct UrlwatchImport {
    Q_DECLARE_TR_FUNCTIONS(UrlwatchImport)
};

// A job list of a thousand jobs has some ten thousand nodes; the parser's memory grows with them.
constexpr long kMaxNodes = 100'000;
// Aliases share their nodes, so a small file can stand for a huge tree: reading the jobs visits at most this.
constexpr long kMaxVisits = 1'000'000;

struct TooLarge : std::exception {};

// Counts the nodes as the parser meets them, before any tree is built.
class NodeCounter : public YAML::EventHandler {
public:
    void OnDocumentStart(const YAML::Mark&) override {}
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark&, YAML::anchor_t) override { count(); }
    void OnAlias(const YAML::Mark&, YAML::anchor_t) override { count(); }
    void OnScalar(const YAML::Mark&, const std::string&, YAML::anchor_t, const std::string&) override { count(); }
    void OnSequenceStart(const YAML::Mark&, const std::string&, YAML::anchor_t,
                         YAML::EmitterStyle::value) override {
        count();
    }
    void OnSequenceEnd() override {}
    void OnMapStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {
        count();
    }
    void OnMapEnd() override {}

private:
    void count() {
        if (++m_nodes > kMaxNodes)
            throw TooLarge();
    }
    long m_nodes = 0;
};

// Every node the reading looks at is paid for, so that an alias repeated in many places costs as much as
// the copies it stands for.
struct Walk {
    long left = kMaxVisits;
    void spend() {
        if (--left < 0)
            throw TooLarge();
    }
};

QString scalar(const YAML::Node& node) {
    return node.IsScalar() ? QString::fromStdString(node.Scalar()) : QString();
}

QString mapValue(const YAML::Node& map, const char* key, Walk& walk) {
    if (!map.IsMap())
        return {};
    for (const auto& kv : map) {
        walk.spend();
        if (scalar(kv.first) == QLatin1StringView(key))
            return scalar(kv.second);
    }
    return {};
}

struct Filter {
    QString name;
    YAML::Node args;  // from the list form: a text or a map of the filter's settings
    QString argument; // from the text form "name:argument"
};

// A filter list in any of its forms: "a,b:x", or a list of "a", "b:x" and {b: x} / {b: {setting: x}}.
std::vector<Filter> filterList(const YAML::Node& filter, Walk& walk) {
    std::vector<Filter> filters;
    const auto fromText = [&filters](const QString& text) {
        const qsizetype colon = text.indexOf(u':');
        filters.push_back({text.left(colon).trimmed(), {}, colon < 0 ? QString() : text.mid(colon + 1).trimmed()});
    };
    const auto fromMap = [&](const YAML::Node& map) {
        for (const auto& kv : map) {
            walk.spend();
            filters.push_back({scalar(kv.first).trimmed(), kv.second, {}});
        }
    };
    walk.spend();
    if (filter.IsScalar()) {
        for (const QString& part : scalar(filter).split(u',', Qt::SkipEmptyParts))
            fromText(part);
    } else if (filter.IsMap()) {
        fromMap(filter);
    } else if (filter.IsSequence()) {
        for (const YAML::Node& item : filter) {
            walk.spend();
            if (item.IsScalar())
                fromText(scalar(item));
            else if (item.IsMap())
                fromMap(item);
            else
                filters.push_back({QStringLiteral("?"), {}, {}});
        }
    }
    return filters;
}

// A css or xpath filter becomes the site's selector, read in text mode as urlwatch's html2text would read
// what the filter kept. A site has one selector: a second filter of the kind is not imported.
bool takeSelector(SiteOptions& options, const QString& kind, const QString& expression, QString& why) {
    if (!options.selector.isEmpty()) {
        why = UrlwatchImport::tr("un sito ha un solo selettore");
        return false;
    }
    const SelectorKind k = kind == u"css" ? SelectorKind::Css : SelectorKind::XPath;
    const SelectorXPath made = selectorXPath(k, expression.trimmed());
    if (!made.error.isEmpty()) {
        why = made.error;
        return false;
    }
    options.selector = expression.trimmed();
    options.selectorKind = k;
    options.textMode = true;
    return true;
}

void mapFilter(const Filter& f, ImportedSite& site, Walk& walk) {
    const auto argument = [&](const char* setting) {
        return !f.argument.isEmpty() ? f.argument
               : f.args.IsScalar()   ? scalar(f.args)
                                     : mapValue(f.args, setting, walk);
    };
    const auto lose = [&](const QString& why) {
        site.notImported << UrlwatchImport::tr("filtro \"%1\" non importato: %2").arg(importedText(f.name), why);
    };
    const auto addRule = [&](const QString& rule) {
        if (rule.isEmpty() || !TextRules::patternError(rule).isEmpty())
            lose(UrlwatchImport::tr("espressione non valida"));
        else if (rule.size() > kMaxRuleLength)
            lose(UrlwatchImport::tr("espressione troppo lunga"));
        else if (site.options.ignore.size() >= kMaxIgnoreRules)
            lose(UrlwatchImport::tr("oltre %1 regole").arg(kMaxIgnoreRules));
        else if (!site.options.ignore.contains(rule))
            site.options.ignore << rule;
    };
    QString why;
    if (f.name == u"html2text") {
        site.options.textMode = true;
    } else if (f.name == u"css" || f.name == u"xpath") {
        if (!takeSelector(site.options, f.name, argument(f.name == u"css" ? "selector" : "path"), why))
            lose(why);
    } else if (f.name == u"grepi") {
        addRule(argument("re"));
    } else if (f.name == u"re.sub") {
        const QString rule = wholeLineRule(argument("pattern"), mapValue(f.args, "repl", walk));
        if (rule.isEmpty())
            lose(UrlwatchImport::tr("non toglie righe intere"));
        else
            addRule(rule);
    } else if (f.name == u"grep") {
        lose(UrlwatchImport::tr("tiene solo le righe che corrispondono"));
    } else {
        lose(UrlwatchImport::tr("nessun filtro corrispondente"));
    }
}

void readJob(const YAML::Node& job, Walk& walk, ImportRead& read) {
    walk.spend();
    if (job.IsNull()) // an empty document, as after a final "---"
        return;
    if (!job.IsMap()) {
        read.skipped.push_back({QString(), UrlwatchImport::tr("un documento che non è un job")});
        return;
    }
    QString name, url, command;
    YAML::Node filter;
    for (const auto& kv : job) {
        walk.spend();
        const QString key = scalar(kv.first);
        if (key == u"name")
            name = importedText(scalar(kv.second));
        else if (key == u"url" || key == u"navigate")
            url = scalar(kv.second).trimmed();
        else if (key == u"command")
            command = importedText(scalar(kv.second));
        else if (key == u"filter")
            filter = kv.second;
    }
    if (url.isEmpty()) {
        read.skipped.push_back({name.isEmpty() ? command : name,
                                command.isEmpty() ? UrlwatchImport::tr("senza indirizzo")
                                                  : UrlwatchImport::tr("un comando, non una pagina")});
        return;
    }
    ImportedSite site{url, name, {}, {}, {}, {}};
    if (filter.IsDefined()) {
        for (const Filter& f : filterList(filter, walk))
            mapFilter(f, site, walk);
    }
    // Ignore rules apply to the text of a page.
    if (!site.options.ignore.isEmpty())
        site.options.textMode = true;
    read.sites.push_back(std::move(site));
}

} // namespace

QString wholeLineRule(const QString& pattern, const QString& repl) {
    static const QRegularExpression flags(QStringLiteral("^\\(\\?([a-zA-Z]+)\\)"));
    if (!repl.isEmpty())
        return {};
    const QRegularExpressionMatch m = flags.match(pattern);
    const QString letters = m.captured(1);
    // "^" and "$" stand for line ends only in multi-line mode; "s" lets "." run over them.
    if (!letters.contains(u'm') || letters.contains(u's'))
        return {};
    QString rest = pattern.mid(m.capturedLength());
    if (!rest.startsWith(u'^'))
        return {};
    static const QRegularExpression lineEnd(QStringLiteral(R"((\$|\$?(\\r\??)?\\n\??)$)"));
    const QRegularExpressionMatch end = lineEnd.match(rest);
    // A "$" escaped by a backslash is a dollar sign, not the line's end.
    if (!end.hasMatch() || rest.sliced(0, end.capturedStart()).endsWith(u'\\'))
        return {};
    const QString body = rest.sliced(1, end.capturedStart() - 1);
    if (body.contains(QStringLiteral("\\n")))
        return {};
    QString kept;
    for (const QChar c : letters) {
        if (c != u'm' && !kept.contains(c))
            kept += c;
    }
    return (kept.isEmpty() ? QString() : QStringLiteral("(?") + kept + u')') + u'^' + body + u'$';
}

ImportRead readUrlwatchJobs(QByteArrayView utf8) {
    ImportRead read;
    read.format = ImportFormat::Urlwatch;
    const std::string text(utf8.data(), size_t(utf8.size()));
    const auto refuse = [](const QString& why) {
        ImportRead failed;
        failed.outcome = Outcome::failure(kImportBadFile, why);
        return failed;
    };
    try {
        {
            std::istringstream in(text);
            YAML::Parser parser(in);
            NodeCounter counter;
            while (parser.HandleNextDocument(counter)) {
            }
        }
        Walk walk;
        for (const YAML::Node& job : YAML::LoadAll(text)) {
            readJob(job, walk, read);
            if (read.sites.size() > size_t(kMaxImportSites))
                return refuse(UrlwatchImport::tr("Il file contiene più di %1 siti.").arg(kMaxImportSites));
        }
    } catch (const TooLarge&) {
        return refuse(
            UrlwatchImport::tr("Il file ha troppi elementi, o alias che li moltiplicano: non viene letto."));
    } catch (const YAML::Exception& e) {
        return refuse(UrlwatchImport::tr("Il file non è un elenco YAML valido: riga %1, colonna %2: %3")
                          .arg(e.mark.line + 1)
                          .arg(e.mark.column + 1)
                          .arg(QString::fromStdString(e.msg)));
    } catch (const std::exception& e) {
        return refuse(
            UrlwatchImport::tr("Il file non può essere letto: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    return read;
}
