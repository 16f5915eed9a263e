#include "core/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Language {

bool isChoice(const QString& text) {
    return text == u"it" || text == u"en" || text == u"source" || text == u"auto" || text.isEmpty();
}

QString resolve(const QString& choice, const QStringList& uiLanguages) {
    if (choice == u"it" || choice == u"en")
        return choice;
    if (choice == u"source")
        return {};
    // The first language the user prefers decides; a C or POSIX locale sets none.
    const QString first = uiLanguages.isEmpty() ? QString() : uiLanguages.constFirst();
    if (first.isEmpty() || first == u"C" || first.startsWith(u"C.") || first.startsWith(u"POSIX"))
        return {};
    const QLocale locale(first);
    if (locale.language() == QLocale::C)
        return {};
    return locale.language() == QLocale::Italian ? QStringLiteral("it") : QStringLiteral("en");
}

bool install(QCoreApplication& app, const QString& code) {
    if (code.isEmpty())
        return true;
    // Qt's own texts (message box buttons, file dialogs) first, so that the program's win where both have one.
    auto qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    auto own = new QTranslator(&app);
    if (!own->load(QStringLiteral(":/i18n/quovel_") + code + QStringLiteral(".qm")))
        return false;
    QCoreApplication::installTranslator(own);
    return true;
}

} // namespace Language

namespace Language {
QString text(const char* context, const QString& source) {
    return QCoreApplication::translate(context, source.toUtf8().constData());
}
} // namespace Language
