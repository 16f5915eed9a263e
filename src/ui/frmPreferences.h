#pragma once

#include "core/CheckOptions.h"

#include <QDialog>

class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;

// The timing preferences: the schedule interval as hours, minutes and seconds, and the fetch timeout.
// OK reports the interval through TimerStarted or TimerStop; every close reports the timeout to store.
// The opener reads and writes the settings store, so scheduling needs no store of its own.
class frmPreferences : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSecondsPerEntry = 8;
    static constexpr int kFloorExtraSeconds = 5;
    static constexpr int kMinTimeout = 15;
    static constexpr int kMaxTimeout = kMaxTimeoutSeconds;

    // entryCount: every entry of the site list, ticked or not. storedTimeout: the "Timeout" setting's text.
    frmPreferences(int entryCount, const QString& storedTimeout, Prompter& prompter, QWidget* parent = nullptr);

    // The timeout to store for a text of the timeout box: the nearest whole number (halves to the even one)
    // when it is a number above the minimum, at most kMaxTimeout; the minimum otherwise.
    static QString timeoutToStore(const QString& boxText);

    // The interval box of a power of 60: 0 seconds, 1 minutes, 2 hours.
    QLineEdit* txtHMS(int index) const { return m_hms[index]; }
    QLineEdit* txtTimeout() const { return m_timeout; }
    QLabel* lblTotale() const { return m_total; }
    QPushButton* cmdOK() const { return m_ok; }
    qint64 TotalSeconds() const { return m_totalSeconds; }

    void done(int result) override;

signals:
    void TimerStarted(qint32 lInterval);
    void TimerStop();
    // On every close, by OK or by the close box: the timeout to keep under "Settings"/"Timeout".
    void timeoutToSave(const QString& timeout);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void recomputeTotal();
    bool filterIntervalKey(int index, QKeyEvent* event);
    void arrowReleased(int index, const QKeyEvent* event);
    void checkTimeout();
    void confirm();

    int m_entryCount;
    Prompter& m_prompter;
    QLineEdit* m_hms[3];
    QLabel* m_total;
    QLineEdit* m_timeout;
    QPushButton* m_ok;
    qint64 m_totalSeconds = 0;
    bool m_leftLatch = false;  // shared by the three boxes
    bool m_rightLatch = false; // shared by the three boxes
};
