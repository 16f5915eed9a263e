#include "core/TextDiff.h"

#include "core/PageText.h"

#include <QHash>
#include <QStringView>

#include <dtl/dtl.hpp>

#include <algorithm>

namespace {

// Lines left to compare once the common start and end are set aside; beyond it (or when the lines cannot have
// much in common) the middle is shown as all removed then all added, so that time stays bounded.
constexpr qsizetype kMaxDiffLines = 200000;
// dtl costs about (lines) x (edit distance); above this product the middle is not worth aligning line by line.
constexpr qint64 kMaxDiffWork = qint64(400) * 1000 * 1000;
// A changed line longer than this, or with more words, is marked as a whole.
constexpr qsizetype kMaxWordLineChars = 10000;
constexpr qsizetype kMaxWordTokens = 2000;
// All the word marks of one diff together: the sum over pairs of (words)^2 / 4, dtl's worst case. Past it the
// remaining changed lines are marked whole.
constexpr qint64 kMaxWordWork = qint64(20) * 1000 * 1000;

// One step of a line edit script: a line kept (both indexes), removed (old index) or added (new index).
struct Step {
    DiffLine::Kind kind;
    int oldIndex;
    int newIndex;
};

QStringList splitLines(const QString& text) {
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.constLast().isEmpty())
        lines.removeLast(); // a final newline ends the last line, it does not start another
    return lines;
}

// Edit script between two sequences of ids; within every run of changes the removals come first.
std::vector<Step> editScript(const std::vector<int>& a, const std::vector<int>& b) {
    const int n = int(a.size());
    const int m = int(b.size());
    int head = 0;
    while (head < n && head < m && a[head] == b[head])
        ++head;
    int tail = 0;
    while (tail < n - head && tail < m - head && a[n - 1 - tail] == b[m - 1 - tail])
        ++tail;

    std::vector<Step> steps;
    steps.reserve(size_t(std::max(n, m)) + 16);
    for (int i = 0; i < head; ++i)
        steps.push_back({DiffLine::Kind::Same, i, i});

    const std::vector<int> midA(a.begin() + head, a.end() - tail);
    const std::vector<int> midB(b.begin() + head, b.end() - tail);
    const qint64 midLines = qint64(midA.size()) + qint64(midB.size());
    // Lines of one side that have no equal on the other are a lower bound of the edit distance.
    qint64 unmatched = 0;
    if (!midA.empty() && !midB.empty() && midLines <= kMaxDiffLines) {
        QHash<int, int> balance;
        for (int id : midA)
            ++balance[id];
        for (int id : midB)
            --balance[id];
        for (auto it = balance.cbegin(); it != balance.cend(); ++it)
            unmatched += qAbs(it.value());
    }
    const bool align =
        !midA.empty() && !midB.empty() && midLines <= kMaxDiffLines && midLines * unmatched <= kMaxDiffWork;

    std::vector<Step> removed;
    std::vector<Step> added;
    const auto flush = [&] {
        steps.insert(steps.end(), removed.begin(), removed.end());
        steps.insert(steps.end(), added.begin(), added.end());
        removed.clear();
        added.clear();
    };
    if (align) {
        dtl::Diff<int, std::vector<int>> diff(midA, midB);
        diff.compose();
        for (const auto& [id, info] : diff.getSes().getSequence()) {
            Q_UNUSED(id)
            const int oldIndex = head + int(info.beforeIdx) - 1;
            const int newIndex = head + int(info.afterIdx) - 1;
            if (info.type == dtl::SES_DELETE) {
                removed.push_back({DiffLine::Kind::Removed, oldIndex, -1});
            } else if (info.type == dtl::SES_ADD) {
                added.push_back({DiffLine::Kind::Added, -1, newIndex});
            } else {
                flush();
                steps.push_back({DiffLine::Kind::Same, oldIndex, newIndex});
            }
        }
    } else {
        for (int i = head; i < n - tail; ++i)
            removed.push_back({DiffLine::Kind::Removed, i, -1});
        for (int j = head; j < m - tail; ++j)
            added.push_back({DiffLine::Kind::Added, -1, j});
    }
    flush();
    for (int k = 0; k < tail; ++k)
        steps.push_back({DiffLine::Kind::Same, n - tail + k, m - tail + k});
    return steps;
}

struct LineScript {
    QStringList older;
    QStringList newer;
    std::vector<Step> steps;
};

LineScript lineScript(const QString& older, const QString& newer) {
    LineScript script{splitLines(older), splitLines(newer), {}};
    QHash<QString, int> ids;
    ids.reserve(script.older.size() + script.newer.size());
    const auto intern = [&ids](const QStringList& lines) {
        std::vector<int> seq;
        seq.reserve(size_t(lines.size()));
        for (const QString& line : lines) {
            auto it = ids.constFind(line);
            if (it == ids.cend())
                it = ids.insert(line, int(ids.size()));
            seq.push_back(it.value());
        }
        return seq;
    };
    const std::vector<int> a = intern(script.older);
    const std::vector<int> b = intern(script.newer);
    script.steps = editScript(a, b);
    return script;
}

// Words (runs of letters and digits), runs of white space, and every other character on its own.
QList<QStringView> tokens(QStringView line) {
    QList<QStringView> out;
    qsizetype i = 0;
    while (i < line.size()) {
        const QChar c = line[i];
        qsizetype j = i + 1;
        if (c.isLetterOrNumber()) {
            while (j < line.size() && line[j].isLetterOrNumber())
                ++j;
        } else if (c.isSpace()) {
            while (j < line.size() && line[j].isSpace())
                ++j;
        } else if (c.isHighSurrogate() && j < line.size() && line[j].isLowSurrogate()) {
            ++j;
        }
        out.append(line.mid(i, j - i));
        i = j;
    }
    return out;
}

void addSpan(QList<DiffSpan>& spans, qsizetype start, qsizetype length) {
    if (!spans.isEmpty() && spans.last().start + spans.last().length == start)
        spans.last().length += int(length);
    else
        spans.append({int(start), int(length)});
}

// Marks the words of two paired lines that are not common to both.
void markWords(DiffLine& removed, DiffLine& added, qint64& budget) {
    const QStringView oldLine(removed.text);
    const QStringView newLine(added.text);
    const bool tooLong = oldLine.size() > kMaxWordLineChars || newLine.size() > kMaxWordLineChars;
    const QList<QStringView> oldTokens = tooLong ? QList<QStringView>() : tokens(oldLine);
    const QList<QStringView> newTokens = tooLong ? QList<QStringView>() : tokens(newLine);
    const qint64 count = oldTokens.size() + newTokens.size();
    budget -= count * count / 4;
    if (tooLong || count > kMaxWordTokens || budget < 0) {
        if (!oldLine.isEmpty())
            removed.words = {{0, int(oldLine.size())}};
        if (!newLine.isEmpty())
            added.words = {{0, int(newLine.size())}};
        return;
    }
    QHash<QStringView, int> ids;
    const auto intern = [&ids](const QList<QStringView>& list) {
        std::vector<int> seq;
        seq.reserve(size_t(list.size()));
        for (QStringView token : list) {
            auto it = ids.constFind(token);
            if (it == ids.cend())
                it = ids.insert(token, int(ids.size()));
            seq.push_back(it.value());
        }
        return seq;
    };
    const std::vector<int> a = intern(oldTokens);
    const std::vector<int> b = intern(newTokens);
    for (const Step& step : editScript(a, b)) {
        if (step.kind == DiffLine::Kind::Removed) {
            const QStringView token = oldTokens[step.oldIndex];
            addSpan(removed.words, token.data() - oldLine.data(), token.size());
        } else if (step.kind == DiffLine::Kind::Added) {
            const QStringView token = newTokens[step.newIndex];
            addSpan(added.words, token.data() - newLine.data(), token.size());
        }
    }
}

// What the rules do to each line of a text, and whether they take digits out (seen from the kept lines:
// when the fingerprinted text differs from them only because digits went).
struct Fates {
    QList<LineFate> fates;
    bool removesDigits = false;
};

Fates fatesOf(const TextRules& rules, const QStringList& lines) {
    const FilteredText filtered = rules.apply(lines.join(QLatin1Char('\n')));
    Fates out;
    if (filtered.fates.size() != lines.size())
        return out; // the rules saw other lines than these: mark nothing rather than the wrong lines
    out.fates = filtered.fates;
    QStringList kept;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (out.fates[i] == LineFate::Kept)
            kept.append(lines[i]);
    }
    const QString keptText = kept.join(QLatin1Char('\n'));
    out.removesDigits = filtered.text != keptText && filtered.text == withoutDigits(keptText);
    return out;
}

} // namespace

std::vector<DiffLine> diffTexts(const QString& older, const QString& newer, const TextRules* rules) {
    const LineScript script = lineScript(older, newer);
    Fates oldFates;
    Fates newFates;
    if (rules) {
        oldFates = fatesOf(*rules, script.older);
        newFates = fatesOf(*rules, script.newer);
    }
    const auto leftOut = [](const Fates& f, int index) {
        return index >= 0 && index < f.fates.size() && f.fates[index] != LineFate::Kept;
    };

    std::vector<DiffLine> lines;
    lines.reserve(script.steps.size());
    for (const Step& step : script.steps) {
        DiffLine line;
        line.kind = step.kind;
        line.text = step.kind == DiffLine::Kind::Added ? script.newer[step.newIndex] : script.older[step.oldIndex];
        line.oldNumber = step.oldIndex + 1;
        line.newNumber = step.newIndex + 1;
        line.ignored = leftOut(oldFates, step.oldIndex) || leftOut(newFates, step.newIndex);
        lines.push_back(std::move(line));
    }

    // Pair the i-th removed line of every change with its i-th added line.
    const bool digitsOut = oldFates.removesDigits || newFates.removesDigits;
    qint64 wordBudget = kMaxWordWork;
    for (size_t start = 0; start < lines.size();) {
        if (lines[start].kind == DiffLine::Kind::Same) {
            ++start;
            continue;
        }
        size_t firstAdded = start;
        while (firstAdded < lines.size() && lines[firstAdded].kind == DiffLine::Kind::Removed)
            ++firstAdded;
        size_t end = firstAdded;
        while (end < lines.size() && lines[end].kind == DiffLine::Kind::Added)
            ++end;
        const size_t pairs = std::min(firstAdded - start, end - firstAdded);
        for (size_t k = 0; k < pairs; ++k) {
            DiffLine& removed = lines[start + k];
            DiffLine& added = lines[firstAdded + k];
            markWords(removed, added, wordBudget);
            if (digitsOut && withoutDigits(removed.text) == withoutDigits(added.text))
                removed.ignored = added.ignored = true;
        }
        start = end;
    }
    return lines;
}

QString unifiedDiff(const QString& older, const QString& newer, const QString& olderLabel,
                    const QString& newerLabel, const TextRules* rules, int context) {
    const std::vector<DiffLine> lines = diffTexts(older, newer, rules);
    using Kind = DiffLine::Kind;
    context = std::clamp(context, 0, 1 << 24);
    QString out;
    size_t counted = 0; // lines before the current hunk, with the old and new lines among them
    int oldBefore = 0;
    int newBefore = 0;
    size_t i = 0;
    while (i < lines.size()) {
        while (i < lines.size() && !isChange(lines[i]))
            ++i;
        if (i == lines.size())
            break;
        // A hunk: from `context` lines before the change to `context` lines after its last change, taking in
        // later changes that are at most 2 x context other lines away.
        const size_t first = i > size_t(context) ? i - size_t(context) : 0;
        size_t last = i; // one past the last change
        size_t j = i;
        while (j < lines.size()) {
            if (isChange(lines[j])) {
                last = ++j;
                continue;
            }
            size_t run = j;
            while (run < lines.size() && !isChange(lines[run]))
                ++run;
            if (run == lines.size() || run - j > size_t(2 * context))
                break;
            j = run;
        }
        const size_t end = std::min(lines.size(), last + size_t(context));

        int oldStart = -1, newStart = -1, oldCount = 0, newCount = 0;
        QString body;
        for (size_t k = first; k < end; ++k) {
            const DiffLine& line = lines[k];
            if (line.kind != Kind::Added) {
                if (oldStart < 0)
                    oldStart = line.oldNumber - 1;
                ++oldCount;
            }
            if (line.kind != Kind::Removed) {
                if (newStart < 0)
                    newStart = line.newNumber - 1;
                ++newCount;
            }
            // A line the rules leave out is context, marked as such even where it differs.
            const char mark = line.kind == Kind::Same      ? ' '
                              : line.ignored               ? '~'
                              : line.kind == Kind::Removed ? '-'
                                                           : '+';
            body += QLatin1Char(mark);
            body += line.text;
            body += QLatin1Char('\n');
        }
        // An empty side names the line before it, as diff does.
        const auto range = [](int startIndex, int count, int before) {
            const int number = count == 0 ? before : startIndex + 1;
            return count == 1 ? QString::number(number) : QStringLiteral("%1,%2").arg(number).arg(count);
        };
        for (; counted < first; ++counted) {
            if (lines[counted].kind != Kind::Added)
                ++oldBefore;
            if (lines[counted].kind != Kind::Removed)
                ++newBefore;
        }
        if (out.isEmpty())
            out = QStringLiteral("--- %1\n+++ %2\n").arg(olderLabel, newerLabel);
        out += QStringLiteral("@@ -%1 +%2 @@\n")
                   .arg(range(oldStart, oldCount, oldBefore), range(newStart, newCount, newBefore));
        out += body;
        i = end;
    }
    return out;
}
