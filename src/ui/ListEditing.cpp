#include "ui/ListEditing.h"

#include "core/SiteList.h"
#include "ui/frmDialog.h"
#include "winsupport/Prompter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>
#include <QStringList>

#include <memory>

void ListEditing::runModally(frmDialog& dialog) {
    dialog.exec();
}

ListEditing::ListEditing(SiteList& list, Prompter& prompter, QWidget* owner, DialogRunner runDialog)
    : m_list(list)
    , m_prompter(prompter)
    , m_owner(owner)
    , m_runDialog(std::move(runDialog)) {}

quint64 ListEditing::selectedId() const {
    // By identity, not by key: an entry whose URL gives an empty key can still be edited.
    const int row = m_list.selectedRow();
    return row < 0 ? 0 : m_list.entryAt(row).id;
}

void ListEditing::addURL() {
    add({});
}

void ListEditing::pasteURL() {
    QString text = QGuiApplication::clipboard()->text();
    if (text.endsWith(u'\n'))
        text.chop(text.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
    const bool oneLine = !text.contains(u'\n') && !text.contains(u'\r');
    add(oneLine ? text : QString());
}

void ListEditing::add(const QString& filledUrl) {
    QPointer<frmDialog> dialog(new frmDialog(m_owner));
    QStringList urls;
    urls.reserve(m_list.count());
    for (const SiteEntry& e : m_list.entries())
        urls << e.url;
    dialog->setUrlCompletions(urls);
    dialog->fill(filledUrl, {}, {});
    m_runDialog(*dialog);
    if (!dialog) // its owner went away while it was open
        return;
    const std::unique_ptr<frmDialog> discard(dialog.data());
    // A pasted URL counts as typed once OK accepts it.
    const bool typed = dialog->Dirty() || (!filledUrl.isEmpty() && dialog->result() == QDialog::Accepted);
    // Nothing added leaves the modified flag as it was: it stands for changes not saved yet.
    if (!typed || dialog->url().isEmpty())
        return;
    const Outcome added = insert(*dialog);
    if (added.ok())
        return;
    if (added.errorNumber() == kDuplicateKey) {
        m_prompter.message(Prompter::Icon::Information, tr("Attenzione: URL duplicato."),
                           tr("Questo indirizzo appartiene già alla lista!"), m_owner);
    } else {
        m_prompter.message(Prompter::Icon::Critical, tr("Errore %1").arg(added.errorNumber()),
                           tr("Errore %1: %2").arg(added.errorNumber()).arg(added.errorText()), m_owner);
    }
}

Outcome ListEditing::insert(const frmDialog& dialog) {
    // The URL is kept exactly as typed: not trimmed, not changed in case.
    const QString url = dialog.url();
    if (!m_list.add(SiteList::keyFromUrl(url), url))
        return Outcome::failure(kDuplicateKey, tr("Chiave già presente nella lista"));
    const int row = m_list.count() - 1;
    m_list.setField(row, SiteList::Field::Res, QString());
    m_list.setField(row, SiteList::Field::Crc, QStringLiteral("0"));
    m_list.setField(row, SiteList::Field::Nick, dialog.nick());
    m_list.setField(row, SiteList::Field::Descrizione, dialog.descrizione());
    m_list.setModified(true);
    return Outcome::success();
}

void ListEditing::modifyURL() {
    const quint64 id = selectedId();
    if (id == 0) {
        m_prompter.message(Prompter::Icon::Exclamation, tr("Error: Missing URL."),
                           tr("Seleziona prima l'indirizzo che intendi modificare!"), m_owner);
        return;
    }
    const SiteEntry& entry = m_list.entryAt(m_list.rowOfId(id));
    const QString urlBeforeEdit = entry.url;
    QPointer<frmDialog> dialog(new frmDialog(m_owner));
    dialog->fill(entry.url, entry.nick, entry.descrizione);
    m_runDialog(*dialog);
    if (!dialog)
        return;
    const std::unique_ptr<frmDialog> discard(dialog.data());
    // The entry the dialog was opened for; a load or a delete while it was open leaves nothing to write to.
    const int row = m_list.rowOfId(id);
    if (row < 0 || !dialog->Dirty())
        return;
    m_list.setField(row, SiteList::Field::Nick, dialog->nick());
    m_list.setField(row, SiteList::Field::Url, dialog->url());
    m_list.setField(row, SiteList::Field::Res, QString());
    // A change of letter case alone keeps the fingerprint; any other change makes the next check report it.
    if (QString::compare(dialog->url(), urlBeforeEdit, Qt::CaseInsensitive) != 0)
        m_list.setField(row, SiteList::Field::Crc, QStringLiteral("0"));
    m_list.setField(row, SiteList::Field::Descrizione, dialog->descrizione());
    m_list.setModified(true);
}

void ListEditing::deleteURL() {
    const quint64 id = selectedId();
    if (id == 0)
        return;
    const QString url = m_list.entryAt(m_list.rowOfId(id)).url;
    if (!m_prompter.askYesNo(tr("Conferma eliminazione."),
                             tr("Vuoi davvero eliminare l'indirizzo:\r\n%1\r\ndall'elenco?").arg(url), m_owner))
        return;
    removeEntry(id);
}

void ListEditing::removeEntry(quint64 id) {
    // The list may have changed while the question was open.
    const int row = m_list.rowOfId(id);
    if (row < 0)
        return;
    const QString key = m_list.entryAt(row).key;
    if (m_list.rowOfKey(key) == row) {
        m_list.remove(key);
    } else {
        // No key leads to this entry (it is empty, or an earlier entry from a list file holds it too).
        m_list.removeIf([id](const SiteEntry& entry) { return entry.id == id; });
    }
    m_list.setModified(true);
}

void ListEditing::copyURL() {
    const quint64 id = selectedId();
    if (id == 0)
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_list.entryAt(m_list.rowOfId(id)).url);
}
