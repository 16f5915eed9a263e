#include "ui/SiteSecrets.h"

#include "core/SiteList.h"
#include "winsupport/Prompter.h"

#include <QWidget>

SiteSecrets::SiteSecrets(SecretStore store, SiteList& list, Prompter& prompter, QWidget* owner, Listener changed)
    : QObject(owner)
    , m_store(std::move(store))
    , m_list(list)
    , m_prompter(prompter)
    , m_owner(owner)
    , m_changed(std::move(changed)) {
    connect(&m_list, &SiteList::urlChanged, this, &SiteSecrets::urlChanged);
}

QStringList SiteSecrets::lines(const QString& url) const {
    return m_store.read().value(url);
}

Outcome SiteSecrets::setLines(const QString& url, const QStringList& lines) {
    const Outcome written = m_store.setLines(url, lines);
    // Told even after a failed write: the file may hold another process's lines meanwhile.
    if (m_changed)
        m_changed(m_store.read());
    return written;
}

void SiteSecrets::urlChanged(int row, const QString& before, const QString& after) {
    if (!m_list.entryAt(row).options->hasSecrets)
        return;
    const Outcome moved = m_store.rekey(before, after);
    if (m_changed)
        m_changed(m_store.read());
    if (!moved.ok())
        m_prompter.message(Prompter::Icon::Exclamation, QString(),
                           tr("Le intestazioni segrete del sito non hanno seguito il suo nuovo indirizzo: %1")
                               .arg(moved.errorText()),
                           m_owner);
}
