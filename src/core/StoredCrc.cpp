#include "core/StoredCrc.h"

#include <limits>

StoredCrc StoredCrc::fromText(const QString& text) {
    StoredCrc crc;
    crc.m_value = std::nullopt;
    const bool negative = text.startsWith(u'-');
    const qsizetype digitsFrom = negative ? 1 : 0;
    bool digits = text.size() > digitsFrom && text.size() - digitsFrom <= 11;
    qint64 n = 0;
    for (qsizetype i = digitsFrom; digits && i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        digits = c >= u'0' && c <= u'9';
        n = n * 10 + (c - u'0');
    }
    n = negative ? -n : n;
    if (digits && n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max())
        crc.m_value = static_cast<qint32>(n);
    // The value's own text has no leading zero and no "-0": told without writing the number out.
    const bool ownText = crc.m_value && (text.at(digitsFrom) != u'0' || (!negative && text.size() == 1));
    if (!ownText)
        crc.m_text = text.isNull() ? QStringLiteral("") : text;
    return crc;
}
