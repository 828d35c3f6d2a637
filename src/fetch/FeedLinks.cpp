// SPDX-License-Identifier: MIT
#include "fetch/FeedLinks.h"

#include <array>
#include <utility>

#include "platform/Ascii.h"
#include "store/TSiteList.h"
#include "text/Cut.h"

namespace fetch {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// Where the markup after `from` ends the element that starts there, skipping quoted
// attribute values so that a ">" inside one does not end it.
size_t TagEnd(std::string_view page, size_t from) {
  char quote = 0;
  for (size_t i = from; i < page.size(); ++i) {
    const char c = page[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i;
    }
  }
  return std::string_view::npos;
}

std::string DecodeReferences(std::string_view value) {
  static constexpr std::array<std::pair<std::string_view, char>, 5> kReferences{
      {{"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&#39;", '\''}}};
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    bool replaced = false;
    if (value[i] == '&') {
      for (const auto& [reference, character] : kReferences) {
        if (platform::StartsWithAsciiNoCase(value.substr(i), reference)) {
          out += character;
          i += reference.size() - 1;
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += value[i];
  }
  return out;
}

// Reads the attributes of a start tag's inside (after its name) into the element.
void ReadAttributes(std::string_view inside, PageLinkElement& element) {
  size_t i = 0;
  while (i < inside.size()) {
    while (i < inside.size() && (IsBlank(inside[i]) || inside[i] == '/')) ++i;
    const size_t nameStart = i;
    while (i < inside.size() && !IsBlank(inside[i]) && inside[i] != '=' && inside[i] != '/') ++i;
    const std::string name = LowerAddress(inside.substr(nameStart, i - nameStart));
    while (i < inside.size() && IsBlank(inside[i])) ++i;
    std::string value;
    if (i < inside.size() && inside[i] == '=') {
      ++i;
      while (i < inside.size() && IsBlank(inside[i])) ++i;
      if (i < inside.size() && (inside[i] == '"' || inside[i] == '\'')) {
        const char quote = inside[i++];
        const size_t end = inside.find(quote, i);
        const size_t stop = end == std::string_view::npos ? inside.size() : end;
        value = DecodeReferences(inside.substr(i, stop - i));
        i = stop + 1;
      } else {
        const size_t valueStart = i;
        while (i < inside.size() && !IsBlank(inside[i])) ++i;
        value = DecodeReferences(inside.substr(valueStart, i - valueStart));
      }
    }
    if (name.empty()) {
      ++i;
    } else if (name == "href" && element.href.empty()) {
      element.href = value;
    } else if (name == "rel" && element.rel.empty()) {
      element.rel = value;
    } else if (name == "type" && element.type.empty()) {
      element.type = value;
    }
  }
}

// The position after the raw-text element (script or style) that starts at `from`.
size_t SkipRawText(std::string_view page, std::string_view lowerPage, size_t from, std::string_view name) {
  const size_t end = lowerPage.find("</" + std::string(name), from);
  return end == std::string_view::npos ? page.size() : end;
}

}  // namespace

std::string LowerAddress(std::string_view address) {
  std::string lower(address);
  for (char& c : lower) c = platform::AsciiLower(c);
  return lower;
}

std::string LastSegmentLower(std::string_view address) {
  const size_t slash = address.find_last_of("/\\");
  return LowerAddress(slash == std::string_view::npos ? address : address.substr(slash + 1));
}

bool LooksLikeFeedAddress(std::string_view address) {
  const size_t dot = address.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string extension = LowerAddress(address.substr(dot));
  if (extension == ".rdf" || extension == ".rss" || extension == ".atom") return true;
  if (extension != ".xml") return false;
  const std::string segment = LastSegmentLower(address);
  return segment.find("rss") != std::string::npos || segment.find("atom") != std::string::npos;
}

std::string ResolveFeedHref(std::string_view base, std::string_view href) {
  if (href.find(":/") != std::string_view::npos) return std::string(href);
  const size_t scheme = base.find("://");
  const size_t hostStart = scheme == std::string_view::npos ? 0 : scheme + 3;
  if (!href.empty() && href.front() == '/') {
    const size_t slash = base.find('/', hostStart);
    return std::string(base.substr(0, slash)) + std::string(href);
  }
  const size_t last = base.find_last_of("/\\");
  const bool hasPath = last != std::string_view::npos && last >= hostStart;
  const std::string_view folder = hasPath ? base.substr(0, last) : base;
  return std::string(folder) + "/" + std::string(href);
}

std::vector<std::string> FindFeedLinks(const std::vector<PageLinkElement>& links) {
  std::vector<std::string> feeds;
  for (const PageLinkElement& link : links) {
    const std::string href = text::TrimJ(link.href);
    if (href.empty() || !platform::EqualsAsciiNoCase(text::TrimJ(link.rel), "alternate")) continue;
    const std::string type = text::TrimJ(link.type);
    if (platform::EqualsAsciiNoCase(type, "application/rss+xml") ||
        platform::EqualsAsciiNoCase(type, "application/atom+xml")) {
      feeds.push_back(href);
    }
  }
  return feeds;
}

std::vector<PageLinkElement> ReadPageLinkElements(std::string_view page) {
  const std::string lowerPage = LowerAddress(page);
  std::vector<PageLinkElement> links;
  size_t i = 0;
  while ((i = lowerPage.find('<', i)) != std::string::npos) {
    const std::string_view rest = std::string_view(lowerPage).substr(i);
    if (rest.starts_with("<!--")) {
      const size_t end = lowerPage.find("-->", i + 4);
      i = end == std::string::npos ? page.size() : end + 3;
      continue;
    }
    const size_t end = TagEnd(page, i + 1);
    if (end == std::string_view::npos) break;
    for (std::string_view raw : {std::string_view("script"), std::string_view("style")}) {
      if (rest.size() > raw.size() + 1 && rest.substr(1, raw.size()) == raw &&
          (IsBlank(rest[raw.size() + 1]) || rest[raw.size() + 1] == '>')) {
        i = SkipRawText(page, lowerPage, end, raw);
      }
    }
    if (i > end) continue;
    if (rest.size() > 5 && rest.substr(1, 4) == "link" && (IsBlank(rest[5]) || rest[5] == '/' || rest[5] == '>')) {
      PageLinkElement element;
      element.tag = "link";
      element.markup = std::string(page.substr(i, end - i + 1));
      ReadAttributes(page.substr(i + 5, end - i - 5), element);
      links.push_back(std::move(element));
    }
    i = end + 1;
  }
  return links;
}

std::string FindChannelByAddress(const store::TTreeNodeExt* node, std::string_view lowerAddress) {
  if (node == nullptr) return {};
  for (size_t index = 0; index < node->ChildCount(); ++index) {
    const store::TTreeNodeExt* child = node->Child(index);
    if (store::IsChannelKind(child->Kind())) {
      if (child->Data() != nullptr && LowerAddress(child->Data()->Site.rdfurl) == lowerAddress) return child->Caption();
    } else if (child->Kind() == store::kKindGroup) {
      std::string found = FindChannelByAddress(child, lowerAddress);
      if (!found.empty()) return found;
    }
  }
  return {};
}

}  // namespace fetch
