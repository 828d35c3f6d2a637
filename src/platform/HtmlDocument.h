// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

// HTML pages read the way a browser reads them, for the little the program needs of a
// page: its title, its links and its base address. The parser repairs any markup, never
// reads anything but the given bytes and never fails: bytes that are no HTML at all give
// a document without title and links.
//
// Elements left open pile up on broken pages, and the parser's work for each closing tag
// grows with the pile. So where more than kMaxHtmlNesting elements are open, the page is
// cut: the elements still open end there, and the rest is read as a page of its own
// (nothing of the page is lost, and the time stays in proportion to its size).
namespace platform {

inline constexpr int kMaxHtmlNesting = 200;

// One "a" element of a page.
struct HtmlAnchor {
  // The text a reader sees: the element's text with every run of blanks and line breaks
  // made one blank, a line break for each "br", no-break spaces as plain blanks, and
  // nothing of scripts and style sheets. Not trimmed. UTF-8.
  std::string text;
  std::string href;  // the href attribute as written, UTF-8; empty when there is none
};

// One "link" element of a page.
struct HtmlLinkElement {
  // The attributes as written (character references read), UTF-8; empty when absent.
  std::string href;
  std::string rel;
  std::string type;
  // The element written back as markup, the way BodyMarkup writes elements: its name and
  // its attribute names in lower case, values in double quotes. UTF-8.
  std::string markup;
};

class HtmlDocument {
 public:
  // Parses a page given as UTF-8. Invalid sequences and NUL bytes are read as U+FFFD; a
  // character set the page declares is ignored (the caller has converted the page).
  static HtmlDocument Parse(std::string_view utf8);

  // Parses a page given as the bytes of a file, in the character set the page names: a
  // byte-order mark (UTF-8, UTF-16) first, else the charset of the first "meta" element
  // that names one (<meta charset> or the Content-Type of <meta http-equiv>). The
  // Shift_JIS family is read as code page 932 and EUC-JP as EUC-JP-MS. A page that names
  // none, or one the converter does not know, is UTF-8; when its bytes are no valid UTF-8
  // it is read as code page 932, the usual encoding of Japanese pages without a label.
  // Bytes that do not belong to the character set are read as U+FFFD.
  static HtmlDocument ParseDeclared(std::string_view bytes);

  HtmlDocument(HtmlDocument&& other) noexcept;
  HtmlDocument& operator=(HtmlDocument&& other) noexcept;
  HtmlDocument(const HtmlDocument&) = delete;
  HtmlDocument& operator=(const HtmlDocument&) = delete;
  ~HtmlDocument();

  // The text of the first "title" element, blanks collapsed and trimmed; empty without one.
  std::string Title() const;

  // The href of the first "base" element that has one, as written; empty without one.
  std::string BaseHref() const;

  // Every "a" element in document order, with or without href.
  std::vector<HtmlAnchor> Anchors() const;

  // Every "link" element in document order, in the head or anywhere else; none from
  // comments, scripts or style sheets.
  std::vector<HtmlLinkElement> LinkElements() const;

  // The markup inside the "body" element (of each piece of a cut page, joined), UTF-8.
  // Element names come in lower case, attribute values in double quotes with "&", '"',
  // "<" and ">" escaped and nothing else changed, so that an address such as
  // "$CHANNEL_FEED$" stays as written; text has "&", "<" and ">" escaped except inside
  // scripts and style sheets; comments are kept. Void elements have no end tag.
  // Empty without a body.
  std::string BodyMarkup() const;

  // The text of the first "style" element as written, UTF-8; empty without one.
  std::string FirstStyleSheet() const;

 private:
  HtmlDocument() = default;

  std::vector<void*> parts_;  // the parser's documents of the page's pieces, in page order
};

// `reference` made absolute against `base` as a browser does it (both UTF-8): relative
// paths with "." and ".." segments, queries, fragments and network paths. Before that,
// CR, LF and TAB are removed, and blanks, control characters and non-ASCII bytes are
// written as %XX; escapes already written stay as they are. A reference with a scheme of
// its own stays as it is apart from that.
std::string ResolveUri(std::string_view base, std::string_view reference);

}  // namespace platform
