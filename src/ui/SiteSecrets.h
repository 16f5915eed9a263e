#pragma once

#include "core/Outcome.h"
#include "core/SiteRequest.h"
#include "store/SecretStore.h"

#include <QObject>

#include <functional>

class Prompter;
class QWidget;
class SiteList;

// The sites' secret header lines as this user keeps them, and whoever sends them (the check run): every change
// reaches it at once, as the file has it after the change. The lines follow a site of the list whose URL is
// edited, however it is edited; a failure to move them is told to the person.
class SiteSecrets : public QObject {
    Q_OBJECT
public:
    using Listener = std::function<void(const SecretHeaders& all)>;
    // A child of owner. The list and the prompter must outlive it.
    SiteSecrets(SecretStore store, SiteList& list, Prompter& prompter, QWidget* owner, Listener changed);

    QStringList lines(const QString& url) const;
    // None removes the site's lines.
    Outcome setLines(const QString& url, const QStringList& lines);

private:
    void urlChanged(int row, const QString& before, const QString& after);

    SecretStore m_store;
    SiteList& m_list;
    Prompter& m_prompter;
    QWidget* m_owner;
    Listener m_changed;
};
