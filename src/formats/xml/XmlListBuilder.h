// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "formats/xml/TXMLList.h"
#include "platform/XmlDocument.h"

namespace formats {

// Decides, for an element record whose Name and Attributes are filled in, whether its
// content is kept as raw markup instead of being walked.
using RawMarkupTest = std::function<bool(const TXMLItemType&)>;

// The records of a loaded document's top-level elements. Element and attribute names are
// converted as they are; texts and attribute values go through the repair table and the
// invalid-character filter. Text that is only whitespace between elements is not kept.
// In an element, text gathers in Text until the first CDATA section; from then on all of
// its text, earlier and later, gathers in CData with decimal character references
// decoded. An element whose only child is a CDATA section is always walked; any other
// element with content for which the test answers yes keeps its content as markup in
// CData (Kind kXmlRawMarkup, no Children).
//
// Elements nested deeper than kMaxXmlListDepth (counting entity references as a level)
// are recorded without their content.
inline constexpr int kMaxXmlListDepth = 256;
TXMLList BuildXmlList(const platform::XmlDocument& document, const RawMarkupTest& rawMarkupTest = {});

// The value (Text, or CData when Text is empty) of the first element, in document order,
// reached by the slash-separated path of element names ("plover/version"), starting
// among the given records or the node's children; empty when nothing matches.
std::string ReadChildText(const TXMLList& list, std::string_view path);
std::string ReadChildText(const TXMLItemType& node, std::string_view path);

// Decodes the decimal character references "&#N;" left as literal text. A character code
// page 932 lacks stays a reference, and hexadecimal references stay as they are. When a
// reference names no character an XML document may hold (or the text ends inside one) the
// text is returned unchanged.
std::string DecodeCharRefs(std::string_view text);

}  // namespace formats
