#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QRect>

class QWidget;
class SettingsStore;

// Saves (save set) or restores the window's placement record "Left§Top§Width§Height§State" in twips, under the
// window's object name and the key "LTWHS". The bounds are those of the normal state's client area (geometry()).
// Restoring applies each field as soon as it is read and stops at the first bad one, keeping the fields before it.
// A failure carries the error's number and description (6 Overflow, 13 Type mismatch, 75 Path/File access error,
// 380 Invalid property value); the caller shows it as "Error " + number + CR LF CR LF + description.
// A restored placement is then brought onto the screens as placeOnScreens does.
Outcome PersistPlacement(QWidget& window, bool save, SettingsStore& store);

// The bounds unchanged when they lie on one of the screens (their available areas); otherwise moved onto the
// screen they overlap most, or the nearest, shrunk only where they are larger than that screen.
QRect placeOnScreens(const QRect& bounds, const QList<QRect>& screens);
