#pragma once

#include "core/SiteOptions.h"
#include "store/PageHistory.h"

#include <QDialog>
#include <QTimer>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The options of one site: text mode, digits, ignore rules (each checked as it is typed), the region, and a
// preview of the latest stored text with the rules applied. Modal; nothing is fetched.
class frmSiteOptions : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewDelayMs = 200;

    // latest: the newest stored text of the site's page, for the preview; none shows a note instead.
    frmSiteOptions(const SiteOptions& current, std::optional<PageVersion> latest, QWidget* parent = nullptr);

    // The options as the dialog shows them, with the stored fingerprint of the options it was opened with.
    // Rules that are not valid regular expressions, and blank lines, are left out.
    SiteOptions options() const;
    // The 1-based lines of the rules editor that are not valid regular expressions.
    QList<int> invalidRuleLines() const;

    // The options to store after a change from `old` to `next`. Unchanged rules keep the stored fingerprint.
    // Changed rules are a new baseline, never a change: taken now from the latest stored text when that text
    // was read from the body whose fingerprint the entry holds (bodyCrc); otherwise left for the next check
    // to take silently.
    static SiteOptions rebaselined(const SiteOptions& old, SiteOptions next, std::optional<qint32> bodyCrc,
                                   const std::optional<PageVersion>& latest);

private:
    void checkRules();
    void updatePreview();

    SiteOptions m_current;
    std::optional<PageVersion> m_latest;
    QTimer m_previewTimer;
    QList<int> m_invalid;

    QCheckBox* m_chkTesto;
    QCheckBox* m_chkCifre;
    QPlainTextEdit* m_txtRegole;
    QLabel* m_lblErrore;
    QLineEdit* m_txtInizio;
    QLineEdit* m_txtFine;
    QLabel* m_lblAnteprima;
    QPlainTextEdit* m_txtAnteprima;
    QLabel* m_lblLimiti;
};
