// SPDX-License-Identifier: MIT
#include "platform/private/XmlLibrary.h"

#include <libxml/encoding.h>
#include <libxml/parser.h>

#include <mutex>

namespace platform {
namespace {

// libxml2 compares alias names without regard to case.
constexpr const char* kCp932Aliases[] = {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "X-SJIS", "MS_KANJI", "CSSHIFTJIS"};
constexpr const char* kEucJpAliases[] = {"EUC-JP", "X-EUC-JP", "EUCJP"};

// Nothing outside the given bytes is ever read: the parse options keep the parser from
// asking for external entities and DTDs, and this loader refuses them should it ask.
xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
  return nullptr;
}

}  // namespace

void InitialiseXmlLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    for (const char* alias : kCp932Aliases) xmlAddEncodingAlias("CP932", alias);
    for (const char* alias : kEucJpAliases) xmlAddEncodingAlias("EUC-JP-MS", alias);
    xmlSetExternalEntityLoader(RefuseExternalEntity);
  });
}

}  // namespace platform
