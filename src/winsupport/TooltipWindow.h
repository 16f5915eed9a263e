#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTextLayout>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

// The window of a tip: a bold title line with an optional icon above a body text, drawn as a balloon with a
// tail or as a plain rectangle. It watches the mouse over its tool widget by itself: it shows after the pointer
// has rested for the delay, at the pointer, and hides after the display time, on a click or wheel turn, or when
// the pointer leaves the tool. Every text is plain text; nothing is read as markup or mnemonics.
class TooltipWindow : public QWidget {
    Q_OBJECT
public:
    struct Options {
        bool balloon = false;
        bool centered = false; // centred below the tool instead of at the pointer
        int visibleMs = 5000;
        int delayMs = 500;
    };

    // The window belongs to `tool` (it goes when the tool goes) and switches on mouse tracking there.
    TooltipWindow(QWidget* tool, const Options& options);

    // The title line: icon 0 none, 1 information, 2 warning, 3 error (any other code shows no icon).
    void setTitle(int icon, const QString& title);
    void setText(const QString& text);
    // Colours as 0x00BBGGRR; 0 stands for the system's tip colour.
    void setTextColor(quint32 bgr);
    void setBackColor(quint32 bgr);

    QWidget* tool() const { return m_tool; }
    const Options& options() const { return m_options; }
    int titleIcon() const { return m_icon; }
    const QString& title() const { return m_title; }
    const QString& text() const { return m_text; }

    // Shows the tip for the pointer at `pointer` (global), as the end of the rest delay does. No text, no tip.
    void popUp(const QPoint& pointer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Block {
        std::vector<std::unique_ptr<QTextLayout>> lines; // one layout per paragraph
        QSize size;
    };
    static Block layOut(const QString& text, const QFont& font, int maxWidth);
    void rebuild();
    QSize contentSize() const;
    void place(const QPoint& anchor, bool anchorIsPointer);
    void reposition();
    void hideTip();
    QColor textColor() const;
    QColor backColor() const;

    QPointer<QWidget> m_tool;
    Options m_options;
    int m_icon = 0;
    QString m_title;
    QString m_text;
    quint32 m_textBgr = 0;
    quint32 m_backBgr = 0;
    QFont m_textFont;
    QFont m_titleFont;
    Block m_titleBlock;
    Block m_textBlock;
    QPainterPath m_shape;
    QRect m_body; // the shape without its tail, in window coordinates
    QPoint m_pointer;
    bool m_spent = false; // shown and timed out: not again until the pointer leaves the tool
    QTimer m_delay;
    QTimer m_autoPop;
};
