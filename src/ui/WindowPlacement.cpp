#include "ui/WindowPlacement.h"

#include "store/NextToken.h"
#include "store/SettingsStore.h"
#include "winsupport/Twips.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace {
// Past this a stored value is no window coordinate; refusing it keeps the double-to-int conversion defined.
constexpr int kMaxPixels = QWIDGETSIZE_MAX;
constexpr double kMaxState = 32767.0;

const QString kSeparator = QStringLiteral("\u00a7");

enum class VbError { Overflow = 6, TypeMismatch = 13, FileAccess = 75, InvalidPropertyValue = 380 };

Outcome failure(VbError error) {
    QString description;
    switch (error) {
    case VbError::Overflow:
        description = QCoreApplication::translate("WindowPlacement", "Overflow");
        break;
    case VbError::TypeMismatch:
        description = QCoreApplication::translate("WindowPlacement", "Type mismatch");
        break;
    case VbError::FileAccess:
        description = QCoreApplication::translate("WindowPlacement", "Path/File access error");
        break;
    case VbError::InvalidPropertyValue:
        description = QCoreApplication::translate("WindowPlacement", "Invalid property value");
        break;
    }
    return Outcome::failure(static_cast<int>(error), description);
}

// Shortest decimal text that reads back as the same single-precision number, never in exponent form.
QString twipsText(int pixels, int dpi) {
    const float twips = static_cast<float>(pixelsToTwips(pixels, dpi));
    std::array<char, 64> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), twips, std::chars_format::fixed);
    if (ec != std::errc())
        return QString::number(static_cast<double>(twips), 'f', 0);
    return QString::fromLatin1(buffer.data(), end - buffer.data());
}

// Twips to pixels, or an error when the value cannot be a window coordinate.
bool toPixels(double twips, int dpi, int& pixels) {
    if (!std::isfinite(twips) || std::fabs(twips) > pixelsToTwips(kMaxPixels, dpi))
        return false;
    pixels = twipsToPixels(twips, dpi);
    return true;
}

int stateOf(const QWidget& window) {
    const Qt::WindowStates states = window.windowState();
    if (states & Qt::WindowMinimized)
        return 1;
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

Outcome savePlacement(QWidget& window, SettingsStore& store) {
    const int state = stateOf(window);
    // Qt keeps the normal bounds of a maximized or minimized window as a client-area rectangle, so Left and Top
    // are the client area's position throughout; the frame position cannot be derived from it reliably.
    QRect bounds = state == 0 ? window.geometry() : window.normalGeometry();
    if (bounds.isEmpty())
        bounds = window.geometry();
    const int dpiX = window.logicalDpiX();
    const int dpiY = window.logicalDpiY();
    const QString record = twipsText(bounds.x(), dpiX) + kSeparator + twipsText(bounds.y(), dpiY) + kSeparator +
                           twipsText(bounds.width(), dpiX) + kSeparator + twipsText(bounds.height(), dpiY) +
                           kSeparator + QString::number(state);
    if (!store.save(window.objectName(), SettingKeys::kPlacement, record))
        return failure(VbError::FileAccess);
    return Outcome::success();
}

// Each field is taken and applied before the next is read, so a bad field keeps those before it.
Outcome restoreBounds(QWidget& window, const QString& record) {
    for (int index = 0; index < 4; ++index) {
        bool numeric = false;
        const double twips = NextToken(index == 0 ? record : QString(), kSeparator).toDouble(&numeric);
        if (!numeric)
            return failure(VbError::TypeMismatch);
        int pixels = 0;
        if (!toPixels(twips, index % 2 == 0 ? window.logicalDpiX() : window.logicalDpiY(), pixels))
            return failure(VbError::Overflow);
        if (index >= 2 && pixels < 0)
            return failure(VbError::InvalidPropertyValue);
        QRect bounds = window.geometry();
        switch (index) {
        case 0:
            bounds.moveLeft(pixels);
            break;
        case 1:
            bounds.moveTop(pixels);
            break;
        case 2:
            bounds.setWidth(pixels);
            break;
        default:
            bounds.setHeight(pixels);
            break;
        }
        window.setGeometry(bounds);
    }
    return Outcome::success();
}

Outcome restorePlacement(QWidget& window, SettingsStore& store) {
    const QString record = store.get(window.objectName(), SettingKeys::kPlacement, SettingKeys::kDefaultPlacement);
    // An empty text would make the tokenizer go on with whatever text it was given before.
    if (record.isEmpty())
        return failure(VbError::TypeMismatch);
    const Outcome bounds = restoreBounds(window, record);
    // A screen that is gone, or a placement partly off every screen, must not leave the window out of reach.
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    window.setGeometry(placeOnScreens(window.geometry(), screens));
    if (!bounds.ok())
        return bounds;

    bool numeric = false;
    const double stateValue = NextToken(QString(), kSeparator).toDouble(&numeric);
    if (!numeric)
        return failure(VbError::TypeMismatch);
    const double state = std::nearbyint(stateValue);
    if (!std::isfinite(state) || std::fabs(state) > kMaxState)
        return failure(VbError::Overflow);
    const Qt::WindowStates others =
        window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    switch (static_cast<int>(state)) {
    case 0:
        window.setWindowState(others);
        break;
    case 1:
        window.setWindowState(others | Qt::WindowMinimized);
        break;
    case 2:
        window.setWindowState(others | Qt::WindowMaximized);
        break;
    default:
        return failure(VbError::InvalidPropertyValue);
    }
    return Outcome::success();
}
} // namespace

QRect placeOnScreens(const QRect& bounds, const QList<QRect>& screens) {
    const QRect* best = nullptr;
    qint64 bestArea = -1;
    qint64 bestDistance = 0;
    for (const QRect& screen : screens) {
        if (screen.contains(bounds))
            return bounds;
        const QRect common = screen.intersected(bounds);
        const qint64 area = qint64(common.width()) * common.height();
        const qint64 dx = std::max({0, screen.left() - bounds.right(), bounds.left() - screen.right()});
        const qint64 dy = std::max({0, screen.top() - bounds.bottom(), bounds.top() - screen.bottom()});
        const qint64 distance = dx * dx + dy * dy;
        if (area > bestArea || (area == bestArea && distance < bestDistance)) {
            best = &screen;
            bestArea = area;
            bestDistance = distance;
        }
    }
    if (best == nullptr || best->isEmpty())
        return bounds;
    QRect placed(bounds.topLeft(), bounds.size().boundedTo(best->size()));
    placed.moveLeft(std::clamp(placed.left(), best->left(), best->right() + 1 - placed.width()));
    placed.moveTop(std::clamp(placed.top(), best->top(), best->bottom() + 1 - placed.height()));
    return placed;
}

Outcome PersistPlacement(QWidget& window, bool save, SettingsStore& store) {
    return save ? savePlacement(window, store) : restorePlacement(window, store);
}
