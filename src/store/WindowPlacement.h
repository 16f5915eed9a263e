#pragma once

#include <QString>

class QWidget;
class SettingsStore;

// The outcome of saving or restoring a placement: the error message to show when it failed.
struct PlacementResult {
    bool ok = true;
    QString message; // "Error " + number + CR LF CR LF + description
};

// Saves (save set) or restores the window's placement record "Left§Top§Width§Height§State" in twips, under the
// window's object name and the key "LTWHS". The bounds are those of the normal state's client area (geometry()).
// Restoring applies each field as soon as it is read and stops at the first bad one, keeping the fields before it.
// Shows nothing: the caller shows the message.
PlacementResult PersistPlacement(QWidget& window, bool save, SettingsStore& store);

// Twips per pixel at the window's logical resolution (15 at 96 dpi).
double twipsPerPixelX(const QWidget& window);
double twipsPerPixelY(const QWidget& window);
