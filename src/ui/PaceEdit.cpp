#include "ui/PaceEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace {
constexpr qint64 kUnits[] = {60, 3600, 86400};
constexpr int kMaxCount = 999;
} // namespace

PaceEdit::PaceEdit(qint64 seconds, QWidget* parent)
    : QWidget(parent)
    , m_chkIntervallo(new QCheckBox(tr("Controlla al &massimo ogni"), this))
    , m_spnIntervallo(new QSpinBox(this))
    , m_cboUnita(new QComboBox(this)) {
    setObjectName(QStringLiteral("PaceEdit"));
    m_chkIntervallo->setObjectName(QStringLiteral("chkIntervallo"));
    m_chkIntervallo->setAccessibleName(tr("Controlla al massimo ogni"));
    m_spnIntervallo->setObjectName(QStringLiteral("spnIntervallo"));
    m_spnIntervallo->setAccessibleName(tr("Intervallo minimo"));
    m_spnIntervallo->setRange(1, kMaxCount);
    // The box's own editor is what takes the focus: it is named too.
    if (auto* editor = m_spnIntervallo->findChild<QLineEdit*>())
        editor->setAccessibleName(m_spnIntervallo->accessibleName());
    m_cboUnita->setObjectName(QStringLiteral("cboUnita"));
    m_cboUnita->setAccessibleName(tr("Unità dell'intervallo"));
    m_cboUnita->addItems({tr("minuti"), tr("ore"), tr("giorni")});
    // The largest unit that gives a whole number.
    int unit = 0;
    for (int i = 2; i > 0 && seconds > 0; --i) {
        if (seconds % kUnits[i] == 0) {
            unit = i;
            break;
        }
    }
    m_chkIntervallo->setChecked(seconds > 0);
    m_spnIntervallo->setValue(
        seconds > 0 ? int(std::min<qint64>(kMaxCount, std::max<qint64>(1, seconds / kUnits[unit]))) : 1);
    m_cboUnita->setCurrentIndex(seconds > 0 ? unit : 1);
    const auto follow = [this](bool on) {
        m_spnIntervallo->setEnabled(on);
        m_cboUnita->setEnabled(on);
    };
    follow(seconds > 0);
    connect(m_chkIntervallo, &QCheckBox::toggled, this, follow);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_chkIntervallo);
    layout->addWidget(m_spnIntervallo);
    layout->addWidget(m_cboUnita);
    layout->addStretch();
}

qint64 PaceEdit::seconds() const {
    return m_chkIntervallo->isChecked() ? m_spnIntervallo->value() * kUnits[m_cboUnita->currentIndex()] : 0;
}
