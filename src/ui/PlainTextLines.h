#pragma once

#include <QColor>
#include <QString>
#include <QTextCharFormat>

// How the change viewer and the site options' preview show a page's text: plain, one block per line, and the
// lines a site's rules leave out greyed and labelled, never hidden.
namespace PlainTextLines {

inline const QString kIgnoredLabel = QStringLiteral(" [ignorata]");
inline const QString kOutsideLabel = QStringLiteral(" [fuori regione]");

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

inline QTextCharFormat leftOut() {
    QTextCharFormat format;
    format.setForeground(QColor(0x80, 0x80, 0x80));
    return format;
}

inline QTextCharFormat leftOutLabel() {
    QTextCharFormat format = leftOut();
    format.setFontItalic(true);
    return format;
}

} // namespace PlainTextLines
