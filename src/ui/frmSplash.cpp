#include "ui/frmSplash.h"

#include "winsupport/Twips.h"

#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QUrlQuery>

#include <cmath>

#ifndef QUOVEL_CONTACT_EMAIL
#define QUOVEL_CONTACT_EMAIL ""
#endif

namespace {

constexpr int kBannerLeft = 200; // twips from the window's top-left corner
constexpr int kBannerTop = 110;
constexpr int kBannerIntervalMs = 100;
constexpr int kLogoSize = 1440;

// Ten degrees in radians, to the precision the banner has always used.
constexpr double kTenDegrees = 0.17453292;

int colourComponent(double angle) {
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    return static_cast<int>(std::nearbyint(128 + 127 * std::sin(angle)));
}

QFont bannerFont() {
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(10);
    font.setBold(true);
    return font;
}

// Our logo: a page with its lines under a circling arrow, the page that changed since the last look.
QPixmap drawLogo(int size, qreal pixelRatio) {
    QPixmap pixmap(QSize(size, size) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 96.0;
    p.scale(s, s);
    QLinearGradient sky(0, 0, 0, 96);
    sky.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    sky.setColorAt(1, QColor(0x1d, 0x4e, 0x9e));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(2, 2, 92, 92), 18, 18);
    QPainterPath page;
    page.moveTo(22, 14);
    page.lineTo(58, 14);
    page.lineTo(72, 28);
    page.lineTo(72, 80);
    page.lineTo(22, 80);
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(0xc8, 0xd6, 0xec));
    p.drawPolygon(QPolygonF({QPointF(58, 14), QPointF(58, 28), QPointF(72, 28)}));
    p.setPen(QPen(QColor(0x9a, 0xa9, 0xc0), 3, Qt::SolidLine, Qt::RoundCap));
    for (int y = 36; y <= 68; y += 8)
        p.drawLine(QPointF(30, y), QPointF(y < 50 ? 64 : 52, y));
    const QColor orange(0xf5, 0x8a, 0x1f);
    p.setPen(QPen(orange, 7, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(52, 52, 32, 32), 100 * 16, 250 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(orange);
    p.drawPolygon(QPolygonF({QPointF(60, 47), QPointF(73, 53), QPointF(61, 61)}));
    return pixmap;
}

} // namespace

frmSplash::frmSplash(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
    , m_colour(palette().color(QPalette::WindowText))
    , m_drawnColour(m_colour)
    , m_openMail([](const QUrl& link) { QDesktopServices::openUrl(link); }) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(tr("Quovel"));
    setAccessibleName(windowTitle());
    setModal(true);
    setFixedSize(twipsToPixels(6000, logicalDpiX()), twipsToPixels(4140, logicalDpiY()));

    // The frame is drawn over the banner but not filled, so the banner shows through it.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    frame->setGeometry(rect());

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    placeTwips(logo, 240, 540, kLogoSize, kLogoSize);
    logo->setPixmap(drawLogo(logo->width(), devicePixelRatioF()));
    logo->setAccessibleName(tr("Quovel"));

    QLabel* name = addLabel("lblProductName", QStringLiteral("Quovel"), 1920, 300, 2600, 600);
    QFont nameFont = name->font();
    nameFont.setPointSize(20);
    nameFont.setBold(true);
    name->setFont(nameFont);
    addLabel("lblVersion", tr("v. %1").arg(QStringLiteral(QUOVEL_VERSION)), 1920, 900, 2600, 270);
    addLabel("lblPlatform", tr("Linux"), 1920, 1170, 2600, 270);
    addLabel("lblTitle", tr("Scritto, per ora, da:"), 1920, 1560, 2500, 270);
    QLabel* authors = addLabel("lblAuthors", tr("gli sviluppatori di Quovel"), 1920, 1830, 2500, 270);
    QFont authorsFont = authors->font();
    authorsFont.setItalic(true);
    authors->setFont(authorsFont);
    QLabel* info =
        addLabel("txtInfo",
                 tr("Quovel è software libero: GNU General Public License, versione 3 o successiva. "
                    "È costruito con Qt (finestre), libcurl (pagine web), pugixml (file della lista), "
                    "gumbo e libxml2 (testo delle pagine), PCRE2 (espressioni regolari), dtl (differenze), "
                    "zlib e zstd (impronte e cronologia): grazie ai loro autori."),
                 240, 2220, 5520, 1680);
    info->setWordWrap(true);
    info->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    info->setMargin(twipsToPixels(45, logicalDpiX()));
    info->setAutoFillBackground(true);
    info->setBackgroundRole(QPalette::Base);

    auto* mail = new QPushButton(tr("Mail me"), this);
    mail->setObjectName(QStringLiteral("cbtMailMe"));
    // Keys belong to the window: any key closes it.
    mail->setFocusPolicy(Qt::NoFocus);
    placeTwips(mail, 4560, 1620, 1200, 420);
    connect(mail, &QPushButton::clicked, this,
            [this] { m_openMail(mailLink(QStringLiteral(QUOVEL_CONTACT_EMAIL))); });

    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(kBannerIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &frmSplash::bannerTick);
    m_timer.start();
}

QLabel* frmSplash::addLabel(const char* name, const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    placeTwips(label, left, top, width, height);
    return label;
}

QColor frmSplash::bannerColour(int step) {
    return QColor(colourComponent(step * kTenDegrees), colourComponent(step * 1.7 * kTenDegrees),
                  colourComponent(step * 1.83 * kTenDegrees));
}

// mailto:ADDRESS?Subject=Quovel&Body="Ho provato Quovel e trovo che sia...", percent-encoded by QUrl so the
// blanks and the quotes reach the mail program intact.
QUrl frmSplash::mailLink(const QString& address) {
    QUrl link;
    link.setScheme(QStringLiteral("mailto"));
    link.setPath(address);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("Subject"), QStringLiteral("Quovel"));
    query.addQueryItem(QStringLiteral("Body"), tr("\"Ho provato Quovel e trovo che sia...\""));
    link.setQuery(query);
    return link;
}

QRect frmSplash::bannerRect() const {
    const QPoint topLeft(twipsToPixels(kBannerLeft, logicalDpiX()), twipsToPixels(kBannerTop, logicalDpiY()));
    return QRect(topLeft, QFontMetrics(bannerFont()).size(0, tr("Open Source")));
}

void frmSplash::bannerTick() {
    m_drawnColour = m_colour;
    m_colour = bannerColour(m_step);
    m_step = m_step + 1 >= kBannerSteps ? 0 : m_step + 1;
    update(bannerRect());
}

void frmSplash::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setFont(bannerFont());
    painter.setPen(m_drawnColour);
    painter.drawText(bannerRect(), Qt::AlignLeft | Qt::AlignTop, tr("Open Source"));
}

void frmSplash::mousePressEvent(QMouseEvent* event) {
    // Clicks on the frame, the logo, the labels and the credits arrive here; the mail button keeps its own.
    event->accept();
    close();
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

void frmSplash::done(int result) {
    m_timer.stop();
    QDialog::done(result);
}
