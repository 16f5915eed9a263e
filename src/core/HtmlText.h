#pragma once

#include <string>
#include <string_view>

// The page text's reading of HTML, and the clean-up of lines that every page text goes through. Internal to
// the page text.
namespace html_text {

// UTF-8 made valid: every byte that is not part of a well-formed UTF-8 sequence (surrogates and overlong forms
// included) becomes U+FFFD, as QString::fromUtf8 reads it. The input itself when it is valid already.
std::string_view validUtf8(std::string_view in, std::string& storage);

// Every kind of white space (Unicode's, no-break spaces included) inside a line becomes one blank; '\n'
// ends a line, and so does '\r' when crEndsLine; lines are trimmed and blank ones dropped, and joined by
// '\n'. UTF-8 in and out.
std::string cleanLines(std::string_view utf8, bool crEndsLine);

// The text of a page in valid UTF-8, its lines cleaned up as cleanLines(text, false) would, read in one pass
// as a browser tokenises it, in time proportional to its size. False for a page over 16 MiB, which has no
// text.
bool read(std::string_view utf8, std::string& text);

// The text of the elements an XPath expression matches in libxml2's tree of the page, each match starting a
// line, the elements counting as in read(); a result that is not a node set is one line. Bounded: a page over
// 16 MiB, over a million tags or nesting over some thousand elements deep is too much, the expression has an
// operation limit, and at most 10,000 matches are taken.
struct Selected {
    enum Status { Read, TooMuch, BadExpression } status = Read;
    std::string text;
    long long matches = 0;
};
// withoutTbody: the expression without tbody steps, used when the tree has no tbody (empty: none to drop).
Selected readSelected(std::string_view utf8, const std::string& xpath, const std::string& withoutTbody);

} // namespace html_text
