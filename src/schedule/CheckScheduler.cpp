#include "schedule/CheckScheduler.h"

#include "core/CheckRun.h"
#include "core/Clock.h"
#include "core/Language.h"
#include "schedule/ConnectionState.h"

namespace {
constexpr int kFrameCount = 6;
constexpr int kInvalidPropertyValue = 380; // what a timer answers to an interval it cannot take
} // namespace

const QString CheckScheduler::kTimerDisabledText =
    QString::fromUtf8(QT_TRANSLATE_NOOP("CheckScheduler", "Timer disabled"));
const QString CheckScheduler::kNextCheckPrefix =
    QString::fromUtf8(QT_TRANSLATE_NOOP("CheckScheduler", "Next check at "));
const QString CheckScheduler::kOfflineTitle =
    QString::fromUtf8(QT_TRANSLATE_NOOP("CheckScheduler", "Error: PC not online."));
const QString CheckScheduler::kOfflineText = QString::fromUtf8(QT_TRANSLATE_NOOP(
    "CheckScheduler", "Il PC non è connesso ad Internet.\r\nAvviare una connessione e riprovare..."));

CheckScheduler::CheckScheduler(CheckRun& run, const ConnectionState& connection, const Clock& clock,
                               QObject* parent)
    : QObject(parent)
    , m_run(run)
    , m_connection(connection)
    , m_clockSource(clock)
    , m_clock{ClockKey::kDisarmed, true, Language::text("CheckScheduler", kTimerDisabledText)} {
    m_scheduleTimer.setSingleShot(false);
    // Long periods must not drift by the coarse timer's 5% slack.
    m_scheduleTimer.setTimerType(Qt::PreciseTimer);
    m_busyTimer.setInterval(kBusyAnimationMs);
    connect(&m_scheduleTimer, &QTimer::timeout, this, &CheckScheduler::ScheduleTick);
    connect(&m_busyTimer, &QTimer::timeout, this, &CheckScheduler::busyAnimationStep);
    connect(&m_run, &CheckRun::finished, this, &CheckScheduler::onRunFinished);
}

Outcome CheckScheduler::TimerStarted(qint64 lInterval) {
    if (lInterval <= 0 || lInterval > kMaxIntervalSeconds) {
        return Outcome::failure(kInvalidPropertyValue,
                                tr("Intervallo non valido: %1 secondi.\r\nIl timer accetta da 1 a %2 secondi.")
                                    .arg(lInterval)
                                    .arg(kMaxIntervalSeconds));
    }
    m_intervalSeconds = lInterval;
    // start() on an active timer restarts it with the new period: at most one schedule exists.
    m_scheduleTimer.start(static_cast<int>(lInterval * 1000));
    show(ClockKey::kArmed, true, nextCheckText());
    return Outcome::success();
}

void CheckScheduler::TimerStop() {
    m_scheduleTimer.stop();
    m_intervalSeconds = 0;
    show(ClockKey::kDisarmed, true, Language::text("CheckScheduler", kTimerDisabledText));
}

void CheckScheduler::ScheduleTick() {
    m_scheduledFrame = (m_scheduledFrame + 1) % kFrameCount;
    show(ClockKey::frame(m_scheduledFrame), true, nextCheckText());
    // The tick does not ask for a connection; a tick during a run is remembered by the run itself.
    m_run.CheckSelectedURLs(true);
}

CheckScheduler::StartResult CheckScheduler::start() {
    if (!m_connection.IsConnected())
        return StartResult::Offline;
    if (m_run.isActive())
        return StartResult::Busy;

    m_manualRunActive = true;
    m_busyTimer.start();
    busyAnimationStep();
    // No run is active, so this one starts; it may end before it returns (nothing ticked, empty list), and
    // onRunFinished then tidies up.
    m_run.CheckSelectedURLs(false);
    return StartResult::Started;
}

void CheckScheduler::stop() {
    m_run.requestStop();
}

void CheckScheduler::busyAnimationStep() {
    show(ClockKey::frame(m_manualFrame), false, m_clock.hoverText);
    m_manualFrame = (m_manualFrame + 1) % kFrameCount;
}

void CheckScheduler::onRunFinished(const CheckRunReport& report) {
    // A scheduled run that waited for the manual one ends later and must not end the manual display again.
    if (report.fromTimer || !m_manualRunActive)
        return;
    endManualRun();
}

void CheckScheduler::endManualRun() {
    m_manualRunActive = false;
    m_busyTimer.stop();
    show(isArmed() ? ClockKey::kArmed : ClockKey::kDisarmed, false, m_clock.hoverText);
}

QString CheckScheduler::nextCheckText() const {
    return Language::text("CheckScheduler", kNextCheckPrefix) +
           generalDateTimeText(m_clockSource.now().addSecs(m_intervalSeconds));
}

void CheckScheduler::show(const QString& key, bool overlay, const QString& hoverText) {
    const ClockState next{key, overlay, hoverText};
    if (next == m_clock)
        return;
    m_clock = next;
    emit clockStateChanged(m_clock);
}
