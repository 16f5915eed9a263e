#include "ui/RunNotifier.h"

#include "core/CheckRun.h"
#include "core/SiteList.h"
#include "ui/DesktopNotifier.h"

#include <QHash>

namespace {

constexpr int kMaxNameLength = 60;

// A nick or URL from a list file, made safe for a notification: some notification services read the body as
// markup, others show it as it is, so no character of it may mean anything to either; and one line each.
QString plainName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'<')
            out += QChar(0x2039); // single angle quotation marks look like the brackets
        else if (c == u'>')
            out += QChar(0x203A);
        else if (c == u'&')
            out += QChar(0xFF06); // fullwidth ampersand
        else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                 c == QChar::ParagraphSeparator)
            out += u' ';
        else
            out += c;
    }
    out = out.simplified();
    if (out.size() > kMaxNameLength)
        out = out.left(kMaxNameLength - 1) + QChar(0x2026);
    return out;
}

} // namespace

RunNotifier::RunNotifier(const SiteList& list, DesktopNotifier* notifier, QObject* parent)
    : QObject(parent)
    , m_list(list)
    , m_notifier(notifier) {
    connect(m_notifier, &DesktopNotifier::clicked, this, [this] {
        emit resultsRequested();
        // Shown last, so the viewer of the one changed page is in front of the results.
        if (!m_diffUrl.isEmpty())
            emit diffRequested(m_diffUrl);
    });
    connect(m_notifier, &DesktopNotifier::diffClicked, this, [this] {
        if (!m_diffUrl.isEmpty())
            emit diffRequested(m_diffUrl);
    });
}

RunNotifier::Notice RunNotifier::noticeOf(const CheckRunReport& report, int failureLimit) {
    Notice notice;
    if (!report.outcome.ok())
        return notice;
    notice.changed = report.changed;
    for (const FailureStreak& streak : report.streaks) {
        if (streak.reachesLimit(failureLimit))
            notice.unreachable << streak.url;
        else if (streak.recoversFrom(failureLimit))
            notice.recovered << streak.url;
    }
    return notice;
}

bool RunNotifier::reportRun(const CheckRunReport& report) {
    if (!m_enabled || !report.fromTimer)
        return false;
    const Notice notice = noticeOf(report, m_failureLimit);
    if (notice.isEmpty())
        return false;
    m_diffUrl = notice.changed.size() == 1 ? notice.changed.constFirst() : QString();
    m_notifier->notify(QStringLiteral("Quovel"), noticeText(notice, m_list), !m_diffUrl.isEmpty());
    ++m_sent;
    return true;
}

QString RunNotifier::noticeText(const Notice& notice, const SiteList& list) {
    // One pass over the list for the few URLs named; the first entry with a URL gives its nick.
    QHash<QString, QString> nickOf;
    for (const QStringList* urls : {&notice.changed, &notice.unreachable, &notice.recovered}) {
        for (const QString& url : urls->mid(0, kMaxNamed))
            nickOf.insert(url, QString());
    }
    qsizetype found = 0;
    QHash<QString, bool> seen;
    for (const SiteEntry& entry : list.entries()) {
        const auto it = nickOf.find(entry.url);
        if (it == nickOf.end() || seen.contains(entry.url))
            continue;
        it.value() = entry.nick.trimmed();
        seen.insert(entry.url, true);
        if (++found == nickOf.size())
            break;
    }
    const auto line = [&nickOf](const QStringList& urls, const QString& counted) -> QString {
        QStringList names;
        for (const QString& url : urls.mid(0, kMaxNamed)) {
            const QString nick = nickOf.value(url);
            names << plainName(nick.isEmpty() ? url : nick);
        }
        if (urls.size() > kMaxNamed)
            names << QString(QChar(0x2026));
        return counted + QStringLiteral(": ") + names.join(QStringLiteral(", "));
    };
    const auto counted = [](qsizetype n, const QString& one, const QString& many) {
        return n == 1 ? one : many.arg(n);
    };
    QStringList lines;
    if (!notice.changed.isEmpty())
        lines << line(notice.changed,
                      counted(notice.changed.size(), tr("1 pagina cambiata"), tr("%1 pagine cambiate")));
    if (!notice.unreachable.isEmpty())
        lines << line(notice.unreachable, counted(notice.unreachable.size(), tr("1 sito non raggiungibile"),
                                                  tr("%1 siti non raggiungibili")));
    if (!notice.recovered.isEmpty())
        lines << line(notice.recovered, counted(notice.recovered.size(), tr("1 sito di nuovo raggiungibile"),
                                                tr("%1 siti di nuovo raggiungibili")));
    return lines.join(u'\n');
}
