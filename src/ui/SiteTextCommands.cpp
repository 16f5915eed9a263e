#include "ui/SiteTextCommands.h"

#include "core/SiteList.h"
#include "store/PageHistory.h"
#include "ui/SiteSecrets.h"
#include "ui/frmDiff.h"
#include "ui/frmSiteOptions.h"
#include "winsupport/Prompter.h"

#include <QDialog>
#include <QScreen>

#include <algorithm>
#include <memory>

void SiteTextCommands::runModally(frmSiteOptions& dialog) {
    dialog.exec();
}

SiteTextCommands::SiteTextCommands(SiteList& list, const PageHistory* history, SiteSecrets& secrets,
                                   FetchOptions fetchOptions, Prompter& prompter, QWidget* owner,
                                   DialogRunner runDialog)
    : QObject(owner)
    , m_list(list)
    , m_history(history)
    , m_secrets(secrets)
    , m_fetchOptions(std::move(fetchOptions))
    , m_prompter(prompter)
    , m_owner(owner)
    , m_runDialog(std::move(runDialog)) {}

void SiteTextCommands::placeOverOwner(QWidget& window) const {
    if (!m_owner)
        return;
    // Centred over the main window, and whole on its screen.
    const QRect owner = m_owner->frameGeometry();
    QRect wanted(QPoint(), window.size());
    wanted.moveCenter(owner.center());
    if (const QScreen* screen = m_owner->screen()) {
        const QRect room = screen->availableGeometry();
        wanted.moveLeft(qBound(room.left(), wanted.left(), std::max(room.left(), room.right() - wanted.width())));
        wanted.moveTop(qBound(room.top(), wanted.top(), std::max(room.top(), room.bottom() - wanted.height())));
    }
    window.move(wanted.topLeft());
}

int SiteTextCommands::selectedRowOrWarn() {
    const int row = m_list.selectedRow();
    if (row < 0)
        m_prompter.message(Prompter::Icon::Exclamation, tr("Error: Missing URL."),
                           tr("Seleziona prima l'indirizzo che intendi modificare!"), m_owner);
    return row;
}

void SiteTextCommands::showSelectedDiff() {
    const int row = selectedRowOrWarn();
    if (row >= 0)
        showDiff(m_list.entryAt(row).url);
}

frmDiff* SiteTextCommands::viewer(const QString& url) const {
    return m_viewers.value(url).data();
}

frmDiff* SiteTextCommands::showDiff(const QString& url) {
    const auto& entries = m_list.entries();
    const auto entry =
        std::find_if(entries.begin(), entries.end(), [&url](const SiteEntry& e) { return e.url == url; });
    const SiteEntry none;
    const SiteEntry& e = entry != entries.end() ? *entry : none;
    QPointer<frmDiff>& window = m_viewers[url];
    if (window) {
        window->reload(e.options);
    } else {
        window = new frmDiff(url, e.nick, m_history, e.options, m_owner);
        placeOverOwner(*window);
    }
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void SiteTextCommands::editSelectedOptions() {
    const int row = selectedRowOrWarn();
    if (row < 0)
        return;
    const SiteEntry& entry = m_list.entryAt(row);
    const quint64 id = entry.id;
    SiteOptionsContext context;
    context.url = entry.url;
    context.latest = m_history ? m_history->latest(entry.url) : std::nullopt;
    // Lines kept for the URL by another list's site are not this site's until it is given some.
    if (entry.options->hasSecrets)
        context.secrets = m_secrets.lines(entry.url);
    if (m_fetchOptions)
        context.fetch = m_fetchOptions();
    const std::optional<PageVersion> latest = context.latest;
    QPointer<frmSiteOptions> dialog(new frmSiteOptions(entry.options, std::move(context), m_owner));
    m_runDialog(*dialog);
    if (!dialog) // its owner went away while it was open
        return;
    const std::unique_ptr<frmSiteOptions> discard(dialog.data());
    // The entry may have gone, or a check may have judged it anew, while the dialog was open.
    const int now = m_list.rowOfId(id);
    if (dialog->result() != QDialog::Accepted || now < 0)
        return;
    const SiteEntry& current = m_list.entryAt(now);
    SiteOptions next =
        frmSiteOptions::rebaselined(current.options, dialog->options(), current.crc.value(), latest);
    if (dialog->secretsEdited()) {
        // Into the user's own file, never the list; the list learns only whether there are any.
        const Outcome saved = m_secrets.setLines(current.url, dialog->secretLines());
        if (!saved.ok())
            m_prompter.message(Prompter::Icon::Exclamation, tr("Opzioni sito"),
                               tr("Le intestazioni segrete non sono state salvate: %1").arg(saved.errorText()),
                               m_owner);
        next.hasSecrets = !m_secrets.lines(current.url).isEmpty();
    }
    if (next == current.options)
        return;
    m_list.setOptions(now, next);
    m_list.setModified(true);
    // An open viewer of the page marks what the new rules leave out.
    if (frmDiff* open = viewer(current.url))
        open->reload(next);
}
