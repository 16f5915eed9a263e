#include "ui/ClockIndicator.h"

#include "core/Language.h"

#include <QPainter>
#include <QPixmap>
#include <QtMath>

const QRgb ClockIndicator::kMaskColour = qRgb(255, 0, 255);

namespace {

const QColor kDisabledFace(0xd8, 0xd8, 0xd8);
const QColor kDisabledRim(0x80, 0x80, 0x80);
const QColor kActiveFace(0xff, 0xff, 0xe0);
const QColor kActiveRim(0x00, 0x60, 0xc0);
const QColor kBusyRim(0x00, 0x80, 0x00);
const QColor kHand(0x20, 0x20, 0x20);
const QColor kBusyHand(0xc0, 0x00, 0x00);

void drawFace(QPainter& p, const QColor& face, const QColor& rim) {
    p.setPen(rim);
    p.setBrush(face);
    p.drawEllipse(1, 1, 13, 13);
    // Hour marks at 12, 3, 6 and 9.
    p.setPen(rim);
    p.drawPoint(7, 3);
    p.drawPoint(12, 7);
    p.drawPoint(7, 12);
    p.drawPoint(3, 7);
}

void drawHand(QPainter& p, const QColor& colour, double degreesFromTwelve, double length) {
    const double rad = qDegreesToRadians(degreesFromTwelve);
    const QPointF centre(7.5, 7.5);
    const QPointF tip(centre.x() + length * qSin(rad), centre.y() - length * qCos(rad));
    p.setPen(QPen(colour, 1.0));
    p.drawLine(centre, tip);
}

} // namespace

ClockIndicator::ClockIndicator(QWidget* parent)
    : QLabel(parent) {
    setFixedSize(kPictureSize * kScale, kPictureSize * kScale);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    setClockState(
        {ClockKey::kDisarmed, true, Language::text("CheckScheduler", CheckScheduler::kTimerDisabledText)});
}

QStringList ClockIndicator::keys() {
    QStringList all{ClockKey::kDisarmed, ClockKey::kArmed};
    for (int i = 0; i < 6; ++i)
        all << ClockKey::frame(i);
    return all;
}

QImage ClockIndicator::picture(const QString& key, bool overlay) {
    if (!keys().contains(key))
        return {};
    QImage image(kPictureSize, kPictureSize, QImage::Format_ARGB32);
    image.fill(kMaskColour);
    {
        // No antialiasing: a blended edge pixel would be neither mask nor picture.
        QPainter p(&image);
        if (key == ClockKey::kDisarmed) {
            drawFace(p, kDisabledFace, kDisabledRim);
            drawHand(p, kDisabledRim, 0, 4.5);
            drawHand(p, kDisabledRim, 90, 3.5);
        } else if (key == ClockKey::kArmed) {
            drawFace(p, kActiveFace, kActiveRim);
            drawHand(p, kHand, 0, 4.5);
            drawHand(p, kHand, 90, 3.5);
        } else {
            const int frame = key.mid(8).toInt();
            drawFace(p, kActiveFace, kBusyRim);
            drawHand(p, kBusyHand, frame * 60.0, 5.0);
        }
    }
    if (overlay) {
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (line[x] == kMaskColour)
                    line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return image;
}

void ClockIndicator::follow(const CheckScheduler& scheduler) {
    setClockState(scheduler.clockState());
    connect(&scheduler, &CheckScheduler::clockStateChanged, this, &ClockIndicator::setClockState);
}

void ClockIndicator::setClockState(const ClockState& state) {
    m_state = state;
    QImage image = picture(state.key, true);
    if (!state.overlay) {
        // Shown as stored, the mask shows through in the colour of the window the picture sits on, not in a
        // colour of its own.
        QImage stored(image.size(), QImage::Format_ARGB32);
        stored.fill(palette().color(QPalette::Window));
        QPainter(&stored).drawImage(0, 0, image);
        image = stored;
    }
    QPixmap pixmap =
        QPixmap::fromImage(image.scaled(image.size() * kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    setPixmap(pixmap);
    // Hover texts are the program's own ("Timer disabled", "Next check at ..."), never markup.
    setToolTip(state.hoverText);
}
