#pragma once

#include "store/SiteImport.h"

#include <QByteArrayView>

// Reads a urlwatch job list (YAML documents separated by "---"): each job with a url becomes a site named by
// its name, and its filters become the site's options where ours do the same: html2text is text mode, grepi and
// a re.sub that removes whole lines are ignore rules; every other filter is left out with the reason. The
// input must be at most kMaxYamlFileSize; a file of too many nodes, or whose aliases would make the jobs too
// large, is refused.
ImportRead readUrlwatchJobs(QByteArrayView utf8);

// The ignore rule a re.sub of pattern with repl does, when it removes whole lines ("(?m)^...$" and an optional
// line end, with nothing put in their place); empty when it does something else.
QString wholeLineRule(const QString& pattern, const QString& repl);
