#include "store/NextToken.h"

QString TokenCursor::next(const QString& text, const QString& delimiters) {
    if (!text.isEmpty()) {
        m_text = text;
        m_position = 0;
    } else if (m_text.isEmpty()) {
        return {};
    }
    const qsizetype length = m_text.size();
    qsizetype start = m_position;
    while (start < length && delimiters.contains(m_text.at(start), Qt::CaseSensitive))
        ++start;
    if (start >= length)
        return {};
    qsizetype end = start;
    while (end < length && !delimiters.contains(m_text.at(end), Qt::CaseSensitive))
        ++end;
    m_position = end;
    return m_text.mid(start, end - start);
}

QString NextToken(const QString& text, const QString& delimiters) {
    static TokenCursor cursor;
    return cursor.next(text, delimiters);
}
