#pragma once

#include <QList>
#include <QString>

#include <vector>

class TextRules;

// A run of characters inside a line that is not in the line it is paired with, in QChar units.
struct DiffSpan {
    int start = 0;
    int length = 0;
    bool operator==(const DiffSpan&) const = default;
};

// One line of a line diff between two texts.
struct DiffLine {
    enum class Kind { Same, Removed, Added };
    Kind kind = Kind::Same;
    QString text;
    int oldNumber = 0;     // 1-based line number in the older text; 0 for an added line
    int newNumber = 0;     // 1-based line number in the newer text; 0 for a removed line
    QList<DiffSpan> words; // for a removed or added line paired with one on the other side: the words that differ
    bool ignored = false;  // the site's rules leave this line out (ignored, outside the region, digits only):
                           // shown, but never counted as a change
    bool operator==(const DiffLine&) const = default;
};

// Line diff of two texts (lines split at "\n"), with the changed words marked inside changed lines. Removed
// lines come before the added lines that replace them. With rules, lines the rules leave out are marked
// ignored, on both sides. Bounded in time for large texts with few changes.
std::vector<DiffLine> diffTexts(const QString& older, const QString& newer, const TextRules* rules = nullptr);

// True for a line that is a change to look at: added or removed, and not ignored.
inline bool isChange(const DiffLine& line) {
    return line.kind != DiffLine::Kind::Same && !line.ignored;
}

// A unified diff ("--- ", "+++ ", "@@ -a,b +c,d @@" hunks with `context` lines around each change), with the
// two labels on the header lines; empty when there is no change. With rules, a line they leave out is no
// change: it is marked '~' instead of '-' or '+', and shown only as context of a change.
QString unifiedDiff(const QString& older, const QString& newer, const QString& olderLabel,
                    const QString& newerLabel, const TextRules* rules = nullptr, int context = 3);
