#include "ui/ListInteraction.h"

#include "core/SiteList.h"
#include "ui/frmShowModified.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

// The URL column's editor: remembers the URL before the edit and hands the result to the edit rules instead
// of writing it into the model itself. An abandoned edit (Esc) never reaches setModelData.
class UrlDelegate : public QStyledItemDelegate {
public:
    UrlDelegate(ListInteraction& interaction, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_interaction(interaction) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        m_interaction.beforeEdit(index.row());
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_interaction.editorOpened(editor);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        // A tick or a run's marker landing on the row being edited must not replace what the person typed.
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && line->isModified())
            return;
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            m_interaction.afterEdit(index.row(), line->text());
    }

private:
    ListInteraction& m_interaction;
};

} // namespace

ListInteraction::ListInteraction(SiteList& list, QTableView& view, QObject* parent)
    : QObject(parent)
    , m_list(list)
    , m_view(view)
    , m_opener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    m_view.setMouseTracking(true);
    m_view.viewport()->setMouseTracking(true);
    m_view.setContextMenuPolicy(Qt::PreventContextMenu);
    m_view.setEditTriggers(QAbstractItemView::SelectedClicked);
    auto* delegate = new UrlDelegate(*this, &m_view);
    m_view.setItemDelegateForColumn(SiteList::ColUrl, delegate);
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this] { m_editor = nullptr; });
    m_view.viewport()->installEventFilter(this);
    m_view.installEventFilter(this);

    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(kHoverSelectMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &ListInteraction::hoverSelect);

    QHeaderView* header = m_view.horizontalHeader();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &ListInteraction::headerClicked);

    // The view's current row is the list's selected entry; both follow the entry through sorts.
    connect(m_view.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                m_list.setSelectedRow(current.isValid() ? current.row() : -1);
                // The view can make a row current without highlighting it (on focus): the highlight follows.
                if (current.isValid() && !m_view.selectionModel()->isRowSelected(current.row()))
                    m_view.selectionModel()->select(current, QItemSelectionModel::ClearAndSelect |
                                                                 QItemSelectionModel::Rows);
            });
    // A click on the empty area below the rows would clear the highlight but keep the current row; the
    // highlight stays on the selected entry instead.
    connect(m_view.selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_view.selectionModel()->hasSelection() && m_list.selectedRow() >= 0)
            selectRow(m_list.selectedRow());
    });
}

void ListInteraction::selectRow(int row) {
    if (row < 0 || row >= m_list.count())
        return;
    const QModelIndex index = m_view.model()->index(row, SiteList::ColUrl);
    m_view.selectionModel()->setCurrentIndex(index,
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListInteraction::hoverAt(const QPoint& viewportPos) {
    const int r = m_view.rowAt(viewportPos.y());
    // Hover selection waits for the pointer to rest on a row.
    if (r != m_pendingHoverRow) {
        m_pendingHoverRow = r;
        if (r >= 0)
            m_hoverTimer.start();
        else
            m_hoverTimer.stop();
    }
    if (r + 1 == m_hoveredRow)
        return;
    m_hoveredRow = r + 1;
    if (r < 0) {
        emit tipDestroyed();
        return;
    }
    const SiteEntry& entry = m_list.entryAt(r);
    QString text = entry.url;
    if (!entry.descrizione.isEmpty())
        text += QStringLiteral("\r\n") + entry.descrizione;
    // Said while the row shows the outcome of the run it belongs to.
    if (!entry.res.isEmpty() && entry.res != ResultMarker::kBusy && m_pageErrors.contains(entry.id))
        text += QStringLiteral("\r\n") + m_pageErrors.value(entry.id);
    else if (entry.options->failures > 0) // failing since before this list was opened: the reason is not known
        text += QStringLiteral("\r\n") + unreachableText(entry.options->failingSince, {});
    const QDateTime due = entry.options->nextDue();
    if (due.isValid() && due > QDateTime::currentDateTimeUtc())
        text += QStringLiteral("\r\n") + tr("Controllo periodico non prima del %1")
                                             .arg(due.toLocalTime().toString(QStringLiteral("d/M HH:mm")));
    emit tipRebuilt(entry.nick, text);
}

QString ListInteraction::unreachableText(const QDateTime& since, const QString& reason) {
    const QString when = since.toLocalTime().toString(QStringLiteral("d/M HH:mm"));
    return reason.isEmpty() ? tr("Non raggiungibile dal %1").arg(when)
                            : tr("Non raggiungibile dal %1: %2").arg(when, reason);
}

void ListInteraction::notePageErrors(const QHash<quint64, QString>& errors) {
    m_pageErrors = errors;
    m_hoveredRow = 0; // the tip over the pointer is built again at the next move
}

void ListInteraction::hoverSelect() {
    // An open editor keeps its row: hovering elsewhere must not move the selection under it.
    if (editing())
        return;
    if (m_pendingHoverRow >= 0 && !m_view.selectionModel()->isRowSelected(m_pendingHoverRow))
        selectRow(m_pendingHoverRow);
}

void ListInteraction::headerClicked(int column) {
    m_sortDescending = !m_sortDescending;
    const Qt::SortOrder order = m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_list.sortByColumn(column + 1, order);
    m_view.horizontalHeader()->setSortIndicatorShown(true);
    m_view.horizontalHeader()->setSortIndicator(column, order);
    const QModelIndex current = m_view.currentIndex();
    if (current.isValid())
        m_view.scrollTo(current);
}

void ListInteraction::openSelectedUrl() {
    const int row = m_list.selectedRow();
    if (row < 0)
        return;
    // Only web addresses reach the desktop: a list file from elsewhere must not start a program or open a
    // local file. A failure to open says nothing.
    const QUrl url = frmShowModified::browsableUrl(m_list.entryAt(row).url);
    if (url.isValid())
        m_opener(url);
}

void ListInteraction::editSelectedUrl() {
    const int row = m_list.selectedRow();
    if (row < 0)
        return;
    m_view.edit(m_view.model()->index(row, SiteList::ColUrl));
}

bool ListInteraction::editing() const {
    // The view hides an editor whose row goes away without telling anyone it closed.
    return m_editor && m_editor->isVisible();
}

void ListInteraction::editorOpened(QWidget* editor) {
    m_editor = editor;
}

void ListInteraction::beforeEdit(int row) {
    m_urlBeforeEdit = m_list.field(row, SiteList::Field::Url);
}

void ListInteraction::afterEdit(int row, const QString& text) {
    if (row < 0 || row >= m_list.count())
        return;
    const QString before = m_list.field(row, SiteList::Field::Url);
    if (text.compare(m_urlBeforeEdit, Qt::CaseInsensitive) != 0) {
        m_list.setModified(true);
        m_urlBeforeEdit.clear();
        m_list.setField(row, SiteList::Field::Crc, QStringLiteral("0"));
    }
    // A change of letter case keeps the fingerprint but is still a change the list file has not seen yet.
    if (text != before)
        m_list.setModified(true);
    m_list.setField(row, SiteList::Field::Url, text);
}

bool ListInteraction::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_view) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (editing())
                return false;
            if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) {
                editSelectedUrl();
                return true;
            }
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
                emit commandKey(QvlCommand::DeleteUrl);
                return true;
            }
            // As in a list of check boxes: the row's tick, whichever of its cells is the current one.
            if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
                const int row = m_view.currentIndex().isValid() ? m_view.currentIndex().row() : -1;
                if (row >= 0 && row < m_list.count())
                    m_list.setTicked(row, !m_list.isTicked(row));
                return true;
            }
            if (key->matches(QKeySequence::Copy)) {
                emit commandKey(QvlCommand::CopyUrl);
                return true;
            }
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseMove:
        hoverAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
    case QEvent::Leave:
        m_hoverTimer.stop();
        m_pendingHoverRow = -1;
        break;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
            emit rightPressed();
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton)
            emit popupRequested(mouse->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            // The press of a double click selects its row first, as a single click would.
            const int row = m_view.rowAt(static_cast<QMouseEvent*>(event)->position().toPoint().y());
            if (row >= 0)
                selectRow(row);
            openSelectedUrl();
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}
