#pragma once

#include "store/RequestSettings.h"
#include "store/SessionSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The settings of a program left running: notifications, failures reported once, and what comes back at start.
class frmSettings : public QDialog {
    Q_OBJECT
public:
    frmSettings(const SessionSettings& settings, const RequestSettings& requests, bool startAtLogin,
                QWidget* parent = nullptr);

    SessionSettings settings() const;
    RequestSettings requests() const;
    bool startAtLogin() const;

private:
    QGroupBox* buildNetwork(const RequestSettings& requests);
    void checkProxy();

    SessionSettings m_settings;
    QCheckBox* m_chkNotifica;
    QSpinBox* m_spnFallimenti;
    QCheckBox* m_chkRiapri;
    QCheckBox* m_chkRiarma;
    QCheckBox* m_chkSalvaAuto;
    QCheckBox* m_chkAvvioAccesso;
    QComboBox* m_cboChiusura;
    QComboBox* m_cboProxy = nullptr;
    QLineEdit* m_txtProxy = nullptr;
    QLabel* m_lblProblema = nullptr;
    QLineEdit* m_txtAgente = nullptr;
    QSpinBox* m_spnRitardo = nullptr;
    QSpinBox* m_spnCompleta = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
