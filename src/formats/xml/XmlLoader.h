// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "formats/xml/TParseError.h"
#include "formats/xml/TXMLList.h"
#include "formats/xml/XmlContext.h"
#include "platform/XmlDocument.h"

// Loading XML documents from bytes or files. Validation and external resolution are
// never asked for, so the loaders take no switches for them.
namespace formats {

// A loaded document, or none and the report of why it did not load.
struct XmlLoad {
  std::unique_ptr<platform::XmlDocument> Document;
  TParseError Error;  // ErrorCode 0 when the document loaded

  explicit operator bool() const { return Document != nullptr; }
};

// Loads a document. The context's ParseError becomes this load's report (on success only
// its ErrorCode is reset, as the callers expect).
XmlLoad LoadXmlDocument(XmlContext& context, std::string_view bytes);
XmlLoad LoadXmlDocumentFile(XmlContext& context, const std::string& path);

// Blanks every byte that cannot stand in a document of ours: all but TAB, LF, CR, 32..126
// and 128..255 become a space. Returns whether anything changed.
bool RepairControlBytes(std::string& buffer);

// Loads the bytes; when that fails, repairs the control bytes and loads once more if the
// repair changed anything. A load that still fails reports the first attempt's error, in
// the result and in the context, since that is where the document itself went wrong.
XmlLoad LoadXmlDocumentRepaired(XmlContext& context, std::string& buffer);

// LoadXmlDocument followed by BuildXmlList without a raw-markup test; none when the load
// failed.
std::optional<TXMLList> LoadXmlList(XmlContext& context, std::string_view bytes);
std::optional<TXMLList> LoadXmlListFile(XmlContext& context, const std::string& path);

}  // namespace formats
