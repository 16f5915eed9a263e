#pragma once

#include "store/SessionSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

// The settings of a program left running: notifications, failures reported once, and what comes back at start.
class frmSettings : public QDialog {
    Q_OBJECT
public:
    frmSettings(const SessionSettings& settings, bool startAtLogin, QWidget* parent = nullptr);

    SessionSettings settings() const;
    bool startAtLogin() const;

private:
    SessionSettings m_settings;
    QCheckBox* m_chkNotifica;
    QSpinBox* m_spnFallimenti;
    QCheckBox* m_chkRiapri;
    QCheckBox* m_chkRiarma;
    QCheckBox* m_chkSalvaAuto;
    QCheckBox* m_chkAvvioAccesso;
    QComboBox* m_cboChiusura;
};
