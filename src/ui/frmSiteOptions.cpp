#include "ui/frmSiteOptions.h"

#include "core/Language.h"
#include "core/PageFetcher.h"
#include "core/PageText.h"
#include "core/SiteRequest.h"
#include "ui/NamedControls.h"
#include "ui/PlainTextLines.h"
#include "ui/RefusedLines.h"
#include "ui/SiteRequestEdit.h"
#include "winsupport/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

// The selector in effect when a text is read under these options: none outside text mode.
QString selectorInEffect(const SiteOptions& o) {
    if (!o.textMode || o.selector.isEmpty())
        return {};
    return (o.selectorKind == SelectorKind::Css ? QStringLiteral("css:") : QStringLiteral("xpath:")) + o.selector;
}

} // namespace

frmSiteOptions::frmSiteOptions(const SiteOptions& current, SiteOptionsContext context, QWidget* parent)
    : QDialog(parent)
    , m_current(current)
    , m_context(std::move(context))
    , m_chkTesto(named(new QCheckBox(tr("Confronta solo il &testo della pagina"), this),
                       QStringLiteral("chkTesto"), tr("Confronta solo il testo della pagina")))
    , m_chkCifre(
          named(new QCheckBox(tr("Ignora le &cifre"), this), QStringLiteral("chkCifre"), tr("Ignora le cifre")))
    , m_cboTipoSelettore(named(new QComboBox(this), QStringLiteral("cboTipoSelettore"), tr("Tipo di selettore")))
    , m_txtSelettore(named(new QLineEdit(this), QStringLiteral("txtSelettore"), tr("Selettore")))
    , m_lblErroreSelettore(plainLabel(QString(), QStringLiteral("lblErroreSelettore"), this))
    , m_txtRegole(named(new QPlainTextEdit(this), QStringLiteral("txtRegole"), tr("Righe da ignorare")))
    , m_lblErrore(plainLabel(QString(), QStringLiteral("lblErrore"), this))
    , m_txtInizio(named(new QLineEdit(this), QStringLiteral("txtInizio"), tr("Inizio regione")))
    , m_txtFine(named(new QLineEdit(this), QStringLiteral("txtFine"), tr("Fine regione")))
    , m_lblAnteprima(plainLabel(QString(), QStringLiteral("lblAnteprima"), this))
    , m_cmdAnteprima(named(new QPushButton(tr("Ante&prima"), this), QStringLiteral("cmdAnteprima"),
                           tr("Scarica la pagina per l'anteprima")))
    , m_lblCorrispondenze(plainLabel(QString(), QStringLiteral("lblCorrispondenze"), this))
    , m_txtAnteprima(named(new QPlainTextEdit(this), QStringLiteral("txtAnteprima"), tr("Anteprima")))
    , m_lblLimiti(plainLabel(QString(), QStringLiteral("lblLimiti"), this))
    , m_request(new SiteRequestEdit(current, m_context.secrets, m_context.fetch.network, this)) {
    setObjectName(QStringLiteral("frmSiteOptions"));
    setWindowTitle(tr("Opzioni sito"));
    setAccessibleName(tr("Opzioni sito"));

    auto* pages = named(new QTabWidget(this), QStringLiteral("tabOpzioni"), tr("Pagine delle opzioni"));
    pages->tabBar()->setAccessibleName(tr("Pagine delle opzioni"));
    pages->addTab(buildTextPage(), tr("Test&o"));
    pages->addTab(m_request, tr("Richi&esta"));

    auto* buttons = named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this),
                          QStringLiteral("cmdButtons"), tr("Pulsanti"));
    m_cmdOK = buttons->button(QDialogButtonBox::Ok);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    m_cmdOK->setText(tr("OK"));
    cancel->setText(tr("Annulla"));
    named(m_cmdOK, QStringLiteral("cmdOK"), tr("OK"));
    named(cancel, QStringLiteral("cmdAnnulla"), tr("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages, 1);
    layout->addWidget(buttons);
    resize(twipsToPixels(8400, logicalDpiX()), twipsToPixels(9000, logicalDpiY()));

    // The preview follows the options once typing pauses; the checks of rules and selector follow every key.
    m_reader.setMaxThreadCount(1);
    m_previewTimer.setSingleShot(true);
    m_previewTimer.setInterval(kPreviewDelayMs);
    connect(&m_previewTimer, &QTimer::timeout, this, &frmSiteOptions::updatePreview);
    const auto later = [this] {
        m_previewTimer.start();
    };
    connect(m_txtRegole, &QPlainTextEdit::textChanged, this, [this, later] {
        checkRules();
        later();
    });
    connect(m_txtSelettore, &QLineEdit::textChanged, this, &frmSiteOptions::checkSelector);
    connect(m_cboTipoSelettore, &QComboBox::currentIndexChanged, this, &frmSiteOptions::checkSelector);
    connect(m_chkTesto, &QCheckBox::toggled, this, later);
    connect(m_chkCifre, &QCheckBox::toggled, this, later);
    connect(m_txtInizio, &QLineEdit::textChanged, this, later);
    connect(m_txtFine, &QLineEdit::textChanged, this, later);
    connect(m_cmdAnteprima, &QPushButton::clicked, this, &frmSiteOptions::fetchPreview);
    connect(m_request, &SiteRequestEdit::refusalChanged, this, &frmSiteOptions::updateOk);
    checkRules();
    checkSelector();
    updatePreview();
}

frmSiteOptions::~frmSiteOptions() {
    m_reader.clear(); // a reading not yet started is not waited for
}

void frmSiteOptions::readInBackground(const QString& xpath) {
    // Bounded as a check's text is, but up to MaxTextBytes of page: off the window's thread, the latest only.
    const quint64 generation = ++m_readGeneration;
    m_reader.clear();
    m_reader.start([this, generation, xpath, body = m_body, type = m_contentType] {
        PageText page = extractPageText(body, type, xpath);
        QMetaObject::invokeMethod(
            this,
            [this, generation, xpath, page = std::move(page)] {
                if (generation != m_readGeneration)
                    return;
                m_read = Read{xpath, page};
                updatePreview();
            },
            Qt::QueuedConnection);
    });
}

QWidget* frmSiteOptions::buildTextPage() {
    auto* page = named(new QWidget(this), QStringLiteral("tabTesto"), tr("Testo"));
    m_chkTesto->setChecked(m_current.textMode);
    m_chkCifre->setChecked(m_current.noDigits);
    m_cboTipoSelettore->addItems({tr("XPath"), tr("CSS")});
    m_cboTipoSelettore->setCurrentIndex(m_current.selectorKind == SelectorKind::Css ? 1 : 0);
    m_txtSelettore->setText(m_current.selector);
    m_txtSelettore->setPlaceholderText(tr("nessuno: tutta la pagina"));
    m_txtSelettore->setClearButtonEnabled(true);
    m_txtRegole->setPlainText(m_current.ignore.join(u'\n'));
    m_txtRegole->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtRegole->setTabChangesFocus(true);
    m_txtRegole->setFixedHeight(m_txtRegole->fontMetrics().lineSpacing() * 5 + 12);
    m_txtInizio->setText(m_current.start);
    m_txtFine->setText(m_current.end);
    m_txtAnteprima->setReadOnly(true);
    m_txtAnteprima->setUndoRedoEnabled(false);
    m_txtAnteprima->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_cmdAnteprima->setEnabled(!m_context.url.isEmpty());
    m_cmdAnteprima->setToolTip(tr("Scarica la pagina una volta, come la chiederebbe un controllo, per provarci il "
                                  "selettore e le regole"));
    QPalette warning = m_lblErrore->palette();
    warning.setColor(QPalette::WindowText, PlainTextLines::tints(palette()).warningText);
    for (QLabel* label : {m_lblErrore, m_lblErroreSelettore, m_lblLimiti})
        label->setPalette(warning);

    auto* lblSelettore = plainLabel(tr("&Selettore:"), QStringLiteral("lblSelettore"), page);
    lblSelettore->setBuddy(m_txtSelettore);
    auto* selector = new QHBoxLayout;
    selector->addWidget(lblSelettore);
    selector->addWidget(m_cboTipoSelettore);
    selector->addWidget(m_txtSelettore, 1);
    auto* lblRegole = plainLabel(tr("Righe da &ignorare (un'espressione regolare per riga):"),
                                 QStringLiteral("lblRegole"), page);
    lblRegole->setBuddy(m_txtRegole);
    auto* region = new QFormLayout;
    auto* lblInizio = plainLabel(tr("Inizio &regione"), QStringLiteral("lblInizio"), page);
    auto* lblFine = plainLabel(tr("Fine re&gione"), QStringLiteral("lblFine"), page);
    for (QLabel* label : {lblSelettore, lblInizio, lblFine})
        label->setWordWrap(false);
    lblInizio->setBuddy(m_txtInizio);
    lblFine->setBuddy(m_txtFine);
    region->addRow(lblInizio, m_txtInizio);
    region->addRow(lblFine, m_txtFine);
    m_lblAnteprima->setBuddy(m_txtAnteprima);
    auto* preview = new QHBoxLayout;
    preview->addWidget(m_lblAnteprima, 1);
    preview->addWidget(m_cmdAnteprima, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_chkTesto);
    layout->addWidget(m_chkCifre);
    layout->addLayout(selector);
    layout->addWidget(m_lblErroreSelettore);
    layout->addWidget(lblRegole);
    layout->addWidget(m_txtRegole);
    layout->addWidget(m_lblErrore);
    layout->addLayout(region);
    layout->addLayout(preview);
    layout->addWidget(m_lblCorrispondenze);
    layout->addWidget(m_txtAnteprima, 1);
    layout->addWidget(m_lblLimiti);
    return page;
}

SiteOptions frmSiteOptions::options() const {
    SiteOptions next = m_current;
    next.textMode = m_chkTesto->isChecked();
    next.noDigits = m_chkCifre->isChecked();
    next.selector = m_txtSelettore->text().trimmed();
    next.selectorKind = m_cboTipoSelettore->currentIndex() == 1 ? SelectorKind::Css : SelectorKind::XPath;
    next.start = m_txtInizio->text();
    next.end = m_txtFine->text();
    next.ignore.clear();
    const QStringList lines = m_txtRegole->toPlainText().split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        // A blank rule would drop every line of the page.
        if (!lines[i].trimmed().isEmpty() && !m_invalid.contains(i + 1))
            next.ignore << lines[i];
    }
    m_request->apply(next);
    return next;
}

QList<int> frmSiteOptions::invalidRuleLines() const {
    return m_invalid;
}

QStringList frmSiteOptions::secretLines() const {
    return m_request->secretLines();
}

bool frmSiteOptions::secretsEdited() const {
    return m_request->secretsEdited();
}

void frmSiteOptions::checkRules() {
    int valid = 0;
    m_invalid = markRefusedLines(
        *m_txtRegole, *m_lblErrore,
        [&valid](const QString& line) {
            QString error = TextRules::patternError(line);
            if (error.isEmpty() && ++valid > kMaxIgnoreRules)
                error = tr("Al massimo %1 regole per sito").arg(kMaxIgnoreRules);
            return error;
        },
        tr("Le righe non valide non vengono salvate."));
}

void frmSiteOptions::checkSelector() {
    const QString selector = m_txtSelettore->text();
    const SelectorKind kind = m_cboTipoSelettore->currentIndex() == 1 ? SelectorKind::Css : SelectorKind::XPath;
    const QString error = selector.trimmed().isEmpty() ? QString() : selectorXPath(kind, selector).error;
    // The reason in the interface's language: what follows the core's Italian words is the refused part.
    static const QString prefix = QStringLiteral("Selettore non supportato: ");
    m_selectorError =
        error.isEmpty()
            ? QString()
            : tr("Selettore non supportato: %1").arg(error.mid(error.indexOf(prefix) == 0 ? prefix.size() : 0));
    m_lblErroreSelettore->setText(m_selectorError);
    m_lblErroreSelettore->setVisible(!m_selectorError.isEmpty());
    updateOk();
    m_previewTimer.start();
}

void frmSiteOptions::updateOk() {
    if (m_cmdOK)
        m_cmdOK->setEnabled(m_selectorError.isEmpty() && !m_request->refused());
}

void frmSiteOptions::fetchPreview() {
    if (m_context.url.isEmpty())
        return;
    if (!m_fetcher) {
        m_fetcher = std::make_unique<PageFetcher>(m_context.fetch.timeoutSeconds);
        connect(m_fetcher.get(), &PageFetcher::finished, this, [this](const FetchResult& result) {
            m_fetched = true;
            m_read.reset();
            ++m_readGeneration;
            m_body = result.body;
            m_contentType = result.contentType;
            m_fetchNote.clear();
            if (!result.outcome.ok())
                m_fetchNote =
                    tr("Errore %1: %2").arg(result.outcome.errorNumber()).arg(result.outcome.errorText());
            else if (result.bodyTooLarge)
                m_fetchNote = tr("Pagina più grande di %1 KiB: confrontata per intero, non per testo.")
                                  .arg(m_context.fetch.maxTextBytes / 1024);
            else if (!hasPageText(result.body, result.contentType))
                m_fetchNote = tr("Pagina senza testo: confrontata per intero, non per testo.");
            m_cmdAnteprima->setEnabled(true);
            updatePreview();
        });
    }
    // Asked as a check would ask: the site's own headers, secrets and user agent, never conditionally.
    SiteEntry entry;
    entry.url = m_context.url;
    entry.options = options();
    const SecretHeaders secrets{{entry.url, secretLines()}};
    if (const std::optional<Outcome> why = reasonNotToAsk(entry, secrets, QDateTime::currentDateTimeUtc())) {
        m_fetched = true;
        m_read.reset();
        ++m_readGeneration;
        m_body.clear();
        m_fetchNote = why->errorText();
        updatePreview();
        return;
    }
    m_fetcher->cancel();
    m_fetcher->setTimeout(m_context.fetch.timeoutSeconds);
    m_fetcher->setNetworkOptions(m_context.fetch.network);
    m_fetcher->fetch(
        siteRequest(entry, secrets, 1, false, BodyRequest{m_context.fetch.maxTextBytes, std::nullopt}));
    m_cmdAnteprima->setEnabled(false);
    m_lblCorrispondenze->setText(tr("Scaricamento della pagina…"));
    m_lblCorrispondenze->show();
}

QString frmSiteOptions::previewText(const SiteOptions& next, QString& title, QString& note, bool& pending) {
    if (!m_fetched) {
        m_lblCorrispondenze->setText(next.selector.isEmpty()
                                         ? QString()
                                         : tr("Il selettore si prova sulla pagina scaricata: premi Anteprima."));
        if (!m_context.latest) {
            title = tr("&Anteprima:");
            note =
                tr("Nessuna versione salvata: l'anteprima comparirà dopo il prossimo controllo in cui la pagina "
                   "cambia.");
            return {};
        }
        title = next.textMode
                    ? tr("&Anteprima dell'ultima versione salvata:")
                    : tr("&Anteprima dell'ultima versione salvata (le regole valgono solo confrontando il "
                         "testo della pagina):");
        return m_context.latest->text;
    }
    title = next.textMode
                ? tr("&Anteprima della pagina scaricata:")
                : tr("&Anteprima della pagina scaricata (selettore e regole valgono solo confrontando il "
                     "testo della pagina):");
    m_lblCorrispondenze->clear();
    if (!m_fetchNote.isEmpty()) {
        note = m_fetchNote;
        return {};
    }
    if (!m_selectorError.isEmpty()) {
        note = m_selectorError;
        return {};
    }
    const QString xpath =
        next.selector.isEmpty() ? QString() : selectorXPath(next.selectorKind, next.selector).xpath;
    if (!m_read || m_read->xpath != xpath) {
        readInBackground(xpath);
        m_lblCorrispondenze->setText(tr("Lettura della pagina…"));
        pending = true;
        return {};
    }
    const PageText& page = m_read->page;
    if (page.matches >= 0)
        m_lblCorrispondenze->setText(tr("%n elementi corrispondono al selettore", nullptr,
                                        int(std::min<long long>(page.matches, INT_MAX))));
    switch (page.status) {
    case PageText::Read:
        return page.text;
    case PageText::NoMatch:
        note = tr("Nessun elemento corrisponde al selettore");
        break;
    case PageText::BadSelector:
        note = tr("Selettore non supportato: %1").arg(next.selector);
        break;
    case PageText::TooComplex:
        note = tr("Pagina troppo grande o troppo annidata per leggerne il testo: confrontata per intero, non per "
                  "testo.");
        break;
    }
    return {};
}

void frmSiteOptions::updatePreview() {
    m_previewTimer.stop();
    const SiteOptions next = options();
    QString title, note;
    bool pending = false;
    const QString text = previewText(next, title, note, pending);
    m_lblAnteprima->setText(title);
    m_lblCorrispondenze->setVisible(!m_lblCorrispondenze->text().isEmpty());
    if (pending) // the preview keeps what it shows until the page has been read
        return;
    if (!note.isEmpty()) {
        m_txtAnteprima->setPlainText(note);
        m_lblLimiti->hide();
        return;
    }
    showLines(next, text);
}

void frmSiteOptions::showLines(const SiteOptions& next, const QString& text) {
    const FilteredText filtered = TextRules(next).apply(text);
    QTextCharFormat plain;
    const QTextCharFormat greyed = PlainTextLines::leftOut(m_txtAnteprima->palette());
    const QTextCharFormat label = PlainTextLines::leftOutLabel(m_txtAnteprima->palette());
    QTextDocument* document = m_txtAnteprima->document();
    const int scroll = m_txtAnteprima->verticalScrollBar()->value();
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < filtered.lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(QTextBlockFormat(), plain);
        const LineFate fate = i < filtered.fates.size() ? filtered.fates[i] : LineFate::Kept;
        cursor.insertText(PlainTextLines::oneBlock(filtered.lines[i]), fate == LineFate::Kept ? plain : greyed);
        if (fate == LineFate::Ignored)
            cursor.insertText(Language::text("PlainTextLines", PlainTextLines::kIgnoredLabel), label);
        else if (fate == LineFate::OutsideRegion)
            cursor.insertText(Language::text("PlainTextLines", PlainTextLines::kOutsideLabel), label);
    }
    cursor.endEditBlock();
    m_txtAnteprima->verticalScrollBar()->setValue(scroll);

    QStringList hits;
    for (const QString& pattern : filtered.limitHits) {
        const QString hit =
            tr("La regola %1 è troppo costosa su questa pagina: conta come non corrispondente.").arg(pattern);
        if (!hits.contains(hit))
            hits << hit;
    }
    m_lblLimiti->setText(hits.join(u'\n'));
    m_lblLimiti->setVisible(!hits.isEmpty());
}

SiteOptions frmSiteOptions::rebaselined(const SiteOptions& old, SiteOptions next, std::optional<qint32> bodyCrc,
                                        const std::optional<PageVersion>& latest) {
    // Check results that came while the dialog was open are the entry's, not the dialog's.
    next.takeCheckResults(old);
    if (next.sameRules(old)) {
        next.textCrc = old.textCrc;
        next.version = old.version;
        return next;
    }
    // A cut text is not the text of the body: its fingerprint would be no baseline. Nor is a text read
    // through another selector than the new one; through a selector, only a check under it vouches for it.
    const QString selector = selectorInEffect(next);
    if (next.textMode && latest && !latest->truncated && latest->bodyCrc == bodyCrc &&
        selectorInEffect(old) == selector && (selector.isEmpty() || old.hasBaseline())) {
        next.textCrc = TextRules(next).fingerprint(latest->text);
        next.version = kTextVersion;
    } else {
        next.textCrc = std::nullopt;
        next.version = kTextVersion;
    }
    return next;
}
