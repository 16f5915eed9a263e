#pragma once

#include "core/CheckOptions.h"
#include "core/PageText.h"
#include "core/SiteOptions.h"
#include "store/PageHistory.h"
#include "store/Setting.h"

#include <QDialog>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <optional>

class PageFetcher;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class SiteRequestEdit;

// What the options dialog knows of its site besides the options.
struct SiteOptionsContext {
    QString url;
    // The newest stored text of the page, for the preview; none shows a note instead.
    std::optional<PageVersion> latest;
    // The site's secret header lines as this user keeps them.
    QStringList secrets;
    // How a check asks for pages, for the preview's own request.
    CheckOptions fetch{int(Settings::kTimeout.defaultValue), int(Settings::kParallel.defaultValue),
                       Settings::kMaxTextBytes.defaultValue};
};

// The options of one site. First page: text mode, digits, the selector (refused as it is typed), ignore rules
// (each checked as it is typed), the region, and a preview of the text with the rules applied: of the latest
// stored version, or, once "Anteprima" has fetched the page, of that page with the selector tried on it. The
// history keeps text, not markup, so a selector can only be tried on a page fetched anew. Second page: how the
// page is asked for (SiteRequestEdit). Modal; nothing is fetched unless asked.
class frmSiteOptions : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewDelayMs = 200;

    frmSiteOptions(const SiteOptions& current, SiteOptionsContext context, QWidget* parent = nullptr);
    ~frmSiteOptions() override;

    // The options as the dialog shows them, with the stored fingerprint of the options it was opened with.
    // Rules that are not valid regular expressions, and blank lines, are left out.
    SiteOptions options() const;
    // The 1-based lines of the rules editor that are not valid regular expressions.
    QList<int> invalidRuleLines() const;
    // The secret header lines as typed; whether they were edited at all (untouched, the site keeps its own).
    QStringList secretLines() const;
    bool secretsEdited() const;

    // Fetches the page once, as a check would ask for it with the options as they are shown; the preview
    // then reads that page, the selector tried on it as it is typed.
    void fetchPreview();

    // The options to store after a change from `old` to `next`. Unchanged rules keep the stored fingerprint.
    // Changed rules are a new baseline, never a change: taken now from the latest stored text when that text
    // was read from the body whose fingerprint the entry holds (bodyCrc), through the same selector; otherwise
    // left for the next check to take silently.
    static SiteOptions rebaselined(const SiteOptions& old, SiteOptions next, std::optional<qint32> bodyCrc,
                                   const std::optional<PageVersion>& latest);

private:
    QWidget* buildTextPage();
    void checkRules();
    void checkSelector();
    void updateOk();
    void updatePreview();
    // The text the preview shows the rules on, or why there is none (note).
    QString previewText(const SiteOptions& next, QString& title, QString& note, bool& pending);
    // Reads the fetched page through an XPath in the background; the preview follows when it is read.
    void readInBackground(const QString& xpath);
    void showLines(const SiteOptions& next, const QString& text);

    SiteOptions m_current;
    SiteOptionsContext m_context;
    QTimer m_previewTimer;
    QList<int> m_invalid;
    QString m_selectorError;
    std::unique_ptr<PageFetcher> m_fetcher; // made by the first "Anteprima"
    QByteArray m_body, m_contentType;       // the page it fetched, when it came whole
    QString m_fetchNote;                    // why that page has no text to try, when it has none
    bool m_fetched = false;
    struct Read {
        QString xpath;
        PageText page;
    };
    std::optional<Read> m_read; // the fetched page read through the latest selector
    quint64 m_readGeneration = 0;

    QCheckBox* m_chkTesto;
    QCheckBox* m_chkCifre;
    QComboBox* m_cboTipoSelettore;
    QLineEdit* m_txtSelettore;
    QLabel* m_lblErroreSelettore;
    QPlainTextEdit* m_txtRegole;
    QLabel* m_lblErrore;
    QLineEdit* m_txtInizio;
    QLineEdit* m_txtFine;
    QLabel* m_lblAnteprima;
    QPushButton* m_cmdAnteprima;
    QLabel* m_lblCorrispondenze;
    QPlainTextEdit* m_txtAnteprima;
    QLabel* m_lblLimiti;
    SiteRequestEdit* m_request;
    QPushButton* m_cmdOK = nullptr;
    QThreadPool m_reader; // last: it waits for a reading in progress before the members it reports to go
};
