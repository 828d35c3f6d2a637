// SPDX-License-Identifier: MIT
// The values of a fill that stand on their own: addresses, page texts, descriptions,
// dates and the page control.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "formats/feeds/AtomParser.h"
#include "present/PageFill.h"
#include "store/DateTime.h"
#include "text/Cut.h"
#include "text/Html.h"
#include "text/Literal.h"

namespace present {
namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// A copy for finding ASCII words without regard to case: single-byte letters are lowered,
// the trail bytes of double-byte characters stay, so that no character is taken apart.
std::string LowerForFinding(std::string_view text) {
  std::string lower(text);
  for (size_t pos = 0; pos < lower.size();) {
    const size_t length = text::CharLengthAt(text, pos);
    if (length == 1) lower[pos] = LowerAscii(lower[pos]);
    pos += length;
  }
  return lower;
}

// Whether an address starts with a scheme of its own ("mailto:", "data:"): a letter, then
// letters, digits, "+", "-" or ".", then the colon.
bool HasScheme(std::string_view address) {
  if (address.empty() || !((address[0] >= 'a' && address[0] <= 'z') || (address[0] >= 'A' && address[0] <= 'Z'))) {
    return false;
  }
  for (size_t i = 1; i < address.size(); ++i) {
    const char c = address[i];
    if (c == ':') return true;
    const bool schemeChar =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!schemeChar) return false;
  }
  return false;
}

// The civil date and time of a date-time, to the minute.
std::optional<store::CivilDateTime> BreakDown(double modified) {
  // About 27 000 years either way: far beyond any feed's date, and safe for the sums.
  if (modified == 0 || !std::isfinite(modified) || std::fabs(modified) > 1e7) return std::nullopt;
  return store::CivilDateTimeOf(modified);
}

std::string FourDigitYear(int64_t year) {
  std::string digits = std::to_string(year < 0 ? -year : year);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return year < 0 ? "-" + digits : digits;
}

// A plain text cut after `count` characters must not end inside an entity such as "&amp;"
// that the escaping wrote: the page would show the broken rest of it.
void DropBrokenEntity(std::string& text) {
  const size_t amp = text.rfind('&');
  if (amp == std::string::npos || text.size() - amp > 10) return;
  for (size_t i = amp + 1; i < text.size(); ++i) {
    const char c = text[i];
    const bool entityChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
    if (!entityChar) return;
  }
  text.erase(amp);
}

}  // namespace

std::string PageItemAddress(std::string_view channelLink, std::string_view address) {
  if (address.empty() || HasScheme(address)) return std::string(address);
  return formats::ResolveAddress(channelLink, address);
}

std::string PageText(std::string_view text) {
  return text::LooksLikeHtml(text) ? std::string(text) : text::HtmlEscape(text, true);
}

std::string MakeLinksAbsolute(std::string_view text, std::string_view base) {
  const std::string lower = LowerForFinding(text);
  std::string out;
  size_t copied = 0;
  size_t pos = 0;
  while (true) {
    const size_t anchor = lower.find("<a ", pos);
    const size_t image = lower.find("<img ", pos);
    const size_t tag = std::min(anchor, image);
    if (tag == std::string::npos) break;
    const std::string_view attribute = tag == anchor ? "href=" : "src=";
    pos = tag + 1;
    const size_t tagEnd = lower.find('>', tag);
    const size_t found = lower.find(attribute, tag);
    if (found == std::string::npos || tagEnd == std::string::npos || found > tagEnd) continue;
    const size_t valueStart = found + attribute.size();
    if (valueStart >= text.size() || (text[valueStart] != '"' && text[valueStart] != '\'')) continue;
    const size_t valueEnd = text.find(text[valueStart], valueStart + 1);
    if (valueEnd == std::string::npos) continue;
    const std::string_view value = text.substr(valueStart + 1, valueEnd - valueStart - 1);
    pos = valueEnd + 1;
    if (value.empty() || value.front() == '#' || value.find(":/") != std::string_view::npos || HasScheme(value)) {
      continue;
    }
    out.append(text.substr(copied, valueStart + 1 - copied));
    out += formats::ResolveAddress(base, value);
    copied = valueEnd;
  }
  if (copied == 0) return std::string(text);
  out.append(text.substr(copied));
  return out;
}

std::string ItemDescription(const store::TSiteRecord& item, std::string_view base, int maxDescription) {
  const bool content = !item.encoded.empty() || !item.en_cd.empty();
  std::string first = content ? item.en_cd : item.de_cd;
  std::string second = PageText(content ? item.encoded : item.desc);
  if (!base.empty()) {
    if (!first.empty()) first = MakeLinksAbsolute(first, base);
    if (!second.empty()) second = MakeLinksAbsolute(second, base);
  }
  std::string description = first + second;
  if (maxDescription > 0 && !text::LooksLikeHtml(description) &&
      text::CharCount(description) > static_cast<size_t>(maxDescription)) {
    description = text::MidJ(description, 1, maxDescription);
    DropBrokenEntity(description);
    static const std::string more = text::J(" … 続く");
    description += more;
  }
  return description;
}

std::string PageControl(const PageControlState& state) {
  static const std::string previousTitle = text::J("前のページ (左矢印キー)");
  static const std::string nextTitle = text::J("次のページ (右矢印キー/Ctrl+J)");
  static const std::string unreadTitle = text::J("次の未読のチャンネルに進む (右矢印キー/Ctrl+J)");
  static const std::string showAllTitle = text::J("全て表示");
  const int64_t size = static_cast<int64_t>(state.pageSize > 0 ? state.pageSize : 1);
  const int64_t start = static_cast<int64_t>(state.pageStart);
  const int64_t first = static_cast<int64_t>(state.pageFirst);
  const int64_t count = static_cast<int64_t>(state.listCount);
  const int64_t lastIndex = count - 1;
  const int64_t pageNumber = start < first ? 0 : (start - first) / size + 1;
  const int64_t pageCount = std::max<int64_t>((count - first + size - 1) / size, 1);
  std::string out = "<div class=\"anchor_page_control\">";
  if (start < 1) {
    out += "Previous Page";
  } else {
    out += "<a class=\"anchor_page_control\" href=\"varnholt:hrfeed_previous\" title=\"" + previousTitle +
           "\">Previous Page</a>";
  }
  out += " (" + std::to_string(pageNumber) + "/" + std::to_string(pageCount) + ") ";
  if (start + size - 1 < lastIndex) {
    out += "<a class=\"anchor_page_control\" href=\"varnholt:hrfeed_next\" title=\"" + nextTitle + "\">Next Page</a>";
  } else if (state.showAllMode || !state.unreadOnly) {
    out += "Next Page";
  } else {
    out +=
        "<a class=\"anchor_page_control\" href=\"varnholt:hrfeed_next\" title=\"" + unreadTitle + "\">Next Unread</a>";
  }
  out += " | <a class=\"anchor_page_control\" href=\"varnholt:hrfeed_showall\" title=\"" + showAllTitle +
         "\">Show All</a></div>";
  return out;
}

std::string FormatItemDate(double modified) {
  const std::optional<store::CivilDateTime> parts = BreakDown(modified);
  if (!parts) return {};
  const store::CivilDate& date = parts->date;
  const std::string minute = (parts->minute < 10 ? "0" : "") + std::to_string(parts->minute);
  return FourDigitYear(date.year) + "/" + std::to_string(date.month) + "/" + std::to_string(date.day) + " " +
         std::to_string(parts->hour) + ":" + minute;
}

std::string FormatItemDateJ(double modified) {
  const std::optional<store::CivilDateTime> parts = BreakDown(modified);
  if (!parts) return {};
  const store::CivilDate& date = parts->date;
  static const std::string year = text::J("年"), month = text::J("月"), day = text::J("日"), hour = text::J("時"),
                           minute = text::J("分");
  return FourDigitYear(date.year) + year + std::to_string(date.month) + month + std::to_string(date.day) + day + " " +
         std::to_string(parts->hour) + hour + std::to_string(parts->minute) + minute;
}

}  // namespace present
