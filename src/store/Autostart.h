#pragma once

#include "core/Outcome.h"

#include <QString>

// The desktop's start-at-login entry for the program (XDG autostart): written to start it minimised, or removed.
namespace Autostart {
// ~/.config/autostart/<application id>.desktop, under XDG_CONFIG_HOME where set.
QString entryPath();
bool isEnabled();
// program: the executable the entry starts.
Outcome enable(const QString& program);
Outcome disable();
} // namespace Autostart
