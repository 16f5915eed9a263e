#pragma once

#include "core/Clock.h"

// A clock that stands still at the time a test sets.
struct FixedClock : Clock {
    QDateTime now() const override { return m_now; }
    QDateTime m_now{QDate(2024, 3, 5), QTime(15, 4, 5)};
};
