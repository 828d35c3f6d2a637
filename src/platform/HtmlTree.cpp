// SPDX-License-Identifier: MIT
#include "platform/private/HtmlTree.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cctype>
#include <climits>

#include "platform/Ascii.h"
#include "platform/HtmlDocument.h"

namespace platform {
namespace {

// No network, no messages on the console, repair whatever is broken, and no switch to
// the character set a meta element names: the bytes are UTF-8 already.
constexpr int kParseOptions =
    HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER | HTML_PARSE_IGNORE_ENC;

// The state of one parse, reached from the parser's callback through the context's
// private pointer, so that no state is kept outside the parse.
struct PieceParse {
  startElementSAXFunc buildElement = nullptr;  // the tree builder's own handler
  bool cut = false;
  size_t offset = 0;  // bytes of the piece read up to the cut
};

// Whether a start tag of the named element begins at `at` ("<" + name, any case, then a
// blank, "/", ">" or the end).
bool StartTagAt(std::string_view read, size_t at, std::string_view name) {
  const std::string_view rest = read.substr(at + 1);
  if (rest.size() < name.size() || !EqualsAsciiNoCase(rest.substr(0, name.size()), name)) return false;
  if (rest.size() == name.size()) return true;
  const char next = rest[name.size()];
  return next == '>' || next == '/' || std::isspace(static_cast<unsigned char>(next));
}

// Where the start tag of the element just read begins: the last such tag in what was
// read; the end of what was read when there is none.
size_t TagStart(std::string_view read, std::string_view name) {
  for (size_t at = read.rfind('<'); at != std::string_view::npos;
       at = at == 0 ? std::string_view::npos : read.rfind('<', at - 1)) {
    if (StartTagAt(read, at, name)) return at;
  }
  return read.size();
}

// The tree builder's start handler, stopping the parse where an element would open
// beyond kMaxHtmlNesting.
void StartElementWithinNesting(void* context, const xmlChar* name, const xmlChar** attributes) {
  auto* ctxt = static_cast<htmlParserCtxtPtr>(context);
  PieceParse& piece = *static_cast<PieceParse*>(ctxt->_private);
  const xmlParserInputPtr input = ctxt->input;
  if (piece.cut || ctxt->nameNr < kMaxHtmlNesting || ctxt->inputNr != 1 || input == nullptr || input->cur == nullptr ||
      input->cur <= input->base) {
    piece.buildElement(context, name, attributes);
    return;
  }
  // The parser reads the UTF-8 bytes as they are, so its position in its buffer is the
  // position in the piece. (xmlByteConsumed miscounts once an encoding was named.) The
  // element is left out here: the next piece starts with its tag, so that a link there
  // keeps its text.
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

std::string_view Name(const xmlNode* node) {
  return node->name != nullptr ? std::string_view(reinterpret_cast<const char*>(node->name)) : std::string_view();
}

bool IsElement(const xmlNode* node, std::string_view name) {
  return node->type == XML_ELEMENT_NODE && EqualsAsciiNoCase(Name(node), name);
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

// Escapes "&", "<" and ">" everywhere and '"' in attribute values. Inside a value "<"
// and ">" need no escape in a browser, but escaped they cannot end an element that reads
// its content raw (such as noscript) when the markup is read again.
void AppendEscaped(std::string& out, std::string_view text, bool inAttribute) {
  for (const char c : text) {
    if (c == '&') {
      out.append("&amp;");
    } else if (c == '<') {
      out.append("&lt;");
    } else if (c == '>') {
      out.append("&gt;");
    } else if (c == '"' && inAttribute) {
      out.append("&quot;");
    } else {
      out.push_back(c);
    }
  }
}

void AppendStartTag(std::string& out, const xmlNode* element) {
  out.append("<").append(Name(element));
  for (const xmlAttr* attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
    const std::string_view name =
        attribute->name != nullptr ? reinterpret_cast<const char*>(attribute->name) : std::string_view();
    if (!PlainName(name)) continue;
    out.append(" ").append(name);
    if (attribute->children == nullptr) continue;  // written without a value
    xmlChar* value = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(attribute));
    out.append("=\"");
    if (value != nullptr) AppendEscaped(out, reinterpret_cast<const char*>(value), true);
    out.append("\"");
    xmlFree(value);
  }
  out.append(">");
}

// Elements without an end tag: those the parser knows as empty and the newer ones it
// does not know (it may hang what follows them inside; that is written after them).
bool IsVoidElement(const xmlNode* element) {
  const std::string_view name = Name(element);
  if (name == "embed" || name == "source" || name == "track" || name == "wbr") return true;
  const htmlElemDesc* description = htmlTagLookup(element->name);
  return description != nullptr && description->empty != 0;
}

void AppendEndTag(std::string& out, const xmlNode* element) {
  if (!PlainName(Name(element)) || IsVoidElement(element)) return;
  out.append("</").append(Name(element)).append(">");
}

// Scripts and style sheets hold their text as written: a browser reads it raw.
bool HoldsRawText(const xmlNode* element) {
  return element != nullptr && (IsElement(element, "script") || IsElement(element, "style"));
}

// Writes a node other than an element.
void AppendLeaf(std::string& out, const xmlNode* node, HtmlComments comments) {
  const char* content = reinterpret_cast<const char*>(node->content);
  if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
    if (content == nullptr) return;
    if (HoldsRawText(node->parent)) {
      out.append(content);
    } else {
      AppendEscaped(out, content, false);
    }
  } else if (node->type == XML_COMMENT_NODE && comments == HtmlComments::kKeep) {
    out.append("<!--").append(content != nullptr ? content : "").append("-->");
  }
}

}  // namespace

HtmlPiece ParseHtmlPiece(std::string_view utf8) {
  HtmlPiece result;
  if (utf8.size() > static_cast<size_t>(INT_MAX)) return result;
  htmlParserCtxtPtr ctxt = htmlNewParserCtxt();
  if (ctxt == nullptr) return result;
  PieceParse piece;
  piece.buildElement = ctxt->sax->startElement;
  ctxt->sax->startElement = StartElementWithinNesting;
  ctxt->_private = &piece;
  result.doc = htmlCtxtReadMemory(ctxt, utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8", kParseOptions);
  htmlFreeParserCtxt(ctxt);
  result.cut = piece.cut;
  result.offset = piece.offset;
  return result;
}

void AppendChildMarkup(std::string& out, const xmlNode* parent, HtmlComments comments) {
  const xmlNode* node = parent->children;
  while (node != nullptr) {
    if (node->type == XML_ELEMENT_NODE) {
      if (PlainName(Name(node))) AppendStartTag(out, node);
      if (node->children != nullptr) {
        node = node->children;
        continue;
      }
      AppendEndTag(out, node);
    } else {
      AppendLeaf(out, node, comments);
    }
    while (node != parent && node->next == nullptr) {
      node = node->parent;
      if (node != parent) AppendEndTag(out, node);
    }
    node = node == parent ? nullptr : node->next;
  }
}

void AppendElementMarkup(std::string& out, const xmlNode* element, HtmlComments comments) {
  if (element->type != XML_ELEMENT_NODE) {
    AppendLeaf(out, element, comments);
    return;
  }
  if (PlainName(Name(element))) AppendStartTag(out, element);
  AppendChildMarkup(out, element, comments);
  AppendEndTag(out, element);
}

}  // namespace platform
