// SPDX-License-Identifier: MIT
#include "text/XmlText.h"

#include "text/Literal.h"
#include "text/private/Entities.h"

namespace text {
namespace {

// How FilterInvalidChars classifies a byte that does not follow a lead byte.
enum ByteClass : unsigned char { kDropped, kLineByte, kSingleByte, kLeadByte, kNoCharacter };

struct ByteClasses {
  ByteClass of[256];
  constexpr ByteClasses() : of() {
    for (int c = 0; c < 256; ++c) {
      if (c == '\t' || c == '\n' || c == '\r') {
        of[c] = kLineByte;
      } else if (c <= 31 || c == 127) {
        of[c] = kDropped;
      } else if (c <= 126 || (c >= 161 && c <= 223)) {
        of[c] = kSingleByte;
      } else if ((c >= 129 && c <= 159) || (c >= 224 && c <= 252)) {
        of[c] = kLeadByte;
      } else {
        of[c] = kNoCharacter;  // 128, 160 and 253..255 start no character
      }
    }
  }
};
constexpr ByteClasses kByteClasses;

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
  std::string out(text);
  FilterInvalidCharsInPlace(out);
  return out;
}

void FilterInvalidCharsInPlace(std::string& text) {
  // Bytes are moved down over the dropped ones; most texts drop nothing and are only read.
  size_t write = 0;
  bool afterLead = false;
  for (size_t read = 0; read < text.size(); ++read) {
    const auto c = static_cast<unsigned char>(text[read]);
    const ByteClass kind = kByteClasses.of[c];
    if (kind == kDropped) continue;
    if (afterLead) {
      // A TAB or line break cannot finish a character; everything else is its trail byte.
      if (kind == kLineByte) {
        text = J("不正な文字コードを除去しました");
        return;
      }
      afterLead = false;
    } else if (kind == kNoCharacter) {
      text = J("不正な文字コードを除去しました");
      return;
    } else {
      afterLead = kind == kLeadByte;
    }
    text[write++] = static_cast<char>(c);
  }
  text.resize(write);
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
