// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// XML documents read into a tree that the feed readers walk. The parser detects the
// encoding from the byte-order mark and the XML declaration (the Shift_JIS and EUC-JP
// family names mean the Microsoft variants), decodes character and entity references,
// keeps CDATA sections apart from text, and never reads anything but the bytes it is
// given: no network, no external entities, no external DTD. A reference to an HTML 4
// named entity the document does not declare (&nbsp;, &eacute;, as older feeds write
// them) reads as the character it names; any other undeclared entity fails the load.
//
// Limits against hostile documents (a failure to load, reported like any other parse
// error):
// - elements nest at most 256 deep (the parser's own limit);
// - a single text or attribute value, or a name, is limited as the parser limits it
//   (about 10 MB for an attribute value, 50 000 bytes for a name);
// - the entity references of a document may together expand to at most
//   kMaxEntityExpansion bytes, counted when the parser meets each reference (a reference
//   inside an entity counts again for every use of that entity), and an entity may nest
//   at most kMaxEntityNesting levels deep; entity loops are refused by the parser.
namespace platform {

inline constexpr size_t kMaxEntityExpansion = 4u << 20;
inline constexpr int kMaxEntityNesting = 40;

// The parser's report of the first error that stopped a load. Texts are UTF-8.
struct XmlParseError {
  int32_t code = 0;     // the parser's error number; 0 = no error
  int32_t line = 0;     // counted from 1
  int32_t column = 0;   // counted from 1
  int32_t filePos = 0;  // byte offset in the input where the parser stood
  std::string reason;   // the parser's message, without its line break
  std::string srcText;  // the source line around the error (at most a few hundred bytes)
};

enum class XmlNodeKind {
  kElement,
  kText,
  kCData,
  kEntityReference,  // its children are the nodes of the entity's replacement text
  kOther,            // comments, processing instructions, the document type
};

struct XmlAttribute {
  std::string name;   // as written, prefix included ("xmlns:dc", "rdf:about")
  std::string value;  // UTF-8, references decoded
};

// A node of a loaded document; valid as long as its XmlDocument lives. A default-made
// node is "none" (false).
class XmlNode {
 public:
  XmlNode() = default;

  explicit operator bool() const { return node_ != nullptr; }

  XmlNodeKind Kind() const;

  // The element's name as written, prefix included ("dc:date"); empty for other nodes.
  std::string Name() const;

  // The text of a text or CDATA node, UTF-8; empty for other nodes.
  std::string_view Content() const;

  // The element's attributes in document order, namespace declarations first (they are
  // attributes of the element as written).
  std::vector<XmlAttribute> Attributes() const;

  // The first child (for an entity reference: the first node of its replacement text),
  // and the next sibling; "none" at the end.
  XmlNode FirstChild() const;
  XmlNode NextSibling() const;

  // The node as XML markup, UTF-8, with &, < and > escaped in text and attribute values.
  std::string Markup() const;

 private:
  friend class XmlDocument;
  explicit XmlNode(const void* node) : node_(node) {}

  const void* node_ = nullptr;
};

// A loaded document; it owns the whole tree.
class XmlDocument {
 public:
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // The first top-level node (the document type, comments, the root element).
  XmlNode FirstChild() const;

  // The root element, or none.
  XmlNode Root() const;

 private:
  friend struct XmlDocumentAccess;
  explicit XmlDocument(void* doc) : doc_(doc) {}

  void* doc_;
};

// The result of a load: the document, or none and the error that stopped the parser.
struct XmlLoadResult {
  std::unique_ptr<XmlDocument> document;
  XmlParseError error;
};

// Parses a document held in memory. A document without a byte-order mark and without an
// encoding in its declaration that is not valid UTF-8 (as older Japanese feeds are) is
// tried once more as code page 932 and then as EUC-JP before it counts as not loaded;
// the error reported then is that of the first attempt.
XmlLoadResult ParseXml(std::string_view bytes);

// Reads the file and parses it as ParseXml does. An unreadable file is a load error.
XmlLoadResult ParseXmlFile(const std::string& path);

}  // namespace platform
