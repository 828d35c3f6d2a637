// SPDX-License-Identifier: MIT
#include "text/Html.h"

#include "text/Cut.h"
#include "text/XmlText.h"
#include "text/private/Entities.h"

// The markup characters & < > " and the line-break bytes all lie below the trail-byte
// range of code page 932, so the routines here can look at single bytes without ever
// taking half of a double-byte character for one of them.
namespace text {
namespace {

bool StartsWithNbsp(std::string_view text, size_t pos) {
  static constexpr std::string_view kNbsp = "&nbsp;";
  if (text.size() - pos < kNbsp.size()) return false;
  for (size_t i = 0; i < kNbsp.size(); ++i) {
    char c = text[pos + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    if (c != kNbsp[i]) return false;
  }
  return true;
}

// The text with single-byte capitals made small; trail bytes of double-byte characters
// are left alone, so a search of the result finds ASCII words only where they are written.
std::string LowerSingleBytes(std::string_view text) {
  std::string out(text);
  size_t pos = 0;
  while (pos < out.size()) {
    const size_t length = CharLengthAt(out, pos);
    if (length == 1 && out[pos] >= 'A' && out[pos] <= 'Z') out[pos] = static_cast<char>(out[pos] + 0x20);
    pos += length;
  }
  return out;
}

}  // namespace

std::string HtmlUnescape(std::string_view text, bool nbspToSpace) {
  if (text.find('&') == std::string_view::npos) return std::string(text);
  std::string out = ReplaceEntity(text, "&amp;", "&");
  out = ReplaceEntity(out, "&lt;", "<");
  out = ReplaceEntity(out, "&gt;", ">");
  out = ReplaceEntity(out, "&quot;", "\"");
  out = ReplaceEntity(out, "&hellip;", "\x81\x63");  // the ellipsis of code page 932
  if (nbspToSpace) out = ReplaceEntity(out, "&nbsp;", " ");
  return out;
}

std::string HtmlEscape(std::string_view text, bool keepRefs) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t pos = 0; pos < text.size(); ++pos) {
    switch (text[pos]) {
      case '&':
        if (keepRefs && (IsDecimalCharRef(text, pos) || StartsWithNbsp(text, pos))) {
          out.push_back('&');
        } else {
          out += "&amp;";
        }
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.push_back(text[pos]);
    }
  }
  return out;
}

std::string StripTags(std::string_view text, bool trimBreaks) {
  if (text.find('<') == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find('<', pos);
    if (open == std::string_view::npos) break;
    const size_t close = text.find('>', open + 1);
    // An unclosed "<" and everything after it stay as they are.
    if (close == std::string_view::npos) break;
    out.append(text.substr(pos, open - pos));
    pos = close + 1;
  }
  out.append(text.substr(pos));
  out = HtmlUnescape(out, true);
  if (trimBreaks) {
    const size_t first = out.find_first_not_of("\r\n ");
    if (first == std::string::npos) return {};
    const size_t last = out.find_last_not_of("\r\n ");
    out = out.substr(first, last - first + 1);
  }
  return out;
}

bool LooksLikeHtml(std::string_view text) {
  if (text.find('<') == std::string_view::npos || text.find('>') == std::string_view::npos) return false;
  const std::string lowered = LowerSingleBytes(text);
  auto has = [&lowered](std::string_view word) { return FindJ(lowered, word) != std::string_view::npos; };
  for (const std::string_view tag : {"</", "<br>", "<p>", "<span>", "<div>", "<blockquote>"}) {
    if (has(tag)) return true;
  }
  return (has("<br") && has("/>")) || (has("<img") && has("src")) || (has("<a") && has("href"));
}

std::string RemoveBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c != '\r' && c != '\n' && c != '\t') out.push_back(c);
  }
  return out;
}

}  // namespace text
