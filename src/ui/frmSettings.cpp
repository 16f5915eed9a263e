#include "ui/frmSettings.h"

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

frmSettings::frmSettings(const SessionSettings& settings, bool startAtLogin, QWidget* parent)
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

    m_spnFallimenti->setRange(int(Settings::kFailuresBeforeNotice.minimum), int(Settings::kFailuresBeforeNotice.maximum));
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

    auto* buttons = named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this),
                          QStringLiteral("cmdButtons"));
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
    layout->addStretch();
    layout->addWidget(buttons);
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
