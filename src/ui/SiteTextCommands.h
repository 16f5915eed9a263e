#pragma once

#include "core/CheckOptions.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class PageHistory;
class Prompter;
class QWidget;
class SiteList;
class SiteSecrets;
class frmDiff;
class frmSiteOptions;

// The commands on a site's text: the change viewer ("Mostra differenze", one window per page, reused while
// open) and the site options dialog ("Opzioni sito…"), for the selected entry or a page named by its URL.
class SiteTextCommands : public QObject {
    Q_OBJECT
public:
    // Shows the options dialog and returns when it has been closed; tests answer it without a modal loop.
    using DialogRunner = std::function<void(frmSiteOptions& dialog)>;
    static void runModally(frmSiteOptions& dialog);

    // How the options dialog's preview asks for a page: as the settings say when it opens.
    using FetchOptions = std::function<CheckOptions()>;

    // history may be null (no history is kept); it, the list and the secrets must outlive this object. The
    // windows it opens belong to owner.
    SiteTextCommands(SiteList& list, const PageHistory* history, SiteSecrets& secrets, FetchOptions fetchOptions,
                     Prompter& prompter, QWidget* owner, DialogRunner runDialog = &runModally);

    void showSelectedDiff();
    void editSelectedOptions();
    // Opens the change viewer of the page with this URL, or brings its open one forward with the latest
    // versions. The options and nick are those of the first entry with the URL, if any.
    frmDiff* showDiff(const QString& url);
    // The open viewer of a URL, or null.
    frmDiff* viewer(const QString& url) const;

private:
    // The selected entry's row; with none, the person is told as for a modify without selection.
    int selectedRowOrWarn();
    void placeOverOwner(QWidget& window) const;

    SiteList& m_list;
    const PageHistory* m_history;
    SiteSecrets& m_secrets;
    FetchOptions m_fetchOptions;
    Prompter& m_prompter;
    QWidget* m_owner;
    DialogRunner m_runDialog;
    QHash<QString, QPointer<frmDiff>> m_viewers;
};
