// SPDX-License-Identifier: MIT
#include "formats/xml/XmlListBuilder.h"

#include <vector>

#include "platform/CodePage.h"
#include "text/Convert.h"
#include "text/XmlText.h"

namespace formats {
namespace {

using platform::XmlNode;
using platform::XmlNodeKind;

// A text or attribute value from the parser (UTF-8), as the program keeps it: the
// look-alike repair, references for what code page 932 lacks, then the character filter.
std::string ValueText(std::string_view utf8) {
  std::string converted = text::Utf8ToSjis(utf8);
  // The parser only hands out well-formed UTF-8; should a malformed piece slip through,
  // it is converted character by character rather than lost.
  if (converted.empty() && !utf8.empty()) converted = text::WideToJapanese(platform::Utf8ToUtf16(utf8));
  text::FilterInvalidCharsInPlace(converted);
  return converted;
}

// A name, converted without repair or filter.
std::string NameText(std::string_view utf8) {
  std::string out;
  platform::Utf8ToCp932(utf8, platform::Unmappable::kCharRef, out);
  return out;
}

// Whitespace-only text between elements is not part of the document's content.
bool IsBlankText(const XmlNode& node) {
  if (node.Kind() != XmlNodeKind::kText) return false;
  for (const char c : node.Content()) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

XmlNode SkipBlank(XmlNode node) {
  while (node && IsBlankText(node)) node = node.NextSibling();
  return node;
}

void AddText(TXMLItemType& owner, std::string_view utf8) {
  owner.Text += ValueText(utf8);
  if (!owner.CData.empty()) {
    owner.CData += DecodeCharRefs(owner.Text);
    owner.Text.clear();
  }
}

void AddCData(TXMLItemType& owner, std::string_view utf8) {
  if (!owner.Text.empty()) {
    owner.CData += DecodeCharRefs(owner.Text);
    owner.Text.clear();
  }
  owner.CData += DecodeCharRefs(ValueText(utf8));
}

void AddAttributes(const XmlNode& node, TXMLItemType& record) {
  std::vector<platform::XmlAttribute> attributes = node.Attributes();
  if (attributes.empty()) return;
  record.Attributes = std::make_unique<TXMLList>();
  for (const platform::XmlAttribute& attribute : attributes) {
    auto item = std::make_unique<TXMLItemType>();
    item->Kind = kXmlAttribute;
    item->Name = NameText(attribute.name);
    item->Text = ValueText(attribute.value);
    item->Parent = &record;
    record.Attributes->push_back(std::move(item));
  }
}

std::string ChildMarkup(const XmlNode& node) {
  std::string markup;
  for (XmlNode child = SkipBlank(node.FirstChild()); child; child = SkipBlank(child.NextSibling())) {
    markup += child.Markup();
  }
  return markup;
}

class Walker {
 public:
  explicit Walker(const RawMarkupTest& rawMarkupTest) : rawMarkupTest_(rawMarkupTest) {}

  // Visits a run of sibling nodes on behalf of `owner`: elements become records of
  // `list`, text and CDATA sections gather in the owner. `parent` is what the new
  // records point back to (none at the top level). An entity reference stands for the
  // nodes of its replacement text.
  void Visit(XmlNode first, TXMLItemType& owner, TXMLItemType* parent, TXMLList& list, int depth) {
    for (XmlNode node = first; node; node = node.NextSibling()) {
      switch (node.Kind()) {
        case XmlNodeKind::kElement:
          list.push_back(Element(node, parent, depth));
          break;
        case XmlNodeKind::kText:
          if (!IsBlankText(node)) AddText(owner, node.Content());
          break;
        case XmlNodeKind::kCData:
          AddCData(owner, node.Content());
          break;
        case XmlNodeKind::kEntityReference:
          if (depth < kMaxXmlListDepth) Visit(node.FirstChild(), owner, parent, list, depth + 1);
          break;
        case XmlNodeKind::kOther:
          break;
      }
    }
  }

 private:
  std::unique_ptr<TXMLItemType> Element(const XmlNode& node, TXMLItemType* parent, int depth) {
    auto record = std::make_unique<TXMLItemType>();
    record->Kind = kXmlElement;
    record->Name = NameText(node.Name());
    record->Parent = parent;
    AddAttributes(node, *record);
    const XmlNode first = SkipBlank(node.FirstChild());
    if (!first || depth >= kMaxXmlListDepth) return record;
    // A lone CDATA section is the usual way of carrying HTML as text, so it is read as
    // text even where the content would otherwise be kept as markup.
    const bool loneCData = first.Kind() == XmlNodeKind::kCData && !SkipBlank(first.NextSibling());
    if (!loneCData && rawMarkupTest_ && rawMarkupTest_(*record)) {
      record->Kind = kXmlRawMarkup;
      record->CData = ValueText(ChildMarkup(node));
      return record;
    }
    record->Children = std::make_unique<TXMLList>();
    Visit(node.FirstChild(), *record, record.get(), *record->Children, depth + 1);
    return record;
  }

  const RawMarkupTest& rawMarkupTest_;
};

// A character an XML document may hold.
bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

const TXMLItemType* FindPath(const TXMLList& list, const std::vector<std::string_view>& names, size_t index) {
  for (const auto& record : list) {
    if (record->Kind == kXmlAttribute || record->Name != names[index]) continue;
    if (index + 1 == names.size()) return record.get();
    if (!record->Children) continue;
    if (const TXMLItemType* found = FindPath(*record->Children, names, index + 1)) return found;
  }
  return nullptr;
}

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> names;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t slash = path.find('/', pos);
    if (slash == std::string_view::npos) slash = path.size();
    if (slash > pos) names.push_back(path.substr(pos, slash - pos));
    pos = slash + 1;
  }
  return names;
}

}  // namespace

TXMLList BuildXmlList(const platform::XmlDocument& document, const RawMarkupTest& rawMarkupTest) {
  // Top-level text cannot occur in a document; the scratch owner only keeps the walk
  // uniform and is discarded.
  TXMLItemType scratch;
  TXMLList list;
  Walker(rawMarkupTest).Visit(document.FirstChild(), scratch, nullptr, list, 0);
  return list;
}

std::string ReadChildText(const TXMLList& list, std::string_view path) {
  const std::vector<std::string_view> names = SplitPath(path);
  if (names.empty()) return {};
  const TXMLItemType* found = FindPath(list, names, 0);
  if (found == nullptr) return {};
  return found->Text.empty() ? found->CData : found->Text;
}

std::string ReadChildText(const TXMLItemType& node, std::string_view path) {
  return node.Children ? ReadChildText(*node.Children, path) : std::string();
}

std::string DecodeCharRefs(std::string_view text) {
  if (text.find("&#") == std::string_view::npos || text.find(';') == std::string_view::npos) {
    return std::string(text);
  }
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    if (!text::IsDecimalCharRef(text, pos)) {
      out.push_back(text[pos++]);
      continue;
    }
    size_t end = pos + 2;
    char32_t value = 0;
    for (; end < text.size() && text[end] >= '0' && text[end] <= '9'; ++end) {
      if (value <= 0x10FFFF) value = value * 10 + static_cast<char32_t>(text[end] - '0');
    }
    // A reference the parser would reject (unterminated, or naming no allowed character)
    // makes the whole text unreadable as a document, and such a text is kept as it is.
    if (end == text.size() || !IsXmlChar(value)) return std::string(text);
    if (const unsigned code = platform::EncodeCp932(value); code != 0) {
      if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      out.append(text.substr(pos, end + 1 - pos));
    }
    pos = end + 1;
  }
  return out;
}

}  // namespace formats
