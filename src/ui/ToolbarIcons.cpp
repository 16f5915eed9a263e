#include "ui/ToolbarIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Theme names tried first for each key.
QString themeName(const QString& key) {
    static const QHash<QString, QString> names{
        {QStringLiteral("Open"), QStringLiteral("document-open")},
        {QStringLiteral("Save"), QStringLiteral("document-save")},
        {QStringLiteral("Delete"), QStringLiteral("edit-delete")},
        {QStringLiteral("Edit"), QStringLiteral("document-properties")},
        {QStringLiteral("Copy"), QStringLiteral("edit-copy")},
        {QStringLiteral("Paste"), QStringLiteral("edit-paste")},
        {QStringLiteral("Forward"), QStringLiteral("go-next")},
    };
    return names.value(key);
}

const QColor kInk(0x30, 0x30, 0x30);

void drawOpen(QPainter& p) {
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(QColor(0xe8, 0xb8, 0x4a));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(13.5, 5);
    back.lineTo(13.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(0xf6, 0xd2, 0x7a));
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
}

void drawSave(QPainter& p) {
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(QColor(0x3a, 0x6e, 0xc8));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(0xd8, 0xd8, 0xd8));
    p.drawRect(QRectF(3.5, 9, 9, 5.5));
    p.setBrush(kInk);
    p.drawRect(QRectF(9.5, 2.5, 1.5, 3));
}

void drawDelete(QPainter& p) {
    p.setPen(QPen(QColor(0xc8, 0x20, 0x20), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void drawPage(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 0.8));
    for (double y = r.top() + 2.5; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 1.5, y), QPointF(r.right() - 1.5, y));
}

void drawEdit(QPainter& p) {
    drawPage(p, QRectF(1.5, 1.5, 10, 13));
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(QColor(0xf0, 0xa0, 0x30));
    QPainterPath pencil;
    pencil.moveTo(7, 13);
    pencil.lineTo(13.5, 4.5);
    pencil.lineTo(15, 6);
    pencil.lineTo(8.5, 14.5);
    pencil.lineTo(6.5, 15);
    pencil.closeSubpath();
    p.drawPath(pencil);
}

void drawCopy(QPainter& p) {
    drawPage(p, QRectF(1.5, 1.5, 8.5, 10));
    drawPage(p, QRectF(6, 5, 8.5, 10));
}

void drawPaste(QPainter& p) {
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(QColor(0xb0, 0x80, 0x50));
    p.drawRoundedRect(QRectF(2, 2.5, 10, 12.5), 1, 1);
    p.setBrush(QColor(0xc0, 0xc0, 0xc0));
    p.drawRect(QRectF(4.5, 1, 5, 3));
    drawPage(p, QRectF(7, 6.5, 7.5, 8.5));
}

void drawForward(QPainter& p) {
    p.setPen(QPen(QColor(0x1c, 0x60, 0x1c), 0.8));
    p.setBrush(QColor(0x3c, 0xa8, 0x3c));
    QPainterPath arrow;
    arrow.moveTo(1.5, 5.5);
    arrow.lineTo(8, 5.5);
    arrow.lineTo(8, 2);
    arrow.lineTo(14.5, 8);
    arrow.lineTo(8, 14);
    arrow.lineTo(8, 10.5);
    arrow.lineTo(1.5, 10.5);
    arrow.closeSubpath();
    p.drawPath(arrow);
}

QPixmap paint(const QString& key, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    if (key == QLatin1String("Open"))
        drawOpen(p);
    else if (key == QLatin1String("Save"))
        drawSave(p);
    else if (key == QLatin1String("Delete"))
        drawDelete(p);
    else if (key == QLatin1String("Edit"))
        drawEdit(p);
    else if (key == QLatin1String("Copy"))
        drawCopy(p);
    else if (key == QLatin1String("Paste"))
        drawPaste(p);
    else
        drawForward(p);
    return pixmap;
}

} // namespace

namespace ToolbarIcons {

QIcon drawn(const QString& key) {
    QIcon result;
    for (int size : {16, 24, 32})
        result.addPixmap(paint(key, size));
    return result;
}

QIcon icon(const QString& key) {
    const QString name = themeName(key);
    // An icon the theme names but cannot draw (a missing image format) would leave the button blank.
    if (!name.isEmpty() && QIcon::hasThemeIcon(name)) {
        const QIcon themed = QIcon::fromTheme(name);
        if (!themed.pixmap(16, 16).isNull())
            return themed;
    }
    return drawn(key);
}

} // namespace ToolbarIcons
