// SPDX-License-Identifier: MIT
#include "text/XmlText.h"

#include "text/Entities.h"
#include "text/Literal.h"

namespace text {
namespace {

// How FilterInvalidChars reads each byte.
enum class ByteState { kSingle, kLead, kTrail };

bool IsDroppedControl(unsigned char c) {
  return c <= 8 || c == 11 || c == 12 || (c >= 14 && c <= 31) || c == 127;
}

std::string Escape(std::string_view text, bool keepCharRefs, bool quotes) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t pos = 0; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '&') {
      out += keepCharRefs && IsDecimalCharRef(text, pos) ? "&" : "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"' && quotes) {
      out += "&quot;";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

std::string FilterInvalidChars(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  ByteState state = ByteState::kSingle;
  for (const char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    if (IsDroppedControl(c)) continue;
    const bool lineByte = c == '\t' || c == '\n' || c == '\r';
    bool error = false;
    if (state == ByteState::kLead) {
      // A TAB or line break cannot finish a character; everything else is its trail byte.
      error = lineByte;
      state = ByteState::kTrail;
    } else if (lineByte || (c >= 32 && c <= 126) || (c >= 161 && c <= 223)) {
      state = ByteState::kSingle;
    } else if ((c >= 129 && c <= 159) || (c >= 224 && c <= 252)) {
      state = ByteState::kLead;
    } else {
      error = true;  // 128, 160 and 253..255 start no character
    }
    if (error) return J("不正な文字コードを除去しました");
    out.push_back(byte);
  }
  return out;
}

bool IsDecimalCharRef(std::string_view text, size_t pos) {
  if (pos >= text.size() || pos + 1 >= text.size() || text[pos] != '&' || text[pos + 1] != '#') return false;
  size_t p = pos + 2;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9') ++p;
  if (p == pos + 2) return false;
  return p == text.size() || text[p] == ';';
}

std::string XmlEscape(std::string_view text, bool keepCharRefs) {
  return Escape(text, keepCharRefs, false);
}

std::string XmlEscapeAttr(std::string_view text, bool keepCharRefs) {
  return Escape(text, keepCharRefs, true);
}

std::string XmlUnescape(std::string_view text, bool reverse) {
  if (text.find('&') == std::string_view::npos) return std::string(text);
  if (reverse) {
    std::string out = ReplaceEntity(text, "&gt;", ">");
    out = ReplaceEntity(out, "&lt;", "<");
    return ReplaceEntity(out, "&amp;", "&");
  }
  std::string out = ReplaceEntity(text, "&amp;", "&");
  out = ReplaceEntity(out, "&lt;", "<");
  return ReplaceEntity(out, "&gt;", ">");
}

}  // namespace text
