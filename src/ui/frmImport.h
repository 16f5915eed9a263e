#pragma once

#include "store/SiteImport.h"

#include <QDialog>

class ImportPreviewModel;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QListView;
class QPushButton;
class QStringListModel;
class QTableView;
class SiteList;

// The import preview: what a file would add to the list, with a tick per site, and what is skipped and why;
// for a file with folders, the folder to take (all by default). It changes nothing: the caller adds chosen().
class frmImport : public QDialog {
    Q_OBJECT
public:
    frmImport(ImportRead read, const SiteList& list, const QString& fileName, QWidget* parent = nullptr);

    // The ticked sites of the chosen folder, in file order.
    std::vector<ImportedSite> chosen() const;
    // The folder choice: 0 for all, then the folders in file order.
    void chooseFolder(int index);

    ImportPreviewModel& sites() const { return *m_model; }
    QStringList skippedLines() const;

private:
    void showPlan();
    void updateSummary();

    ImportRead m_read;
    const SiteList& m_list;
    QString m_fileName;
    int m_skippedCount = 0;
    ImportPreviewModel* m_model;
    QStringListModel* m_skipped;
    QLabel* m_summary;
    QComboBox* m_folder;
    QTableView* m_view;
    QListView* m_skippedView;
    QDialogButtonBox* m_buttons;
};
