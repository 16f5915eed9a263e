#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// The language the program speaks: Italian, English, or the source texts as written in the code.
namespace Language {

// True for "it", "en", "source" (a language chosen) and for "" or "auto" (the locale's).
bool isChoice(const QString& text);

// The translation to load for a choice ("it", "en", "source", or anything else to follow the locale) and the
// user's languages in order of preference: "it", "en", or "" for the source texts. No language set (C,
// POSIX) gives the source texts; Italian gives "it"; any other language "en".
QString resolve(const QString& choice, const QStringList& uiLanguages);

// Installs the program's translation and Qt's own for the code ("it" or "en"); "" installs nothing.
// False when the program's translation could not be loaded.
bool install(QCoreApplication& app, const QString& code);

} // namespace Language

namespace Language {
// A text kept in a constant (marked for the translators with QT_TRANSLATE_NOOP(context, text)) in the user's
// language.
QString text(const char* context, const QString& source);
} // namespace Language
