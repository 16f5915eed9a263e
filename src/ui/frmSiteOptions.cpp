#include "ui/frmSiteOptions.h"

#include "core/Language.h"
#include "core/PageText.h"
#include "ui/PlainTextLines.h"
#include "winsupport/Twips.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

constexpr int kErrorsNamed = 3;

template <typename W> W* named(W* widget, const QString& name, const QString& accessible) {
    widget->setObjectName(name);
    widget->setAccessibleName(accessible);
    return widget;
}

QLabel* plainLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = named(new QLabel(text, parent), name, QString(text).remove(u'&'));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

frmSiteOptions::frmSiteOptions(const SiteOptions& current, std::optional<PageVersion> latest, QWidget* parent)
    : QDialog(parent)
    , m_current(current)
    , m_latest(std::move(latest))
    , m_chkTesto(named(new QCheckBox(tr("Confronta solo il &testo della pagina"), this),
                       QStringLiteral("chkTesto"), tr("Confronta solo il testo della pagina")))
    , m_chkCifre(
          named(new QCheckBox(tr("Ignora le &cifre"), this), QStringLiteral("chkCifre"), tr("Ignora le cifre")))
    , m_txtRegole(named(new QPlainTextEdit(this), QStringLiteral("txtRegole"), tr("Righe da ignorare")))
    , m_lblErrore(plainLabel(QString(), QStringLiteral("lblErrore"), this))
    , m_txtInizio(named(new QLineEdit(this), QStringLiteral("txtInizio"), tr("Inizio regione")))
    , m_txtFine(named(new QLineEdit(this), QStringLiteral("txtFine"), tr("Fine regione")))
    , m_lblAnteprima(plainLabel(QString(), QStringLiteral("lblAnteprima"), this))
    , m_txtAnteprima(named(new QPlainTextEdit(this), QStringLiteral("txtAnteprima"), tr("Anteprima")))
    , m_lblLimiti(plainLabel(QString(), QStringLiteral("lblLimiti"), this)) {
    setObjectName(QStringLiteral("frmSiteOptions"));
    setWindowTitle(tr("Opzioni sito"));
    setAccessibleName(tr("Opzioni sito"));

    m_chkTesto->setChecked(current.textMode);
    m_chkCifre->setChecked(current.noDigits);
    m_txtRegole->setPlainText(current.ignore.join(u'\n'));
    m_txtRegole->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtRegole->setTabChangesFocus(true);
    m_txtRegole->setFixedHeight(m_txtRegole->fontMetrics().lineSpacing() * 5 + 12);
    m_txtInizio->setText(current.start);
    m_txtFine->setText(current.end);
    m_txtAnteprima->setReadOnly(true);
    m_txtAnteprima->setUndoRedoEnabled(false);
    m_txtAnteprima->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette warning = m_lblErrore->palette();
    warning.setColor(QPalette::WindowText, PlainTextLines::tints(palette()).warningText);
    m_lblErrore->setPalette(warning);
    m_lblLimiti->setPalette(warning);

    auto* lblRegole = plainLabel(tr("Righe da &ignorare (un'espressione regolare per riga):"),
                                 QStringLiteral("lblRegole"), this);
    lblRegole->setBuddy(m_txtRegole);
    auto* region = new QFormLayout;
    auto* lblInizio = plainLabel(tr("Inizio &regione"), QStringLiteral("lblInizio"), this);
    auto* lblFine = plainLabel(tr("Fine re&gione"), QStringLiteral("lblFine"), this);
    lblInizio->setBuddy(m_txtInizio);
    lblFine->setBuddy(m_txtFine);
    region->addRow(lblInizio, m_txtInizio);
    region->addRow(lblFine, m_txtFine);
    m_lblAnteprima->setBuddy(m_txtAnteprima);

    auto* buttons = named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this),
                          QStringLiteral("cmdButtons"), tr("Pulsanti"));
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    ok->setText(tr("OK"));
    cancel->setText(tr("Annulla"));
    named(ok, QStringLiteral("cmdOK"), tr("OK"));
    named(cancel, QStringLiteral("cmdAnnulla"), tr("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chkTesto);
    layout->addWidget(m_chkCifre);
    layout->addWidget(lblRegole);
    layout->addWidget(m_txtRegole);
    layout->addWidget(m_lblErrore);
    layout->addLayout(region);
    layout->addWidget(m_lblAnteprima);
    layout->addWidget(m_txtAnteprima, 1);
    layout->addWidget(m_lblLimiti);
    layout->addWidget(buttons);
    resize(twipsToPixels(8400, logicalDpiX()), twipsToPixels(8400, logicalDpiY()));

    // The preview follows the rules once typing pauses; the rule check follows every key.
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
    connect(m_chkTesto, &QCheckBox::toggled, this, later);
    connect(m_chkCifre, &QCheckBox::toggled, this, later);
    connect(m_txtInizio, &QLineEdit::textChanged, this, later);
    connect(m_txtFine, &QLineEdit::textChanged, this, later);
    checkRules();
    updatePreview();
}

SiteOptions frmSiteOptions::options() const {
    SiteOptions next = m_current;
    next.textMode = m_chkTesto->isChecked();
    next.noDigits = m_chkCifre->isChecked();
    next.start = m_txtInizio->text();
    next.end = m_txtFine->text();
    next.ignore.clear();
    const QStringList lines = m_txtRegole->toPlainText().split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        // A blank rule would drop every line of the page.
        if (!lines[i].trimmed().isEmpty() && !m_invalid.contains(i + 1))
            next.ignore << lines[i];
    }
    return next;
}

QList<int> frmSiteOptions::invalidRuleLines() const {
    return m_invalid;
}

void frmSiteOptions::checkRules() {
    m_invalid.clear();
    QStringList errors;
    QList<QTextEdit::ExtraSelection> marks;
    int valid = 0;
    for (QTextBlock block = m_txtRegole->document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().trimmed().isEmpty())
            continue;
        QString error = TextRules::patternError(block.text());
        if (error.isEmpty() && ++valid > kMaxIgnoreRules)
            error = tr("Al massimo %1 regole per sito").arg(kMaxIgnoreRules);
        if (error.isEmpty())
            continue;
        m_invalid << block.blockNumber() + 1;
        if (errors.size() < kErrorsNamed)
            errors << tr("Riga %1: %2").arg(block.blockNumber() + 1).arg(error);
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setBackground(PlainTextLines::tints(m_txtRegole->palette()).invalidLine);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks << mark;
    }
    m_txtRegole->setExtraSelections(marks);
    if (m_invalid.size() > kErrorsNamed)
        errors << tr("…e altre %1 righe non valide.").arg(m_invalid.size() - kErrorsNamed);
    if (!errors.isEmpty())
        errors << tr("Le righe non valide non vengono salvate.");
    m_lblErrore->setText(errors.join(u'\n'));
    m_lblErrore->setVisible(!errors.isEmpty());
}

void frmSiteOptions::updatePreview() {
    m_previewTimer.stop();
    if (!m_latest) {
        m_lblAnteprima->setText(tr("&Anteprima:"));
        m_txtAnteprima->setPlainText(
            tr("Nessuna versione salvata: l'anteprima comparirà dopo il prossimo controllo in cui "
               "la pagina cambia."));
        m_lblLimiti->hide();
        return;
    }
    const SiteOptions next = options();
    m_lblAnteprima->setText(
        next.textMode ? tr("&Anteprima dell'ultima versione salvata:")
                      : tr("&Anteprima dell'ultima versione salvata (le regole valgono solo confrontando il testo "
                           "della pagina):"));
    const FilteredText filtered = TextRules(next).apply(m_latest->text);

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
    if (next.sameRules(old)) {
        next.textCrc = old.textCrc;
        next.version = old.version;
        return next;
    }
    // A cut text is not the text of the body: its fingerprint would be no baseline.
    if (next.textMode && latest && !latest->truncated && latest->bodyCrc == bodyCrc) {
        next.textCrc = TextRules(next).fingerprint(latest->text);
        next.version = kTextVersion;
    } else {
        next.textCrc = std::nullopt;
        next.version = kTextVersion;
    }
    return next;
}
