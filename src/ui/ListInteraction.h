#pragma once

#include "ui/QvlCommand.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <functional>

class QTableView;
class SiteList;

// The site list view under the mouse and the keyboard: hover selection and the hover tip's texts, the popup
// on the right button, sorting by a header click, opening an entry's page by a double click, and editing a
// URL in place.
class ListInteraction : public QObject {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;
    // Where the platform gives no hover time.
    static constexpr int kHoverSelectMs = 400;

    ListInteraction(SiteList& list, QTableView& view, QObject* parent = nullptr);

    // The row the hover tip was last built for, plus one; 0 when none.
    int hoveredRow() const { return m_hoveredRow; }
    // The hover algorithm for the row under a point of the view's viewport (called on every mouse move).
    void hoverAt(const QPoint& viewportPos);

    // A header click on column 0..4: flips the one shared direction (the first click sorts descending) and
    // sorts by that column.
    void headerClicked(int column);
    bool sortDescending() const { return m_sortDescending; }

    // The double click: opens the selected entry's address in the browser, http and https only.
    void openSelectedUrl();
    // What opens an address; the default hands it to the desktop. Tests replace it.
    void setUrlOpener(UrlOpener opener) { m_opener = std::move(opener); }

    // Starts editing the selected entry's URL in place (F2).
    void editSelectedUrl();
    // The rules around an in-place edit: before it the URL is remembered, after it a change other than in
    // letter case marks the list modified and resets the entry's fingerprint, then the new text is taken.
    void beforeEdit(int row);
    void afterEdit(int row, const QString& text);
    // The in-place editor the view opened; it is the one open until it closes or is hidden.
    void editorOpened(QWidget* editor);

    // The selected entry's row and the view's current row, kept as one.
    void selectRow(int row);

    // After a run: why each page of that run that could not be fetched failed ("Errore N: text", by entry id).
    // The hover tip of an entry still marked "?" ends with it.
    void notePageErrors(const QHash<quint64, QString>& errors);
    // A failing site's line of the hover tip: "Non raggiungibile dal 3/12 10:00: HTTP 503".
    static QString unreachableText(const QDateTime& since, const QString& reason);

signals:
    // The hover tip must show these texts (an empty title: no title line).
    void tipRebuilt(const QString& title, const QString& text);
    // The pointer is over no row: the hover tip goes.
    void tipDestroyed();
    // A right-button press on the list: the window's right-button procedure.
    void rightPressed();
    // The right button's release: the popup, centred on this global point.
    void popupRequested(const QPoint& globalPos);
    // Keys of the list that run window commands (Delete, Ctrl+C).
    void commandKey(QvlCommand command);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hoverSelect();
    bool editing() const;

    SiteList& m_list;
    QTableView& m_view;
    int m_hoveredRow = 0;
    int m_pendingHoverRow = -1;
    QTimer m_hoverTimer;
    bool m_sortDescending = false;
    QString m_urlBeforeEdit;
    QPointer<QWidget> m_editor;
    UrlOpener m_opener;
    QHash<quint64, QString> m_pageErrors;
};
