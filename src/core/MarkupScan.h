#pragma once

#include <gumbo.h>

#include <string>
#include <string_view>

// The page text's linear reading of markup: one pass over the bytes, tag by tag, that tells whether the HTML
// parser may be given the page, and reads it more plainly when it may not. Also the table of how each element
// counts in the text, which the parser's tree and the plain reading share. Internal to the page text.
namespace markup_scan {

// How an element counts in the text: it runs on in the line, ends lines around it (Block), is a table cell
// set off by a blank, is left out with its contents (Drop), keeps its line breaks (Pre), or is a line break.
enum Role : unsigned char { Inline, Block, Cell, Drop, Pre, Break };

struct TagInfo {
    Role role = Inline;
    bool raw = false;    // its contents are text to the parser, up to its end tag
    bool isVoid = false; // it never holds others
};

const TagInfo& infoOf(GumboTag tag);
Role roleOf(GumboTag tag);

// True when the parser may read the UTF-8 markup: it would not nest some thousand elements deep, its work
// that grows with depth stays bounded, and the page has at most 250,000 tags and 16 MiB. Linear in the bytes.
bool fitsParser(std::string_view utf8);

// The text of markup read by taking its tags out, in linear time and little memory: comments and dropped
// elements left out, the commonest character references decoded, and block elements, <br> and table cells
// ending lines or setting off blanks as in the parser's reading. Lines are not cleaned up yet.
std::string strippedText(std::string_view utf8);

} // namespace markup_scan
