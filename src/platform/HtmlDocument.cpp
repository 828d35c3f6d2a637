// SPDX-License-Identifier: MIT
#include "platform/HtmlDocument.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cctype>
#include <climits>
#include <optional>
#include <utility>

#include "platform/CodePage.h"
#include "platform/XmlLibrary.h"

namespace platform {
namespace {

// No network, no messages on the console, repair whatever is broken, and no switch to
// the character set a meta element names: the bytes are UTF-8 already.
constexpr int kParseOptions =
    HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER | HTML_PARSE_IGNORE_ENC;

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

xmlDocPtr Doc(void* doc) {
  return static_cast<xmlDocPtr>(doc);
}

// Where the parse of one piece of a page stopped because too many elements were open.
struct PieceEnd {
  startElementSAXFunc buildElement = nullptr;  // the tree builder's own handler
  bool cut = false;
  size_t offset = 0;  // bytes of the piece read up to the cut
};

// The piece being parsed on this thread; the parser's callback reaches it here.
thread_local PieceEnd* currentPiece = nullptr;

// Whether a start tag of the named element begins at `at` ("<" + name, any case, then a
// blank, "/", ">" or the end).
bool StartTagAt(std::string_view read, size_t at, std::string_view name) {
  const std::string_view rest = read.substr(at + 1);
  if (rest.size() < name.size() ||
      xmlStrncasecmp(reinterpret_cast<const xmlChar*>(rest.data()), reinterpret_cast<const xmlChar*>(name.data()),
                     static_cast<int>(name.size())) != 0) {
    return false;
  }
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

void StartElementWithinNesting(void* context, const xmlChar* name, const xmlChar** attributes) {
  auto* ctxt = static_cast<htmlParserCtxtPtr>(context);
  PieceEnd& piece = *currentPiece;
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
  const size_t offset = input->consumed + TagStart(read, reinterpret_cast<const char*>(name));
  if (offset == 0) {
    piece.buildElement(context, name, attributes);
    return;
  }
  piece.cut = true;
  piece.offset = offset;
  xmlStopParser(ctxt);
}

// Parses one piece of a page; `end` tells where the next piece starts when it was cut.
htmlDocPtr ParsePiece(std::string_view piece, PieceEnd& end) {
  htmlParserCtxtPtr ctxt = htmlNewParserCtxt();
  if (ctxt == nullptr) return nullptr;
  end.buildElement = ctxt->sax->startElement;
  ctxt->sax->startElement = StartElementWithinNesting;
  currentPiece = &end;
  htmlDocPtr doc =
      htmlCtxtReadMemory(ctxt, piece.data(), static_cast<int>(piece.size()), nullptr, "UTF-8", kParseOptions);
  currentPiece = nullptr;
  htmlFreeParserCtxt(ctxt);
  return doc;
}

// The page as the parser may read it: valid UTF-8 without NUL bytes (the parser would
// take a NUL for the end of the page).
std::string CleanUtf8(std::string_view bytes) {
  std::string out = IsValidUtf8(bytes) ? std::string(bytes) : Utf16ToUtf8(Utf8ToUtf16(bytes));
  if (out.find('\0') == std::string::npos) return out;
  std::string clean;
  clean.reserve(out.size() + 16);
  for (const char c : out) {
    if (c == '\0') {
      clean += kReplacement;
    } else {
      clean.push_back(c);
    }
  }
  return clean;
}

bool NameIs(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && node->name != nullptr &&
         xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// The node after `node` in document order within the subtree of `top`, skipping the
// children of `node` when `descend` is false; none at the end. Walking by the links of
// the tree keeps the stack flat however deep a broken page nests its elements.
const xmlNode* NextInTree(const xmlNode* node, const xmlNode* top, bool descend) {
  if (descend && node->children != nullptr) return node->children;
  while (node != nullptr && node != top) {
    if (node->next != nullptr) return node->next;
    node = node->parent;
  }
  return nullptr;
}

std::string Attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (value == nullptr) return {};
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

// The visible text of an element: blanks collapsed, a line break for "br", no-break
// spaces as blanks, scripts and style sheets left out.
std::string VisibleText(const xmlNode* element) {
  std::string out;
  bool blank = false;
  const auto append = [&](std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      const bool noBreakSpace = c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0';
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || noBreakSpace) {
        if (!blank) out.push_back(' ');
        blank = true;
        if (noBreakSpace) ++i;
      } else {
        out.push_back(c);
        blank = false;
      }
    }
  };
  const xmlNode* node = element->children;
  while (node != nullptr) {
    bool descend = true;
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content != nullptr) append(reinterpret_cast<const char*>(node->content));
    } else if (NameIs(node, "br")) {
      out.push_back('\n');
      blank = false;
    } else if (NameIs(node, "script") || NameIs(node, "style")) {
      descend = false;
    }
    node = NextInTree(node, element, descend);
  }
  return out;
}

// The first element of the given name in page order, or none.
const xmlNode* FindElement(const std::vector<void*>& parts, const char* name, const char* withAttribute = nullptr) {
  for (void* part : parts) {
    const xmlNode* top = reinterpret_cast<const xmlNode*>(part);
    for (const xmlNode* node = Doc(part)->children; node != nullptr; node = NextInTree(node, top, true)) {
      if (!NameIs(node, name)) continue;
      if (withAttribute == nullptr || xmlHasProp(node, reinterpret_cast<const xmlChar*>(withAttribute)) != nullptr) {
        return node;
      }
    }
  }
  return nullptr;
}

bool IsUriSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsHexDigitAt(std::string_view text, size_t pos) {
  return pos < text.size() && std::isxdigit(static_cast<unsigned char>(text[pos]));
}

// The reference as the address parser accepts it: trimmed, without line breaks and TABs,
// and with the bytes an address cannot hold written as %XX: blanks, control bytes and
// non-ASCII bytes, a "%" that starts no escape and a second "#". Escapes already there are
// kept as written.
std::string CleanReference(std::string_view reference) {
  while (!reference.empty() && IsUriSpace(reference.front())) reference.remove_prefix(1);
  while (!reference.empty() && IsUriSpace(reference.back())) reference.remove_suffix(1);
  static constexpr char kHex[] = "0123456789ABCDEF";
  constexpr std::string_view unsafe = "\"<>\\^`{|}";
  std::string out;
  out.reserve(reference.size());
  bool fragment = false;
  for (size_t pos = 0; pos < reference.size(); ++pos) {
    const char c = reference[pos];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r' || c == '\n' || c == '\t') continue;
    const bool strayPercent = c == '%' && !(IsHexDigitAt(reference, pos + 1) && IsHexDigitAt(reference, pos + 2));
    const bool secondHash = c == '#' && fragment;
    fragment = fragment || c == '#';
    if (byte <= 0x20 || byte >= 0x7F || unsafe.find(c) != std::string_view::npos || strayPercent || secondHash) {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// Whether the reference begins with a scheme ("mailto:", "http:").
bool HasScheme(std::string_view reference) {
  if (reference.empty() || !std::isalpha(static_cast<unsigned char>(reference.front()))) return false;
  for (const char c : reference) {
    if (c == ':') return true;
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

// An address split into the five parts of RFC 3986; parts that are absent are nullopt
// (an empty query "?" is not the same as none).
struct UriParts {
  std::optional<std::string_view> scheme;
  std::optional<std::string_view> authority;
  std::string_view path;
  std::optional<std::string_view> query;
  std::optional<std::string_view> fragment;
};

UriParts SplitUri(std::string_view uri) {
  UriParts parts;
  if (HasScheme(uri)) {
    const size_t colon = uri.find(':');
    parts.scheme = uri.substr(0, colon);
    uri.remove_prefix(colon + 1);
  }
  if (const size_t hash = uri.find('#'); hash != std::string_view::npos) {
    parts.fragment = uri.substr(hash + 1);
    uri = uri.substr(0, hash);
  }
  if (const size_t question = uri.find('?'); question != std::string_view::npos) {
    parts.query = uri.substr(question + 1);
    uri = uri.substr(0, question);
  }
  if (uri.starts_with("//")) {
    const size_t slash = uri.find('/', 2);
    parts.authority = uri.substr(2, slash == std::string_view::npos ? std::string_view::npos : slash - 2);
    uri = slash == std::string_view::npos ? std::string_view() : uri.substr(slash);
  }
  parts.path = uri;
  return parts;
}

// The path with its "." and ".." segments worked out (RFC 3986, 5.2.4). A ".." above the
// root stays at the root.
std::string RemoveDotSegments(std::string_view input) {
  std::string output;
  while (!input.empty()) {
    if (input.starts_with("../")) {
      input.remove_prefix(3);
    } else if (input.starts_with("./")) {
      input.remove_prefix(2);
    } else if (input.starts_with("/./")) {
      input.remove_prefix(2);
    } else if (input == "/.") {
      input = "/";
    } else if (input.starts_with("/../") || input == "/..") {
      input = input.size() == 3 ? std::string_view("/") : input.substr(3);
      const size_t last = output.rfind('/');
      output.erase(last == std::string::npos ? 0 : last);
    } else if (input == "." || input == "..") {
      input = {};
    } else {
      const size_t next = input.find('/', input.front() == '/' ? 1 : 0);
      const size_t length = next == std::string_view::npos ? input.size() : next;
      output.append(input.substr(0, length));
      input.remove_prefix(length);
    }
  }
  return output;
}

// `reference` resolved against `base` (RFC 3986, 5.2.2 and 5.3). Nothing is decoded or
// re-encoded: escapes stay as written, so "%2F" never turns into a path separator.
std::string BuildUri(std::string_view base, std::string_view reference) {
  const UriParts b = SplitUri(base);
  const UriParts r = SplitUri(reference);
  UriParts t;
  std::string path;
  if (r.authority) {
    t.authority = r.authority;
    path = RemoveDotSegments(r.path);
    t.query = r.query;
  } else {
    t.authority = b.authority;
    if (r.path.empty()) {
      path = b.path;
      t.query = r.query ? r.query : b.query;
    } else {
      if (r.path.front() == '/') {
        path = RemoveDotSegments(r.path);
      } else {
        std::string merged;
        if (b.authority && b.path.empty()) {
          merged = "/";
        } else {
          const size_t slash = b.path.rfind('/');
          if (slash != std::string_view::npos) merged = b.path.substr(0, slash + 1);
        }
        merged.append(r.path);
        path = RemoveDotSegments(merged);
      }
      t.query = r.query;
    }
  }
  std::string out;
  if (b.scheme) out.append(*b.scheme).push_back(':');
  if (t.authority) out.append("//").append(*t.authority);
  out.append(path);
  if (t.query) out.append("?").append(*t.query);
  if (r.fragment) out.append("#").append(*r.fragment);
  return out;
}

}  // namespace

HtmlDocument HtmlDocument::Parse(std::string_view utf8) {
  InitialiseXmlLibrary();
  HtmlDocument document;
  const std::string clean = CleanUtf8(utf8);
  if (clean.size() > static_cast<size_t>(INT_MAX)) return document;
  std::string_view rest = clean;
  while (!rest.empty()) {
    PieceEnd end;
    if (htmlDocPtr doc = ParsePiece(rest, end)) document.parts_.push_back(doc);
    if (!end.cut || end.offset >= rest.size()) break;
    rest.remove_prefix(end.offset);
  }
  return document;
}

HtmlDocument::HtmlDocument(HtmlDocument&& other) noexcept : parts_(std::move(other.parts_)) {
  other.parts_.clear();
}

HtmlDocument& HtmlDocument::operator=(HtmlDocument&& other) noexcept {
  if (this != &other) {
    for (void* part : parts_) xmlFreeDoc(Doc(part));
    parts_ = std::move(other.parts_);
    other.parts_.clear();
  }
  return *this;
}

HtmlDocument::~HtmlDocument() {
  for (void* part : parts_) xmlFreeDoc(Doc(part));
}

std::string HtmlDocument::Title() const {
  const xmlNode* title = FindElement(parts_, "title");
  if (title == nullptr) return {};
  // The page's title is one line: a line break counts as a blank, runs of blanks become
  // one, and none is left at either end.
  std::string text;
  for (const char c : VisibleText(title)) {
    const char plain = c == '\n' ? ' ' : c;
    if (plain == ' ' && (text.empty() || text.back() == ' ')) continue;
    text.push_back(plain);
  }
  if (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string HtmlDocument::BaseHref() const {
  const xmlNode* base = FindElement(parts_, "base", "href");
  return base == nullptr ? std::string() : Attribute(base, "href");
}

std::vector<HtmlAnchor> HtmlDocument::Anchors() const {
  std::vector<HtmlAnchor> anchors;
  for (void* part : parts_) {
    const xmlNode* top = reinterpret_cast<const xmlNode*>(part);
    for (const xmlNode* node = Doc(part)->children; node != nullptr; node = NextInTree(node, top, true)) {
      if (NameIs(node, "a")) anchors.push_back({VisibleText(node), Attribute(node, "href")});
    }
  }
  return anchors;
}

std::string ResolveUri(std::string_view base, std::string_view reference) {
  const std::string cleaned = CleanReference(reference);
  if (HasScheme(cleaned) || base.empty()) return cleaned;
  return BuildUri(CleanReference(base), cleaned);
}

}  // namespace platform
