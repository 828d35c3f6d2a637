// SPDX-License-Identifier: MIT
#include "formats/html/PageLinks.h"

#include "platform/CodePage.h"
#include "platform/HtmlDocument.h"
#include "text/Convert.h"
#include "text/Cut.h"
#include "text/Html.h"

namespace formats {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The page as UTF-8, decided by its byte-order mark or its charset labels. Code page 932
// text keeps its character references as text: the HTML parser reads them as it reads
// every reference of the page.
std::string PageAsUtf8(std::string_view page) {
  if (page.starts_with(kUtf8Mark)) return std::string(page.substr(kUtf8Mark.size()));
  switch (text::GuessHtmlCharset(page)) {
    case text::HtmlCharset::kUtf8:
      return std::string(page);
    case text::HtmlCharset::kEucJp:
      return platform::Cp932ToUtf8(text::EucToSjis(page), platform::CharRefs::kKeep);
    case text::HtmlCharset::kShiftJis:
      break;
  }
  return platform::Cp932ToUtf8(page, platform::CharRefs::kKeep);
}

// A link's title as the program keeps it: markup the visible text still holds is
// stripped and its entities decoded, line breaks and TABs go, blanks at both ends too.
std::string LinkTitle(const std::string& visibleText) {
  std::string title = text::Utf8ToSjis(visibleText);
  if (title.find('<') != std::string::npos) title = text::StripTags(title, false);
  return text::TrimJ(text::RemoveBreaks(title));
}

// Whether a value holds nothing but blanks and control bytes.
bool IsBlank(std::string_view value) {
  for (const char c : value) {
    if (static_cast<unsigned char>(c) > 0x20) return false;
  }
  return true;
}

}  // namespace

PageLinks ExtractPageLinks(std::string_view page, const std::string& address, size_t limit) {
  PageLinks links;
  const platform::HtmlDocument document = platform::HtmlDocument::Parse(PageAsUtf8(page.substr(0, limit)));
  links.PageTitle = text::Utf8ToSjis(document.Title());

  std::string base = platform::Cp932ToUtf8(address, platform::CharRefs::kKeep);
  if (const std::string baseHref = document.BaseHref(); !IsBlank(baseHref)) {
    base = platform::ResolveUri(base, baseHref);
  }
  for (const platform::HtmlAnchor& anchor : document.Anchors()) {
    if (IsBlank(anchor.href)) continue;
    ++links.AnchorCount;
    std::string title = LinkTitle(anchor.text);
    std::string url = text::TrimJ(text::Utf8ToSjis(platform::ResolveUri(base, anchor.href)));
    if (title.empty() || url.empty()) continue;
    links.LinkTitles.push_back(std::move(title));
    links.LinkUrls.push_back(std::move(url));
  }
  return links;
}

}  // namespace formats
