#include "ui/frmQVL.h"

#include "core/Clock.h"
#include "core/SiteList.h"
#include "ui/ClockIndicator.h"
#include "ui/ListInteraction.h"
#include "ui/QvlLayout.h"
#include "ui/UrlEditModel.h"
#include "ui/WrapButton.h"
#include "winsupport/Twips.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QWindow>

#include <algorithm>

// The main window's controls: made once, and placed where the design puts them at each size.

namespace {

constexpr int kFrameWidthTwips = 975;
constexpr int kButtonWidthTwips = 945;
constexpr int kButtonHeightTwips = 645;
constexpr int kButtonTopsTwips[] = {345, 1155, 1965};

// A named font with a sans-serif fallback, so any desktop shows it.
QFont namedFont(const QString& family, int pointSize) {
    QFont font;
    font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    return font;
}

} // namespace

void frmQVL::buildListView() {
    m_view = new QTableView(centralWidget());
    m_view->setObjectName(QStringLiteral("lvwURLs"));
    auto* model = new UrlEditModel(m_view);
    model->setSourceModel(&m_list);
    m_view->setModel(model);
    m_view->setFont(namedFont(QStringLiteral("Arial"), 9));
    m_view->setShowGrid(true);
    m_view->setWordWrap(false);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSortingEnabled(false);
    // Fixed row heights: a long list costs nothing per row.
    QHeaderView* rows = m_view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    QHeaderView* header = m_view->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    QFont headerFont = header->font();
    headerFont.setBold(true);
    header->setFont(headerFont);
    QStringList captions;
    for (int column = 0; column < SiteList::ColumnCount; ++column) {
        m_view->setColumnWidth(column, twipsToPixels(SiteList::columnWidthTwips(column), logicalDpiX()));
        captions << SiteList::columnCaption(column).trimmed();
    }
    m_view->setAccessibleName(captions.join(QStringLiteral(", ")));

    m_interaction = new ListInteraction(m_list, *m_view, this);
    connect(m_interaction, &ListInteraction::rightPressed, this,
            [this] { rightButtonProcedure(Qt::RightButton); });
    connect(m_interaction, &ListInteraction::popupRequested, this, &frmQVL::showPopup);
    connect(m_interaction, &ListInteraction::tipRebuilt, this, [this](const QString& title, const QString& text) {
        m_hoverTip.setTitle(title);
        m_hoverTip.setTipText(text);
        m_hoverTip.Create(m_view->viewport());
    });
    connect(m_interaction, &ListInteraction::tipDestroyed, this, [this] { m_hoverTip.Destroy(); });
    connect(m_interaction, &ListInteraction::commandKey, this,
            [this](QvlCommand command) { runCommand(command); });
}

void frmQVL::buildControlFrame() {
    m_frameCTRLs = new QFrame(centralWidget());
    m_frameCTRLs->setObjectName(QStringLiteral("frameCTRLs"));
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    m_imgClock = new ClockIndicator(m_frameCTRLs);
    m_imgClock->setObjectName(QStringLiteral("imgClock"));
    m_imgClock->setAccessibleName(tr("imgClock"));
    m_imgClock->follow(m_scheduler);

    const QFont buttonFont = namedFont(QStringLiteral("MS Sans Serif"), 8);
    const struct {
        QPushButton*& button;
        const char16_t* name;
        const char* caption;
        QvlCommand command;
    } buttons[] = {
        {m_cmdSetTimer, u"cmdSetTimer", QT_TR_NOOP("Imposta Timer"), QvlCommand::SetTimer},
        {m_cmdStart, u"cmdStart", QT_TR_NOOP("Avvia controllo"), QvlCommand::Start},
        {m_cmdStop, u"cmdStop", QT_TR_NOOP("Arresta controllo"), QvlCommand::Stop},
    };
    // The clock sits centred above the buttons; when it is taller than the room above the first button,
    // the buttons move down together by the difference.
    const int clockRoom = twipsToPixels(kButtonTopsTwips[0], dpiY);
    const int shift = std::max(0, m_imgClock->height() + 4 - clockRoom);
    const int width = twipsToPixels(kFrameWidthTwips, dpiX);
    m_imgClock->move((width - m_imgClock->width()) / 2,
                     std::max(0, (clockRoom + shift - m_imgClock->height()) / 2));
    int bottom = 0;
    for (int i = 0; i < 3; ++i) {
        auto* button = new WrapButton(tr(buttons[i].caption), m_frameCTRLs);
        button->setObjectName(QString::fromUtf16(buttons[i].name));
        button->setAccessibleName(button->text());
        button->setFont(buttonFont);
        button->setGeometry(0, twipsToPixels(kButtonTopsTwips[i], dpiY) + shift,
                            twipsToPixels(kButtonWidthTwips, dpiX), twipsToPixels(kButtonHeightTwips, dpiY));
        const QvlCommand command = buttons[i].command;
        connect(button, &QPushButton::clicked, this, [this, command] { runCommand(command); });
        buttons[i].button = button;
        bottom = button->geometry().bottom() + 1;
    }
    m_frameCTRLs->resize(width, bottom);
}

void frmQVL::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("sbStatusBar_") + QString::number(i + 1));
        // Panel 1 shows page addresses from the list: never markup.
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        m_panels[i] = panel;
        if (i == 0)
            bar->addWidget(panel, 1);
        else
            bar->addPermanentWidget(panel);
    }
    updateDateTime();
    m_dateTimeTimer.setInterval(1000);
    connect(&m_dateTimeTimer, &QTimer::timeout, this, &frmQVL::updateDateTime);
    m_dateTimeTimer.start();
}

QLabel* frmQVL::statusPanel(int panel) const {
    return panel >= 1 && panel <= 3 ? m_panels[panel - 1] : nullptr;
}

void frmQVL::updateDateTime() {
    const QDateTime now = m_clock.now();
    const QLocale locale;
    m_panels[1]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_panels[2]->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void frmQVL::applySizeBounds() {
    // A maximized window fills the screen; the bounds hold for the frame the user drags.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        return;
    }
    // The bounds are for the whole window; Qt's are for its inside, so the frame's own size comes off.
    const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    const QSize frameExtra(frame.left() + frame.right(), frame.top() + frame.bottom());
    m_frameExtra = frameExtra;
    setMinimumSize(kMinTrackSize - frameExtra);
    setMaximumSize(kMaxTrackSize - frameExtra);
}

void frmQVL::layoutControls() {
    if (windowState() & Qt::WindowMinimized)
        return;
    const double perX = kTwipsPerInch / logicalDpiX();
    const double perY = kTwipsPerInch / logicalDpiY();
    const QRect outer = frameGeometry();
    const QvlLayout l =
        QvlLayout::forWindow(static_cast<int>(outer.width() * perX), static_cast<int>(outer.height() * perY),
                             static_cast<int>(m_frameCTRLs->width() * perX));
    // Positions are designed from the top of the area below the menu bar; the toolbar sits in that area.
    const int dy = centralWidget()->y() - (menuBar()->isVisible() ? menuBar()->height() : 0);
    const auto px = [&](int twips) {
        return twipsToPixels(twips, logicalDpiX());
    };
    const auto py = [&](int twips) {
        return twipsToPixels(twips, logicalDpiY());
    };
    m_frameCTRLs->move(px(l.frameLeft), py(l.frameTop) - dy);
    const int listTop = std::max(2, py(l.listTop) - dy);
    // The list never reaches under the status bar, whatever the window manager's frame adds.
    const int listHeight = std::min(py(l.listHeight), centralWidget()->height() - listTop - 2);
    m_view->setGeometry(px(l.listLeft), listTop, px(l.listWidth), std::max(listHeight, py(520)));
}
