// SPDX-License-Identifier: MIT
#include "platform/HtmlDocument.h"

#include <iconv.h>
#include <libxml/encoding.h>
#include <libxml/tree.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <optional>
#include <utility>

#include "platform/Ascii.h"
#include "platform/CodePage.h"
#include "platform/private/HtmlTree.h"
#include "platform/private/XmlLibrary.h"

namespace platform {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

xmlDocPtr Doc(void* doc) {
  return static_cast<xmlDocPtr>(doc);
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

// The first element of the given name in one piece of a page, or none.
const xmlNode* FindInPart(void* part, const char* name, const char* withAttribute = nullptr) {
  const xmlNode* top = reinterpret_cast<const xmlNode*>(part);
  for (const xmlNode* node = Doc(part)->children; node != nullptr; node = NextInTree(node, top, true)) {
    if (!NameIs(node, name)) continue;
    if (withAttribute == nullptr || xmlHasProp(node, reinterpret_cast<const xmlChar*>(withAttribute)) != nullptr) {
      return node;
    }
  }
  return nullptr;
}

// The first element of the given name in page order, or none.
const xmlNode* FindElement(const std::vector<void*>& parts, const char* name, const char* withAttribute = nullptr) {
  for (void* part : parts) {
    if (const xmlNode* node = FindInPart(part, name, withAttribute)) return node;
  }
  return nullptr;
}

std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n\f\"'";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The charset of a Content-Type value such as "text/html; charset=Shift_JIS"; empty
// when it names none.
std::string_view CharsetOfContentType(std::string_view content) {
  std::string lower(content);
  for (char& c : lower) c = AsciiLower(c);
  const size_t at = lower.find("charset");
  if (at == std::string::npos) return {};
  std::string_view rest = TrimBlanks(content.substr(at + 7));
  if (rest.empty() || rest.front() != '=') return {};
  rest = TrimBlanks(rest.substr(1));
  return rest.substr(0, rest.find_first_of(" \t\r\n\f;\"'"));
}

// The charset that the first "meta" element naming one names; empty when none does.
std::string DeclaredCharset(const std::vector<void*>& parts) {
  for (void* part : parts) {
    const xmlNode* top = reinterpret_cast<const xmlNode*>(part);
    for (const xmlNode* node = Doc(part)->children; node != nullptr; node = NextInTree(node, top, true)) {
      if (!NameIs(node, "meta")) continue;
      std::string charset(TrimBlanks(Attribute(node, "charset")));
      if (charset.empty() && EqualsAsciiNoCase(TrimBlanks(Attribute(node, "http-equiv")), "content-type")) {
        charset = CharsetOfContentType(Attribute(node, "content"));
      }
      if (!charset.empty()) return charset;
    }
  }
  return {};
}

// The bytes in the named character set as UTF-8, with U+FFFD for each byte that does not
// belong to it; nothing when the converter does not know the name.
std::optional<std::string> ConvertToUtf8(std::string_view bytes, const char* charset) {
  iconv_t converter = iconv_open("UTF-8", charset);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (result != static_cast<size_t>(-1) || error == E2BIG) continue;
    out.append(kReplacement);  // a byte that belongs to no character, or a character cut off at the end
    ++in;
    --inLeft;
  }
  // One more call ends a shifting encoding such as ISO-2022-JP.
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  iconv(converter, nullptr, nullptr, &outPtr, &outLeft);
  out.append(buffer, static_cast<size_t>(outPtr - buffer));
  iconv_close(converter);
  return out;
}

// The page as UTF-8 from the character set it names; nothing when that is unknown.
std::optional<std::string> DecodeLabelled(std::string_view bytes, const std::string& charset) {
  const char* alias = xmlGetEncodingAlias(charset.c_str());
  const std::string name = alias != nullptr ? alias : charset;
  if (EqualsAsciiNoCase(name, "CP932")) return Cp932ToUtf8(bytes);
  return ConvertToUtf8(bytes, name.c_str());
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
    const HtmlPiece piece = ParseHtmlPiece(rest);
    if (piece.doc != nullptr) document.parts_.push_back(piece.doc);
    if (!piece.cut || piece.offset >= rest.size()) break;
    rest.remove_prefix(piece.offset);
  }
  return document;
}

HtmlDocument HtmlDocument::ParseDeclared(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return Parse(bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    const char* charset = bytes[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE";
    return Parse(ConvertToUtf8(bytes.substr(2), charset).value_or(std::string()));
  }
  // The label is read from the page taken as UTF-8: its markup is ASCII in every
  // character set a label can name.
  HtmlDocument labelled = Parse(bytes);
  const std::string charset = DeclaredCharset(labelled.parts_);
  // A page that calls itself UTF-16 or UTF-32 but had a readable label is ASCII-based.
  const bool unicode = StartsWithAsciiNoCase(charset, "utf");
  if (!charset.empty() && !unicode) {
    if (std::optional<std::string> utf8 = DecodeLabelled(bytes, charset)) return Parse(*utf8);
  }
  if (unicode || IsValidUtf8(bytes)) return labelled;
  return Parse(Cp932ToUtf8(bytes));
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

std::vector<HtmlLinkElement> HtmlDocument::LinkElements() const {
  std::vector<HtmlLinkElement> links;
  for (void* part : parts_) {
    const xmlNode* top = reinterpret_cast<const xmlNode*>(part);
    for (const xmlNode* node = Doc(part)->children; node != nullptr; node = NextInTree(node, top, true)) {
      if (!NameIs(node, "link")) continue;
      HtmlLinkElement& link = links.emplace_back();
      link.href = Attribute(node, "href");
      link.rel = Attribute(node, "rel");
      link.type = Attribute(node, "type");
      AppendElementMarkup(link.markup, node, HtmlComments::kLeaveOut);
    }
  }
  return links;
}

std::string HtmlDocument::BodyMarkup() const {
  std::string markup;
  for (void* part : parts_) {
    if (const xmlNode* body = FindInPart(part, "body")) AppendChildMarkup(markup, body, HtmlComments::kKeep);
  }
  return markup;
}

std::string HtmlDocument::FirstStyleSheet() const {
  const xmlNode* style = FindElement(parts_, "style");
  if (style == nullptr) return {};
  std::string text;
  for (const xmlNode* child = style->children; child != nullptr; child = child->next) {
    if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) && child->content != nullptr) {
      text.append(reinterpret_cast<const char*>(child->content));
    }
  }
  return text;
}

std::string ResolveUri(std::string_view base, std::string_view reference) {
  const std::string cleaned = CleanReference(reference);
  if (HasScheme(cleaned) || base.empty()) return cleaned;
  return BuildUri(CleanReference(base), cleaned);
}

}  // namespace platform
