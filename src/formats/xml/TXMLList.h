// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The parsed form of every XML document the program reads: a light tree of records whose
// texts are already code page 932 and cleaned of what the rest of the program cannot
// store. The feed readers walk these records, never the parser's nodes.
namespace formats {

struct TXMLItemType;

// An ordered list of owned records; a record leaving the list takes its subtree with it.
using TXMLList = std::vector<std::unique_ptr<TXMLItemType>>;

// What a record stands for.
inline constexpr int32_t kXmlAttribute = 0;
inline constexpr int32_t kXmlElement = 1;
inline constexpr int32_t kXmlRawMarkup = 3;  // an element whose content was kept as markup

// One element or attribute. The value of an element is its Text when that is not empty,
// otherwise its CData.
struct TXMLItemType {
  std::string Name;   // as written, prefix included ("dc:date", "rdf:RDF")
  std::string Text;   // element: its text; attribute: its value
  std::string CData;  // element: its text from the first CDATA section on, or its raw markup
  int32_t Kind = kXmlElement;
  std::unique_ptr<TXMLList> Children;    // child elements; none when the content was not walked
  std::unique_ptr<TXMLList> Attributes;  // attribute records; none when there are no attributes
  TXMLItemType* Parent = nullptr;        // the owning element; none at the top level
};

}  // namespace formats
