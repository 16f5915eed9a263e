#pragma once

#include <QPointer>
#include <QString>

class QWidget;
class TooltipWindow;

// A rich tip for one widget: bold title with an optional icon, body text, balloon or rectangle, colours, show
// delay and display time. Set the properties, then Create(widget); the tip watches that widget's mouse by
// itself (for an item view pass its viewport). Writes of Title, Icon, TipText and the colours reach a tip that
// exists at once; Style, Centered and the two times only reach the next Create. Texts are always plain text.
class CTooltip {
public:
    static constexpr int kDefaultVisibleTime = 5000;
    static constexpr int kDefaultDelayTime = 500;

    CTooltip() = default;
    ~CTooltip();
    CTooltip(const CTooltip&) = delete;
    CTooltip& operator=(const CTooltip&) = delete;

    // 1 = balloon with a tail; any other value = rectangle.
    int Style() const { return m_style; }
    void setStyle(int style) { m_style = style; }
    // Centred horizontally below the widget instead of at the pointer.
    bool Centered() const { return m_centered; }
    void setCentered(bool centered) { m_centered = centered; }
    // Title icon: 0 none, 1 information, 2 warning, 3 error.
    int Icon() const { return m_icon; }
    void setIcon(int icon);
    // Colours as 0x00BBGGRR; 0 is the system's tip colour.
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 color);
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 color);
    const QString& Title() const { return m_title; }
    void setTitle(const QString& title);
    const QString& TipText() const { return m_tipText; }
    void setTipText(const QString& text);
    // Milliseconds a shown tip stays up, and the pointer must rest before it shows.
    int VisibleTime() const { return m_visibleTime; }
    void setVisibleTime(int ms) { m_visibleTime = ms; }
    int DelayTime() const { return m_delayTime; }
    void setDelayTime(int ms) { m_delayTime = ms; }

    // Replaces any earlier tip with a fresh one for `parent`, built from the current properties. The title is
    // set when there is a title or an icon; later writes change it only when there are both. False (and no
    // tip) without a parent.
    bool Create(QWidget* parent);
    // Removes the tip, if there is one.
    void Destroy();

    // The tip's window, or null before Create, after Destroy and once its widget is gone.
    TooltipWindow* window() const;

private:
    void updateTitle();

    int m_style = 0;
    bool m_centered = false;
    int m_icon = 0;
    quint32 m_foreColor = 0;
    quint32 m_backColor = 0;
    QString m_title;
    QString m_tipText;
    int m_visibleTime = kDefaultVisibleTime;
    int m_delayTime = kDefaultDelayTime;
    QPointer<TooltipWindow> m_window;
};
