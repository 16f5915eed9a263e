#pragma once

#include "core/SiteOptions.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The text of a page, or why it has none that can be compared.
struct PageText {
    enum Status {
        Read,
        TooComplex,  // too big or too deep for the HTML parser: judged by its bytes
        NoMatch,     // the selector matched nothing
        BadSelector, // the selector cannot be evaluated
    };
    Status status = Read;
    QString text;
    long long matches = -1; // elements the selector matched; -1 without a selector
};

// The text of a page, one line per block of it: an HTML page read in one pass as a browser tokenises it, with
// scripts, styles, noscript and template contents left out, character references decoded, block elements and
// <br> ending lines, runs of white space inside a line made one blank, lines trimmed and blank lines dropped.
// A page that is not HTML (by its content type, or having no markup) is taken as text as it is, with the same
// line clean-up. The title is a line of its own; iframe, noembed and noframes contents are left out too. White
// space is every Unicode space, no-break spaces included. Bytes that are not valid UTF-8 become U+FFFD; a page
// declared Latin-1 (read as windows-1252) or UTF-16/32 by its content type, its byte order mark or (Latin-1
// only) a meta charset is read as such. Lines are joined with "\n", with no final newline.
// Bounded: a page costs time and memory in proportion to its bytes, however it nests. A page over 16 MiB has
// no text (TooComplex).
// With an XPath selector (see PageSelector.h), the text is that of the matched elements in libxml2's tree of
// the page, each starting a line, read by the same rules; a page nesting that tree over a thousand elements
// deep or of over a million tags is TooComplex too. A page that is not HTML has no elements to match.
PageText extractPageText(QByteArrayView body, QByteArrayView contentType = {}, const QString& xpath = {});

// The text without its digits (every Unicode decimal digit, inside the Basic Multilingual Plane or beyond).
QString withoutDigits(QStringView text);

// Whether the page has a text to read: a text, HTML, XML, JSON or script type, or, with no telling type,
// a body without NUL bytes in its first KiB (or with a UTF-16 or UTF-32 byte-order mark). Pictures, PDF and
// archives have none: they are judged by their bytes, and keep no history.
bool hasPageText(QByteArrayView body, QByteArrayView contentType = {});

// What became of one line of a page's text under a site's rules.
enum class LineFate {
    Kept,
    OutsideRegion, // before the start line or after the end line
    Ignored,       // matched an ignore rule
};

// A page's text with a site's rules applied: every line with its fate, and the text that is fingerprinted.
struct FilteredText {
    QStringList lines;     // every line of the text, as extracted
    QList<LineFate> fates; // one per line
    QString text;          // the kept lines joined by "\n", digits taken out when the site asks
    QStringList limitHits; // patterns that gave up on a line at the match limit (they count as no match)
};

// A site's rules, compiled once: the region, the ignore patterns (PCRE2, JIT, with match limits so that no
// pattern can hang a run) and digit removal. Thread-safe to apply from several threads at once.
// The region runs from the first line containing the start text through the first later line containing the
// end text, both lines kept; a start text found on no line narrows nothing (a page that lost its marker is
// better shown changed than silently unchanged), an end text found on no later line keeps the rest. Ignore
// patterns look at the lines of the region, each at most its first 16 Ki characters ('$' does not match at
// that cut). Digits (every Unicode decimal digit) are taken out of the kept lines; a line left empty by that
// stays in the text as an empty line.
class TextRules {
public:
    explicit TextRules(const SiteOptions& options);
    ~TextRules();
    TextRules(TextRules&&) noexcept;
    TextRules& operator=(TextRules&&) noexcept;

    // Empty when the pattern is a valid regular expression, else why not (in Italian, for the options dialog).
    static QString patternError(const QString& pattern);

    // Patterns that are not valid are left out: they match nothing.
    FilteredText apply(const QString& text) const;
    // CRC-32 of the UTF-8 bytes of apply(text).text, with calcCRC32 as for the pages themselves; a line end is
    // added first, so that the text's last character counts too (calcCRC32 leaves out the last byte).
    qint32 fingerprint(const QString& text) const;

private:
    QList<LineFate> fatesOf(const std::vector<QStringView>& lines, QStringList* limitHits) const;
    QString keptText(const std::vector<QStringView>& lines, const QList<LineFate>& fates) const;

    struct Impl;
    std::unique_ptr<Impl> d;
};
