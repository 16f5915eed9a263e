#pragma once

#include "ui/ColourMix.h"

#include <QColor>
#include <QPalette>
#include <QString>
#include <QTextCharFormat>

// How the change viewer and the site options' preview show a page's text: plain, one block per line, and the
// lines a site's rules leave out greyed and labelled, never hidden.
namespace PlainTextLines {

inline const QString kIgnoredLabel = QString::fromUtf8(QT_TRANSLATE_NOOP("PlainTextLines", " [ignorata]"));
inline const QString kOutsideLabel = QString::fromUtf8(QT_TRANSLATE_NOOP("PlainTextLines", " [fuori regione]"));

// Characters a text document would take as a block or frame boundary become blanks, one for one, so word
// spans still point at the same characters and one line stays one block.
inline QString oneBlock(QString text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == 0x2028 || u == 0x2029 || u == 0xfdd0 || u == 0xfdd1)
            c = u' ';
    }
    return text;
}

// The marks' colours, chosen against the palette: a little of a hue mixed into the base the text stands on, so
// the text's own colour reads on them in light, dark and high-contrast themes alike.
struct Tints {
    QColor removedLine, removedWords, addedLine, addedWords, invalidLine, leftOutText, warningText;
};

inline Tints tints(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const QColor red(Qt::red);
    const QColor green(Qt::green);
    return {mix(base, red, 0.14), mix(base, red, 0.38),  mix(base, green, 0.14), mix(base, green, 0.38),
            mix(base, red, 0.22), mix(text, base, 0.45), mix(text, red, 0.55)};
}

inline QTextCharFormat leftOut(const QPalette& palette) {
    QTextCharFormat format;
    format.setForeground(tints(palette).leftOutText);
    return format;
}

inline QTextCharFormat leftOutLabel(const QPalette& palette) {
    QTextCharFormat format = leftOut(palette);
    format.setFontItalic(true);
    return format;
}

} // namespace PlainTextLines
