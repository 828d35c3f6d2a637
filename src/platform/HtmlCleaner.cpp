// SPDX-License-Identifier: MIT
#include "platform/HtmlCleaner.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <vector>

#include "platform/CodePage.h"
#include "platform/XmlLibrary.h"

namespace platform {
namespace {

// No network, no messages on the console, repair whatever is broken, and no switch to a
// character set that a meta element of a description names: the bytes are UTF-8 already.
constexpr int kParseOptions =
    HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER | HTML_PARSE_IGNORE_ENC;

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The most elements a piece of the body has open at once (see StartElementWithinNesting).
constexpr int kMaxNesting = 200;

std::string_view Name(const xmlNode* node) {
  return node->name != nullptr ? std::string_view(reinterpret_cast<const char*>(node->name)) : std::string_view();
}

bool IsElement(const xmlNode* node, std::string_view name) {
  return node->type == XML_ELEMENT_NODE && Name(node) == name;
}

// The names a browser reads as names: ASCII letters, digits and ":", "_", ".", "-".
bool PlainName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' ||
                       c == '_' || c == '.' || c == '-';
    if (!plain) return false;
  }
  return true;
}

bool AsciiNoCaseAt(std::string_view text, size_t at, std::string_view lowerWord) {
  if (text.size() - at < lowerWord.size()) return false;
  for (size_t i = 0; i < lowerWord.size(); ++i) {
    char c = text[at + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    if (c != lowerWord[i]) return false;
  }
  return true;
}

bool EndsName(std::string_view text, size_t at) {
  if (at >= text.size()) return true;
  const char c = text[at];
  return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The length of an end tag of the body or of the whole document starting at `at`, 0 when
// none starts there. The parser drops everything after such a tag, but in a generated
// body it only ends a description that was a page of its own.
size_t DocumentEndTagAt(std::string_view text, size_t at) {
  if (!AsciiNoCaseAt(text, at, "</")) return 0;
  for (const std::string_view name : {"body", "html"}) {
    if (AsciiNoCaseAt(text, at + 2, name) && EndsName(text, at + 2 + name.size())) {
      const size_t close = text.find('>', at);
      return (close == std::string_view::npos ? text.size() : close + 1) - at;
    }
  }
  return 0;
}

// The body as the parser reads it: UTF-8 without NUL bytes, without the control
// characters that are no HTML characters (the parser would stop at a NUL) and without
// end tags of the body or the document.
std::string ParserText(std::string_view cp932Body) {
  const std::string utf8 = Cp932ToUtf8(cp932Body, CharRefs::kKeep);
  std::string text;
  text.reserve(utf8.size() + 16);
  for (size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte == 0) {
      text += kReplacement;
    } else if (c == '<') {
      const size_t endTag = DocumentEndTagAt(utf8, i);
      if (endTag > 0) {
        i += endTag - 1;
      } else {
        text.push_back(c);
      }
    } else if (byte >= 0x20 || c == '\t' || c == '\n' || c == '\r') {
      text.push_back(c);
    }
  }
  return text;
}

// Where the parse of one piece of the body stopped because too many elements were open.
struct PieceEnd {
  startElementSAXFunc buildElement = nullptr;  // the tree builder's own handler
  bool cut = false;
  size_t offset = 0;  // bytes of the piece read up to the cut
};

// Where the start tag of the element just read begins: the last "<" + name in what was
// read; the end of what was read when there is none.
size_t TagStart(std::string_view read, std::string_view name) {
  for (size_t at = read.rfind('<'); at != std::string_view::npos;
       at = at == 0 ? std::string_view::npos : read.rfind('<', at - 1)) {
    if (AsciiNoCaseAt(read, at + 1, name) && EndsName(read, at + 1 + name.size())) return at;
  }
  return read.size();
}

// Elements left open pile up in broken markup, and the parser's work for each closing
// tag grows with the pile (a page of forty thousand open elements takes seconds). So an
// element that would open beyond kMaxNesting ends the piece: the elements still open end
// there, and the rest is read as a piece of its own.
void StartElementWithinNesting(void* context, const xmlChar* name, const xmlChar** attributes) {
  auto* ctxt = static_cast<htmlParserCtxtPtr>(context);
  PieceEnd& piece = *static_cast<PieceEnd*>(ctxt->_private);
  const xmlParserInputPtr input = ctxt->input;
  if (piece.cut || ctxt->nameNr < kMaxNesting || ctxt->inputNr != 1 || input == nullptr || input->cur == nullptr ||
      input->cur <= input->base) {
    piece.buildElement(context, name, attributes);
    return;
  }
  // The parser reads the UTF-8 bytes as they are, so its place in its buffer is the place
  // in the piece.
  const std::string_view read(reinterpret_cast<const char*>(input->base),
                              static_cast<size_t>(input->cur - input->base));
  const size_t offset = static_cast<size_t>(input->consumed) + TagStart(read, reinterpret_cast<const char*>(name));
  if (offset == 0) {
    piece.buildElement(context, name, attributes);
    return;
  }
  piece.cut = true;
  piece.offset = offset;
  xmlStopParser(ctxt);
}

// Parses one piece inside a body element of its own, so that leading text stays body
// text; `end` tells where the next piece starts when it was cut.
htmlDocPtr ParsePiece(const std::string& input, PieceEnd& end) {
  htmlParserCtxtPtr ctxt = htmlNewParserCtxt();
  if (ctxt == nullptr) return nullptr;
  end.buildElement = ctxt->sax->startElement;
  ctxt->sax->startElement = StartElementWithinNesting;
  ctxt->_private = &end;
  htmlDocPtr doc =
      htmlCtxtReadMemory(ctxt, input.data(), static_cast<int>(input.size()), nullptr, "UTF-8", kParseOptions);
  htmlFreeParserCtxt(ctxt);
  return doc;
}

// The node after `node` in document order, skipping its children when `descend` is false.
xmlNode* NextNode(xmlNode* node, bool descend) {
  if (descend && node->children != nullptr) return node->children;
  while (node != nullptr) {
    if (node->next != nullptr) return node->next;
    node = node->parent;
  }
  return nullptr;
}

xmlNode* FindBody(xmlDoc* doc) {
  for (xmlNode* node = doc->children; node != nullptr; node = NextNode(node, true)) {
    if (IsElement(node, "body")) return node;
  }
  return nullptr;
}

// Removes the named elements, the last first, so that an element inside another goes
// before the one around it.
void RemoveElements(xmlNode* body, std::span<const std::string_view> removedTags) {
  std::vector<xmlNode*> doomed;
  for (xmlNode* node = body->children; node != nullptr && node != body;) {
    bool descend = true;
    if (node->type == XML_ELEMENT_NODE) {
      for (const std::string_view tag : removedTags) {
        if (Name(node) == tag) {
          doomed.push_back(node);
          descend = false;
          break;
        }
      }
    }
    // Walking by the links of the tree keeps the stack flat however deep the markup nests.
    if (descend && node->children != nullptr) {
      node = node->children;
      continue;
    }
    while (node != body && node->next == nullptr) node = node->parent;
    node = node == body ? nullptr : node->next;
  }
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    xmlUnlinkNode(*it);
    xmlFreeNode(*it);
  }
}

void AppendEscaped(std::string_view text, bool attribute, std::string& out) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        if (attribute) {
          out += "&quot;";
        } else {
          out.push_back(c);
        }
        break;
      default:
        out.push_back(c);
    }
  }
}

void AppendStartTag(const xmlNode* element, std::string& out) {
  out.push_back('<');
  out += Name(element);
  for (const xmlAttr* attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
    const std::string_view name =
        attribute->name != nullptr ? reinterpret_cast<const char*>(attribute->name) : std::string_view();
    if (!PlainName(name)) continue;
    out.push_back(' ');
    out += name;
    if (attribute->children == nullptr) continue;
    out += "=\"";
    for (const xmlNode* part = attribute->children; part != nullptr; part = part->next) {
      if (part->content != nullptr) AppendEscaped(reinterpret_cast<const char*>(part->content), true, out);
    }
    out.push_back('"');
  }
  out.push_back('>');
}

// Elements without an end tag: those the parser knows as empty and the newer ones it
// does not know (it may hang what follows them inside; that is written after them).
bool IsVoid(const xmlNode* element) {
  const std::string_view name = Name(element);
  if (name == "embed" || name == "source" || name == "track" || name == "wbr") return true;
  const htmlElemDesc* description = htmlTagLookup(element->name);
  return description != nullptr && description->empty != 0;
}

void AppendEndTag(const xmlNode* element, std::string& out) {
  if (!PlainName(Name(element)) || IsVoid(element)) return;
  out.append("</").append(Name(element)).push_back('>');
}

// Script and style sheet text is the one text a browser reads raw.
bool RawText(const xmlNode* element) {
  return element != nullptr && (IsElement(element, "script") || IsElement(element, "style"));
}

void AppendNode(const xmlNode* node, std::string& out) {
  if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
    if (node->content == nullptr) return;
    const std::string_view content(reinterpret_cast<const char*>(node->content));
    if (RawText(node->parent)) {
      out += content;
    } else {
      AppendEscaped(content, false, out);
    }
  }
}

// The markup of the body's content, written without recursion. An element of a name no
// browser reads as one keeps only its content.
std::string WriteChildren(const xmlNode* body) {
  std::string out;
  const xmlNode* node = body->children;
  while (node != nullptr) {
    if (node->type == XML_ELEMENT_NODE) {
      if (PlainName(Name(node))) AppendStartTag(node, out);
      if (node->children != nullptr) {
        node = node->children;
        continue;
      }
      AppendEndTag(node, out);
    } else {
      AppendNode(node, out);
    }
    while (node != body && node->next == nullptr) {
      node = node->parent;
      if (node != body) AppendEndTag(node, out);
    }
    node = node == body ? nullptr : node->next;
  }
  return out;
}

}  // namespace

std::optional<std::string> CleanHtmlBody(std::string_view cp932Body, std::span<const std::string_view> removedTags) {
  InitialiseXmlLibrary();
  constexpr std::string_view kOpen = "<html><body>";
  constexpr std::string_view kClose = "</body></html>";
  const std::string text = ParserText(cp932Body);
  std::string markup;
  for (size_t start = 0; start < text.size() || start == 0;) {
    std::string input(kOpen);
    input.append(text, start).append(kClose);
    PieceEnd end;
    htmlDocPtr doc = ParsePiece(input, end);
    if (doc == nullptr) return std::nullopt;
    if (xmlNode* body = FindBody(doc)) {
      RemoveElements(body, removedTags);
      markup += WriteChildren(body);
    }
    xmlFreeDoc(doc);
    if (!end.cut || end.offset <= kOpen.size()) break;
    start += end.offset - kOpen.size();
  }
  std::string cp932;
  if (!Utf8ToCp932(markup, Unmappable::kCharRef, cp932)) return std::nullopt;
  return cp932;
}

}  // namespace platform
