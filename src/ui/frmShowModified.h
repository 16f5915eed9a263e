#pragma once

#include <QDialog>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QUrl;
struct CheckRunReport;

// The results window: lists the pages that changed and those whose fetch timed out; a dialog that never blocks,
// it stays open beside the main window and grows with every run that reports through it.
class frmShowModified : public QDialog {
    Q_OBJECT
public:
    using UrlOpener = std::function<void(const QUrl&)>;

    explicit frmShowModified(QWidget* owner = nullptr);

    // The URLsList and Timeouts properties: an empty text is ignored; otherwise every piece between commas is
    // appended to the list as one line (no trimming, empty pieces kept).
    void setURLsList(const QString& text);
    void setTimeouts(const QString& text);
    // The check run's own lists: each URL becomes one line as it is, commas and all; one already in its list is
    // not added again.
    void appendURLs(const QStringList& urls);
    void appendTimeouts(const QStringList& urls);

    // Creates the window in `window` when there is none, hands it the report's lists and shows it without
    // blocking. A report with nothing to show leaves the window alone.
    // quietly: the results are added without showing the window.
    static void showReport(QPointer<frmShowModified>& window, const CheckRunReport& report, QWidget* owner,
                           bool quietly = false);

    // What a double-click on a changed page calls; the default opens the address in the user's browser.
    void setUrlOpener(UrlOpener opener) { m_opener = std::move(opener); }
    // An http or https address parsed strictly from a list line, or an invalid URL for anything else.
    static QUrl browsableUrl(const QString& line);

    QListWidget* lbxURLs() const { return m_lbxURLs; }
    QListWidget* lbxTimeout() const { return m_lbxTimeout; }
    QPushButton* cmdOK() const { return m_cmdOK; }

signals:
    // "Mostra differenze" on a changed page's line: the change viewer of that URL.
    void diffRequested(const QString& url);

private:
    void openLine(QListWidgetItem* item);
    // The menu of a line: "Apri" as the double-click, and "Mostra differenze" for a changed page.
    void showLineMenu(QListWidget* list, const QPoint& pos);

    QString m_urlsList; // the text last given to URLsList
    QString m_timeouts; // the text last given to Timeouts
    QLabel* m_label1;
    QListWidget* m_lbxURLs;
    QLabel* m_label2;
    QListWidget* m_lbxTimeout;
    QSet<QString> m_listedChanged;
    QSet<QString> m_listedTimeouts;
    QPushButton* m_cmdOK;
    UrlOpener m_opener;
};
