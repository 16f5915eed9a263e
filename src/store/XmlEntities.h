#pragma once

#include <QString>

// Adds one level of entity escaping for the five markup characters, "&" first.
QString XMLEntityEncode(const QString& text);

// Removes one level of entity escaping; the references match without regard to ASCII letter case.
QString XMLEntityDecode(const QString& text);
