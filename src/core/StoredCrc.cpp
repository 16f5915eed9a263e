#include "core/StoredCrc.h"

#include <limits>

StoredCrc StoredCrc::fromText(const QString& text) {
    StoredCrc crc;
    crc.m_value = std::nullopt;
    const qsizetype digitsFrom = text.startsWith(u'-') ? 1 : 0;
    bool digits = text.size() > digitsFrom && text.size() - digitsFrom <= 11;
    for (qsizetype i = digitsFrom; digits && i < text.size(); ++i)
        digits = text.at(i) >= u'0' && text.at(i) <= u'9';
    bool ok = false;
    const qlonglong n = digits ? text.toLongLong(&ok) : 0;
    if (ok && n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max())
        crc.m_value = static_cast<qint32>(n);
    if (!crc.m_value || QString::number(*crc.m_value) != text)
        crc.m_text = text.isNull() ? QStringLiteral("") : text;
    return crc;
}
