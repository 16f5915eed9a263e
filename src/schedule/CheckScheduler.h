#pragma once

#include "core/Outcome.h"

#include <QObject>
#include <QString>
#include <QTimer>

class CheckRun;
class Clock;
class ConnectionState;
struct CheckRunReport;

// What the clock indicator shows: which picture, how it is drawn, and its hover text.
struct ClockState {
    QString key;         // "Timer_0", "Timer_1", "aniTimer0".."aniTimer5"
    bool overlay = true; // overlay-drawn (mask colour transparent) or as stored (mask colour visible)
    QString hoverText;

    bool operator==(const ClockState&) const = default;
};
Q_DECLARE_METATYPE(ClockState)

namespace ClockKey {
inline const QString kDisarmed = QStringLiteral("Timer_0");
inline const QString kArmed = QStringLiteral("Timer_1");
inline QString frame(int n) {
    return QStringLiteral("aniTimer") + QString::number(n);
}
} // namespace ClockKey

// The check scheduler: the periodic schedule of check runs, the start and stop commands and the clock display.
class CheckScheduler : public QObject {
    Q_OBJECT
public:
    enum class StartResult { Started, Offline, Busy };

    // The period in milliseconds must fit a signed 32-bit value.
    static constexpr qint64 kMaxIntervalSeconds = 2147483;
    static constexpr int kBusyAnimationMs = 5000;
    static const QString kTimerDisabledText;
    static const QString kNextCheckPrefix;
    // The message shown when a manual start finds the computer offline (exclamation icon, OK button).
    static const QString kOfflineTitle;
    static const QString kOfflineText;

    CheckScheduler(CheckRun& run, const ConnectionState& connection, const Clock& clock,
                   QObject* parent = nullptr);

    // Arms the periodic schedule (replacing an armed one); the first scheduled run starts one period later.
    // An interval outside 1..kMaxIntervalSeconds is refused (error 380, with a text for a message box) and
    // changes nothing.
    Outcome TimerStarted(qint64 lInterval);
    // Cancels the schedule; harmless when none is armed.
    void TimerStop();
    // One expiry of the schedule: advances the clock animation and starts a run over the whole list.
    void ScheduleTick();

    // The start command: one manual run over the ticked entries, if the computer is online and no run is active.
    StartResult start();
    // The stop command: asks the run in progress to stop.
    void stop();

    bool isArmed() const { return m_scheduleTimer.isActive(); }
    qint64 intervalSeconds() const { return m_intervalSeconds; }
    bool isManualRunActive() const { return m_manualRunActive; }
    bool isBusyAnimationEnabled() const { return m_busyTimer.isActive(); }
    const ClockState& clockState() const { return m_clock; }

    // Period of the busy animation during a manual run (5000 ms unless a test shortens it).
    void setBusyAnimationInterval(int ms) { m_busyTimer.setInterval(ms); }

signals:
    void clockStateChanged(const ClockState& state);

private:
    void busyAnimationStep();
    void onRunFinished(const CheckRunReport& report);
    void endManualRun();
    QString nextCheckText() const;
    void show(const QString& key, bool overlay, const QString& hoverText);

    CheckRun& m_run;
    const ConnectionState& m_connection;
    const Clock& m_clockSource;
    QTimer m_scheduleTimer;
    QTimer m_busyTimer; // Timer1
    qint64 m_intervalSeconds = 0;
    int m_scheduledFrame = 0;
    int m_manualFrame = 0;
    bool m_manualRunActive = false;
    ClockState m_clock;
};
