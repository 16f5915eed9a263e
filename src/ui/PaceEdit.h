#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QSpinBox;

// A site's minimum interval between periodic checks: "al massimo ogni N minuti/ore/giorni", or none.
class PaceEdit : public QWidget {
    Q_OBJECT
public:
    explicit PaceEdit(qint64 seconds, QWidget* parent = nullptr);
    // 0 when unset.
    qint64 seconds() const;

private:
    QCheckBox* m_chkIntervallo;
    QSpinBox* m_spnIntervallo;
    QComboBox* m_cboUnita;
};
