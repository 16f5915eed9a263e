#include "ui/frmImport.h"

#include "ui/ImportPreviewModel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

frmImport::frmImport(ImportRead read, const SiteList& list, const QString& fileName, QWidget* parent)
    : QDialog(parent)
    , m_read(std::move(read))
    , m_list(list)
    , m_fileName(fileName)
    , m_model(new ImportPreviewModel(this))
    , m_skipped(new QStringListModel(this))
    , m_summary(plainLabel(QString(), this))
    , m_folder(new QComboBox(this))
    , m_view(new QTableView(this))
    , m_skippedView(new QListView(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(tr("Importa siti"));
    setAccessibleName(windowTitle());
    setSizeGripEnabled(true);

    auto* folderLabel = plainLabel(tr("Cartella:"), this);
    folderLabel->setBuddy(m_folder);
    m_folder->addItem(tr("Tutte le cartelle"));
    for (const QStringList& folder : std::as_const(m_read.folders))
        m_folder->addItem(QString(2 * (folder.size() - 1), u' ') + folder.constLast());
    const bool folders = !m_read.folders.isEmpty();
    folderLabel->setVisible(folders);
    m_folder->setVisible(folders);

    auto* sitesLabel = plainLabel(tr("Siti da aggiungere:"), this);
    sitesLabel->setBuddy(m_view);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    auto* tickAll = new QPushButton(tr("Seleziona tutti"), this);
    auto* tickNone = new QPushButton(tr("Deseleziona tutti"), this);
    auto* skippedLabel = plainLabel(tr("Non importati:"), this);
    skippedLabel->setBuddy(m_skippedView);
    m_skippedView->setModel(m_skipped);
    m_skippedView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_skippedView->setUniformItemSizes(true);
    m_buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annulla"));

    const struct {
        QWidget* widget;
        const char16_t* name;
        QString accessible;
    } named[] = {
        {m_summary, u"lblImportSummary", tr("Riepilogo")},
        {m_folder, u"cboImportFolder", folderLabel->text()},
        {m_view, u"lvwImportSites", sitesLabel->text()},
        {tickAll, u"cmdImportTickAll", tickAll->text()},
        {tickNone, u"cmdImportTickNone", tickNone->text()},
        {m_skippedView, u"lvwImportSkipped", skippedLabel->text()},
        {m_buttons->button(QDialogButtonBox::Ok), u"cmdOK", tr("OK")},
        {m_buttons->button(QDialogButtonBox::Cancel), u"cmdCancel", tr("Annulla")},
    };
    for (const auto& n : named) {
        n.widget->setObjectName(QString::fromUtf16(n.name));
        n.widget->setAccessibleName(n.accessible);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(m_folder, 1);
    layout->addLayout(folderRow);
    layout->addWidget(sitesLabel);
    layout->addWidget(m_view, 3);
    auto* tickRow = new QHBoxLayout;
    tickRow->addWidget(tickAll);
    tickRow->addWidget(tickNone);
    tickRow->addStretch(1);
    layout->addLayout(tickRow);
    layout->addWidget(skippedLabel);
    layout->addWidget(m_skippedView, 1);
    layout->addWidget(m_buttons);

    connect(m_folder, &QComboBox::currentIndexChanged, this, &frmImport::chooseFolder);
    connect(tickAll, &QPushButton::clicked, this, [this] { m_model->setAllTicked(true); });
    connect(tickNone, &QPushButton::clicked, this, [this] { m_model->setAllTicked(false); });
    connect(m_model, &ImportPreviewModel::tickedChanged, this, &frmImport::updateSummary);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(760, 480);
    showPlan();
}

std::vector<ImportedSite> frmImport::chosen() const {
    return m_model->chosen();
}

void frmImport::chooseFolder(int index) {
    if (index < 0 || index > m_read.folders.size())
        return;
    if (m_folder->currentIndex() != index)
        m_folder->setCurrentIndex(index); // comes back here through the signal
    else
        showPlan();
}

QStringList frmImport::skippedLines() const {
    return m_skipped->stringList();
}

void frmImport::showPlan() {
    const int folder = m_folder->currentIndex();
    ImportPlan plan = planImport(m_read, m_list, folder > 0 ? m_read.folders.at(folder - 1) : QStringList());
    QStringList lines;
    lines.reserve(qsizetype(plan.skipped.size()));
    for (const ImportSkip& skip : plan.skipped)
        lines << (skip.what.isEmpty() ? skip.why : skip.what + QStringLiteral(" — ") + skip.why);
    m_skippedCount = int(lines.size());
    m_skipped->setStringList(lines);
    m_model->setSites(std::move(plan.toAdd));
    m_view->resizeColumnToContents(ImportPreviewModel::ColNick);
    m_view->setColumnWidth(ImportPreviewModel::ColUrl, 300);
}

void frmImport::updateSummary() {
    QString text = tr("%1 \"%2\": %3 di %4 siti da aggiungere; %5 voci non importate.")
                       .arg(importFormatName(m_read.format), m_fileName)
                       .arg(m_model->tickedCount())
                       .arg(m_model->rowCount())
                       .arg(m_skippedCount);
    // The format's name begins the sentence.
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    m_summary->setText(text);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_model->tickedCount() > 0);
}
