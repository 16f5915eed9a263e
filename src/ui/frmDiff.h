#pragma once

#include "core/SiteOptions.h"
#include "core/TextDiff.h"
#include "store/PageHistory.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The change viewer: two stored versions of a page's text side by side in one line diff, the changed words
// marked inside changed lines, the lines the site's rules leave out greyed and labelled. Non-modal; page text
// is only ever inserted as plain text. A dialog to assistive technology, with a normal window's frame.
class frmDiff : public QDialog {
    Q_OBJECT
public:
    // Suffix of a line the site's rules leave out.

    // history may be null: the window then says there is no history. It must outlive the window.
    frmDiff(const QString& url, const QString& nick, const PageHistory* history, const SiteOptions& options,
            QWidget* owner = nullptr);

    QString url() const { return m_url; }
    // Reads the history again (a check may have added a version) and shows the latest against the one before,
    // with the site's rules as they are now.
    void reload(const SiteOptions& options);
    // Moves to the previous or next group of changed lines; false when there is none that way.
    bool previousChange();
    bool nextChange();
    // The diff shown, one entry per line of the view (empty when no diff is shown).
    const std::vector<DiffLine>& shownLines() const { return m_shown; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void compare();
    void render();
    void showMessage(const QString& text);
    void moveToBlock(int block);
    void updateButtons();

    QString m_url;
    const PageHistory* m_history;
    SiteOptions m_options;
    std::vector<PageVersion> m_versions; // newest first, as the lists show them
    std::vector<DiffLine> m_diff;        // the whole diff of the two chosen versions
    std::vector<DiffLine> m_shown;       // what the view shows of it
    std::vector<int> m_changeStarts;     // view block of the first line of each run of changed lines

    QComboBox* m_cboPrima;
    QComboBox* m_cboDopo;
    QCheckBox* m_chkAggiunte;
    QPushButton* m_cmdPrecedente;
    QPushButton* m_cmdSuccessiva;
    QLabel* m_lblConteggio;
    QPlainTextEdit* m_txtDiff;
};
