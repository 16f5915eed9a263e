#include "ui/frmShowModified.h"

#include <QSet>

#include "core/CheckRun.h"
#include "winsupport/Twips.h"

#include <QDesktopServices>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QUrl>

namespace {

constexpr int kClientWidthTwips = 6180;
constexpr int kClientHeightTwips = 3960;

// A push button too narrow for its caption, which it therefore writes from bottom to top.
class VerticalButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        p.drawControl(QStyle::CE_PushButton, option);
        p.setFont(font());
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        p.translate(0, height());
        p.rotate(-90);
        p.drawText(QRect(0, 0, height(), width()), Qt::AlignCenter, text());
    }
};

QFont captionFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

void appendPieces(QListWidget* list, const QString& text) {
    const QStringList pieces = text.split(u',', Qt::KeepEmptyParts);
    for (const QString& piece : pieces) {
        // Items are plain text; a URL never becomes markup.
        list->addItem(piece);
    }
}

} // namespace

frmShowModified::frmShowModified(QWidget* owner)
    : QDialog(owner)
    , m_label1(new QLabel(tr("Pagine cambiate:"), this))
    , m_lbxURLs(new QListWidget(this))
    , m_label2(new QLabel(tr("Errori di timeout"), this))
    , m_lbxTimeout(new QListWidget(this))
    , m_cmdOK(new VerticalButton(tr("EXIT"), this))
    , m_opener([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("frmShowModified"));
    setWindowTitle(tr("Check response"));
    setAccessibleName(windowTitle());
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    m_label1->setObjectName(QStringLiteral("Label1"));
    m_lbxURLs->setObjectName(QStringLiteral("lbxURLs"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_lbxTimeout->setObjectName(QStringLiteral("lbxTimeout"));
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_lbxURLs->setAccessibleName(m_label1->text());
    m_lbxTimeout->setAccessibleName(m_label2->text());
    m_cmdOK->setAccessibleName(m_cmdOK->text());

    for (QLabel* label : {m_label1, m_label2}) {
        label->setTextFormat(Qt::PlainText);
        label->setFont(captionFont());
    }
    m_cmdOK->setFont(captionFont());

    const int dpi = logicalDpiX();
    const auto px = [dpi](int twips) {
        return twipsToPixels(twips, dpi);
    };
    placeTwips(m_label1, 90, 90, 5730, 195);
    placeTwips(m_lbxURLs, 45, 315, 5775, 1815);
    placeTwips(m_label2, 90, 2250, 5730, 195);
    placeTwips(m_lbxTimeout, 45, 2475, 5775, 1425);
    placeTwips(m_cmdOK, 5895, 45, 240, 3885);
    setFixedSize(px(kClientWidthTwips), px(kClientHeightTwips));

    connect(m_cmdOK, &QPushButton::clicked, this, &QWidget::close);
    connect(m_lbxURLs, &QListWidget::itemDoubleClicked, this, &frmShowModified::openLine);
    for (QListWidget* list : {m_lbxURLs, m_lbxTimeout}) {
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this,
                [this, list](const QPoint& pos) { showLineMenu(list, pos); });
    }
}

void frmShowModified::setURLsList(const QString& text) {
    if (text.isEmpty())
        return;
    m_urlsList = text;
    appendPieces(m_lbxURLs, text);
}

void frmShowModified::setTimeouts(const QString& text) {
    if (text.isEmpty())
        return;
    m_timeouts = text;
    appendPieces(m_lbxTimeout, text);
}

namespace {
// A page listed already is not listed again: left open through a month of periodic runs, the window names
// what changed since the user last looked, once each, and does not grow with every run.
void appendNew(QListWidget* list, QSet<QString>& listed, const QStringList& urls) {
    for (const QString& url : urls) {
        if (!listed.contains(url)) {
            listed.insert(url);
            list->addItem(url);
        }
    }
}
} // namespace

void frmShowModified::appendURLs(const QStringList& urls) {
    appendNew(m_lbxURLs, m_listedChanged, urls);
}

void frmShowModified::appendTimeouts(const QStringList& urls) {
    appendNew(m_lbxTimeout, m_listedTimeouts, urls);
}

void frmShowModified::showReport(QPointer<frmShowModified>& window, const CheckRunReport& report, QWidget* owner,
                                 bool quietly) {
    if (!report.showResults())
        return;
    if (!window)
        window = new frmShowModified(owner);
    // Lists, not comma-joined texts: a URL may hold a comma.
    window->appendURLs(report.changed);
    window->appendTimeouts(report.timeouts);
    if (quietly)
        return;
    window->show();
    window->raise();
}

QUrl frmShowModified::browsableUrl(const QString& line) {
    const QUrl url(line, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return {};
    return url;
}

void frmShowModified::showLineMenu(QListWidget* list, const QPoint& pos) {
    QListWidgetItem* item = list->itemAt(pos);
    if (!item)
        return;
    list->setCurrentItem(item);
    const QString line = item->text();
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("mnuRiga"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* open = menu->addAction(tr("Apri"));
    open->setEnabled(m_opener && browsableUrl(line).isValid());
    connect(open, &QAction::triggered, this, [this, line] {
        const QUrl url = browsableUrl(line);
        if (m_opener && url.isValid())
            m_opener(url);
    });
    // A page that timed out brought no new version to compare.
    QAction* diff = menu->addAction(tr("Mostra differenze"));
    diff->setEnabled(list == m_lbxURLs);
    connect(diff, &QAction::triggered, this, [this, line] { emit diffRequested(line); });
    menu->popup(list->viewport()->mapToGlobal(pos));
}

void frmShowModified::openLine(QListWidgetItem* item) {
    if (!item || !m_opener)
        return;
    const QUrl url = browsableUrl(item->text());
    // Anything but a web address (a file, a program, a script) is not handed to the desktop.
    if (url.isValid())
        m_opener(url);
}
