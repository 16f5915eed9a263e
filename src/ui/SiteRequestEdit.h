#pragma once

#include "core/PageFetcher.h"
#include "core/SiteOptions.h"

#include <QWidget>

class PaceEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

// How a site's page is asked for, the options dialog's second page: its user agent and its least delay between
// two requests to its host (each empty for the settings' own), its request headers as "Name: value" lines, its
// secret headers (Cookie, Authorization: kept by this user, never in the list), and its minimum interval
// between periodic checks. Header lines are checked as they are typed.
class SiteRequestEdit : public QWidget {
    Q_OBJECT
public:
    // secrets: the site's secret lines as this user keeps them; defaults: what the settings send for every site.
    SiteRequestEdit(const SiteOptions& current, const QStringList& secrets, const NetworkOptions& defaults,
                    QWidget* parent = nullptr);

    // Writes the request options into `options`; secrets are told only by whether the site has them.
    void apply(SiteOptions& options) const;
    QStringList secretLines() const;
    // Whether the secret lines were edited at all: untouched, what the site had is kept, even when this user
    // has none of them (a list from elsewhere).
    bool secretsEdited() const;
    // Some header line is refused: nothing may be saved.
    bool refused() const { return !m_refusedHeaders.isEmpty() || !m_refusedSecrets.isEmpty(); }

signals:
    void refusalChanged();

private:
    void checkLines();

    bool m_hadSecrets;
    QList<int> m_refusedHeaders, m_refusedSecrets;
    QLineEdit* m_txtUserAgent;
    QSpinBox* m_spnPausaHost;
    QPlainTextEdit* m_txtIntestazioni;
    QLabel* m_lblErroreIntestazioni;
    QPlainTextEdit* m_txtSegrete;
    QLabel* m_lblErroreSegrete;
    PaceEdit* m_pace;
};
