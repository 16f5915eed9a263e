#pragma once

#include "core/Outcome.h"
#include "core/SiteRequest.h"

#include <QString>

// The secret header lines of sites (Cookie, Authorization) by URL, in a file of the user's own beside the
// settings, readable by the user only (mode 0600). Lists are shared and mailed: these never go into one.
class SecretStore {
public:
    explicit SecretStore(QString path);
    // secrets.json in the folder of the user's settings file.
    static QString besideSettings(const QString& settingsFile);

    SecretHeaders read() const;
    // Sets the lines of url (none removes it), after reading the file again: another process may have
    // written it meanwhile.
    Outcome setLines(const QString& url, const QStringList& lines);
    // The secrets follow a site whose URL was edited.
    Outcome rekey(const QString& from, const QString& to);

private:
    Outcome write(const SecretHeaders& all);
    QString m_path;
};
