#include "ui/frmPreferences.h"

#include "schedule/CheckScheduler.h"
#include "winsupport/Prompter.h"
#include "winsupport/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <cmath>
#include <optional>

namespace {

constexpr int kSeconds = 0;
constexpr int kMinutes = 1;
constexpr int kHours = 2;

// A number as a person types it: with a dot, or with the decimal separator of their own locale.
std::optional<double> numberIn(const QString& text) {
    const QString trimmed = text.trimmed();
    for (QLocale locale : {QLocale::c(), QLocale()}) {
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double value = locale.toDouble(trimmed, &ok);
        if (ok && std::isfinite(value))
            return value;
    }
    return std::nullopt;
}

bool isCopy(const QKeyEvent* event) {
    return event->matches(QKeySequence::Copy) || event->text() == QChar(3);
}

bool isDigit(const QKeyEvent* event) {
    const QString text = event->text();
    return text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9' &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

frmPreferences::frmPreferences(int entryCount, const QString& storedTimeout, Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_entryCount(entryCount)
    , m_prompter(prompter)
    , m_hms{new QLineEdit(this), new QLineEdit(this), new QLineEdit(this)}
    , m_total(new QLabel(QStringLiteral("0"), this))
    , m_timeout(new QLineEdit(timeoutToStore(storedTimeout), this))
    , m_ok(new QPushButton(tr("OK"), this)) {
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(tr("Set Timer Interval"));
    setAccessibleName(windowTitle());
    setModal(true);
    setFixedSize(twipsToPixels(3600, logicalDpiX()), twipsToPixels(1920, logicalDpiY()));

    const struct {
        const char* name;
        const char* caption;
        int left, top, width;
    } labels[] = {{"Label4", QT_TR_NOOP("Controlla ogni..."), 120, 120, 2400},
                  {"Label1", QT_TR_NOOP("ore"), 120, 420, 600},
                  {"Label2", QT_TR_NOOP("min"), 840, 420, 480},
                  {"Label3", QT_TR_NOOP("sec"), 1440, 420, 480},
                  {"Label5", QT_TR_NOOP("Imposta timeout ( > 10s)"), 120, 1140, 2400}};
    for (const auto& l : labels) {
        auto* label = new QLabel(tr(l.caption), this);
        label->setObjectName(QLatin1String(l.name));
        placeTwips(label, l.left, l.top, l.width, 240);
    }
    const struct {
        int left, width, maxLength;
        const char* accessibleName;
    } boxes[] = {
        {1440, 480, 2, QT_TR_NOOP("sec")}, {840, 480, 2, QT_TR_NOOP("min")}, {120, 600, 3, QT_TR_NOOP("ore")}};
    for (int index = kSeconds; index <= kHours; ++index) {
        QLineEdit* box = m_hms[index];
        box->setObjectName(QStringLiteral("txtHMS") + QString::number(index));
        box->setAccessibleName(tr(boxes[index].accessibleName));
        box->setText(QStringLiteral("0"));
        box->setMaxLength(boxes[index].maxLength);
        box->installEventFilter(this);
        placeTwips(box, boxes[index].left, 660, boxes[index].width, 315);
        connect(box, &QLineEdit::textChanged, this, &frmPreferences::recomputeTotal);
    }
    m_total->setObjectName(QStringLiteral("lblTotale"));
    placeTwips(m_total, 2040, 700, 1400, 240);
    m_timeout->setObjectName(QStringLiteral("txtTimeout"));
    m_timeout->setAccessibleName(tr("Imposta timeout ( > 10s)"));
    m_total->setAccessibleName(tr("Totale"));
    m_timeout->installEventFilter(this);
    placeTwips(m_timeout, 120, 1400, 900, 315);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(false);
    placeTwips(m_ok, 2400, 1340, 1050, 420);
    connect(m_ok, &QPushButton::clicked, this, &frmPreferences::confirm);

    setTabOrder(m_hms[kHours], m_hms[kMinutes]);
    setTabOrder(m_hms[kMinutes], m_hms[kSeconds]);
    setTabOrder(m_hms[kSeconds], m_ok);
    setTabOrder(m_ok, m_timeout);
    m_hms[kHours]->setFocus();
}

QString frmPreferences::timeoutToStore(const QString& boxText) {
    const std::optional<double> number = numberIn(boxText);
    if (!number || *number <= kMinTimeout)
        return QString::number(kMinTimeout);
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    return QString::number(static_cast<qint64>(std::min(std::nearbyint(*number), double(kMaxTimeout))));
}

void frmPreferences::recomputeTotal() {
    qint64 total = 0;
    qint64 unit = 1;
    for (QLineEdit* box : m_hms) {
        // An empty box counts 0; text pasted through the context menu that is no whole number counts 0 too.
        bool ok = false;
        const qint64 value = QString(QStringLiteral("0") + box->text()).toLongLong(&ok);
        total += (ok ? value : 0) * unit;
        unit *= 60;
    }
    m_totalSeconds = total;
    m_total->setText(QString::number(total) + QStringLiteral("s"));
}

bool frmPreferences::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_timeout) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_ok->setFocus(Qt::OtherFocusReason);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            // Another window coming to the front or a context menu is no leaving of the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                checkTimeout();
        }
        return QDialog::eventFilter(watched, event);
    }
    for (int index = kSeconds; index <= kHours; ++index) {
        if (watched != m_hms[index])
            continue;
        switch (event->type()) {
        case QEvent::KeyPress:
            return filterIntervalKey(index, static_cast<QKeyEvent*>(event));
        case QEvent::KeyRelease:
            arrowReleased(index, static_cast<QKeyEvent*>(event));
            break;
        case QEvent::FocusIn:
            // The box takes the focus its own way first (which may select everything), then the first two
            // characters are selected.
            static_cast<QObject*>(m_hms[index])->event(event);
            m_hms[index]->setSelection(0, 2);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool frmPreferences::filterIntervalKey(int index, QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (index == kSeconds)
            m_ok->setFocus(Qt::OtherFocusReason);
        else
            m_hms[index - 1]->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Backspace:
        return false;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false; // not characters: focus moves and deleting work as in any box
    default:
        break;
    }
    if (isCopy(event) || isDigit(event))
        return false;
    // Every other character is dropped, keyboard paste, cut and undo included.
    return !event->text().isEmpty();
}

void frmPreferences::arrowReleased(int index, const QKeyEvent* event) {
    if (event->isAutoRepeat())
        return;
    QLineEdit* box = m_hms[index];
    if (event->key() == Qt::Key_Left && index < kHours && box->cursorPosition() == 0) {
        // The caret arriving at the start arms the move; one more Left performs it.
        if (m_leftLatch)
            m_hms[index + 1]->setFocus(Qt::OtherFocusReason);
        m_leftLatch = !m_leftLatch;
    } else if (event->key() == Qt::Key_Right && index > kSeconds && box->cursorPosition() == box->text().size()) {
        if (m_rightLatch)
            m_hms[index - 1]->setFocus(Qt::OtherFocusReason);
        m_rightLatch = !m_rightLatch;
    }
}

void frmPreferences::checkTimeout() {
    const std::optional<double> number = numberIn(m_timeout->text());
    if (!number || *number >= kMinTimeout)
        return;
    m_prompter.message(Prompter::Icon::Information, tr("Attenzione!"),
                       tr("Il timeout non può essere minore di 15 secondi!"), this);
    m_timeout->setText(QString::number(kMinTimeout));
}

void frmPreferences::confirm() {
    const qint64 floor = qint64(m_entryCount) * kSecondsPerEntry + kFloorExtraSeconds;
    if (m_totalSeconds > 0 && m_totalSeconds < floor) {
        const QString text = tr("Un valore plausibile prevede almeno otto secondi di tempo per ogni URL.\r\n"
                                "Essendo presenti %1 diversi url, l'intervallo di scansione degli stessi verrà\r\n"
                                "automaticamente impostato a %2 secondi.\r\n"
                                "Accetti le modifiche?")
                                 .arg(m_entryCount)
                                 .arg(floor);
        m_totalSeconds = m_prompter.askYesNo(tr("Intervallo troppo breve!"), text, this) ? floor : 0;
    }
    if (m_totalSeconds > CheckScheduler::kMaxIntervalSeconds) {
        // The timer's period in milliseconds must fit a signed 32-bit value; the dialog stays open.
        m_prompter.message(Prompter::Icon::Exclamation, tr("Attenzione!"),
                           tr("L'intervallo non può superare %1 secondi (596 ore, 31 minuti e 23 secondi).")
                               .arg(CheckScheduler::kMaxIntervalSeconds),
                           this);
        return;
    }
    if (m_totalSeconds != 0)
        emit TimerStarted(static_cast<qint32>(m_totalSeconds));
    else
        emit TimerStop();
    accept();
}

void frmPreferences::done(int result) {
    emit timeoutToSave(timeoutToStore(m_timeout->text()));
    QDialog::done(result);
}

void frmPreferences::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button: Esc does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
