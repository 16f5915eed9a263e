#include "winsupport/TooltipWindow.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace {

constexpr int kPadding = 6;         // between the outline and the texts
constexpr int kBalloonPadding = 9;  // a balloon breathes a little more
constexpr int kRadius = 7;          // corner radius of a balloon
constexpr int kTailHeight = 14;     // from the body's edge to the tail's tip
constexpr int kTailWidth = 14;      // the tail's base on the body's edge
constexpr int kTailInset = 18;      // from the body's left edge to the tail's tip
constexpr int kBelowPointer = 20;   // room for the pointer's own picture above a tip shown at the pointer
constexpr int kIconGap = 6;         // between the title's icon and its text
constexpr int kTitleGap = 5;        // between the title line and the body text
constexpr int kMaxTextColumns = 80; // longer lines wrap, at a blank if there is one
constexpr int kMaxLines = 20;       // a taller text is cut: a tip is read at a glance, not scrolled

QColor fromBgr(quint32 bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QStyle::StandardPixmap iconPixmap(int icon) {
    switch (icon) {
    case 2:
        return QStyle::SP_MessageBoxWarning;
    case 3:
        return QStyle::SP_MessageBoxCritical;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

bool hasIcon(int icon) {
    return icon >= 1 && icon <= 3;
}

} // namespace

TooltipWindow::TooltipWindow(QWidget* tool, const Options& options)
    : QWidget(tool,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput)
    , m_tool(tool)
    , m_options(options)
    , m_textFont(QApplication::font("QTipLabel"))
    , m_titleFont(m_textFont) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_titleFont.setBold(true);
    m_delay.setSingleShot(true);
    // A negative delay, or a display time that would make the tip flash or stay forever, gets the usual time.
    m_delay.setInterval(m_options.delayMs >= 0 ? m_options.delayMs : 500);
    m_autoPop.setSingleShot(true);
    m_autoPop.setInterval(m_options.visibleMs > 0 ? m_options.visibleMs : 5000);
    connect(&m_delay, &QTimer::timeout, this, [this] { popUp(m_pointer); });
    connect(&m_autoPop, &QTimer::timeout, this, [this] {
        hideTip();
        m_spent = true;
    });
    if (tool) {
        tool->setMouseTracking(true);
        tool->installEventFilter(this);
        // Made while the pointer already rests on the tool (a list rebuilding its tip on a row change).
        if (tool->underMouse()) {
            m_pointer = QCursor::pos();
            m_delay.start();
        }
    }
    rebuild();
}

void TooltipWindow::setTitle(int icon, const QString& title) {
    m_icon = icon;
    m_title = title;
    setAccessibleName(title);
    rebuild();
}

void TooltipWindow::setText(const QString& text) {
    m_text = text;
    setAccessibleDescription(text);
    rebuild();
}

void TooltipWindow::setTextColor(quint32 bgr) {
    m_textBgr = bgr;
    update();
}

void TooltipWindow::setBackColor(quint32 bgr) {
    m_backBgr = bgr;
    update();
}

QColor TooltipWindow::textColor() const {
    return m_textBgr != 0 ? fromBgr(m_textBgr) : QApplication::palette().color(QPalette::ToolTipText);
}

QColor TooltipWindow::backColor() const {
    return m_backBgr != 0 ? fromBgr(m_backBgr) : QApplication::palette().color(QPalette::ToolTipBase);
}

TooltipWindow::Block TooltipWindow::layOut(const QString& text, const QFont& font, int maxWidth) {
    Block block;
    if (text.isEmpty())
        return block;
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QFontMetrics metrics(font);
    qreal y = 0;
    qreal width = 0;
    int lines = 0;
    // Texts come from list files of any size: only what the tip can show is laid out, so a huge one costs
    // no more than a full tip. A cut text ends in an ellipsis.
    const qsizetype maxChars = qsizetype(kMaxLines) * kMaxTextColumns;
    if (plain.size() > maxChars)
        plain = plain.left(maxChars) + QChar(0x2026);
    for (const QString& paragraph : plain.split(QLatin1Char('\n'))) {
        if (lines >= kMaxLines)
            break;
        auto layout = std::make_unique<QTextLayout>(paragraph, font);
        layout->setTextOption(option);
        layout->beginLayout();
        while (lines < kMaxLines) {
            QTextLine line = layout->createLine();
            if (!line.isValid())
                break;
            ++lines;
            line.setLineWidth(maxWidth);
            line.setPosition(QPointF(0, y));
            y += metrics.height();
            width = qMax(width, line.naturalTextWidth());
        }
        layout->endLayout();
        block.lines.push_back(std::move(layout));
    }
    block.size = QSize(qCeil(width), qCeil(y));
    return block;
}

void TooltipWindow::rebuild() {
    const QScreen* screen = m_tool ? m_tool->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    const int maxWidth =
        qMax(120, qMin(screenWidth * 2 / 3, QFontMetrics(m_textFont).averageCharWidth() * kMaxTextColumns));
    m_titleBlock = layOut(m_title, m_titleFont, maxWidth);
    m_textBlock = layOut(m_text, m_textFont, maxWidth);
    if (isVisible())
        reposition();
}

QSize TooltipWindow::contentSize() const {
    int titleWidth = m_titleBlock.size.width();
    int titleHeight = m_titleBlock.size.height();
    if (hasIcon(m_icon)) {
        const int iconSize = QFontMetrics(m_titleFont).height();
        titleWidth += iconSize + (m_title.isEmpty() ? 0 : kIconGap);
        titleHeight = qMax(titleHeight, iconSize);
    }
    const int gap = titleHeight > 0 && !m_textBlock.lines.empty() ? kTitleGap : 0;
    return QSize(qMax(titleWidth, m_textBlock.size.width()), titleHeight + gap + m_textBlock.size.height());
}

// Sizes the window and its outline for a tip pointing at `anchor` (global): below it when there is room on
// the screen, else above; kept inside the screen sideways.
void TooltipWindow::place(const QPoint& anchor, bool anchorIsPointer) {
    const bool balloon = m_options.balloon;
    const int padding = balloon ? kBalloonPadding : kPadding;
    const QSize body = contentSize() + QSize(2 * padding, 2 * padding);
    const QScreen* screen = QGuiApplication::screenAt(anchor);
    if (!screen)
        screen = m_tool ? m_tool->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);

    const int tail = balloon ? kTailHeight : 0;
    const int below = anchorIsPointer ? kBelowPointer : 0;
    const bool down = anchor.y() + below + tail + body.height() <= area.bottom() + 1;
    int left = m_options.centered ? anchor.x() - body.width() / 2 : anchor.x() - (balloon ? kTailInset : 0);
    left = qBound(area.left(), left, qMax(area.left(), area.right() + 1 - body.width()));
    // A tip that fits neither below nor above starts at the screen's top rather than above it.
    const int top =
        down ? anchor.y() + (balloon ? below - 2 : below) : qMax(area.top(), anchor.y() - tail - body.height());
    setGeometry(left, top, body.width(), body.height() + tail);

    const int bodyTop = down ? tail : 0;
    m_body = QRect(0, bodyTop, body.width(), body.height());
    m_shape = QPainterPath();
    if (!balloon) {
        m_shape.addRect(QRectF(m_body).adjusted(0, 0, -1, -1));
    } else {
        QPainterPath outline;
        outline.addRoundedRect(QRectF(m_body).adjusted(0, 0, -1, -1), kRadius, kRadius);
        // The tail leans away from the nearer end of the body; centred tips get a symmetric one.
        const qreal tipX = qBound<qreal>(kRadius + 1, anchor.x() - left, body.width() - kRadius - 2);
        const qreal edge = down ? bodyTop + 1.0 : bodyTop + body.height() - 2.0;
        const qreal tipY = down ? 0.0 : bodyTop + body.height() + tail - 1.0;
        qreal from = tipX;
        qreal to = tipX + kTailWidth;
        if (m_options.centered) {
            from = tipX - kTailWidth / 2.0;
            to = tipX + kTailWidth / 2.0;
        } else if (to > body.width() - kRadius - 1) {
            from = tipX - kTailWidth;
            to = tipX;
        }
        QPainterPath stem;
        stem.moveTo(from, edge);
        stem.lineTo(tipX, tipY);
        stem.lineTo(to, edge);
        stem.closeSubpath();
        outline = outline.united(stem);
        m_shape = outline;
    }
    // The outline is the window's shape, so the tail and the round corners need no translucent window.
    // The headless platform has no window shapes.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        update();
        return;
    }
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setPen(Qt::color1);
    painter.setBrush(Qt::color1);
    painter.drawPath(m_shape);
    painter.end();
    setMask(mask);
    update();
}

void TooltipWindow::popUp(const QPoint& pointer) {
    if (m_text.isEmpty() || !m_tool)
        return;
    m_pointer = pointer;
    reposition();
    show();
    m_autoPop.start();
}

void TooltipWindow::reposition() {
    if (m_options.centered && m_tool)
        place(m_tool->mapToGlobal(QPoint(m_tool->width() / 2, m_tool->height())), false);
    else
        place(m_pointer, true);
}

void TooltipWindow::hideTip() {
    m_delay.stop();
    m_autoPop.stop();
    hide();
}

bool TooltipWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tool) {
        switch (event->type()) {
        case QEvent::MouseMove:
            m_pointer = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            if (!isVisible() && !m_spent)
                m_delay.start();
            break;
        case QEvent::Leave:
        case QEvent::Hide:
            m_spent = false;
            hideTip();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            hideTip();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event); // the tool still gets every event
}

void TooltipWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor text = textColor();
    painter.fillRect(rect(), backColor());
    painter.setPen(text);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(m_shape);

    const int padding = m_options.balloon ? kBalloonPadding : kPadding;
    QPoint at = m_body.topLeft() + QPoint(padding, padding);
    int titleHeight = m_titleBlock.size.height();
    if (hasIcon(m_icon)) {
        const int iconSize = QFontMetrics(m_titleFont).height();
        titleHeight = qMax(titleHeight, iconSize);
        const QIcon icon = style()->standardIcon(iconPixmap(m_icon), nullptr, this);
        icon.paint(&painter, QRect(at.x(), at.y() + (titleHeight - iconSize) / 2, iconSize, iconSize));
    }
    if (!m_titleBlock.lines.empty()) {
        const int iconShift = hasIcon(m_icon) ? QFontMetrics(m_titleFont).height() + kIconGap : 0;
        const QPoint titleAt(at.x() + iconShift, at.y() + (titleHeight - m_titleBlock.size.height()) / 2);
        for (const auto& line : m_titleBlock.lines)
            line->draw(&painter, titleAt);
    }
    if (titleHeight > 0)
        at.ry() += titleHeight + kTitleGap;
    for (const auto& line : m_textBlock.lines)
        line->draw(&painter, at);
}
