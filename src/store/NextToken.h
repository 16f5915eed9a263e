#pragma once

#include <QString>

// A tokenizer with memory: runs of delimiter characters separate tokens, delimiters at either end are ignored.
class TokenCursor {
public:
    // A non-empty text starts over on that text; an empty text goes on with the last one.
    // Returns the next token, or an empty text when none is left.
    QString next(const QString& text, const QString& delimiters);

private:
    QString m_text;
    qsizetype m_position = 0; // 0-based index of the next character to look at
};

// The program-wide tokenizer: callers take all the tokens they need before another caller starts a new text.
QString NextToken(const QString& text, const QString& delimiters);
