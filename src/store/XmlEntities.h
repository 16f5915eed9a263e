#pragma once

#include <QByteArrayView>
#include <QString>

// Adds one level of entity escaping for the five markup characters, "&" first.
QString XMLEntityEncode(const QString& text);

// Removes one level of entity escaping; the references match without regard to ASCII letter case.
QString XMLEntityDecode(const QString& text);

// Offset of the first byte that does not belong to UTF-8 text XML can hold, or -1: overlong forms,
// surrogates, code points above U+10FFFF, control characters other than tab, LF and CR, U+FFFE and U+FFFF.
qsizetype firstNonXmlByte(QByteArrayView bytes);

// Position of the first character XML cannot hold (the same set, in UTF-16), or -1.
qsizetype firstNonXmlChar(const QString& text);

// Offset of the first character reference in an XML text that the parser would turn into U+0000, which ends
// its string and so silently cuts the text, or into a code point beyond U+10FFFF, whose digits it lets wrap
// around; or -1.
qsizetype firstBadCharReference(QByteArrayView bytes);

// Just past the end of the element that starts at `from` in a document already known to be well-formed; -1
// when the bytes do not bear that out.
qsizetype elementEnd(QByteArrayView s, qsizetype from);
