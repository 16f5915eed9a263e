#pragma once

#include <QList>
#include <QString>

#include <functional>

class QLabel;
class QPlainTextEdit;

// The lines of an editor checked one by one as they are typed: those `problem` refuses (it gives the reason;
// blank lines are not asked about) are tinted from the palette, the first few are named with their reasons
// in `report`, followed by `footer` when any is refused; `report` is hidden when none is. Returns the refused
// lines, 1-based.
QList<int> markRefusedLines(QPlainTextEdit& editor, QLabel& report,
                            const std::function<QString(const QString& line)>& problem,
                            const QString& footer = {});
