// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The parser's own types, named here so that no libxml2 header reaches beyond the .cpp
// files that use the parser.
struct _xmlDoc;
struct _xmlNode;

// For the platform library's own use only (HtmlDocument and HtmlCleaner): the reading of
// HTML in pieces and the writing of the parser's element tree back out as markup, which
// both of them need in the same way. Nothing outside src/platform includes this header.
namespace platform {

// One piece of a page as the parser read it.
struct HtmlPiece {
  // The parser's document of the piece, which the caller frees with xmlFreeDoc; none when
  // the parser could not be set up or the piece is too large for it.
  _xmlDoc* doc = nullptr;
  // Whether the piece ended early because more than kMaxHtmlNesting elements were open.
  bool cut = false;
  // Where the next piece starts, in bytes of this one, when it was cut.
  size_t offset = 0;
};

// Parses UTF-8 markup without NUL bytes the way a browser reads it, repairing whatever is
// broken. Elements left open pile up on broken pages, and the parser's work for each
// closing tag grows with the pile; so an element that would open beyond kMaxHtmlNesting
// ends the piece there, and the caller reads the rest, from the start tag of that element
// on, as a piece of its own. That keeps the time in proportion to the size of the markup.
HtmlPiece ParseHtmlPiece(std::string_view utf8);

// Whether comments are written back or left out.
enum class HtmlComments { kKeep, kLeaveOut };

// Appends the markup of the children of `parent`, walked by the links of the tree so that
// the stack stays flat however deep the markup nests. Element names come as the parser
// wrote them (lower case); elements and attributes whose names no browser would read are
// left out (an element keeps its content). Attribute values are written in double
// quotes with "&", '"', "<" and ">" escaped, text with "&", "<" and ">" escaped except
// inside scripts and style sheets. Void elements get no end tag; anything the parser hung
// inside one is written after it.
void AppendChildMarkup(std::string& out, const _xmlNode* parent, HtmlComments comments);

// Appends the markup of `element` itself, written as AppendChildMarkup writes the
// elements it meets: its start tag, its content and its end tag (none for a void
// element, and nothing of its own tags when its name is none a browser would read).
void AppendElementMarkup(std::string& out, const _xmlNode* element, HtmlComments comments);

}  // namespace platform
