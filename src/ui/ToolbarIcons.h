#pragma once

#include <QIcon>
#include <QString>

// Toolbar pictures: the desktop's icon theme, with pictures of our own drawn here whenever the theme has none,
// so no button is ever blank.
namespace ToolbarIcons {
// The picture of an image list key ("Open", "Save", "Delete", "Edit", "Copy", "Paste", "Forward").
QIcon icon(const QString& key);
// Our own drawing of that key, never null for the keys above.
QIcon drawn(const QString& key);
} // namespace ToolbarIcons
