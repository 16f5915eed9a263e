#pragma once

#include <QColor>
#include <QDialog>
#include <QTimer>
#include <QUrl>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;

// The about window: name, version, platforms, credits, a mail button and the colour-cycling banner.
// Any key closes it, and so does a click anywhere but on the mail button.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    static constexpr int kBannerSteps = 36;

    explicit frmSplash(QWidget* owner = nullptr);

    // The banner colour computed at a step of its cycle (0..35).
    static QColor bannerColour(int step);
    // The new-message link of "Mail me" for an address (empty: the person fills in the recipient).
    static QUrl mailLink(const QString& address);
    // What opens the link; the desktop's mail program unless replaced.
    void setMailOpener(std::function<void(const QUrl&)> opener) { m_openMail = std::move(opener); }

    // One tick of the banner: "Open Source" drawn in the current colour, then the next colour taken.
    void bannerTick();
    QColor bannerDrawnColour() const { return m_drawnColour; }
    bool isBannerRunning() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    QLabel* addLabel(const char* name, const QString& text, int left, int top, int width, int height);
    QRect bannerRect() const;

    QTimer m_timer; // Timer1
    int m_step = 0;
    QColor m_colour;      // the current drawing colour
    QColor m_drawnColour; // the colour "Open Source" was last drawn in
    std::function<void(const QUrl&)> m_openMail;
};
