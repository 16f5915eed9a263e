#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// A page fingerprint as the list keeps it: read once from its stored text, a signed decimal. A text that is
// not the value's own form (one that does not parse, or "007") is kept as it was, so the list saves
// byte-identical.
class StoredCrc {
public:
    StoredCrc() = default; // 0, a page never checked
    explicit StoredCrc(qint32 value)
        : m_value(value) {}
    // Optional minus sign, digits, within the signed 32-bit range; anything else keeps no value.
    static StoredCrc fromText(const QString& text);

    std::optional<qint32> value() const { return m_value; }
    QString text() const { return m_text.isNull() ? QString::number(m_value.value_or(0)) : m_text; }

    bool operator==(const StoredCrc&) const = default;

private:
    std::optional<qint32> m_value = 0;
    QString m_text; // the stored text, only where it is not QString::number(value)
};
