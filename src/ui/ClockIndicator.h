#pragma once

#include "schedule/CheckScheduler.h"

#include <QImage>
#include <QLabel>

// The clock indicator: a small picture of the schedule's state with the next-check time as its hover text.
class ClockIndicator : public QLabel {
    Q_OBJECT
public:
    static constexpr int kPictureSize = 16; // logical size of one stored picture
    static constexpr int kScale = 2;        // shown at twice that size
    static const QRgb kMaskColour;

    explicit ClockIndicator(QWidget* parent = nullptr);

    // The picture of one key, 16 x 16: as stored (mask colour opaque) or overlay-drawn (mask transparent).
    // A null image for an unknown key.
    static QImage picture(const QString& key, bool overlay);
    static QStringList keys();

    // Follows the scheduler's display from now on.
    void follow(const CheckScheduler& scheduler);
    void setClockState(const ClockState& state);
    QString currentKey() const { return m_state.key; }
    bool isOverlayDrawn() const { return m_state.overlay; }

private:
    ClockState m_state;
};
