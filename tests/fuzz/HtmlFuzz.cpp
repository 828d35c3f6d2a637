// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the HTML-to-feed layer: link extraction reads them as a page;
// pattern mode runs a fixed pattern over them, and the pattern of their first line over
// the rest, so that the engine's bounds and the pattern rewriting meet hostile patterns
// as well as hostile pages.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/html/HtmlExceptionList.h"
#include "formats/html/PageLinks.h"
#include "formats/html/PatternFeed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string address = "http://example.com/dir/page.html";
  formats::ExtractPageLinks(bytes, address);

  const formats::HtmlExceptionList exceptions;
  std::string page = bytes;
  formats::BuildFeedFromPattern(address, "<a href=\"({link}.*?)\"[^>]*>({title}.*?)</a>", page, exceptions);

  const size_t lineEnd = bytes.find('\n');
  if (lineEnd != std::string::npos) {
    std::string rest = bytes.substr(lineEnd + 1);
    formats::BuildFeedFromPattern(address, bytes.substr(0, lineEnd), rest, exceptions);
  }
  return 0;
}
