#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the two readings of a page's HTML (the streaming one and the tree of a selector) share: how each element
// counts in the text, and the clean-up of lines as the text comes. Internal to the page text.
namespace html_text {

// A page over this size has no text, by either reading.
inline constexpr size_t kMaxParsedBytes = 16 << 20;

// An element runs on in the line, ends lines around it (Block), is a table cell set off by a blank, is left
// out with its contents (Drop), keeps its line breaks (Pre), or is a line break.
enum Role : unsigned char { Inline, Block, Cell, Drop, Pre, Break };

// The role of an element by its name in lower case.
Role roleOf(std::string_view name);

// The clean-up of cleanLines() done as the text comes, so that a page's text is not gathered twice.
struct Lines {
    std::string out;
    bool inLine = false, needBreak = false, pendingBlank = false;

    void endLine() {
        needBreak = needBreak || inLine;
        inLine = pendingBlank = false;
    }
    void blank() { pendingBlank = inLine; }
    // '\n' ends a line, and so does '\r' when crEndsLine; with newlineIsBlank both are only white space.
    void add(std::string_view in, bool crEndsLine, bool newlineIsBlank);
};

} // namespace html_text
