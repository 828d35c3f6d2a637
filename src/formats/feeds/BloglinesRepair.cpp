// SPDX-License-Identifier: MIT
#include "formats/feeds/private/BloglinesRepair.h"

#include <array>
#include <optional>
#include <vector>

#include "platform/CodePage.h"
#include "store/BloglinesAddress.h"
#include "text/Convert.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace formats {
namespace {

constexpr int kMaxReplacements = 301;
constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";
constexpr std::string_view kEllipsisUtf8 = "\xE2\x80\xA6";
constexpr size_t kMaxListTitleBytes = 48;

std::vector<std::string_view> SplitLines(std::string_view document) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < document.size()) {
    size_t end = document.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = document.size();
    lines.push_back(document.substr(start, end - start));
    if (end < document.size() && document[end] == '\r' && end + 1 < document.size() && document[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
  return lines;
}

template <typename Repair>
std::string RepairLines(std::string_view document, Repair repair) {
  std::string out;
  out.reserve(document.size() + document.size() / 8);
  for (const std::string_view line : SplitLines(document)) {
    out += repair(std::string(line));
    out += "\r\n";
  }
  return out;
}

void ReplaceLimited(std::string& line, std::string_view what, std::string_view with) {
  size_t pos = line.find(what);
  for (int count = 0; pos != std::string::npos && count < kMaxReplacements; ++count) {
    line.replace(pos, what.size(), with);
    pos = line.find(what, pos + with.size());
  }
}

// A piece of text that must go into a CDATA section as UTF-8: a piece cut inside a
// character loses its last two bytes and ends in an ellipsis; what is still not UTF-8
// becomes the message the program shows for broken text.
std::string ValidUtf8Piece(std::string_view piece) {
  if (platform::IsValidUtf8(piece)) return std::string(piece);
  std::string cut(piece.substr(0, piece.size() >= 2 ? piece.size() - 2 : 0));
  cut += kEllipsisUtf8;
  if (platform::IsValidUtf8(cut)) return cut;
  return text::SjisToUtf8(text::J("不正な文字コードを除去しました"));
}

void WrapInCData(std::string& line, std::string_view name) {
  // Built by appending: GCC 12 at -O3 warns wrongly about concatenating temporaries here.
  std::string open = "<";
  open.append(name).append(">");
  std::string close = "</";
  close.append(name).append(">");
  size_t pos = line.find(open);
  while (pos != std::string::npos) {
    const size_t contentStart = pos + open.size();
    const size_t closing = line.find(close, contentStart);
    if (closing == std::string::npos) {
      line.insert(contentStart, kCDataOpen);
      return;
    }
    const std::string content = ValidUtf8Piece(std::string_view(line).substr(contentStart, closing - contentStart));
    std::string wrapped(kCDataOpen);
    wrapped.append(content).append(kCDataClose);
    line.replace(contentStart, closing - contentStart, wrapped);
    pos = line.find(open, contentStart + wrapped.size() + close.size());
  }
}

std::string RepairItemLine(std::string line) {
  ReplaceLimited(line, "&amp;", "&");
  ReplaceLimited(line, "&lt;", "<");
  ReplaceLimited(line, "&gt;", ">");
  ReplaceLimited(line, "&quot;", "\"");
  ReplaceLimited(line, kCDataOpen, "");
  ReplaceLimited(line, kCDataClose, "");
  for (const std::string_view name : {"title", "description", "webMaster", "dc:subject"}) WrapInCData(line, name);
  return line;
}

// The text without its last character (double-byte aware).
std::string DropLastChar(const std::string& sjis) {
  const size_t count = text::CharCount(sjis);
  return count == 0 ? std::string() : text::MidJ(sjis, 1, static_cast<long>(count) - 1);
}

// The replacement of a subscription title that cannot stand as it is, or none.
std::optional<std::string> RepairedTitle(std::string_view value) {
  const bool valid = platform::IsValidUtf8(value);
  const std::string_view usable = valid ? value : value.substr(0, value.size() >= 2 ? value.size() - 2 : 0);
  std::string sjis = text::Utf8ToSjis(usable);
  if (valid && !value.empty() && sjis.size() <= kMaxListTitleBytes) return std::nullopt;
  if (sjis.empty()) {
    sjis = text::J("名称不明");
  } else if (valid) {
    sjis = DropLastChar(sjis);
  }
  return text::SjisToUtf8(DropLastChar(sjis) + text::J("…"));
}

std::string RepairListLine(std::string line) {
  constexpr std::string_view kTitle = " title=\"";
  const size_t title = line.find(kTitle);
  if (title == std::string::npos) return line;
  size_t next = line.find(" htmlUrl=", title);
  if (next == std::string::npos) next = line.find(" BloglinesSubId=", title);
  const size_t valueStart = title + kTitle.size();
  // The value ends at the quote before the space that precedes the next attribute.
  if (next == std::string::npos || next < valueStart + 1) return line;
  const size_t valueEnd = next - 1;
  if (const auto repaired = RepairedTitle(std::string_view(line).substr(valueStart, valueEnd - valueStart))) {
    line.replace(valueStart, valueEnd - valueStart, *repaired);
  }
  return line;
}

}  // namespace

std::string RepairBloglinesItems(std::string_view document) {
  return RepairLines(document, RepairItemLine);
}

std::string RepairBloglinesList(std::string_view document) {
  return RepairLines(document, RepairListLine);
}

bool RepairBloglinesDocument(std::string& document, std::string_view address, bool bloglinesSync) {
  std::string repaired;
  if (store::IsBloglinesItemAddress(address, bloglinesSync)) {
    repaired = RepairBloglinesItems(document);
  } else if (store::IsBloglinesListAddress(address, bloglinesSync)) {
    repaired = RepairBloglinesList(document);
  } else {
    return false;
  }
  if (repaired == document) return false;
  document = std::move(repaired);
  return true;
}

}  // namespace formats
