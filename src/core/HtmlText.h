#pragma once

#include <string>
#include <string_view>

// The page text's reading of HTML through libxml2's HTML parser, and the clean-up of lines that every page
// text goes through. Internal to the page text.
namespace html_text {

// UTF-8 made valid: every byte that is not part of a well-formed UTF-8 sequence (surrogates and overlong forms
// included) becomes U+FFFD, as QString::fromUtf8 reads it. The input itself when it is valid already.
std::string_view validUtf8(std::string_view in, std::string& storage);

// Every kind of white space (Unicode's, no-break spaces included) inside a line becomes one blank; '\n'
// ends a line, and so does '\r' when crEndsLine; lines are trimmed and blank ones dropped, and joined by
// '\n'. UTF-8 in and out.
std::string cleanLines(std::string_view utf8, bool crEndsLine);

// The text of a page in valid UTF-8, its lines cleaned up as cleanLines(text, false) would. False when the
// page is too much for the parser: over some thousand elements deep, over a million tags or over 16 MiB; such
// a page has no text.
bool read(std::string_view utf8, std::string& text);

// The text of the elements an XPath expression matches in the parser's tree of the page (the tree the events
// of read() describe), each match starting a line, cleaned up as read()'s; a result that is not a node set is
// one line. Bounded: the
// same limits as read(), an operation limit on the expression, and at most 10,000 matches taken.
struct Selected {
    enum Status { Read, TooMuch, BadExpression } status = Read;
    std::string text;
    long long matches = 0;
};
// withoutTbody: the expression without tbody steps, used when the tree has no tbody (empty: none to drop).
Selected readSelected(std::string_view utf8, const std::string& xpath, const std::string& withoutTbody);

} // namespace html_text
