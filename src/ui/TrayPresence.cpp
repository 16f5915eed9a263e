#include "ui/TrayPresence.h"

#include "core/CheckRun.h"
#include "core/Language.h"
#include "core/SiteList.h"
#include "store/SettingsStore.h"
#include "ui/ClockIndicator.h"
#include "ui/DesktopNotifier.h"

#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSet>
#include <QSystemTrayIcon>
#include <QWidget>

const QString TrayPresence::kNotifyKey = QStringLiteral("Notify");
const QString TrayPresence::kNotifyDefault = QStringLiteral("1");
const QString TrayPresence::kTitle = QStringLiteral("Quovel");

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

// `many` holds %1 for the number.
QString count(qsizetype n, const QString& none, const QString& one, const QString& many) {
    if (n == 0)
        return none;
    return n == 1 ? one : many.arg(n);
}

QIcon trayIcon(const ClockState& state) {
    // Always with a transparent mask: the mask colour of the stored pictures has no place in a tray.
    const QImage image = ClockIndicator::picture(state.key, true);
    QIcon icon;
    if (image.isNull())
        return icon;
    icon.addPixmap(QPixmap::fromImage(image));
    icon.addPixmap(QPixmap::fromImage(
        image.scaled(image.size() * ClockIndicator::kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    return icon;
}

} // namespace

TrayPresence::TrayPresence(QWidget* window, const SettingsStore& settings, const SiteList& list, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_settings(settings)
    , m_list(list) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_menu = new QMenu;
    connect(m_menu->addAction(tr("Avvia controllo")), &QAction::triggered, this, &TrayPresence::startRequested);
    connect(m_menu->addAction(tr("Arresta controllo")), &QAction::triggered, this, &TrayPresence::stopRequested);
    m_menu->addSeparator();
    connect(m_menu->addAction(tr("Mostra Quovel")), &QAction::triggered, this, &TrayPresence::raiseWindow);

    m_tray = new QSystemTrayIcon(this);
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            raiseWindow();
    });
    connect(m_tray, &QSystemTrayIcon::messageClicked, this, &TrayPresence::notificationClicked);
    m_notifier = new DesktopNotifier(m_tray, this);
    connect(m_notifier, &DesktopNotifier::clicked, this, &TrayPresence::notificationClicked);
    connect(m_notifier, &DesktopNotifier::diffClicked, this, [this] {
        if (!m_diffUrl.isEmpty())
            emit diffRequested(m_diffUrl);
    });
    setClockState(
        {ClockKey::kDisarmed, true, Language::text("CheckScheduler", CheckScheduler::kTimerDisabledText)});
    m_tray->show();
}

TrayPresence::~TrayPresence() {
    delete m_tray; // before the menu it refers to
    delete m_menu;
}

void TrayPresence::follow(const CheckScheduler& scheduler) {
    setClockState(scheduler.clockState());
    connect(&scheduler, &CheckScheduler::clockStateChanged, this, &TrayPresence::setClockState);
}

void TrayPresence::setClockState(const ClockState& state) {
    if (!m_tray)
        return;
    m_tray->setIcon(trayIcon(state));
    m_tray->setToolTip(state.hoverText); // the program's own text, never a list entry's
}

bool TrayPresence::reportRun(const CheckRunReport& report) {
    if (!m_tray)
        return false;
    const bool background = !m_window || m_window->isMinimized() || !m_window->isActiveWindow();
    if (!shouldNotify(report, background, m_settings))
        return false;
    m_diffUrl = report.changed.size() == 1 ? report.changed.constFirst() : QString();
    m_notifier->notify(tr("Quovel"), noticeText(report, pageNames(report, m_list)), !m_diffUrl.isEmpty());
    return true;
}

void TrayPresence::notificationClicked() {
    emit resultsRequested();
    // Shown last, so the viewer of the one changed page is in front of the results.
    if (!m_diffUrl.isEmpty())
        emit diffRequested(m_diffUrl);
}

bool TrayPresence::shouldNotify(const CheckRunReport& report, bool windowInBackground,
                                const SettingsStore& settings) {
    if (!report.fromTimer || !report.showResults() || !windowInBackground)
        return false;
    return settings.get(SettingKeys::kSettings, kNotifyKey, kNotifyDefault).trimmed() != QStringLiteral("0");
}

QStringList TrayPresence::pageNames(const CheckRunReport& report, const SiteList& list) {
    const QStringList urls = (report.changed + report.timeouts).mid(0, kMaxNamed);
    // One pass over the list for the few URLs named; the first entry with a URL gives its nick.
    QHash<QString, QString> nickOf;
    for (const QString& url : urls)
        nickOf.insert(url, QString());
    QSet<QString> found;
    for (const SiteEntry& entry : list.entries()) {
        const auto it = nickOf.find(entry.url);
        if (it != nickOf.end() && !found.contains(entry.url)) {
            it.value() = entry.nick;
            found.insert(entry.url);
            if (found.size() == nickOf.size())
                break;
        }
    }
    QStringList names;
    for (const QString& url : urls) {
        const QString nick = nickOf.value(url).trimmed();
        names << (nick.isEmpty() ? url : nick);
    }
    return names;
}

QString TrayPresence::noticeText(const CheckRunReport& report, const QStringList& names) {
    const qsizetype changed = report.changed.size();
    const qsizetype timeouts = report.timeouts.size();
    QString text =
        count(changed, tr("Nessuna pagina cambiata"), tr("1 pagina cambiata"), tr("%1 pagine cambiate")) +
        QStringLiteral(", ") +
        count(timeouts, tr("nessun errore di timeout"), tr("1 errore di timeout"), tr("%1 errori di timeout")) +
        u'.';

    QStringList plain;
    for (const QString& name : names.mid(0, kMaxNamed))
        plain << plainName(name);
    const qsizetype changedNamed = qMin(changed, plain.size());
    if (changedNamed > 0)
        text += tr("\nCambiate: ") + plain.mid(0, changedNamed).join(QStringLiteral(", "));
    if (plain.size() > changedNamed)
        text += tr("\nIn timeout: ") + plain.mid(changedNamed).join(QStringLiteral(", "));
    const qsizetype others = changed + timeouts - plain.size();
    if (others == 1)
        text += tr("\n…e un'altra pagina.");
    else if (others > 1)
        text += tr("\n…e altre %1 pagine.").arg(others);
    return text;
}

void TrayPresence::raiseWindow() {
    if (!m_window)
        return;
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
