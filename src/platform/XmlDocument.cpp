// SPDX-License-Identifier: MIT
#include "platform/XmlDocument.h"

#include <libxml/HTMLparser.h>
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <deque>
#include <optional>
#include <unordered_map>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/private/XmlLibrary.h"

namespace platform {
namespace {

// Only these options: no network, and none of the ones that would load a DTD, substitute
// external entities, lift the size limits (XML_PARSE_HUGE) or merge CDATA into text.
constexpr int kParseOptions = XML_PARSE_NONET;

// How much of the source line around an error is kept, on each side of the error.
constexpr size_t kSourceContext = 160;

// Every Shift_JIS spelling means the Microsoft variant, code page 932, and EUC-JP means
// its Microsoft variant too; plain Shift_JIS and EUC-JP lose characters such as ① and 髙.
// An HTML named entity that a document uses without declaring it, as the parser is handed
// it. Its text is one character, UTF-8.
struct HtmlEntity {
  xmlEntity entity{};
  std::string text;
};

// What one parse collects through the parser's callbacks.
struct ParseState {
  xmlParserCtxtPtr ctxt = nullptr;
  std::optional<XmlParseError> firstFatal;
  std::optional<XmlParseError> firstError;
  std::optional<XmlParseError> refusal;  // the entity limits were exceeded
  size_t expansion = 0;
  std::unordered_map<const xmlEntity*, size_t> expandedSizes;
  std::unordered_map<const xmlEntity*, bool> inProgress;
  std::deque<HtmlEntity> htmlEntities;  // stable addresses while the parse runs
};

// The parse running on this thread; the callbacks of nested entity parsers reach it here.
thread_local ParseState* currentParse = nullptr;

// The source line around the parser's position, cut at whole UTF-8 characters.
std::string SourceLine(const xmlParserInput* input) {
  if (input == nullptr || input->base == nullptr || input->cur == nullptr || input->end == nullptr) return {};
  const char* base = reinterpret_cast<const char*>(input->base);
  const char* end = reinterpret_cast<const char*>(input->end);
  const char* cur = reinterpret_cast<const char*>(input->cur);
  if (cur < base || cur > end) return {};
  const char* first = cur;
  while (first > base && first[-1] != '\n' && first[-1] != '\r' && static_cast<size_t>(cur - first) < kSourceContext)
    --first;
  const char* last = cur;
  while (last < end && *last != '\n' && *last != '\r' && static_cast<size_t>(last - cur) < kSourceContext) ++last;
  const auto continuation = [](const char* p) { return (static_cast<unsigned char>(*p) & 0xC0) == 0x80; };
  while (first < last && continuation(first)) ++first;
  while (last > first && last < end && continuation(last)) --last;
  return std::string(first, last);
}

XmlParseError ErrorAt(int code, std::string reason, int line, int column) {
  XmlParseError error;
  error.code = code;
  error.line = line;
  error.column = column;
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  error.reason = std::move(reason);
  return error;
}

// Adds the source line and byte offset at the parser's position. Only done for reports
// of the parser itself: the encoding converter reports while the input buffer is being
// moved, when the parser's pointers into it are stale.
void AddPosition(const ParseState& state, XmlParseError& error) {
  xmlParserCtxtPtr ctxt = state.ctxt;
  if (ctxt == nullptr || ctxt->input == nullptr) return;
  error.srcText = SourceLine(ctxt->input);
  // The byte offset is known for the document itself, not inside an entity's text.
  if (ctxt->inputNr == 1) {
    const long consumed = xmlByteConsumed(ctxt);
    if (consumed > 0 && consumed <= INT32_MAX) error.filePos = static_cast<int32_t>(consumed);
  }
}

// Keeps the first report in `slot`. A report without a position (the encoding
// converter's) takes the position of the parser's next report, which follows at once.
void Keep(std::optional<XmlParseError>& slot, const XmlParseError& report) {
  if (!slot) {
    slot = report;
  } else if (slot->line == 0 && report.line != 0) {
    slot->line = report.line;
    slot->column = report.column;
    slot->filePos = report.filePos;
    slot->srcText = report.srcText;
  }
}

void CollectError(void* data, xmlErrorPtr error) {
  auto* state = static_cast<ParseState*>(data);
  if (state == nullptr || error == nullptr || error->level < XML_ERR_ERROR) return;
  XmlParseError report = ErrorAt(error->code, error->message ? error->message : "", error->line, error->int2);
  if (error->domain == XML_FROM_PARSER || error->domain == XML_FROM_NAMESPACE) {
    AddPosition(*state, report);
  } else {
    report.line = 0;
    report.column = 0;
  }
  Keep(state->firstError, report);
  if (error->level == XML_ERR_FATAL) Keep(state->firstFatal, report);
}

void IgnoreGenericError(void*, const char*, ...) {}

constexpr size_t kTooLarge = kMaxEntityExpansion + 1;

size_t SaturatingAdd(size_t a, size_t b) {
  return a + b > kTooLarge ? kTooLarge : a + b;
}

size_t ExpandedSize(ParseState& state, const xmlEntity* entity, int depth);

// The size of the text an entity's replacement text expands to, each reference it holds
// counted at its own expanded size; kTooLarge when over the limit, too deeply nested or
// recursive.
size_t ExpandedContentSize(ParseState& state, const xmlEntity* entity, int depth) {
  const char* content = reinterpret_cast<const char*>(entity->content);
  if (content == nullptr) return 0;
  const std::string_view text(content, entity->length > 0 ? static_cast<size_t>(entity->length) : 0);
  size_t size = 0;
  size_t pos = 0;
  while (pos < text.size() && size < kTooLarge) {
    const size_t amp = text.find('&', pos);
    const size_t semicolon = amp == std::string_view::npos ? amp : text.find(';', amp);
    if (semicolon == std::string_view::npos || text[amp + 1] == '#') {
      const size_t next = amp == std::string_view::npos ? text.size() : amp + 1;
      size = SaturatingAdd(size, next - pos);
      pos = next;
      continue;
    }
    size = SaturatingAdd(size, amp - pos);
    const std::string name(text.substr(amp + 1, semicolon - amp - 1));
    const xmlEntity* inner = xmlGetDocEntity(entity->doc, reinterpret_cast<const xmlChar*>(name.c_str()));
    size = SaturatingAdd(size, inner != nullptr ? ExpandedSize(state, inner, depth + 1) : semicolon + 1 - amp);
    pos = semicolon + 1;
  }
  return size;
}

size_t ExpandedSize(ParseState& state, const xmlEntity* entity, int depth) {
  if (entity->etype != XML_INTERNAL_GENERAL_ENTITY) return entity->etype == XML_INTERNAL_PREDEFINED_ENTITY ? 1 : 0;
  if (const auto known = state.expandedSizes.find(entity); known != state.expandedSizes.end()) return known->second;
  if (depth > kMaxEntityNesting || state.inProgress[entity]) return kTooLarge;
  state.inProgress[entity] = true;
  const size_t size = ExpandedContentSize(state, entity, depth);
  state.inProgress[entity] = false;
  state.expandedSizes[entity] = size;
  return size;
}

// The character an HTML 4 named entity stands for, UTF-8; empty for any other name.
std::string HtmlEntityText(const xmlChar* name) {
  const htmlEntityDesc* entry = name != nullptr ? htmlEntityLookup(name) : nullptr;
  if (entry == nullptr) return {};
  xmlChar buffer[8] = {};
  const int length = xmlCopyCharMultiByte(buffer, static_cast<int>(entry->value));
  return length > 0 ? std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(length)) : std::string();
}

// Older feeds use HTML's named entities (&nbsp;, &eacute;, &hellip;) without declaring
// them, counting on a DTD that is never loaded. Such a reference is handed to the parser
// as the character it stands for rather than failing the whole document; a name that is
// neither declared nor HTML still fails. In text the parser copies the character of a
// predefined entity straight into the text node, but in an attribute value it would copy
// only the first byte of it, so there the entity is an internal one: the parser keeps the
// reference in the value and AttributeValue resolves it. The entity records live in the
// parse state; the document never points at them.
xmlEntityPtr HtmlEntityFor(ParseState& state, void* ctx, const xmlChar* name) {
  std::string text = HtmlEntityText(name);
  if (text.empty()) return nullptr;
  const auto* ctxt = static_cast<const xmlParserCtxt*>(ctx);
  const bool inAttribute = ctxt != nullptr && ctxt->instate == XML_PARSER_ATTRIBUTE_VALUE;
  HtmlEntity& added = state.htmlEntities.emplace_back();
  added.text = std::move(text);
  added.entity.type = XML_ENTITY_DECL;
  added.entity.name = name;
  added.entity.content = reinterpret_cast<xmlChar*>(added.text.data());
  added.entity.length = static_cast<int>(added.text.size());
  added.entity.etype = inAttribute ? XML_INTERNAL_GENERAL_ENTITY : XML_INTERNAL_PREDEFINED_ENTITY;
  return &added.entity;
}

// The parser asks for an entity at every reference to it, in text and in attribute
// values; each use adds the entity's expanded size to the document's total. Past the
// limit the parse is refused and every later reference is left undefined, so nothing is
// expanded any more while the parser runs to its end.
xmlEntityPtr GetEntityCounted(void* ctx, const xmlChar* name) {
  ParseState* state = currentParse;
  if (state != nullptr && state->refusal) return nullptr;
  xmlEntityPtr entity = xmlSAX2GetEntity(ctx, name);
  if (entity == nullptr && state != nullptr) return HtmlEntityFor(*state, ctx, name);
  if (state == nullptr || entity == nullptr || entity->etype != XML_INTERNAL_GENERAL_ENTITY) return entity;
  state->expansion = SaturatingAdd(state->expansion, ExpandedSize(*state, entity, 0));
  if (state->expansion < kTooLarge) return entity;
  const xmlParserInput* input = state->ctxt != nullptr ? state->ctxt->input : nullptr;
  state->refusal = ErrorAt(XML_ERR_ENTITY_LOOP, "Entity references expand beyond the allowed size",
                           input != nullptr ? input->line : 0, input != nullptr ? input->col : 0);
  AddPosition(*state, *state->refusal);
  return nullptr;
}

// Routes the parser's error reports of this thread to the parse state while it runs.
class ErrorCapture {
 public:
  explicit ErrorCapture(ParseState& state)
      : savedStructured_(xmlStructuredError),
        savedStructuredContext_(xmlStructuredErrorContext),
        savedGeneric_(xmlGenericError),
        savedGenericContext_(xmlGenericErrorContext) {
    xmlSetStructuredErrorFunc(&state, CollectError);
    xmlSetGenericErrorFunc(nullptr, IgnoreGenericError);
    currentParse = &state;
  }
  ~ErrorCapture() {
    currentParse = nullptr;
    xmlSetStructuredErrorFunc(savedStructuredContext_, savedStructured_);
    xmlSetGenericErrorFunc(savedGenericContext_, savedGeneric_);
  }
  ErrorCapture(const ErrorCapture&) = delete;
  ErrorCapture& operator=(const ErrorCapture&) = delete;

 private:
  xmlStructuredErrorFunc savedStructured_;
  void* savedStructuredContext_;
  xmlGenericErrorFunc savedGeneric_;
  void* savedGenericContext_;
};

XmlParseError ChosenError(const ParseState& state) {
  if (state.refusal) return *state.refusal;
  if (state.firstFatal) return *state.firstFatal;
  if (state.firstError) return *state.firstError;
  XmlParseError error;
  error.code = XML_ERR_INTERNAL_ERROR;
  error.reason = "The document could not be read";
  return error;
}

XmlParseError SimpleError(int code, std::string reason) {
  XmlParseError error;
  error.code = code;
  error.reason = std::move(reason);
  return error;
}

}  // namespace

struct XmlDocumentAccess {
  static std::unique_ptr<XmlDocument> Make(xmlDocPtr doc) { return std::unique_ptr<XmlDocument>(new XmlDocument(doc)); }
};

namespace {

XmlLoadResult ParseOnce(std::string_view bytes, const char* encoding) {
  XmlLoadResult result;
  if (bytes.size() > static_cast<size_t>(INT_MAX)) {
    result.error = SimpleError(XML_ERR_NO_MEMORY, "The document is too large");
    return result;
  }
  ParseState state;
  state.ctxt = xmlNewParserCtxt();
  if (state.ctxt == nullptr) {
    result.error = SimpleError(XML_ERR_NO_MEMORY, "Out of memory");
    return result;
  }
  state.ctxt->sax->getEntity = GetEntityCounted;
  xmlDocPtr doc = nullptr;
  {
    ErrorCapture capture(state);
    doc = xmlCtxtReadMemory(state.ctxt, bytes.data(), static_cast<int>(bytes.size()), nullptr, encoding, kParseOptions);
  }
  xmlFreeParserCtxt(state.ctxt);
  state.ctxt = nullptr;
  if (doc != nullptr && state.refusal) {
    xmlFreeDoc(doc);
    doc = nullptr;
  }
  if (doc == nullptr) {
    result.error = ChosenError(state);
    if (result.error.code == 0) result.error.code = XML_ERR_INTERNAL_ERROR;
    return result;
  }
  result.document = XmlDocumentAccess::Make(doc);
  return result;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

// True when the document names its encoding: a byte-order mark, UTF-16 or UTF-32 without
// one (a zero byte among the first two), or an encoding in the XML declaration.
bool DeclaresEncoding(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF") || StartsWith(bytes, "\xFE\xFF") || StartsWith(bytes, "\xFF\xFE")) return true;
  if (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0')) return true;
  if (!StartsWith(bytes, "<?xml")) return false;
  const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
  return declaration.find("encoding") != std::string_view::npos;
}

bool IsEucByte(unsigned char c) {
  return c >= 0xA1 && c <= 0xFE;
}

// True when every byte above 127 belongs to a well-formed EUC-JP sequence. Shift_JIS text
// almost never passes (its hiragana and most kanji start with 0x81..0x9F, and many trail
// bytes lie below 0xA1), while EUC-JP text often also reads as code page 932, as
// half-width katakana and stray kanji.
bool IsWellFormedEucJp(std::string_view bytes) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[pos]);
    const auto at = [&](size_t i) { return pos + i < bytes.size() ? static_cast<unsigned char>(bytes[pos + i]) : 0; };
    if (c < 0x80) {
      pos += 1;
    } else if (c == 0x8E && at(1) >= 0xA1 && at(1) <= 0xDF) {
      pos += 2;
    } else if (c == 0x8F && IsEucByte(at(1)) && IsEucByte(at(2))) {
      pos += 3;
    } else if (IsEucByte(c) && IsEucByte(at(1))) {
      pos += 2;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

XmlDocument::~XmlDocument() {
  xmlFreeDoc(static_cast<xmlDocPtr>(doc_));
}

XmlNode XmlDocument::FirstChild() const {
  return XmlNode(static_cast<xmlDocPtr>(doc_)->children);
}

XmlNode XmlDocument::Root() const {
  return XmlNode(xmlDocGetRootElement(static_cast<xmlDocPtr>(doc_)));
}

namespace {

const xmlNode* AsNode(const void* node) {
  return static_cast<const xmlNode*>(node);
}

std::string QualifiedName(const xmlNs* ns, const xmlChar* name) {
  std::string out;
  if (ns != nullptr && ns->prefix != nullptr) {
    out = reinterpret_cast<const char*>(ns->prefix);
    out.push_back(':');
  }
  if (name != nullptr) out += reinterpret_cast<const char*>(name);
  return out;
}

std::string NodeListText(const xmlDoc* doc, const xmlNode* list) {
  xmlChar* value = xmlNodeListGetString(const_cast<xmlDoc*>(doc), list, 1);
  if (value == nullptr) return {};
  std::string out(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return out;
}

// A reference to an undeclared HTML entity stays in an attribute value as a reference
// without a declaration (see HtmlEntityFor); it reads as the character it names.
bool IsUndeclaredReference(const xmlNode* node) {
  return node->type == XML_ENTITY_REF_NODE && node->children == nullptr;
}

std::string AttributeValue(const xmlAttr* attr) {
  bool undeclared = false;
  for (const xmlNode* child = attr->children; child != nullptr && !undeclared; child = child->next) {
    undeclared = IsUndeclaredReference(child);
  }
  if (!undeclared) return NodeListText(attr->doc, attr->children);
  std::string out;
  for (const xmlNode* child = attr->children; child != nullptr; child = child->next) {
    if (IsUndeclaredReference(child)) {
      out += HtmlEntityText(child->name);
    } else if (child->type == XML_ENTITY_REF_NODE) {
      out += NodeListText(attr->doc, child->children->children);
    } else if (child->content != nullptr) {
      out += reinterpret_cast<const char*>(child->content);
    }
  }
  return out;
}

}  // namespace

XmlNodeKind XmlNode::Kind() const {
  switch (AsNode(node_)->type) {
    case XML_ELEMENT_NODE:
      return XmlNodeKind::kElement;
    case XML_TEXT_NODE:
      return XmlNodeKind::kText;
    case XML_CDATA_SECTION_NODE:
      return XmlNodeKind::kCData;
    case XML_ENTITY_REF_NODE:
      return XmlNodeKind::kEntityReference;
    default:
      return XmlNodeKind::kOther;
  }
}

std::string XmlNode::Name() const {
  const xmlNode* node = AsNode(node_);
  if (node->type != XML_ELEMENT_NODE) return {};
  return QualifiedName(node->ns, node->name);
}

std::string_view XmlNode::Content() const {
  const xmlNode* node = AsNode(node_);
  if ((node->type != XML_TEXT_NODE && node->type != XML_CDATA_SECTION_NODE) || node->content == nullptr) return {};
  return reinterpret_cast<const char*>(node->content);
}

std::vector<XmlAttribute> XmlNode::Attributes() const {
  std::vector<XmlAttribute> out;
  const xmlNode* node = AsNode(node_);
  if (node->type != XML_ELEMENT_NODE) return out;
  for (const xmlNs* ns = node->nsDef; ns != nullptr; ns = ns->next) {
    std::string name = "xmlns";
    if (ns->prefix != nullptr) name += std::string(":") + reinterpret_cast<const char*>(ns->prefix);
    out.push_back({std::move(name), ns->href != nullptr ? reinterpret_cast<const char*>(ns->href) : ""});
  }
  for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    out.push_back({QualifiedName(attr->ns, attr->name), AttributeValue(attr)});
  }
  return out;
}

XmlNode XmlNode::FirstChild() const {
  const xmlNode* node = AsNode(node_);
  if (node->type == XML_ELEMENT_NODE) return XmlNode(node->children);
  if (node->type == XML_ENTITY_REF_NODE) {
    // The parser links a reference to the entity's declaration, which holds the nodes of
    // its replacement text; an undefined or external entity has none.
    const xmlNode* declaration = node->children;
    if (declaration != nullptr && declaration->type == XML_ENTITY_DECL) return XmlNode(declaration->children);
  }
  return XmlNode();
}

XmlNode XmlNode::NextSibling() const {
  return XmlNode(AsNode(node_)->next);
}

std::string XmlNode::Markup() const {
  const xmlNode* node = AsNode(node_);
  xmlBufferPtr buffer = xmlBufferCreate();
  if (buffer == nullptr) return {};
  std::string out;
  if (xmlNodeDump(buffer, node->doc, const_cast<xmlNode*>(node), 0, 0) >= 0) {
    out.assign(reinterpret_cast<const char*>(xmlBufferContent(buffer)), static_cast<size_t>(xmlBufferLength(buffer)));
  }
  xmlBufferFree(buffer);
  return out;
}

XmlLoadResult ParseXml(std::string_view bytes) {
  InitialiseXmlLibrary();
  XmlLoadResult first = ParseOnce(bytes, nullptr);
  if (first.document || DeclaresEncoding(bytes) || IsValidUtf8(bytes)) return first;
  // Shift_JIS is the usual encoding of such documents and is tried first, unless the bytes
  // can only be EUC-JP: EUC-JP text would often pass as code page 932 and be garbled.
  const bool eucFirst = IsWellFormedEucJp(bytes);
  for (const char* encoding : {eucFirst ? "EUC-JP-MS" : "CP932", eucFirst ? "CP932" : "EUC-JP-MS"}) {
    XmlLoadResult retry = ParseOnce(bytes, encoding);
    if (retry.document) return retry;
  }
  return first;
}

XmlLoadResult ParseXmlFile(const std::string& path) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) {
    XmlLoadResult result;
    result.error = SimpleError(XML_IO_LOAD_ERROR, "The file could not be read: " + path);
    return result;
  }
  return ParseXml(*bytes);
}

}  // namespace platform
