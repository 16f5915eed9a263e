#include "ui/SiteRequestEdit.h"

#include "core/HttpText.h"
#include "core/Version.h"
#include "store/Setting.h"
#include "ui/NamedControls.h"
#include "ui/PaceEdit.h"
#include "ui/PlainTextLines.h"
#include "ui/RefusedLines.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The lines of a header box that may be sent: refused ones are left out (the dialog saves nothing while there
// are any, its preview asks without them).
QStringList sendableLines(const QPlainTextEdit& editor, bool secret) {
    QStringList lines;
    for (const QString& line : editor.toPlainText().split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && requestHeaderProblem(trimmed).isEmpty() && isSecretHeader(trimmed) == secret)
            lines << trimmed;
    }
    return lines;
}

} // namespace

SiteRequestEdit::SiteRequestEdit(const SiteOptions& current, const QStringList& secrets,
                                 const NetworkOptions& defaults, QWidget* parent)
    : QWidget(parent)
    , m_hadSecrets(current.hasSecrets)
    , m_txtUserAgent(named(new QLineEdit(this), QStringLiteral("txtUserAgent"), tr("User agent")))
    , m_spnPausaHost(
          named(new QSpinBox(this), QStringLiteral("spnPausaHost"), tr("Pausa minima tra due richieste all'host")))
    , m_txtIntestazioni(
          named(new QPlainTextEdit(this), QStringLiteral("txtIntestazioni"), tr("Intestazioni della richiesta")))
    , m_lblErroreIntestazioni(plainLabel(QString(), QStringLiteral("lblErroreIntestazioni"), this))
    , m_txtSegrete(named(new QPlainTextEdit(this), QStringLiteral("txtSegrete"), tr("Intestazioni segrete")))
    , m_lblErroreSegrete(plainLabel(QString(), QStringLiteral("lblErroreSegrete"), this))
    , m_pace(new PaceEdit(current.minInterval, this)) {
    setObjectName(QStringLiteral("SiteRequestEdit"));
    setAccessibleName(tr("Richiesta"));

    const QString agent =
        QString::fromUtf8(defaults.userAgent.isEmpty() ? QByteArray(defaultUserAgent()) : defaults.userAgent);
    m_txtUserAgent->setText(current.userAgent);
    m_txtUserAgent->setPlaceholderText(tr("quello delle impostazioni: %1").arg(agent));
    m_txtUserAgent->setClearButtonEnabled(true);
    m_spnPausaHost->setRange(-1, int(Settings::kHostDelayMs.maximum));
    m_spnPausaHost->setSingleStep(100);
    m_spnPausaHost->setSuffix(tr(" ms"));
    // -1, the lowest value, stands for the setting.
    m_spnPausaHost->setSpecialValueText(tr("quella delle impostazioni (%1 ms)").arg(defaults.hostDelayMs));
    m_spnPausaHost->setValue(std::max(-1, current.hostDelayMs));
    if (auto* editor = m_spnPausaHost->findChild<QLineEdit*>())
        editor->setAccessibleName(m_spnPausaHost->accessibleName());
    for (QPlainTextEdit* box : {m_txtIntestazioni, m_txtSegrete}) {
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setTabChangesFocus(true);
        box->setFixedHeight(box->fontMetrics().lineSpacing() * 4 + 12);
    }
    m_txtIntestazioni->setPlainText(current.headers.join(u'\n'));
    m_txtSegrete->setPlainText(secrets.join(u'\n'));
    m_txtSegrete->document()->setModified(false);
    QPalette warning = m_lblErroreIntestazioni->palette();
    warning.setColor(QPalette::WindowText, PlainTextLines::tints(palette()).warningText);
    m_lblErroreIntestazioni->setPalette(warning);
    m_lblErroreSegrete->setPalette(warning);

    auto* lblUserAgent = plainLabel(tr("&User agent:"), QStringLiteral("lblUserAgent"), this);
    lblUserAgent->setBuddy(m_txtUserAgent);
    auto* lblPausaHost =
        plainLabel(tr("&Pausa minima tra due richieste all'host:"), QStringLiteral("lblPausaHost"), this);
    lblPausaHost->setBuddy(m_spnPausaHost);
    auto* lblIntestazioni = plainLabel(tr("&Intestazioni della richiesta (una per riga, «Nome: valore»):"),
                                       QStringLiteral("lblIntestazioni"), this);
    lblIntestazioni->setBuddy(m_txtIntestazioni);
    auto* lblSegrete = plainLabel(tr("Intestazioni se&grete (Cookie, Authorization): restano nelle impostazioni "
                                     "di questo utente, leggibili solo da lui; l'elenco ricorda solo che il sito "
                                     "ne ha."),
                                  QStringLiteral("lblSegrete"), this);
    lblSegrete->setBuddy(m_txtSegrete);

    for (QLabel* label : {lblUserAgent, lblPausaHost})
        label->setWordWrap(false);
    auto* form = new QFormLayout;
    form->addRow(lblUserAgent, m_txtUserAgent);
    form->addRow(lblPausaHost, m_spnPausaHost);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblIntestazioni);
    layout->addWidget(m_txtIntestazioni);
    layout->addWidget(m_lblErroreIntestazioni);
    layout->addWidget(lblSegrete);
    layout->addWidget(m_txtSegrete);
    layout->addWidget(m_lblErroreSegrete);
    layout->addWidget(m_pace);
    layout->addStretch();

    connect(m_txtIntestazioni, &QPlainTextEdit::textChanged, this, &SiteRequestEdit::checkLines);
    connect(m_txtSegrete, &QPlainTextEdit::textChanged, this, &SiteRequestEdit::checkLines);
    checkLines();
}

void SiteRequestEdit::checkLines() {
    const bool wasRefused = refused();
    m_refusedHeaders = markRefusedLines(*m_txtIntestazioni, *m_lblErroreIntestazioni, [](const QString& line) {
        const QString problem = requestHeaderProblem(line.trimmed());
        return !problem.isEmpty()     ? problem
               : isSecretHeader(line) ? tr("Cookie e Authorization vanno tra le intestazioni segrete.")
                                      : QString();
    });
    m_refusedSecrets = markRefusedLines(*m_txtSegrete, *m_lblErroreSegrete, [](const QString& line) {
        const QString problem = requestHeaderProblem(line.trimmed());
        return !problem.isEmpty()      ? problem
               : !isSecretHeader(line) ? tr("Qui vanno solo Cookie e Authorization.")
                                       : QString();
    });
    // A list from elsewhere names secrets this user does not have: the site is not checked without them.
    if (m_refusedSecrets.isEmpty() && m_hadSecrets && !secretsEdited() && secretLines().isEmpty()) {
        m_lblErroreSegrete->setText(tr("Il sito ha intestazioni segrete, ma non tra quelle di questo utente: "
                                       "finché non le scrivi qui, il sito non viene controllato."));
        m_lblErroreSegrete->show();
    }
    if (refused() != wasRefused)
        emit refusalChanged();
}

void SiteRequestEdit::apply(SiteOptions& options) const {
    // One line, whatever was pasted: a line break would end the header.
    options.userAgent = m_txtUserAgent->text().simplified();
    options.hostDelayMs = m_spnPausaHost->value();
    options.headers = sendableLines(*m_txtIntestazioni, false);
    options.minInterval = m_pace->seconds();
    options.hasSecrets = secretsEdited() ? !secretLines().isEmpty() : m_hadSecrets;
}

QStringList SiteRequestEdit::secretLines() const {
    return sendableLines(*m_txtSegrete, true);
}

bool SiteRequestEdit::secretsEdited() const {
    return m_txtSegrete->document()->isModified();
}
