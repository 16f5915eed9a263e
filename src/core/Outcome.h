#pragma once

#include <QString>

#include <utility>

// It worked, or here is the error number and its text: the one result value every layer hands upward.
// There is no default: a result says success or failure explicitly. The specific payload (entries read,
// a fingerprint, a report) travels beside it.
class Outcome {
public:
    static Outcome success() { return Outcome(0, QString()); }
    static Outcome failure(int number, QString text) { return Outcome(number == 0 ? -1 : number, std::move(text)); }

    bool ok() const { return m_number == 0; }
    explicit operator bool() const { return ok(); }
    // The error's number (never 0 for a failure) and its text for the user; 0 and empty on success.
    int errorNumber() const { return m_number; }
    const QString& errorText() const { return m_text; }

private:
    Outcome(int number, QString text)
        : m_number(number)
        , m_text(std::move(text)) {}
    int m_number;
    QString m_text;
};
