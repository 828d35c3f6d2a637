// SPDX-License-Identifier: MIT
#include "platform/HtmlCleaner.h"

#include <libxml/tree.h>

#include <vector>

#include "platform/CodePage.h"
#include "platform/private/HtmlTree.h"
#include "platform/private/XmlLibrary.h"

namespace platform {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string_view Name(const xmlNode* node) {
  return node->name != nullptr ? std::string_view(reinterpret_cast<const char*>(node->name)) : std::string_view();
}

bool IsElement(const xmlNode* node, std::string_view name) {
  return node->type == XML_ELEMENT_NODE && Name(node) == name;
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
    // Each piece is read inside a body element of its own, so that leading text stays
    // body text.
    const HtmlPiece piece = ParseHtmlPiece(input);
    if (piece.doc == nullptr) return std::nullopt;
    if (xmlNode* body = FindBody(piece.doc)) {
      RemoveElements(body, removedTags);
      AppendChildMarkup(markup, body, HtmlComments::kLeaveOut);
    }
    xmlFreeDoc(piece.doc);
    if (!piece.cut || piece.offset <= kOpen.size()) break;
    start += piece.offset - kOpen.size();
  }
  std::string cp932;
  if (!Utf8ToCp932(markup, Unmappable::kCharRef, cp932)) return std::nullopt;
  return cp932;
}

}  // namespace platform
