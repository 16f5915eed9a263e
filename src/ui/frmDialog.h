#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The entry dialog: a URL, its nick and its description. "OK" and "Annulla" only hide it, so the caller
// reads the texts and Dirty afterwards and then discards it.
class frmDialog : public QDialog {
    Q_OBJECT
public:
    // Characters the description box takes by typing; text the program puts in is never cut.
    static constexpr int kMaxTypedDescription = 115;

    explicit frmDialog(QWidget* owner = nullptr);

    // Fills the boxes from the program: this never counts as typing.
    void fill(const QString& url, const QString& nick, const QString& descrizione);
    // The URLs offered for completion in the URL box.
    void setUrlCompletions(const QStringList& urls);

    // Whether the person typed in the dialog and did not cancel it.
    bool Dirty() const { return m_dirty; }
    QString url() const;
    QString nick() const;
    QString descrizione() const;

    QLineEdit* txtNewURL() const { return m_url; }
    QLineEdit* txtNick() const { return m_nick; }
    QLineEdit* txtDescrizione() const { return m_description; }
    QPushButton* OKButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refuseLongDescription(const QString& edited);

    QLabel* m_urlLabel;
    QLineEdit* m_url;
    QLabel* m_nickLabel;
    QLineEdit* m_nick;
    QLabel* m_descriptionLabel;
    QLineEdit* m_description;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QString m_descriptionBefore; // the description box's text before the latest change
    bool m_dirty = false;
};
