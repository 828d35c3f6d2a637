// SPDX-License-Identifier: MIT
#include "formats/xml/XmlLoader.h"

#include "formats/xml/XmlListBuilder.h"
#include "platform/CodePage.h"
#include "text/Convert.h"
#include "text/XmlText.h"

namespace formats {
namespace {

// A text of the parser's report in the program's text. The source line of an encoding
// error holds the document's own bytes, not UTF-8; those are most likely Shift_JIS, so
// they are kept as they are when they pass as code page 932.
std::string ReportText(const std::string& utf8) {
  if (platform::IsValidUtf8(utf8)) return text::Utf8ToSjis(utf8);
  return text::FilterInvalidChars(utf8);
}

TParseError ToParseError(const platform::XmlParseError& error) {
  TParseError out;
  out.ErrorCode = error.code;
  out.Line = error.line;
  out.LinePos = error.column;
  out.FilePos = error.filePos;
  out.Reason = ReportText(error.reason);
  out.SrcText = ReportText(error.srcText);
  return out;
}

XmlLoad Finish(XmlContext& context, platform::XmlLoadResult result) {
  XmlLoad load;
  context.ParseError.ErrorCode = 0;
  if (result.document) {
    load.Document = std::move(result.document);
  } else {
    load.Error = ToParseError(result.error);
    context.ParseError = load.Error;
  }
  return load;
}

std::optional<TXMLList> BuildList(const XmlLoad& load) {
  if (!load) return std::nullopt;
  return BuildXmlList(*load.Document);
}

}  // namespace

XmlLoad LoadXmlDocument(XmlContext& context, std::string_view bytes) {
  return Finish(context, platform::ParseXml(bytes));
}

XmlLoad LoadXmlDocumentFile(XmlContext& context, const std::string& path) {
  return Finish(context, platform::ParseXmlFile(path));
}

bool RepairControlBytes(std::string& buffer) {
  bool changed = false;
  for (char& byte : buffer) {
    const auto c = static_cast<unsigned char>(byte);
    const bool allowed = c == '\t' || c == '\n' || c == '\r' || (c >= 32 && c <= 126) || c >= 128;
    if (!allowed) {
      byte = ' ';
      changed = true;
    }
  }
  return changed;
}

XmlLoad LoadXmlDocumentRepaired(XmlContext& context, std::string& buffer) {
  XmlLoad first = LoadXmlDocument(context, buffer);
  if (first || !RepairControlBytes(buffer)) return first;
  XmlLoad second = LoadXmlDocument(context, buffer);
  if (second) return second;
  context.ParseError = first.Error;
  return first;
}

std::optional<TXMLList> LoadXmlList(XmlContext& context, std::string_view bytes) {
  return BuildList(LoadXmlDocument(context, bytes));
}

std::optional<TXMLList> LoadXmlListFile(XmlContext& context, const std::string& path) {
  return BuildList(LoadXmlDocumentFile(context, path));
}

}  // namespace formats
