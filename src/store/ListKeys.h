#pragma once

#include "core/SiteEntry.h"

#include <QString>

#include <vector>

// The key of a record read without a nick: "§" and its number, counted from 1.
QString numberedKey(qsizetype number);

// Gives each entry its primary key (its record's raw nick, or its numbered key), or, when an earlier entry holds
// a key of the same identity (keyIdentity), a numbered key that no record has.
void assignKeys(std::vector<SiteEntry>& entries, const std::vector<QString>& primaries);
