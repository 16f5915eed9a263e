#include "ui/frmSettings.h"

#include "core/Version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
template <typename W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QCheckBox* box(const QString& text, const QString& name, bool checked, QWidget* parent) {
    auto* check = named(new QCheckBox(text, parent), name);
    check->setAccessibleName(QString(text).remove(u'&'));
    check->setChecked(checked);
    return check;
}
} // namespace

frmSettings::frmSettings(const SessionSettings& settings, const RequestSettings& requests, bool startAtLogin,
                         QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_chkNotifica(box(tr("&Notifica quando un controllo periodico trova pagine cambiate"),
                        QStringLiteral("chkNotifica"), settings.notify, this))
    , m_spnFallimenti(named(new QSpinBox(this), QStringLiteral("spnFallimenti")))
    , m_chkRiapri(
          box(tr("&Riapri l'ultimo elenco all'avvio"), QStringLiteral("chkRiapri"), settings.reopenLastList, this))
    , m_chkRiarma(box(tr("Riattiva il &timer all'avvio se era attivo alla chiusura"), QStringLiteral("chkRiarma"),
                      settings.rearmTimer, this))
    , m_chkSalvaAuto(box(tr("&Salva l'elenco dopo ogni controllo periodico"), QStringLiteral("chkSalvaAuto"),
                         settings.autoSave, this))
    , m_chkAvvioAccesso(
          box(tr("Avvia all'&accesso, ridotto a icona"), QStringLiteral("chkAvvioAccesso"), startAtLogin, this))
    , m_cboChiusura(named(new QComboBox(this), QStringLiteral("cboChiusura"))) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(tr("Impostazioni"));
    setAccessibleName(windowTitle());

    m_spnFallimenti->setRange(int(Settings::kFailuresBeforeNotice.minimum),
                              int(Settings::kFailuresBeforeNotice.maximum));
    m_spnFallimenti->setValue(settings.failuresBeforeNotice);
    m_spnFallimenti->setAccessibleName(tr("Controlli falliti di seguito prima di notificare"));
    if (auto* editor = m_spnFallimenti->findChild<QLineEdit*>())
        editor->setAccessibleName(m_spnFallimenti->accessibleName());
    m_cboChiusura->addItems({tr("Chiedi"), tr("Esci"), tr("Riduci a icona nell'area di notifica")});
    m_cboChiusura->setCurrentIndex(int(settings.closeWhileArmed));
    m_cboChiusura->setAccessibleName(tr("Chiudendo la finestra con il timer attivo"));

    auto* form = new QFormLayout;
    auto* lblFallimenti = new QLabel(tr("Controlli &falliti di seguito prima di notificare un sito:"), this);
    lblFallimenti->setObjectName(QStringLiteral("lblFallimenti"));
    lblFallimenti->setBuddy(m_spnFallimenti);
    lblFallimenti->setWordWrap(true);
    form->addRow(lblFallimenti, m_spnFallimenti);
    auto* lblChiusura = new QLabel(tr("C&hiudendo la finestra con il timer attivo:"), this);
    lblChiusura->setObjectName(QStringLiteral("lblChiusura"));
    lblChiusura->setBuddy(m_cboChiusura);
    form->addRow(lblChiusura, m_cboChiusura);

    m_buttons = named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this),
                      QStringLiteral("cmdButtons"));
    auto* buttons = m_buttons;
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chkNotifica);
    layout->addLayout(form);
    layout->addWidget(m_chkRiapri);
    layout->addWidget(m_chkRiarma);
    layout->addWidget(m_chkSalvaAuto);
    layout->addWidget(m_chkAvvioAccesso);
    layout->addWidget(buildNetwork(requests));
    layout->addStretch();
    layout->addWidget(buttons);
}

QGroupBox* frmSettings::buildNetwork(const RequestSettings& requests) {
    auto* group = named(new QGroupBox(tr("Richieste"), this), QStringLiteral("fraRichieste"));
    group->setAccessibleName(tr("Richieste"));
    m_cboProxy = named(new QComboBox(group), QStringLiteral("cboProxy"));
    m_cboProxy->addItems({tr("Nessuno"), tr("Del sistema (http_proxy, https_proxy, no_proxy)"), tr("Manuale")});
    m_cboProxy->setAccessibleName(tr("Proxy"));
    m_txtProxy = named(new QLineEdit(group), QStringLiteral("txtProxy"));
    m_txtProxy->setPlaceholderText(tr("host:porta"));
    m_txtProxy->setAccessibleName(tr("Indirizzo del proxy"));
    const bool manual = RequestSettings::isProxyAddress(requests.proxy);
    m_cboProxy->setCurrentIndex(requests.proxy.compare(u"none", Qt::CaseInsensitive) == 0 ? 0 : manual ? 2 : 1);
    if (manual)
        m_txtProxy->setText(requests.proxy);
    m_lblProblema = named(new QLabel(group), QStringLiteral("lblProblema"));
    m_lblProblema->setWordWrap(true);
    m_lblProblema->setAccessibleName(tr("Problema"));
    m_txtAgente = named(new QLineEdit(requests.userAgent, group), QStringLiteral("txtAgente"));
    m_txtAgente->setPlaceholderText(QString::fromLatin1(defaultUserAgent()));
    m_txtAgente->setAccessibleName(tr("User agent"));
    m_spnRitardo = named(new QSpinBox(group), QStringLiteral("spnRitardo"));
    m_spnRitardo->setRange(int(Settings::kHostDelayMs.minimum), int(Settings::kHostDelayMs.maximum));
    m_spnRitardo->setSingleStep(100);
    m_spnRitardo->setSuffix(tr(" ms"));
    m_spnRitardo->setValue(requests.hostDelayMs);
    m_spnRitardo->setAccessibleName(tr("Attesa tra due richieste allo stesso server"));
    m_spnCompleta = named(new QSpinBox(group), QStringLiteral("spnCompleta"));
    m_spnCompleta->setRange(int(Settings::kFullRequestEvery.minimum), int(Settings::kFullRequestEvery.maximum));
    m_spnCompleta->setValue(requests.fullRequestEvery);
    m_spnCompleta->setAccessibleName(tr("Richiesta completa ogni N controlli"));

    auto* form = new QFormLayout(group);
    const auto row = [&form, group](const QString& text, const char* name, QWidget* field) {
        auto* label = named(new QLabel(text, group), QString::fromLatin1(name));
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row(tr("&Proxy:"), "lblProxy", m_cboProxy);
    row(tr("&Indirizzo del proxy:"), "lblIndirizzoProxy", m_txtProxy);
    form->addRow(m_lblProblema);
    row(tr("&User agent:"), "lblAgente", m_txtAgente);
    row(tr("Attesa tra due richieste allo stesso ser&ver:"), "lblRitardo", m_spnRitardo);
    row(tr("Richiesta c&ompleta ogni N controlli:"), "lblCompleta", m_spnCompleta);
    connect(m_cboProxy, &QComboBox::currentIndexChanged, this, &frmSettings::checkProxy);
    connect(m_txtProxy, &QLineEdit::textChanged, this, &frmSettings::checkProxy);
    checkProxy();
    return group;
}

// A manual proxy must name host:port, checked as it is typed: OK waits for it.
void frmSettings::checkProxy() {
    const bool manual = m_cboProxy->currentIndex() == 2;
    m_txtProxy->setEnabled(manual);
    const bool bad = manual && !RequestSettings::isProxyAddress(m_txtProxy->text().trimmed());
    m_lblProblema->setText(bad ? tr("Scrivere il proxy come host:porta.") : QString());
    m_lblProblema->setVisible(bad);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!bad);
}

RequestSettings frmSettings::requests() const {
    RequestSettings r;
    const int mode = m_cboProxy->currentIndex();
    r.proxy = mode == 0   ? QStringLiteral("none")
              : mode == 2 ? m_txtProxy->text().trimmed()
                          : QStringLiteral("system");
    r.userAgent = m_txtAgente->text().simplified();
    r.hostDelayMs = m_spnRitardo->value();
    r.fullRequestEvery = m_spnCompleta->value();
    return r;
}

SessionSettings frmSettings::settings() const {
    SessionSettings s = m_settings;
    s.notify = m_chkNotifica->isChecked();
    s.failuresBeforeNotice = m_spnFallimenti->value();
    s.reopenLastList = m_chkRiapri->isChecked();
    s.rearmTimer = m_chkRiarma->isChecked();
    s.autoSave = m_chkSalvaAuto->isChecked();
    s.closeWhileArmed = SessionSettings::CloseAction(m_cboChiusura->currentIndex());
    return s;
}

bool frmSettings::startAtLogin() const {
    return m_chkAvvioAccesso->isChecked();
}
